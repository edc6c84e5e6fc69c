#include "gui/reports/frm_main.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QShortcut>
#include <QTableView>
#include <QTimer>

#include "core/logs/activity_log.h"
#include "core/network/concurrent_users.h"
#include "core/startup/file_set.h"
#include "gui/logs/activity_logs.h"
#include "gui/reports/report_form.h"
#include "gui/reports/report_list_model.h"
#include "gui/session.h"
#include "gui/startup/exit_program.h"
#include "gui/startup/frm_title_page.h"
#include "gui/ui/background.h"
#include "gui/ui/first_activation.h"
#include "gui/ui/button_flasher.h"
#include "gui/ui/not_available.h"
#include "gui/ui/shared_utilities.h"
#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"
#include "gui/users/frm_admin.h"

namespace kestrova::gui {
namespace {

int Px(int twips) { return ToPixels(twips); }

}  // namespace

frmMain::frmMain(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
  setObjectName(QStringLiteral("frmMain"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(session_.applicationTitle());
  BuildLayout();
  // Loading: the search starts from kind 1, ignoring capitalization; the
  // list options come from the settings.
  search::ResetForMainWindow(session_.searchCriteria);
  const auto option = [this](const QString& key) {
    const int v = session_.settings().Read(key).value_or(QStringLiteral("1")).toInt();
    return v == 2 ? 2 : 1;
  };
  sortOption_ = option(QStringLiteral("SortOption"));
  showOption_ = option(QStringLiteral("ShowOption"));
  optDisplay_[1]->setChecked(true);
  optSort_[sortOption_]->setChecked(true);
  optShow_[showOption_]->setChecked(true);
  form_->setCurrentIndex(0);
  flasher_ = new ButtonFlasher(ButtonFlasher::Family::Main, this);
}

ZelButton* frmMain::AddCommand(const char* name, const QString& caption) {
  ZelButton* b = MakeCommandButton(this, QString::fromLatin1(name), QColor(232, 236, 244));
  if (!caption.isEmpty()) b->setCaption(caption);
  b->setFixedHeight(Px(450));
  b->setMinimumWidth(Px(1100));
  commands_.insert(QString::fromLatin1(name), b);
  return b;
}

void frmMain::BuildLayout() {
  // A tall screen lends its extra height to the list.
  int height = kHeightTwips;
  const int screenHeight = ScreenTwips().height();
  if (screenHeight > 9000) height = static_cast<int>(screenHeight / 1.3);
  const int extra = height - kHeightTwips;
  resize(Px(kWidthTwips), Px(height));

  frame1_ = new QGroupBox(this);
  frame1_->setObjectName(QStringLiteral("frame1"));
  frame1_->setGeometry(Px(120), Px(60), Px(9350), Px(3850 + extra));
  grid_ = new QTableView(frame1_);
  grid_->setObjectName(QStringLiteral("grid"));
  grid_->setGeometry(Px(100), Px(280), Px(9150), Px(3450 + extra));
  model_ = new ReportListModel(this);
  grid_->setModel(model_);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
  grid_->horizontalHeader()->setHighlightSections(false);
  grid_->setColumnWidth(0, Px(1600));
  grid_->setColumnWidth(1, Px(1250));
  // Columns 3 and 4 stay out of sight: column 2 takes the rest.
  grid_->horizontalHeader()->setStretchLastSection(false);
  grid_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
  grid_->setColumnHidden(3, true);
  grid_->setColumnHidden(4, true);
  grid_->setMouseTracking(true);
  grid_->viewport()->installEventFilter(this);
  grid_->installEventFilter(this);
  connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
    // While a report is written the list holds still.
    if (AddMode || EditMode) return;
    if (grid_->isVisible() && !model_->rows().empty()) {
      ShowSelectedReport();
      RefreshCommandState();
    }
  });
  lblStandBy_ = new QLabel(QStringLiteral("Sorting-- Please stand by..."), frame1_);
  lblStandBy_->setObjectName(QStringLiteral("lblStandBy"));
  lblStandBy_->setGeometry(Px(3000), Px(1500), Px(4000), Px(300));
  lblStandBy_->hide();

  const auto options = [this](const char* frameName, const QString& caption, const char* name,
                              const QString& one, const QString& two, int y, QList<QRadioButton*>& into) {
    auto* frame = new QGroupBox(caption, this);
    frame->setObjectName(QString::fromLatin1(frameName));
    frame->setGeometry(Px(9600), Px(y), Px(3300), Px(900));
    into = {nullptr};
    int i = 0;
    for (const QString& text : {one, two}) {
      auto* opt = new QRadioButton(text, frame);
      opt->setObjectName(QStringLiteral("%1%2").arg(QString::fromLatin1(name)).arg(++i));
      opt->setGeometry(Px(150), Px(250 + (i - 1) * 300), Px(3000), Px(280));
      into.append(opt);
    }
    return frame;
  };
  frameDisplay_ = options("frameDisplay", QStringLiteral(" Display the "), "optDisplay", QStringLiteral("Active List"),
                          QStringLiteral("Inactive List"), 60, optDisplay_);
  frameSort_ = options("frameSort", QStringLiteral(" Sort by "), "optSort", QStringLiteral("Case#"),
                       QStringLiteral("Entered"), 1020, optSort_);
  frameShow_ = options("frameShow", QStringLiteral(" Show in right column "), "optShow",
                       QStringLiteral("Remarks"), QStringLiteral("Violation(s)"), 1980, optShow_);
  optSort_[1]->setToolTip(QStringLiteral(" Sort numerically by the Case# "));
  optSort_[2]->setToolTip(QStringLiteral(" Sort by the date the report was entered into the database "));
  for (int i = 1; i <= 2; ++i) {
    connect(optDisplay_[i], &QRadioButton::clicked, this, [this, i] { optDisplay_Click(i); });
    connect(optSort_[i], &QRadioButton::clicked, this, [this, i] { optSort_Click(i); });
    connect(optShow_[i], &QRadioButton::clicked, this, [this, i] { optShow_Click(i); });
  }

  AddCommand("cmdRefreshGrid", QStringLiteral("Refresh &List"))->setGeometry(Px(9600), Px(3000), Px(1600), Px(450));
  AddCommand("cmdNetworkInfo", QStringLiteral("Networ&k"))->setGeometry(Px(11300), Px(3000), Px(1600), Px(450));

  frame2_ = new QGroupBox(this);
  frame2_->setObjectName(QStringLiteral("frame2"));
  frame2_->setGeometry(Px(120), Px(4000 + extra), Px(12800), Px(5500));
  form_ = new ReportForm(session_, frame2_);
  form_->setGeometry(Px(60), Px(60), Px(12680), Px(5380));

  // Two rows of commands; hidden commands leave no gaps.
  const auto row = [this](int y, std::initializer_list<ZelButton*> buttons) {
    auto* w = new QWidget(this);
    auto* layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(Px(60));
    for (ZelButton* b : buttons) {
      b->setParent(w);
      layout->addWidget(b);
    }
    layout->addStretch();
    w->setGeometry(Px(120), Px(y), Px(12800), Px(460));
    return w;
  };
  commandRow1_ = row(9600 + extra,
                     {AddCommand("cmdAddEntry"), AddCommand("cmdAddSave"), AddCommand("cmdAddCancel"),
                      AddCommand("cmdEditEntry"), AddCommand("cmdEditSave"), AddCommand("cmdEditCancel"),
                      AddCommand("cmdArchiveEntry"), AddCommand("cmdRestoreEntry"), AddCommand("cmdDeleteEntry"),
                      AddCommand("cmdPrintEntry"), AddCommand("cmdEmailEntry")});
  commandRow2_ = row(10150 + extra,
                     {AddCommand("cmdFindEntries"), AddCommand("cmdSeeAllEntries"), AddCommand("cmdPrintList"),
                      AddCommand("cmdHelp", QStringLiteral("&Help")), AddCommand("cmdAbout", QStringLiteral("A&bout")),
                      AddCommand("cmdUserInfo", QStringLiteral("User &Info")),
                      AddCommand("cmdAdminWindow", QStringLiteral("Ad&ministrative Window")),
                      AddCommand("cmdQuit", QStringLiteral("&Quit"))});
  resize(width(), Px(height + 150));

  connect(command(QStringLiteral("cmdHelp")), &ZelButton::Click, this, [this] { OpenManual(session_, this); });
  connect(command(QStringLiteral("cmdAbout")), &ZelButton::Click, this, &frmMain::cmdAbout_Click);
  connect(command(QStringLiteral("cmdUserInfo")), &ZelButton::Click, this, &frmMain::cmdUserInfo_Click);
  connect(command(QStringLiteral("cmdNetworkInfo")), &ZelButton::Click, this, &frmMain::cmdNetworkInfo_Click);
  connect(command(QStringLiteral("cmdRefreshGrid")), &ZelButton::Click, this, &frmMain::cmdRefreshGrid_Click);
  connect(command(QStringLiteral("cmdAdminWindow")), &ZelButton::Click, this, &frmMain::cmdAdminWindow_Click);
  connect(command(QStringLiteral("cmdQuit")), &ZelButton::Click, this, &frmMain::cmdQuit_Click);
  connect(command(QStringLiteral("cmdFindEntries")), &ZelButton::Click, this, &frmMain::cmdFindEntries_Click);
  connect(command(QStringLiteral("cmdSeeAllEntries")), &ZelButton::Click, this, &frmMain::cmdSeeAllEntries_Click);
  // Adding starts on the release of a mouse button over the command: the
  // right button starts a template entry. Enter and the space bar start an
  // ordinary one.
  ZelButton* add = command(QStringLiteral("cmdAddEntry"));
  connect(add, &ZelButton::Click, this, [this] { StartAdding(false); });
  connect(add, &ZelButton::MouseUp, this, [this, add](int button, int, int x, int y) {
    if (button == ZelButton::kRightButton && add->rect().contains(x, y)) StartAdding(true);
  });
  connect(command(QStringLiteral("cmdAddSave")), &ZelButton::Click, this, &frmMain::cmdAddSave_Click);
  connect(command(QStringLiteral("cmdAddCancel")), &ZelButton::Click, this, &frmMain::cmdAddCancel_Click);
  connect(command(QStringLiteral("cmdEditEntry")), &ZelButton::Click, this, &frmMain::cmdEditEntry_Click);
  connect(command(QStringLiteral("cmdEditSave")), &ZelButton::Click, this, &frmMain::cmdEditSave_Click);
  connect(command(QStringLiteral("cmdEditCancel")), &ZelButton::Click, this, &frmMain::cmdEditCancel_Click);
  connect(command(QStringLiteral("cmdArchiveEntry")), &ZelButton::Click, this, &frmMain::cmdArchiveEntry_Click);
  connect(command(QStringLiteral("cmdRestoreEntry")), &ZelButton::Click, this, &frmMain::cmdRestoreEntry_Click);
  connect(command(QStringLiteral("cmdDeleteEntry")), &ZelButton::Click, this, &frmMain::cmdDeleteEntry_Click);
  connect(form_, &ReportForm::FieldChanged, this, [this] {
    entriesChanged_ = true;
    SaveButtonRule();
  });
  // The keyboard leaves the fields for the commands of the mode.
  connect(form_, &ReportForm::TabbedPastLastField, this, [this] {
    ZelButton* save = command(AddMode ? QStringLiteral("cmdAddSave") : QStringLiteral("cmdEditSave"));
    ZelButton* cancel = command(AddMode ? QStringLiteral("cmdAddCancel") : QStringLiteral("cmdEditCancel"));
    (save->isEnabled() ? save : cancel)->setFocus(Qt::TabFocusReason);
  });
  connect(form_, &ReportForm::TabbedBeforeFirstField, this, [this] {
    command(AddMode ? QStringLiteral("cmdAddCancel") : QStringLiteral("cmdEditCancel"))->setFocus(Qt::BacktabFocusReason);
  });
  connect(form_, &ReportForm::AddEditPictureClicked, this, &frmMain::cmdAddEditPic_Click);
  connect(form_, &ReportForm::DeletePictureClicked, this, &frmMain::cmdDeletePic_Click);
  // The tabs by keyboard, also where a command owns a tab's access key.
  const auto tabKeys = [this](std::initializer_list<QKeySequence> keys, int step) {
    for (const QKeySequence& k : keys) {
      auto* shortcut = new QShortcut(k, this);
      connect(shortcut, &QShortcut::activated, this, [this, step] {
        if (!form_->isVisible()) return;
        form_->setCurrentIndex((form_->currentIndex() + step + form_->count()) % form_->count());
      });
    }
  };
  tabKeys({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1);
  tabKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
           QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
          -1);
  // Printing, e-mail and enlarged pictures come later; until then they say so.
  for (const char* name : {"cmdPrintEntry", "cmdPrintList", "cmdEmailEntry"}) {
    SayNotAvailableYet(session_, command(QString::fromLatin1(name)));
  }
  for (int slot = 1; slot <= 3; ++slot) SayNotAvailableYet(session_, form_->largerPictureButton(slot));
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(f1, &QShortcut::activated, this, [this] { OpenManual(session_, this); });
  // "&Add New Report" and the tab "&Administrative" share a letter; the
  // command wins, as the user means it.
  GiveButtonsAccessKeyPriority(this);
}

void frmMain::paintEvent(QPaintEvent*) {
  QPainter p(this);
  TileBackground(p, BackgroundTile(), rect());
}

void frmMain::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (!activated_) WhenFirstActive(this, [this] { Form_Activate(); });
}

void frmMain::Form_Activate() {
  if (activated_ || !isVisible()) return;
  activated_ = true;
  form_->SetHeadingCaptions();
  cmdSeeAllEntries_Click();
  if (model_->rows().empty()) {
    MessageRequest r;
    r.caption = QStringLiteral("Nothing on file");
    r.iconKind = kIconInformation;
    r.message = QStringLiteral("There are currently\nno entries in your database...");
    r.buttons = {QStringLiteral("&Continue")};
    r.defaultButton = 1;
    ShowMessage(session_, r, this);
    ZelButton* add = command(QStringLiteral("cmdAddEntry"));
    if (add->isVisible() && add->isEnabled()) add->setFocus();
  } else if (grid_->isVisible() && grid_->isEnabled()) {
    grid_->setFocus();
  }
  if (form_->isVisible()) form_->setCurrentIndex(0);
}

void frmMain::cmdUserInfo_Click() {
  ShowNotice(session_, this, QStringLiteral("User Information"), QStringLiteral("Current User:\n") + session_.CurrentUserName() + QStringLiteral("\n\nAccess Level:\n") +
              QString::fromLatin1(startup::AccessLevelName(session_.signIn.CurrentAccessLevel).data()));
}

void frmMain::cmdAbout_Click() {
  const QString title = session_.applicationTitle();
  ShowNotice(session_, this, QStringLiteral("About ") + title, title + QStringLiteral(" - Incident Report Writing Software\n") + VersionCaption() +
              QStringLiteral("\n\n"
                             "Reports, users and activity logs are kept as plain files in the data folder:\n") +
              QString::fromStdString(session_.dataFolder().string()) +
              QStringLiteral("\n\n"
                             "The reports hold information about people and incidents. Use them only\n"
                             "for your agency's work, and share them only as your agency's rules allow."));
}

void frmMain::cmdNetworkInfo_Click() {
  const auto count = network::ReadConcurrentUsers(session_.dataFolder());
  ShowNotice(session_, this, QStringLiteral("Networking Information"), count.ok() ? QStringLiteral("Concurrent Users -\n\nNow online: %1").arg(*count)
                         : QString::fromStdString(count.message()));
}

bool frmMain::MayLeaveWriting() {
  if (!AddMode && !EditMode) return true;
  MessageRequest r;
  r.caption = QStringLiteral("Discard Report?");
  r.iconKind = kIconWarning;
  r.message = QStringLiteral("The report you are writing has not been saved.\nDiscard it?");
  r.buttons = {QStringLiteral("&Discard it"), QStringLiteral("&Keep writing")};
  r.defaultButton = 2;
  return ShowMessage(session_, r, this).pressedButton == 1;
}

void frmMain::cmdAdminWindow_Click() {
  if (!MayLeaveWriting()) return;
  // Leaving signs the user out (the closing writes the line).
  closingByProgram_ = true;
  close();
  auto* admin = new frmAdmin(session_);
  admin->show();
}

void frmMain::cmdQuit_Click() {
  if (!MayLeaveWriting()) return;
  ExitProgram(session_, false, this);
}

void frmMain::closeEvent(QCloseEvent* e) {
  if (!closingByProgram_ && !session_.exiting) {
    e->ignore();
    cmdQuit_Click();
    // A confirmed exit closes every window, but this one is already closing
    // and is not closed again: its closing work runs here.
    if (!session_.exiting) return;
  }
  Unload();
  e->accept();
}

void frmMain::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  flasher_->Stop();
  LogSignInOut(session_, this, logs::kSignedOut);
}

}  // namespace kestrova::gui
