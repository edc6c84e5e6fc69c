#include "gui/reports/frm_main.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QShortcut>

#include "core/logs/activity_log.h"
#include "core/reports/data_file.h"
#include "core/startup/file_set.h"
#include "gui/logs/activity_logs.h"
#include "gui/session.h"
#include "gui/startup/exit_program.h"
#include "gui/ui/background.h"
#include "gui/ui/shared_utilities.h"
#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"
#include "gui/users/frm_admin.h"

namespace kestrova::gui {

frmMain::frmMain(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
  setObjectName(QStringLiteral("frmMain"));
  setAttribute(Qt::WA_DeleteOnClose);
  const QScreen* s = screen();
  resize(ToPixels(kWidthTwips, s), ToPixels(kHeightTwips, s));
  setWindowTitle(session_.applicationTitle());
  const QString title = session_.applicationTitle();

  lblSummary_ = new QLabel(this);
  lblSummary_->setObjectName(QStringLiteral("lblSummary"));
  lblSummary_->setGeometry(ToPixels(300, s), ToPixels(300, s), ToPixels(12000, s), ToPixels(900, s));
  const auto counts = reports::CountReports(session_.dataFolder());
  lblSummary_->setText(counts.ok() ? QStringLiteral("%1 reports on the Active List, %2 on the Inactive List.")
                                         .arg(counts->ActiveCount)
                                         .arg(counts->InactiveCount)
                                   : QString::fromStdString(counts.message()));

  const auto button = [this](const char* name, const QString& caption, const QString& tip) {
    auto* b = new ZelButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setButtonType(14);
    b->setColorScheme(2);
    b->setBackColor(QColor(232, 236, 244));
    b->setBackOver(QColor(232, 236, 244));
    b->setCaption(caption);
    b->setToolTip(tip);
    return b;
  };
  cmdHelp_ = button("cmdHelp", QStringLiteral("&Help"), QStringLiteral(" Illustrated Manual "));
  cmdUserInfo_ = button("cmdUserInfo", QStringLiteral("User &Info"),
                        QStringLiteral(" User name/access information "));
  cmdAdminWindow_ = button("cmdAdminWindow", QStringLiteral("Ad&ministrative Window"),
                           QStringLiteral(" Return to the Administrative Window "));
  cmdQuit_ = button("cmdQuit", QStringLiteral("&Quit"), QStringLiteral(" Click here to exit ") + title + QStringLiteral(" "));
  int x = 300;
  for (ZelButton* b : {cmdHelp_, cmdUserInfo_, cmdAdminWindow_, cmdQuit_}) {
    b->setGeometry(ToPixels(x, s), ToPixels(kHeightTwips - 900, s), ToPixels(2400, s), ToPixels(480, s));
    x += 2550;
  }
  connect(cmdHelp_, &ZelButton::Click, this, [this] { OpenManual(session_, this); });
  connect(cmdUserInfo_, &ZelButton::Click, this, &frmMain::cmdUserInfo_Click);
  connect(cmdAdminWindow_, &ZelButton::Click, this, &frmMain::cmdAdminWindow_Click);
  connect(cmdQuit_, &ZelButton::Click, this, &frmMain::cmdQuit_Click);
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(f1, &QShortcut::activated, this, [this] { OpenManual(session_, this); });
}

void frmMain::paintEvent(QPaintEvent*) {
  QPainter p(this);
  TileBackground(p, BackgroundTile(), rect());
}

void frmMain::cmdUserInfo_Click() {
  MessageRequest r;
  r.caption = QStringLiteral("User Information");
  r.iconKind = kIconInformation;
  r.message = QStringLiteral("Current User:\n") + session_.CurrentUserName() + QStringLiteral("\n\nAccess Level:\n") +
              QString::fromLatin1(startup::AccessLevelName(session_.signIn.CurrentAccessLevel).data());
  r.buttons = {QStringLiteral("&Okay")};
  ShowMessage(session_, r, this);
}

void frmMain::cmdAdminWindow_Click() {
  // Leaving signs the user out (the closing writes the line).
  closingByProgram_ = true;
  close();
  auto* admin = new frmAdmin(session_);
  admin->show();
}

void frmMain::cmdQuit_Click() { ExitProgram(session_, false, this); }

void frmMain::closeEvent(QCloseEvent* e) {
  if (!closingByProgram_ && !session_.exiting) {
    e->ignore();
    cmdQuit_Click();
    return;
  }
  LogSignInOut(session_, this, logs::kSignedOut);
  e->accept();
}

}  // namespace kestrova::gui
