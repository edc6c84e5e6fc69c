#include "gui/reports/frm_main.h"

#include <QApplication>
#include <QGroupBox>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "core/logs/activity_log.h"
#include "core/network/concurrent_users.h"
#include "core/users/access_level.h"
#include "gui/network/refresh_watch.h"
#include "gui/output/email_report.h"
#include "gui/output/print_commands.h"
#include "gui/reports/browsing_side.h"
#include "gui/reports/command_bar.h"
#include "gui/reports/list_moves.h"
#include "gui/reports/main_window_parts.h"
#include "gui/reports/picture_slots.h"
#include "gui/reports/report_form.h"
#include "gui/reports/report_list_model.h"
#include "gui/reports/report_list_panel.h"
#include "gui/reports/writing_side.h"
#include "gui/session/activity_logs.h"
#include "gui/session/exit_program.h"
#include "gui/session/message_dialog.h"
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
  refreshWatch_ =
      new RefreshWatch(session_, commands_->button(Command::RefreshGrid), [this] { return list_->rowCount() > 0; });
  const MainWindowParts parts{session_, this, list_, frame2_, form_, commands_, flasher_, refreshWatch_};
  browsing_ = new BrowsingSide(parts);
  writing_ = new WritingSide(parts, *browsing_);
  moves_ = new ListMoves(parts, *browsing_);
  ConnectCommands();
  connect(browsing_, &BrowsingSide::CommandsStale, this, &frmMain::RefreshCommandState);
  connect(browsing_, &BrowsingSide::ChartRequested, this, &frmMain::ChartWindowRequested);
  connect(writing_, &WritingSide::CommandsStale, this, &frmMain::RefreshCommandState);
  connect(writing_, &WritingSide::FormAlone, this, &frmMain::ShrinkToTheForm);
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
  auto* middle = new QHBoxLayout;
  middle->setSpacing(Px(120));
  middle->addWidget(frame2_, 0, Qt::AlignTop);
  middle->addStretch(1);
  column->addLayout(middle);
  column->addWidget(commands_->row(0));
  column->addWidget(commands_->row(1));
  // While adding, the list is out of sight: the room it leaves stays below.
  column->addStretch(0);
  column_ = column;
  middle_ = middle;
  // The keyboard's way through the fields brings each into view.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now && scroll_->widget()->isAncestorOf(now)) scroll_->ensureWidgetVisible(now, Px(300), Px(300));
  });
  setMinimumSize(Px(6000), Px(4000));
  resize(OpeningSize());
  if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

QSize frmMain::OpeningSize() {
  // The design's size, a tall screen lending its extra height to the list;
  // never less than shows every control without scrolling, never more than
  // the screen has room for (the window frame counted as a title bar).
  const QScreen* s = screen();
  const QRect room = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
  const int frame = Px(kWindowFrameTwips);
  const QSize fits(room.width() - frame, room.height() - 4 * frame);
  PlaceCommands(false);
  QSize needed = scroll_->widget()->minimumSizeHint();
  if (needed.height() > fits.height()) {
    PlaceCommands(true);
    const QSize beside = scroll_->widget()->minimumSizeHint();
    if (beside.width() <= fits.width() && beside.height() < needed.height()) {
      needed = beside;
    } else {
      PlaceCommands(false);
    }
  }
  // A pixel or two to spare: at a fractional scale the window's size in
  // device pixels is rounded, and one pixel short would bring both bars.
  needed += QSize(2, 2);
  int height = Px(kHeightTwips + 150);
  if (ScreenTwips(s).height() > 9000) height = Px(ScreenTwips(s).height() / 1.3 + 150);
  // What still scrolls up and down keeps its width beside the scroll bar.
  const int bar = needed.height() > fits.height() ? scroll_->verticalScrollBar()->sizeHint().width() : 0;
  return {std::min(std::max(Px(kWidthTwips), needed.width() + bar), fits.width()),
          std::min(std::max(height, needed.height()), fits.height())};
}

void frmMain::PlaceCommands(bool besideTheForm) {
  for (int i = 0; i < 2; ++i) {
    QWidget* row = commands_->row(i);
    column_->removeWidget(row);
    middle_->removeWidget(row);
    static_cast<QBoxLayout*>(row->layout())
        ->setDirection(besideTheForm ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    // A column is as wide as its widest caption, shown or not.
    int widest = 0;
    for (const ZelButton* b : row->findChildren<ZelButton*>()) widest = std::max(widest, b->sizeHint().width());
    row->setMinimumWidth(besideTheForm ? widest : 0);
    if (besideTheForm) {
      middle_->insertWidget(1 + i, row, 0, Qt::AlignTop);
    } else {
      column_->insertWidget(2 + i, row);
    }
  }
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
  // Left (the browsing side): the list is rebuilt; right: the sound options.
  ZelButton* refresh = command(Command::RefreshGrid);
  connect(refresh, &ZelButton::MouseUp, this, [this, refresh](int button, int, int x, int y) {
    if (button == ZelButton::kRightButton) refreshWatch_->ShowSoundMenu(refresh->mapToGlobal(QPoint(x, y)));
  });
  on(Command::AdminWindow, &frmMain::cmdAdminWindow_Click);
  on(Command::Quit, &frmMain::cmdQuit_Click);
  connect(command(Command::EmailEntry), &ZelButton::Click, this,
          [this] { EmailReport(session_, this, form_->Texts(), skipEmailNotice_); });
  on(Command::PrintEntry, &frmMain::cmdPrintEntry_Click);
  on(Command::PrintList, &frmMain::cmdPrintList_Click);
  for (int slot = 1; slot <= 3; ++slot) {
    connect(form_->largerPictureButton(slot), &ZelButton::Click, this, [this, slot] { cmdLargerPic_Click(slot); });
  }

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

ZelButton* frmMain::command(Command c) const { return commands_->button(c); }

bool frmMain::adding() const { return writing_->adding(); }
bool frmMain::editing() const { return writing_->editing(); }
bool frmMain::templateAdd() const { return writing_->templateAdd(); }
const reports::ListFlags& frmMain::listFlags() const { return browsing_->flags(); }

void frmMain::Form_Activate() {
  if (activated_ || !isVisible()) return;
  activated_ = true;
  browsing_->Activate();
  FitToScreen();
  refreshWatch_->RememberNow();
  form_->SetHeadingCaptions();
  browsing_->SeeAllEntries();
  if (list_->rowCount() == 0) {
    ShowMessage(session_,
                {.caption = QStringLiteral("Nothing on file"),
                 .iconKind = kIconInformation,
                 .message = QStringLiteral("There are currently\nno entries in your database..."),
                 .buttons = {QStringLiteral("&Continue")}},
                this);
    ZelButton* add = command(Command::AddEntry);
    if (add->isVisible() && add->isEnabled()) add->setFocus();
  } else {
    browsing_->GiveTheListTheKeyboard();
  }
  if (form_->isVisible()) form_->setCurrentIndex(0);
}

void frmMain::RefreshCommandState() {
  reports::MainWindowState s;
  const reports::ListFlags& flags = browsing_->flags();
  s.FullListShown = flags.FullListShown;
  s.PhraseSearchActive = flags.PhraseSearchActive;
  s.SummaryActive = flags.SummaryActive;
  s.AddMode = adding();
  s.EditMode = editing();
  s.InactiveListShown = list_->display() == reports::DisplayList::Inactive;
  s.selectedRow = list_->currentRow();
  s.rowCount = list_->rowCount() + 1;
  s.accessLevel = session_.signIn.CurrentAccessLevel;
  for (std::size_t i = 0; i < 3; ++i) s.picturePaths[i] = form_->picturePaths()[i].toStdString();
  commands_->Apply(reports::CommandState(s, session_.applicationTitle().toStdString()));
  form_->pictures().ApplyButtons(s);
  const bool writing = adding() || editing();
  // While a report is written the list options cannot change the list;
  // while adding they are out of sight with the list.
  list_->HoldStill(writing);
  if (adding()) {
    for (QWidget* w : ListSide()) w->hide();
  }
  writing_->SaveButtonRule();
  frame2_->setVisible(true);
  form_->setVisible(s.selectedRow > 0 || adding());
}

QList<QWidget*> frmMain::ListSide() const {
  QList<QWidget*> side = list_->optionFrames();
  side << command(Command::RefreshGrid) << command(Command::NetworkInfo);
  return side;
}

void frmMain::ShrinkToTheForm(bool shrink) {
  const QList<QWidget*> side = ListSide();
  // A maximised window keeps its size; the list's room stays below.
  const bool sized = !isMaximized() && !isFullScreen();
  if (shrink) {
    savedGeometry_ = geometry();
    listSideShown_.clear();
    for (QWidget* w : side) listSideShown_.append(w->isVisible());
    lift_ = frame2_->y() - list_->frame()->y();
    list_->frame()->setEnabled(false);
    list_->frame()->hide();
    for (QWidget* w : side) w->hide();
    if (!sized) return;
    resize(width(), std::max(minimumHeight(), height() - lift_));
    // A quarter of the way down the screen, if all of it fits there.
    if (const QScreen* s = screen()) {
      const QRect room = s->availableGeometry();
      const int frameHeight = frameGeometry().height() - geometry().height();
      const int top = std::min(room.top() + s->geometry().height() / 4, room.bottom() + 1 - height() - frameHeight);
      move(x(), std::max(room.top(), top));
    }
    return;
  }
  if (sized) setGeometry(savedGeometry_);
  for (int i = 0; i < side.size() && i < listSideShown_.size(); ++i) side[i]->setVisible(listSideShown_[i]);
  list_->frame()->show();
  list_->frame()->setEnabled(true);
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
  if (!writing_->adding() && !writing_->editing()) return true;
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

// The report as the form shows it, with the pictures of the report on
// display (the names it has stored, not what was read last).
void frmMain::cmdPrintEntry_Click() {
  PrintShownReport(session_, this, form_->Texts(), form_->pictures().paths(), skipReadyToPrintQuestion_);
}

void frmMain::cmdPrintList_Click() {
  ShownList shown{.title = list_->caption(), .headings = {}, .rows = list_->model().rows()};
  for (int c = 0; c < 3; ++c) {
    shown.headings[std::size_t(c)] =
        list_->model().headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toStdString();
  }
  PrintShownList(session_, this, std::move(shown));
}

void frmMain::cmdLargerPic_Click(int slot) {
  const QString path = form_->pictures().paths()[std::size_t(slot - 1)];
  if (auto picture = ReadablePicture(session_, this, slot, path, form_->Texts())) emit LargePictureRequested(*picture);
}

}  // namespace kestrova::gui
