#include "gui/startup/frm_title_page.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include <QTimer>

#include "gui/session/exit_program.h"
#include "gui/session/session.h"
#include "gui/session/shared_utilities.h"
#include "gui/session/version_check.h"
#include "gui/session/window_skeleton.h"
#include "gui/startup/sign_in_flow.h"
#include "gui/ui/button_flasher.h"
#include "gui/ui/program_look.h"
#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {

QPixmap TitleArtwork(const QSize& size) {
  QPixmap art(size);
  QPainter p(&art);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, size.height());
  sky.setColorAt(0, QColor(18, 38, 74));
  sky.setColorAt(0.65, QColor(32, 78, 112));
  sky.setColorAt(1, QColor(48, 110, 128));
  p.fillRect(art.rect(), sky);
  // A kestrel's outline, faint, on the right.
  QPainterPath wing;
  const qreal w = size.width(), h = size.height();
  wing.moveTo(w * 0.55, h * 0.42);
  wing.cubicTo(w * 0.68, h * 0.18, w * 0.84, h * 0.14, w * 0.98, h * 0.20);
  wing.cubicTo(w * 0.86, h * 0.26, w * 0.78, h * 0.34, w * 0.74, h * 0.44);
  wing.cubicTo(w * 0.82, h * 0.46, w * 0.90, h * 0.52, w * 0.94, h * 0.62);
  wing.cubicTo(w * 0.80, h * 0.56, w * 0.66, h * 0.52, w * 0.55, h * 0.42);
  p.fillPath(wing, QColor(255, 255, 255, 28));
  p.setPen(QPen(QColor(255, 255, 255, 40), 1));
  for (int i = 0; i < 6; ++i) {
    const qreal y = h * (0.70 + i * 0.04);
    p.drawLine(QPointF(0, y), QPointF(w, y - h * 0.05));
  }
  return art;
}

frmTitlePage::frmTitlePage(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
  setObjectName(QStringLiteral("frmTitlePage"));
  setAttribute(Qt::WA_DeleteOnClose);
  // Its artwork is its background; the close box asks the exit question.
  // A version check still under way outlives the window (its answer shows
  // over the next one), but not the program.
  skeleton_ = new WindowSkeleton(session_, this,
                                 {.tiled = false,
                                  .firstActivation = [this] { Form_Activate(); },
                                  .quit = [this] { cmdQuit_Click(); },
                                  .closing = [this] { AbandonCheckWhenExiting(); }});

  imgBackground_ = new QLabel(this);
  imgBackground_->setObjectName(QStringLiteral("imgBackground"));

  const auto label = [this](const char* name, int pointSize, bool bold) {
    auto* l = new QLabel(this);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(TitleFont(pointSize, bold));
    l->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    return l;
  };
  labelAppTitle_ = label("labelAppTitle", 34, true);
  labelAppDescription_ = label("labelAppDescription", 13, false);
  labelVersion_ = label("labelVersion", 10, false);
  labelLegal_ = label("labelLegal", 8, false);
  labelLegal_->setWordWrap(true);

  const auto button = [this](const char* name, const QColor& over) {
    return MakeCommandButton(this, QString::fromLatin1(name), over, QColor(16, 32, 64));
  };
  // "&Sign In" pulses in the light-yellow family.
  cmdSignIn_ = button("cmdSignIn", ColorFromNumber(8454143));
  cmdUpdateCheck_ = button("cmdUpdateCheck", QColor(226, 232, 240));
  cmdQuit_ = button("cmdQuit", QColor(226, 232, 240));
  connect(cmdSignIn_, &ZelButton::Click, this, &frmTitlePage::cmdSignIn_Click);
  connect(cmdQuit_, &ZelButton::Click, this, &frmTitlePage::cmdQuit_Click);
  // A click (or Enter) checks; the right button's release opens the menu.
  versionCheck_ = &session_.versionCheck();
  connect(cmdUpdateCheck_, &ZelButton::Click, this, [this] { versionCheck_->CheckForUpdate(true, this); });
  connect(cmdUpdateCheck_, &ZelButton::MouseUp, this,
          [this](int button, int, int x, int y) { cmdUpdateCheck_MouseUp(button, x, y); });
  flasher_ = new ButtonFlasher(ButtonFlasher::Family::Title, this);

  Form_Load();
}

void frmTitlePage::Form_Load() {
  const QScreen* s = screen();
  setFixedSize(ToPixels(kWidthTwips, s), ToPixels(kHeightTwips, s));
  setWindowTitle(session_.applicationTitle() + QStringLiteral(" - ") + QStringLiteral("Title Window"));
  // The picture overlaps every edge a little, so no edge of the window shows.
  const int overlap = std::max(1, ToPixels(10, s));
  imgBackground_->setGeometry(-overlap, -overlap, width() + 2 * overlap, height() + 2 * overlap);
  imgBackground_->setPixmap(TitleArtwork(imgBackground_->size()));
  imgBackground_->lower();

  labelAppTitle_->setGeometry(ToPixels(600, s), ToPixels(450, s), ToPixels(6000, s), ToPixels(1000, s));
  labelAppDescription_->hide();
  labelAppDescription_->setGeometry(ToPixels(640, s), ToPixels(1450, s), ToPixels(6000, s), ToPixels(450, s));
  labelVersion_->setGeometry(ToPixels(640, s), ToPixels(1950, s), ToPixels(4000, s), ToPixels(350, s));
  labelLegal_->setText(
      QStringLiteral("Reports, users and activity logs are kept in the data folder. "
                     "Use of this program is limited to authorised members of the agency."));
  labelLegal_->setGeometry(ToPixels(640, s), ToPixels(2500, s), ToPixels(5200, s), ToPixels(700, s));

  cmdSignIn_->setGeometry(ToPixels(640, s), ToPixels(3700, s), ToPixels(1700, s), ToPixels(520, s));
  cmdUpdateCheck_->setGeometry(ToPixels(2500, s), ToPixels(3700, s), ToPixels(1700, s), ToPixels(520, s));
  cmdQuit_->setGeometry(ToPixels(6300, s), ToPixels(3700, s), ToPixels(1900, s), ToPixels(520, s));
}

void frmTitlePage::Form_Activate() {
  // A window closed before its first activation came is not activated.
  if (activated_ || !isVisible()) return;
  const QString title = session_.applicationTitle();
  labelAppTitle_->setText(title + QLatin1Char(' '));
  labelAppDescription_->setText(QStringLiteral("Incident Report Writing Software"));
  labelAppDescription_->show();
  labelVersion_->setText(VersionCaption());
  cmdUpdateCheck_->setCaption(QStringLiteral("Version Check"));
  cmdUpdateCheck_->setToolTip(QStringLiteral(" Check for a newer version of ") + title +
                              QStringLiteral(" (internet connection required, <right-click for options) "));
  cmdQuit_->setCaption(QStringLiteral("Exit ") + title);
  cmdSignIn_->setCaption(QStringLiteral("&Sign In"));
  CountThisWorkstation(session_);
  autoUpdateCheck_ = AutoUpdateCheckOn(session_.settings());
  // Started before the window counts as activated, so it is not the user's
  // and never ends in "No updates available"; the answer comes later.
  if (autoUpdateCheck_) versionCheck_->CheckForUpdate(false, this);
  flasher_->Start(cmdSignIn_, 5000, 15);
  activated_ = true;
}

void frmTitlePage::AbandonCheckWhenExiting() {
  if (session_.exiting) versionCheck_->Abandon();
}

void frmTitlePage::cmdSignIn_Click() {
  if (RunSignInFlow(session_, this)) emit SignInPassed();
}

void frmTitlePage::cmdQuit_Click() { ExitProgram(session_, false, this); }

void frmTitlePage::cmdUpdateCheck_MouseUp(int button, int x, int y) {
  if (button == ZelButton::kRightButton && cmdUpdateCheck_->rect().contains(x, y)) {
    versionCheck_->ShowMenu(cmdUpdateCheck_->mapToGlobal(QPoint(x, y)));
  }
}

void frmTitlePage::CloseByProgram() {
  flasher_->Stop();
  skeleton_->CloseByProgram();
}

}  // namespace kestrova::gui
