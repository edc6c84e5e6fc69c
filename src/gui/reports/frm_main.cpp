// The main window: its layout, first activation, small commands and leaving.

#include "gui/reports/frm_main.h"

#include <QApplication>
#include <QGroupBox>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "core/logs/activity_log.h"
#include "core/network/concurrent_users.h"
#include "core/users/access_level.h"
#include "gui/network/refresh_watch.h"
#include "gui/output/email_report.h"
#include "gui/reports/command_bar.h"
#include "gui/reports/picture_slots.h"
#include "gui/reports/report_form.h"
#include "gui/reports/report_list_panel.h"
#include "gui/session/activity_logs.h"
#include "gui/session/exit_program.h"
#include "gui/session/message_dialog.h"
#include "gui/session/not_available.h"
#include "gui/session/session.h"
#include "gui/session/shared_utilities.h"
#include "gui/session/window_skeleton.h"
#include "gui/ui/button_flasher.h"
#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"

namespace kestrova::gui {

using reports::Command;

namespace {

int Px(int twips) { return ToPixels(twips); }

}  // namespace

frmMain::frmMain(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
  setObjectName(QStringLiteral("frmMain"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(session_.applicationTitle());
  BuildLayout();
  ConnectCommands();
  // Loading: the search starts from kind 1, ignoring capitalization; the
  // list options come from the settings.
  search::ResetForMainWindow(session_.searchCriteria);
  const auto option = [this](const QString& key) {
    const int v = session_.settings().Read(key).value_or(QStringLiteral("1")).toInt();
    return v == 2 ? 2 : 1;
  };
  list_->SetOptions(option(QStringLiteral("SortOption")), option(QStringLiteral("ShowOption")));
  form_->setCurrentIndex(0);
  flasher_ = new ButtonFlasher(ButtonFlasher::Family::Main, this);
  refreshWatch_ = new RefreshWatch(session_, command(Command::RefreshGrid), [this] { return list_->rowCount() > 0; });
  skeleton_ = new WindowSkeleton(session_, this,
                                 {.firstActivation = [this] { Form_Activate(); },
                                  .quit = [this] { cmdQuit_Click(); },
                                  .closing = [this] { Unload(); }});
}

void frmMain::BuildLayout() {
  // Everything sits in one scrolling area: a window smaller than what it
  // holds (a small screen, a large scale) scrolls instead of cutting or
  // piling controls on one another. Extra room goes to the list.
  scroll_ = new QScrollArea(this);
  scroll_->setObjectName(QStringLiteral("scrollWindow"));
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(true);
  scroll_->viewport()->setAutoFillBackground(false);  // the tiled background shows
  auto* content = new QWidget;
  content->setObjectName(QStringLiteral("windowContent"));
  content->setAutoFillBackground(false);
  scroll_->setWidget(content);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(scroll_);

  list_ = new ReportListPanel(content);
  frame2_ = new QGroupBox(content);
  frame2_->setObjectName(QStringLiteral("frame2"));
  form_ = new ReportForm(session_, frame2_);
  form_->setFixedSize(Px(12680), Px(5380));
  auto* inFrame2 = new QVBoxLayout(frame2_);
  inFrame2->setContentsMargins(Px(60), Px(60), Px(60), Px(60));
  inFrame2->addWidget(form_);
  frame2_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  commands_ = new CommandBar(content);

  auto* side = new QVBoxLayout;
  side->setSpacing(Px(60));
  for (QWidget* frame : list_->optionFrames()) side->addWidget(frame);
  side->addStretch(1);
  auto* sideButtons = new QHBoxLayout;
  sideButtons->setSpacing(Px(100));
  sideButtons->addWidget(command(Command::RefreshGrid));
  sideButtons->addWidget(command(Command::NetworkInfo));
  side->addLayout(sideButtons);
  auto* top = new QHBoxLayout;
  top->setSpacing(Px(130));
  top->addWidget(list_->frame(), 1);
  top->addLayout(side);

  auto* column = new QVBoxLayout(content);
  column->setContentsMargins(Px(120), Px(60), Px(120), Px(90));
  column->setSpacing(Px(75));
  column->addLayout(top, 1);
  column->addWidget(frame2_, 0, Qt::AlignLeft);
  column->addWidget(commands_->row(0));
  column->addWidget(commands_->row(1));
  // While adding, the list is out of sight: the room it leaves stays below.
  column->addStretch(0);
  // The keyboard's way through the fields brings each into view.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now && scroll_->widget()->isAncestorOf(now)) scroll_->ensureWidgetVisible(now, Px(300), Px(300));
  });
  setMinimumSize(Px(6000), Px(4000));
  resize(OpeningSize());
  if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

QSize frmMain::OpeningSize() const {
  // The design's size, a tall screen lending its extra height to the list;
  // never less than shows every control without scrolling, never more than
  // the screen has room for (the window frame counted as a title bar).
  const QScreen* s = screen();
  const QRect room = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
  int height = Px(kHeightTwips + 150);
  if (ScreenTwips(s).height() > 9000) height = Px(ScreenTwips(s).height() / 1.3 + 150);
  const QSize needed = scroll_->widget()->minimumSizeHint();
  const int frame = Px(kWindowFrameTwips);
  return {std::min(std::max(Px(kWidthTwips), needed.width()), room.width() - frame),
          std::min(std::max(height, needed.height()), room.height() - 4 * frame)};
}

void frmMain::FitToScreen() {
  // Once the window manager has framed and placed the window: all of it on
  // the screen, however large its title bar turned out.
  const QScreen* s = screen();
  if (!s || isMaximized() || isFullScreen()) return;
  const QRect room = s->availableGeometry();
  const QRect outside = frameGeometry();
  const QSize frame = outside.size() - size();
  const QSize fits(std::min(width(), room.width() - frame.width()), std::min(height(), room.height() - frame.height()));
  if (fits != size()) resize(fits);
  QRect placed(outside.topLeft(), fits + frame);
  if (!room.contains(placed)) {
    placed.moveLeft(std::clamp(placed.left(), room.left(), room.right() + 1 - placed.width()));
    placed.moveTop(std::clamp(placed.top(), room.top(), room.bottom() + 1 - placed.height()));
    move(placed.topLeft());
  }
}

void frmMain::ConnectCommands() {
  const auto on = [this](Command c, void (frmMain::*handler)()) {
    connect(command(c), &ZelButton::Click, this, handler);
  };
  connect(command(Command::Help), &ZelButton::Click, this, [this] { OpenManual(session_, this); });
  on(Command::About, &frmMain::cmdAbout_Click);
  on(Command::UserInfo, &frmMain::cmdUserInfo_Click);
  on(Command::NetworkInfo, &frmMain::cmdNetworkInfo_Click);
  // Left: the button rests again and the list is rebuilt; right: the sound options.
  ZelButton* refresh = command(Command::RefreshGrid);
  connect(refresh, &ZelButton::Click, this, [this] {
    refreshWatch_->Reset();
    RefreshAll();
  });
  connect(refresh, &ZelButton::MouseUp, this, [this, refresh](int button, int, int x, int y) {
    if (button == ZelButton::kRightButton) refreshWatch_->ShowSoundMenu(refresh->mapToGlobal(QPoint(x, y)));
  });
  on(Command::AdminWindow, &frmMain::cmdAdminWindow_Click);
  on(Command::Quit, &frmMain::cmdQuit_Click);
  on(Command::FindEntries, &frmMain::cmdFindEntries_Click);
  on(Command::SeeAllEntries, &frmMain::cmdSeeAllEntries_Click);
  // Adding starts on the release of a mouse button over the command: the
  // right button starts a template entry. Enter and the space bar start an
  // ordinary one.
  ZelButton* add = command(Command::AddEntry);
  connect(add, &ZelButton::Click, this, [this] { StartAdding(false); });
  connect(add, &ZelButton::MouseUp, this, [this, add](int button, int, int x, int y) {
    if (button == ZelButton::kRightButton && add->rect().contains(x, y)) StartAdding(true);
  });
  on(Command::AddSave, &frmMain::cmdAddSave_Click);
  connect(command(Command::AddCancel), &ZelButton::Click, this, [this] { EndAdding(QString()); });
  on(Command::EditEntry, &frmMain::cmdEditEntry_Click);
  on(Command::EditSave, &frmMain::cmdEditSave_Click);
  connect(command(Command::EditCancel), &ZelButton::Click, this, [this] { EndEditing(false); });
  on(Command::ArchiveEntry, &frmMain::cmdArchiveEntry_Click);
  on(Command::RestoreEntry, &frmMain::cmdRestoreEntry_Click);
  on(Command::DeleteEntry, &frmMain::cmdDeleteEntry_Click);
  // Printing, e-mail and enlarged pictures come later; until then they say so.
  connect(command(Command::EmailEntry), &ZelButton::Click, this,
          [this] { EmailReport(session_, this, form_->Texts(), skipEmailNotice_); });
  for (Command c : {Command::PrintEntry, Command::PrintList}) {
    SayNotAvailableYet(session_, command(c));
  }
  for (int slot = 1; slot <= 3; ++slot) SayNotAvailableYet(session_, form_->largerPictureButton(slot));

  connect(list_, &ReportListPanel::RowChanged, this, [this] {
    // While a report is written the list holds still.
    if (mode_ != Mode::Viewing) return;
    ShowSelectedReport();
    RefreshCommandState();
  });
  connect(list_, &ReportListPanel::DisplayChosen, this, &frmMain::optDisplay_Click);
  connect(list_, &ReportListPanel::SortChosen, this, &frmMain::optSort_Click);
  connect(list_, &ReportListPanel::ShowChosen, this, &frmMain::optShow_Click);
  connect(form_, &ReportForm::FieldChanged, this, [this] {
    entriesChanged_ = true;
    SaveButtonRule();
  });
  connect(&form_->pictures(), &PictureSlots::Changed, this, [this] {
    entriesChanged_ = true;
    RefreshCommandState();
  });
  // The keyboard leaves the fields for the commands of the mode.
  connect(form_, &ReportForm::TabbedPastLastField, this, [this] {
    ZelButton* save = command(adding() ? Command::AddSave : Command::EditSave);
    (save->isEnabled() ? save : command(adding() ? Command::AddCancel : Command::EditCancel))
        ->setFocus(Qt::TabFocusReason);
  });
  connect(form_, &ReportForm::TabbedBeforeFirstField, this,
          [this] { command(adding() ? Command::AddCancel : Command::EditCancel)->setFocus(Qt::BacktabFocusReason); });
  // The tabs by keyboard, also where a command owns a tab's access key.
  const auto tabKeys = [this](std::initializer_list<QKeySequence> keys, int step) {
    for (const QKeySequence& k : keys) {
      connect(new QShortcut(k, this), &QShortcut::activated, this, [this, step] {
        if (form_->isVisible())
          form_->setCurrentIndex((form_->currentIndex() + step + form_->count()) % form_->count());
      });
    }
  };
  tabKeys({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1);
  tabKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
           QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
          -1);
  connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
          [this] { OpenManual(session_, this); });
  // "&Add New Report" and the tab "&Administrative" share a letter; the
  // command wins, as the user means it.
  GiveButtonsAccessKeyPriority(this);
}

QTableView* frmMain::grid() const { return list_->grid(); }
ReportListModel& frmMain::model() const { return list_->model(); }
QString frmMain::listCaption() const { return list_->caption(); }
int frmMain::currentRow() const { return list_->currentRow(); }
int frmMain::topRow() const { return list_->topRow(); }
ZelButton* frmMain::command(Command c) const { return commands_->button(c); }

void frmMain::Form_Activate() {
  if (activated_ || !isVisible()) return;
  activated_ = true;
  FitToScreen();
  refreshWatch_->RememberNow();
  form_->SetHeadingCaptions();
  cmdSeeAllEntries_Click();
  if (list_->rowCount() == 0) {
    ShowMessage(session_,
                {.caption = QStringLiteral("Nothing on file"),
                 .iconKind = kIconInformation,
                 .message = QStringLiteral("There are currently\nno entries in your database..."),
                 .buttons = {QStringLiteral("&Continue")}},
                this);
    ZelButton* add = command(Command::AddEntry);
    if (add->isVisible() && add->isEnabled()) add->setFocus();
  } else if (grid()->isVisible() && grid()->isEnabled()) {
    grid()->setFocus();
  }
  if (form_->isVisible()) form_->setCurrentIndex(0);
}

void frmMain::cmdUserInfo_Click() {
  ShowNotice(session_, this, QStringLiteral("User Information"),
             QStringLiteral("Current User:\n") + session_.CurrentUserName() + QStringLiteral("\n\nAccess Level:\n") +
                 QString::fromLatin1(users::AccessLevelName(session_.signIn.CurrentAccessLevel).data()));
}

void frmMain::cmdAbout_Click() {
  const QString title = session_.applicationTitle();
  ShowNotice(session_, this, QStringLiteral("About ") + title,
             title + QStringLiteral(" - Incident Report Writing Software\n") + VersionCaption() +
                 QStringLiteral("\n\nReports, users and activity logs are kept as plain files in the data folder:\n") +
                 QString::fromStdString(session_.folder().path().string()) +
                 QStringLiteral("\n\nThe reports hold information about people and incidents. Use them only\n"
                                "for your agency's work, and share them only as your agency's rules allow."));
}

void frmMain::cmdNetworkInfo_Click() {
  auto pause = session_.PauseChangeWatch();
  const auto count = network::ReadConcurrentUsers(session_.folder().path(), session_.folder().options());
  ShowNotice(session_, this, QStringLiteral("Networking Information"),
             count.ok() ? QStringLiteral("Concurrent Users -\n\nNow online: %1").arg(*count)
                        : QString::fromStdString(count.message()));
}

bool frmMain::MayLeaveWriting() {
  if (mode_ == Mode::Viewing) return true;
  const MessageRequest r{.caption = QStringLiteral("Discard Report?"),
                         .iconKind = kIconWarning,
                         .message = QStringLiteral("The report you are writing has not been saved.\nDiscard it?"),
                         .defaultButton = 2,
                         .buttons = {QStringLiteral("&Discard it"), QStringLiteral("&Keep writing")}};
  if (ShowMessage(session_, r, this).pressedButton == 1) return true;
  // Back to the field being written, not the command that asked.
  if (form_->currentField() >= 1) {
    form_->FocusField(form_->currentField());
  } else {
    form_->FocusFirstFieldOfTab();
  }
  return false;
}

void frmMain::cmdAdminWindow_Click() {
  if (!MayLeaveWriting()) return;
  // Leaving signs the user out (the closing writes the line).
  skeleton_->CloseByProgram();
  emit AdminWindowRequested();
}

void frmMain::cmdQuit_Click() {
  if (!MayLeaveWriting()) return;
  ExitProgram(session_, false, this);
}

void frmMain::Unload() {
  flasher_->Stop();
  LogSignInOut(session_, this, logs::kSignedOut, session_.signIn);
}

}  // namespace kestrova::gui
