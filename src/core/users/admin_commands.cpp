#include "core/users/admin_commands.h"

namespace kestrova::users {

std::array<AdminCommandLook, kAdminCommandCount> AdminCommands(const AdminWindowState& state) {
  const AdminMode mode = state.mode;
  const bool listed = state.userCount > 0;
  const bool list = mode == AdminMode::List;
  const bool password = mode == AdminMode::Password;
  const bool editing = mode == AdminMode::Editing;
  const bool reviewing = mode == AdminMode::Reviewing;
  // The user buttons share their row with the sign-in buttons; they work
  // only while the list is edited.
  const bool userButtons = !password;
  return {{
      {AdminCommand::UserSelected, "cmdUserSelected", (list || password) && listed, list},
      {AdminCommand::SignIn, "cmdSignIn", password, state.passwordLength > 3},
      {AdminCommand::Cancel, "cmdCancel", password, true},
      {AdminCommand::EditList, "cmdEditList", list || editing, true},
      {AdminCommand::AddUser, "cmdAddUser", userButtons, editing},
      {AdminCommand::EditUser, "cmdEditUser", userButtons, editing && listed},
      {AdminCommand::DeleteUser, "cmdDeleteUser", userButtons, editing && listed},
      {AdminCommand::ReviewLogs, "cmdReviewLogs", list || (reviewing && !state.logSearching), true},
      {AdminCommand::BackupRestore, "cmdBackupRestore", list, true},
      {AdminCommand::Help, "cmdHelp", true, true},
      {AdminCommand::Quit, "cmdQuit", true, true},
  }};
}

}  // namespace kestrova::users
