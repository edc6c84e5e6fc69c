#pragma once

#include <map>

#include "core/users/admin_commands.h"
#include "core/users/user_list.h"

#include <QWidget>

#include "gui/users/frm_add_edit_user.h"

class QLineEdit;
class QTableWidget;

namespace kestrova::gui {

class BackupRestoreMenu;
class ButtonFlasher;
class LogReviewPanel;
class Session;
class WindowSkeleton;
class ZelButton;

// The window between the title window and the main window: the user list,
// signing in, and the administrative functions behind the access code.
class frmAdmin : public QWidget {
  Q_OBJECT

 public:
  explicit frmAdmin(Session& session, QWidget* parent = nullptr);

  static constexpr int kWidthTwips = 8930;
  static constexpr int kHeightTwips = 5375;

  using Mode = users::AdminMode;
  Mode mode() const { return mode_; }

  // Closes the window as the program's own step (after a sign-in).
  void CloseByProgram();

  // The text the list shows as its tool-tip over a data row.
  QString GridToolTip() const;

 signals:
  // The right password was typed: the window has closed itself.
  void SignedIn();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  // The first activation: the list, captions and tool-tips, the empty-list
  // notice. Later calls do nothing.
  void Form_Activate();
  void cmdUserSelected_Click();
  void cmdSignIn_Click();
  void cmdCancel_Click();
  void cmdEditList_Click();
  void cmdAddUser_Click();
  void cmdEditUser_Click();
  void cmdDeleteUser_Click();
  // The user form, modally; a saved user is listed again and highlighted.
  void ShowUserForm(frmAddEditUser::Mode mode, int recNum);
  void cmdQuit_Click();
  void cmdReviewLogs_Click();
  void LeaveLogReview();
  void picLogs_SearchStarted();
  void picLogs_SearchEnded();
  void cmdBackupRestore_Click();
  // A restore went as far as copying: every row is read again.
  void UsersReplaced();
  void grid_DblClick();
  void FillUserList();
  // Back in the window: the list read again when User.List changed since
  // (another workstation added or removed users), the same user highlighted.
  void RereadChangedList();
  void SelectRow(int row);
  void SelectUser(const QString& nameSort);
  int HighlightedRecNum() const;
  int UserCount() const;
  void txtPassword_Change();
  void SetButtonsForList();
  // Every command button shown and usable as the mode and the list say.
  void ShowCommands();

  Session& session_;
  Mode mode_ = Mode::List;
  bool activated_ = false;
  WindowSkeleton* skeleton_ = nullptr;
  bool skipDeleteConfirmation_ = false;
  users::UserIdentity HighlightedIdentity() const;
  // A user the list shows that is no longer where it was: say so and reload.
  void UserListProblem(const Error& error);
  int userCount_ = 0;
  QString listStamp_;  // User.List's size and modification time when read
  // Who each listed record number held when the list was read.
  std::map<int, users::UserIdentity> identities_;
  QString userSelectedTag_;
  QString editListTag_;
  QString editListToolTip_;
  QString windowCaptionTag_;
  int addUserTop_ = 0;
  QString reviewLogsTag_;
  QString reviewLogsToolTip_;
  int picLogsTop_ = 0;
  LogReviewPanel* picLogs_ = nullptr;
  BackupRestoreMenu* backupRestore_ = nullptr;
  ButtonFlasher* flasher_ = nullptr;
  QTableWidget* grid_ = nullptr;
  QLineEdit* txtPassword_ = nullptr;
  ZelButton* cmdEditList_ = nullptr;
  ZelButton* cmdAddUser_ = nullptr;
  ZelButton* cmdEditUser_ = nullptr;
  ZelButton* cmdDeleteUser_ = nullptr;
  ZelButton* cmdReviewLogs_ = nullptr;
  ZelButton* cmdBackupRestore_ = nullptr;
  ZelButton* cmdUserSelected_ = nullptr;
  ZelButton* cmdSignIn_ = nullptr;
  ZelButton* cmdCancel_ = nullptr;
  ZelButton* cmdHelp_ = nullptr;
  ZelButton* cmdQuit_ = nullptr;
};

}  // namespace kestrova::gui
