#include "gui/users/frm_admin.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableWidget>
#include <algorithm>

#include "core/logs/activity_log.h"
#include "core/users/user_actions.h"
#include "core/users/user_list.h"
#include "gui/session/access_code.h"
#include "gui/session/activity_logs.h"
#include "gui/session/message_dialog.h"
#include "gui/session/session.h"
#include "gui/ui/button_flasher.h"
#include "gui/ui/zel_button.h"
#include "gui/users/frm_add_edit_user.h"

// The administrative window's user modes: signing in with a password, and
// editing the user list.
namespace kestrova::gui {
namespace {

const QColor kUserSelectedColour(255, 255, 128);
const QColor kEnterPasswordColour(255, 192, 128);

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

// Password mode.

void frmAdmin::cmdUserSelected_Click() {
  if (!userSelectedTag_.isEmpty() || grid_->currentRow() < 0) return;
  mode_ = Mode::Password;
  grid_->setEnabled(false);
  userSelectedTag_ = cmdUserSelected_->Caption();
  cmdUserSelected_->setBackColor(kEnterPasswordColour);
  QFont bold = cmdUserSelected_->font();
  bold.setBold(true);
  cmdUserSelected_->setFont(bold);
  cmdUserSelected_->setCaption(QStringLiteral("Enter Password at right"));
  cmdSignIn_->setCaption(QStringLiteral("&Sign In"));
  cmdCancel_->setCaption(QStringLiteral("&Cancel"));
  txtPassword_->clear();
  txtPassword_->show();
  txtPassword_->setFocus();
  flasher_->SetTarget(cmdSignIn_);
  txtPassword_Change();
}

void frmAdmin::txtPassword_Change() {
  if (mode_ != Mode::Password) return;
  const int length = static_cast<int>(txtPassword_->text().size());
  ShowCommands();
  if (length > 3) {
    flasher_->StartTimer(10);
  } else {
    flasher_->StopTimer();
    ButtonFlasher::Rest(cmdSignIn_);
  }
  // Enter signs in from the fourth character, cancels on an empty box, and
  // does nothing in between.
  if (length > 3) {
    SetDefaultButton(this, cmdSignIn_);
  } else if (length == 0) {
    SetDefaultButton(this, cmdCancel_);
  } else {
    SetDefaultButton(this, nullptr);
  }
}

void frmAdmin::cmdSignIn_Click() {
  if (grid_->currentRow() < 0) return;
  const users::SignInAnswer answer =
      users::SignIn(session_.folder(), {HighlightedRecNum(), HighlightedIdentity(), txtPassword_->text().toStdString()},
                    session_.signIn);
  flasher_->StopTimer();
  flasher_->ClearTarget();
  ButtonFlasher::Rest(cmdSignIn_);
  using Outcome = users::SignInAnswer::Outcome;
  if (answer.outcome == Outcome::NotRead) {
    session_.signIn = answer.state;
    cmdCancel_Click();
    UserListProblem(*answer.problem);
    return;
  }
  if (answer.outcome == Outcome::IncorrectPassword) {
    const MessageRequest r{.caption = QStringLiteral("Incorrect Password"),
                           .iconKind = kIconError,
                           .message = QStringLiteral("That is not the correct password\nassociated with this name"),
                           .defaultButton = 1,
                           .buttons = {QStringLiteral("&Try again"), QStringLiteral("&Cancel sign-in")}};
    const int answered = ShowMessage(session_, r, this).pressedButton;
    LogSignInOut(session_, this, logs::kIncorrectPassword, answer.attempt);
    session_.signIn = answer.state;
    if (answered == 1) {
      txtPassword_->clear();
      txtPassword_->setFocus();
    } else {
      cmdCancel_Click();
    }
    return;
  }
  session_.signIn = answer.state;
  LogSignInOut(session_, this, logs::kSignedIn, answer.state);
  CloseByProgram();
  emit SignedIn();
}

void frmAdmin::cmdCancel_Click() {
  mode_ = Mode::List;
  txtPassword_->hide();
  flasher_->StopTimer();
  ButtonFlasher::Rest(cmdSignIn_);
  flasher_->ClearTarget();
  ButtonFlasher::Rest(cmdCancel_);
  ShowCommands();
  grid_->setEnabled(true);
  cmdUserSelected_->setCaption(userSelectedTag_);
  userSelectedTag_.clear();
  QFont normal = cmdUserSelected_->font();
  normal.setBold(false);
  cmdUserSelected_->setFont(normal);
  cmdUserSelected_->setBackColor(kUserSelectedColour);
  SetDefaultButton(this, cmdUserSelected_);
}

// User-list editing.

void frmAdmin::cmdEditList_Click() {
  if (mode_ == Mode::Editing) {
    mode_ = Mode::List;
    flasher_->Stop();
    cmdEditList_->setCaption(editListTag_);
    cmdEditList_->setToolTip(editListToolTip_);
    ButtonFlasher::Rest(cmdEditList_);
    for (ZelButton* b : {cmdAddUser_, cmdEditUser_, cmdDeleteUser_}) b->move(b->x(), addUserTop_);
    ShowCommands();
    if (!cmdUserSelected_->isHidden()) SetDefaultButton(this, cmdUserSelected_);
    setWindowTitle(windowCaptionTag_);
    return;
  }
  if (!RequestAccessCode(session_, this)) return;
  mode_ = Mode::Editing;
  editListTag_ = cmdEditList_->Caption();
  cmdEditList_->setCaption(QStringLiteral("&Finished editing"));
  editListToolTip_ = cmdEditList_->toolTip();
  cmdEditList_->setToolTip(QStringLiteral(" Click here when finished editing the 'User List' "));
  ShowCommands();
  SetDefaultButton(this, nullptr);
  addUserTop_ = cmdAddUser_->y();
  for (ZelButton* b : {cmdAddUser_, cmdEditUser_, cmdDeleteUser_}) b->move(b->x(), cmdUserSelected_->y());
  windowCaptionTag_ = windowTitle();
  setWindowTitle(QStringLiteral("'User List' Administration"));
  if (userCount_ == 0) cmdAddUser_Click();
  flasher_->Start(cmdEditList_, 10, 10);
}

void frmAdmin::cmdAddUser_Click() { ShowUserForm(frmAddEditUser::Mode::Add, 0); }

void frmAdmin::ShowUserForm(frmAddEditUser::Mode mode, int recNum) {
  frmAddEditUser form(session_, mode, recNum, this);
  form.exec();
  if (!form.saved()) return;
  FillUserList();
  QApplication::processEvents();
  SelectUser(form.savedNameSort());
}

void frmAdmin::cmdEditUser_Click() {
  const int recNum = HighlightedRecNum();
  if (recNum < 1) return;
  if (auto same = users::ReadUserChecked(session_.folder(), recNum, HighlightedIdentity()); !same.ok()) {
    UserListProblem(same.error());
    return;
  }
  ShowUserForm(frmAddEditUser::Mode::ViewEdit, recNum);
}

void frmAdmin::cmdDeleteUser_Click() {
  const int row = grid_->currentRow();
  if (row < 0) return;
  if (!skipDeleteConfirmation_) {
    const MessageRequest r{.caption = QStringLiteral("Confirm Deletion"),
                           .iconKind = kIconQuestion,
                           .message = QStringLiteral("Are you sure you want to remove\n\n") +
                                      grid_->item(row, 0)->text() + QStringLiteral("\n\nfrom the 'User List'?"),
                           .defaultButton = 2,
                           .showCheckBox = true,
                           .buttons = {QStringLiteral("&Yes") + QStringLiteral(", delete this User"),
                                       QStringLiteral("&No") + QStringLiteral(", do not delete")}};
    const MessageResult answer = ShowMessage(session_, r, this);
    skipDeleteConfirmation_ = answer.dontAskAgain;
    if (answer.pressedButton != 1) return;
  }
  setEnabled(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const int highlighted = row + 1;
  Status deleted = users::DeleteUser(
      session_.folder(), HighlightedRecNum(),
      [this](const std::string& name, logs::LogAction action) {
        return logs::LogUserListChange(session_.folder(), session_.clock().Now(), action, name);
      },
      HighlightedIdentity());
  QApplication::restoreOverrideCursor();
  if (!deleted.ok()) {
    setEnabled(true);
    if (deleted.error().kind == Error::Kind::Conflict) {
      UserListProblem(deleted.error());
    } else {
      ShowNotice(session_, this, QStringLiteral("User Not Deleted"), Q(deleted.message()), kIconError);
    }
    return;
  }
  const int remembered = std::max(highlighted - 1, 1);
  FillUserList();
  QApplication::processEvents();
  if (grid_->isVisible()) SelectRow(remembered);
  if (!skipDeleteConfirmation_) {
    const MessageRequest r{.caption = QStringLiteral("User removed"),
                           .iconKind = kIconInformation,
                           .message = QStringLiteral("This name has been deleted\nfrom the 'User List'."),
                           .showCheckBox = true,
                           .buttons = {QStringLiteral("&Continue") + QStringLiteral(" editing")}};
    ShowMessage(session_, r, this);
  }
  cmdEditUser_->setEnabled(grid_->isVisible());
  cmdDeleteUser_->setEnabled(grid_->isVisible());
  setEnabled(true);
}

}  // namespace kestrova::gui
