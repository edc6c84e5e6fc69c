#include "gui/users/frm_admin.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPainter>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <filesystem>

#include "core/logs/activity_log.h"
#include "core/text/fixed_text.h"
#include "core/time/date_format.h"
#include "core/users/access_level.h"
#include "core/users/admin_commands.h"
#include "core/users/user_actions.h"
#include "core/users/user_list.h"
#include "gui/session/access_code.h"
#include "gui/session/activity_logs.h"
#include "gui/session/exit_program.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/session/shared_utilities.h"
#include "gui/session/window_skeleton.h"
#include "gui/ui/background.h"
#include "gui/ui/button_flasher.h"
#include "gui/ui/first_activation.h"
#include "gui/ui/twips.h"
#include "gui/ui/zel_button.h"
#include "gui/users/backup_restore_menu.h"
#include "gui/users/frm_add_edit_user.h"
#include "gui/users/log_review_panel.h"

namespace kestrova::gui {
namespace {

const QColor kUserSelectedColour(255, 255, 128);

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Size and modification time of the user list; empty when there is none.
QString ListStamp(const std::filesystem::path& folder) {
  std::error_code ec;
  const auto path = folder / "User.List";
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) return {};
  const auto written = std::filesystem::last_write_time(path, ec);
  if (ec) return {};
  return QStringLiteral("%1 %2").arg(size).arg(written.time_since_epoch().count());
}

}  // namespace

frmAdmin::frmAdmin(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
  setObjectName(QStringLiteral("frmAdmin"));
  setAttribute(Qt::WA_DeleteOnClose);
  const QScreen* s = screen();
  setFixedSize(ToPixels(kWidthTwips, s), ToPixels(kHeightTwips, s));
  setWindowTitle(session_.applicationTitle() + QStringLiteral(" - Administrative Window"));
  skeleton_ = new WindowSkeleton(session_, this,
                                 {.firstActivation = [this] { Form_Activate(); },
                                  .quit = [this] { cmdQuit_Click(); },
                                  .closing = [this] { flasher_->Stop(); }});

  grid_ = new QTableWidget(this);
  grid_->setObjectName(QStringLiteral("grid"));
  grid_->setColumnCount(5);
  grid_->setHorizontalHeaderLabels({QStringLiteral("User List"), QStringLiteral("Access Level"),
                                    QStringLiteral("Date Created"), QStringLiteral("NameSort"),
                                    QStringLiteral("RecNum")});
  grid_->setAccessibleName(QStringLiteral("User List"));
  grid_->setColumnHidden(3, true);
  grid_->setColumnHidden(4, true);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->verticalHeader()->hide();
  grid_->horizontalHeader()->setStretchLastSection(false);
  grid_->setGeometry(ToPixels(240, s), ToPixels(300, s), ToPixels(6000, s), ToPixels(3450, s));
  grid_->viewport()->installEventFilter(this);
  connect(grid_, &QTableWidget::cellDoubleClicked, this, [this] { grid_DblClick(); });

  const auto button = [this](const char* name, const QColor& colour) {
    return MakeCommandButton(this, QString::fromLatin1(name), colour);
  };
  const QColor plain(232, 236, 244);
  cmdUserSelected_ = button("cmdUserSelected", kUserSelectedColour);
  cmdEditList_ = button("cmdEditList", QColor(128, 255, 128));
  cmdReviewLogs_ = button("cmdReviewLogs", QColor(128, 255, 255));
  cmdBackupRestore_ = button("cmdBackupRestore", plain);
  cmdAddUser_ = button("cmdAddUser", plain);
  cmdEditUser_ = button("cmdEditUser", plain);
  cmdDeleteUser_ = button("cmdDeleteUser", plain);
  cmdSignIn_ = button("cmdSignIn", QColor(255, 128, 255));
  cmdCancel_ = button("cmdCancel", plain);
  cmdHelp_ = button("cmdHelp", plain);
  cmdQuit_ = button("cmdQuit", plain);
  cmdHelp_->setCaption(QStringLiteral("&Help"));
  cmdQuit_->setCaption(QStringLiteral("&Quit"));

  const auto place = [s](ZelButton* b, int x, int y, int w, int h) {
    b->setGeometry(ToPixels(x, s), ToPixels(y, s), ToPixels(w, s), ToPixels(h, s));
  };
  place(cmdUserSelected_, 240, 3900, 2900, 500);
  place(cmdSignIn_, 3300, 4520, 1350, 450);
  place(cmdCancel_, 4750, 4520, 1490, 450);
  place(cmdAddUser_, 240, 4520, 1900, 450);
  place(cmdEditUser_, 2290, 4520, 1900, 450);
  place(cmdDeleteUser_, 4340, 4520, 1900, 450);
  place(cmdEditList_, 6500, 300, 2200, 450);
  place(cmdReviewLogs_, 6500, 850, 2200, 450);
  place(cmdBackupRestore_, 6500, 1400, 2200, 450);
  place(cmdHelp_, 6500, 3900, 2200, 450);
  place(cmdQuit_, 6500, 4520, 2200, 450);

  txtPassword_ = new QLineEdit(this);
  txtPassword_->setObjectName(QStringLiteral("txtPassword"));
  txtPassword_->setAccessibleName(QStringLiteral("Password"));
  txtPassword_->setEchoMode(QLineEdit::Password);
  // A bullet the size of the text's letters, not the style's large circle.
  txtPassword_->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 8226; }"));
  txtPassword_->setMaxLength(8);
  txtPassword_->setGeometry(ToPixels(3300, s), ToPixels(3870, s), ToPixels(2940, s), ToPixels(560, s));
  txtPassword_->hide();
  connect(txtPassword_, &QLineEdit::textChanged, this, [this] { txtPassword_Change(); });

  picLogs_ = new LogReviewPanel(session_, this);
  picLogs_->move(grid_->x(), grid_->y());
  connect(picLogs_, &LogReviewPanel::SearchStarted, this, &frmAdmin::picLogs_SearchStarted);
  connect(picLogs_, &LogReviewPanel::SearchEnded, this, &frmAdmin::picLogs_SearchEnded);
  backupRestore_ = new BackupRestoreMenu(session_, this);
  connect(backupRestore_, &BackupRestoreMenu::UsersReplaced, this, &frmAdmin::UsersReplaced);

  connect(cmdUserSelected_, &ZelButton::Click, this, &frmAdmin::cmdUserSelected_Click);
  connect(cmdSignIn_, &ZelButton::Click, this, &frmAdmin::cmdSignIn_Click);
  connect(cmdCancel_, &ZelButton::Click, this, &frmAdmin::cmdCancel_Click);
  connect(cmdEditList_, &ZelButton::Click, this, &frmAdmin::cmdEditList_Click);
  connect(cmdAddUser_, &ZelButton::Click, this, &frmAdmin::cmdAddUser_Click);
  connect(cmdEditUser_, &ZelButton::Click, this, &frmAdmin::cmdEditUser_Click);
  connect(cmdDeleteUser_, &ZelButton::Click, this, &frmAdmin::cmdDeleteUser_Click);
  connect(cmdReviewLogs_, &ZelButton::Click, this, &frmAdmin::cmdReviewLogs_Click);
  connect(cmdBackupRestore_, &ZelButton::Click, this, &frmAdmin::cmdBackupRestore_Click);
  connect(cmdHelp_, &ZelButton::Click, this, [this] { OpenManual(session_, this); });
  connect(cmdQuit_, &ZelButton::Click, this, &frmAdmin::cmdQuit_Click);
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(f1, &QShortcut::activated, this, [this] { OpenManual(session_, this); });

  SetCancelButton(this, cmdQuit_);
  flasher_ = new ButtonFlasher(ButtonFlasher::Family::Admin, this);
  ShowCommands();
}

void frmAdmin::ShowCommands() {
  const users::AdminWindowState state{.mode = mode_,
                                      .userCount = userCount_,
                                      .passwordLength = static_cast<int>(txtPassword_->text().size()),
                                      .logSearching = picLogs_->searching()};
  for (const users::AdminCommandLook& look : users::AdminCommands(state)) {
    auto* b = findChild<ZelButton*>(QLatin1String(look.name.data(), static_cast<int>(look.name.size())),
                                    Qt::FindDirectChildrenOnly);
    b->setVisible(look.visible);
    b->setEnabled(look.enabled);
  }
}

void frmAdmin::Form_Activate() {
  // A window closed before its first activation came is not activated.
  if (activated_ || !isVisible()) return;
  FillUserList();
  const QString title = session_.applicationTitle();
  cmdEditList_->setCaption(QStringLiteral("Edit '&User List'"));
  cmdEditList_->setToolTip(QStringLiteral(" Add, Edit/View, and/or Delete Users "));
  cmdAddUser_->setCaption(QStringLiteral("&Add User"));
  cmdAddUser_->setToolTip(QStringLiteral(" Add a User to the 'User Name' list "));
  cmdEditUser_->setCaption(QStringLiteral("&Edit User"));
  cmdEditUser_->setToolTip(QStringLiteral(" Edit the highlighted User "));
  cmdDeleteUser_->setCaption(QStringLiteral("&Delete User"));
  cmdDeleteUser_->setToolTip(QStringLiteral(" Delete the highlighted User "));
  cmdReviewLogs_->setCaption(QStringLiteral("&Activity Logs"));
  cmdReviewLogs_->setToolTip(QStringLiteral(" Review the program activity logs... "));
  cmdBackupRestore_->setCaption(QStringLiteral("&Backup/Restore Data"));
  cmdBackupRestore_->setToolTip(QStringLiteral(" Backup or Restore the '") + title + QStringLiteral("' data files "));
  cmdUserSelected_->setCaption(QStringLiteral("&Sign in the Highlighted User"));
  cmdUserSelected_->setToolTip(QStringLiteral(" Sign the highlighted user in... "));
  cmdHelp_->setToolTip(QStringLiteral(" Illustrated Manual "));
  cmdQuit_->setToolTip(QStringLiteral(" Exit ") + title + QStringLiteral(" "));
  activated_ = true;
  if (userCount_ < 1) {
    ShowNotice(session_, this, QStringLiteral("'User List' empty"),
               QStringLiteral("There are currently no 'Users'\nentered in the 'User List'"), kIconError,
               QStringLiteral("&Continue"));
  } else {
    SetDefaultButton(this, cmdUserSelected_);
    SelectRow(1);
    grid_->setFocus();
  }
}

void frmAdmin::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) RereadChangedList();
}

void frmAdmin::RereadChangedList() {
  // Not while a password is typed for the highlighted user, nor while the
  // logs stand where the list is (leaving log review looks again).
  if (!activated_ || mode_ == Mode::Password || mode_ == Mode::Reviewing ||
      ListStamp(session_.folder().path()) == listStamp_)
    return;
  const int row = grid_->currentRow();
  const QString highlighted = row >= 0 && grid_->item(row, 3) ? grid_->item(row, 3)->text() : QString();
  const bool signInShown = !cmdUserSelected_->isHidden();
  FillUserList();
  if (grid_->isVisible()) {
    SelectRow(1);
    for (int r = 0; r < grid_->rowCount(); ++r) {
      if (grid_->item(r, 3)->text() == highlighted) SelectRow(r + 1);
    }
    if (!signInShown && !cmdUserSelected_->isHidden()) SetDefaultButton(this, cmdUserSelected_);
  }
}

void frmAdmin::FillUserList() {
  grid_->hide();
  grid_->setRowCount(0);
  userCount_ = 0;
  identities_.clear();
  listStamp_ = ListStamp(session_.folder().path());
  // A damaged list still lists its valid users; the damage is told once.
  auto users = users::ListUsers(session_.folder());
  if (!users.ok()) {
    ShowCommands();
    ShowNotice(session_, this, QStringLiteral("User List Problem"), Q(users.message()), kIconError);
    return;
  }
  struct Row {
    QString name, level, created, sort;
    int recNum;
  };
  std::vector<Row> rows;
  int n = 0;
  for (const auto& u : users->users) {
    const int recNum = users->recordNumbers[static_cast<std::size_t>(n++)];
    identities_[recNum] = users::IdentityOf(u);
    const std::string first(text::Trim(u.FirstName));
    const std::string last(text::Trim(u.LastName));
    rows.push_back({Q(first + " " + last), Q(std::string(users::AccessLevelName(u.AccessLevel))),
                    Q(time::FormatOleDate(u.DateCreated, time::kDateFormat).value_or("")), Q(last + " " + first),
                    recNum});
  }
  userCount_ = n;
  // By last name, then first name, ignoring letter case.
  std::stable_sort(rows.begin(), rows.end(),
                   [](const Row& a, const Row& b) { return a.sort.compare(b.sort, Qt::CaseInsensitive) < 0; });
  grid_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const Row& row = rows[static_cast<std::size_t>(r)];
    const QString cells[] = {row.name, row.level, row.created, row.sort, QString::number(row.recNum)};
    for (int c = 0; c < 5; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c == 2) item->setTextAlignment(Qt::AlignCenter);
      // Even rows, counting the first data row as row 1, are shaded.
      if (c < 3 && (r + 1) % 2 == 0) item->setBackground(QColor(224, 240, 224));
      grid_->setItem(r, c, item);
    }
  }
  if (userCount_ >= 1) {
    const QScreen* s = screen();
    grid_->setColumnWidth(1, ToPixels(1900, s));
    // The heading must fit even where the font is wider than the design's.
    grid_->setColumnWidth(2, std::max(ToPixels(1250, s), grid_->horizontalHeader()->sectionSizeHint(2)));
    // Column 0 takes the rest, so the hidden columns lie beyond the edge.
    const int rest = grid_->width() - 4 - grid_->columnWidth(1) - grid_->columnWidth(2);
    grid_->setColumnWidth(0, std::max(ToPixels(4000, s) / 2, rest));
    grid_->show();
  }
  ShowCommands();
}

void frmAdmin::SelectRow(int row) {
  if (row < 1 || row > grid_->rowCount()) return;
  grid_->setCurrentCell(row - 1, 0);
  grid_->selectRow(row - 1);
  grid_->scrollToItem(grid_->item(row - 1, 0), QAbstractItemView::PositionAtTop);
}

void frmAdmin::SelectUser(const QString& nameSort) {
  if (userCount_ < 2) {
    SelectRow(1);
    return;
  }
  for (int r = 0; r < grid_->rowCount(); ++r) {
    if (grid_->item(r, 3)->text() == nameSort) {
      SelectRow(r + 1);
      return;
    }
  }
}

int frmAdmin::HighlightedRecNum() const {
  const int row = grid_->currentRow();
  if (row < 0 || !grid_->item(row, 4)) return 0;
  return grid_->item(row, 4)->text().toInt();
}

users::UserIdentity frmAdmin::HighlightedIdentity() const {
  const auto found = identities_.find(HighlightedRecNum());
  return found == identities_.end() ? users::UserIdentity{} : found->second;
}

void frmAdmin::UserListProblem(const Error& error) {
  if (error.kind != Error::Kind::Conflict) {
    ShowNotice(session_, this, QStringLiteral("User List Problem"), Q(error.message), kIconError);
    return;
  }
  ShowNotice(session_, this, QStringLiteral("User List Changed"),
             Q(error.message) + QStringLiteral("\n\nNothing was done; the list is brought up to date."), kIconWarning);
  FillUserList();
  QApplication::processEvents();
  if (grid_->isVisible()) SelectRow(1);
}

QString frmAdmin::GridToolTip() const {
  if (cmdUserSelected_->isVisible()) return QStringLiteral(" Double-click to select this User ");
  if (cmdEditUser_->isVisible() && cmdEditUser_->isEnabled()) {
    return QStringLiteral(" Double-click to view/edit this User ");
  }
  return {};
}

bool frmAdmin::eventFilter(QObject* watched, QEvent* e) {
  if (watched == grid_->viewport() && e->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(e);
    const QString tip = grid_->itemAt(help->pos()) ? GridToolTip() : QString();
    if (tip.isEmpty()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(help->globalPos(), tip, grid_->viewport());
    }
    return true;
  }
  return QWidget::eventFilter(watched, e);
}

void frmAdmin::grid_DblClick() {
  if (cmdUserSelected_->isVisible()) {
    cmdUserSelected_Click();
  } else if (cmdEditUser_->isVisible() && cmdEditUser_->isEnabled()) {
    cmdEditUser_Click();
  }
}

void frmAdmin::cmdQuit_Click() { ExitProgram(session_, false, this); }

void frmAdmin::CloseByProgram() {
  flasher_->Stop();
  skeleton_->CloseByProgram();
}

}  // namespace kestrova::gui
