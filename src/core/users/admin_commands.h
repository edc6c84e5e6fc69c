#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// Which of the administrative window's command buttons are shown and
// usable, for what the window is doing: one table, so that every way into
// and out of a mode leaves the same buttons behind.
namespace kestrova::users {

enum class AdminMode { List, Password, Editing, Reviewing };

struct AdminWindowState {
  AdminMode mode = AdminMode::List;
  int userCount = 0;          // users the list shows
  int passwordLength = 0;     // characters typed in the password box
  bool logSearching = false;  // a search of the log on display is under way
};

enum class AdminCommand {
  UserSelected,
  SignIn,
  Cancel,
  EditList,
  AddUser,
  EditUser,
  DeleteUser,
  ReviewLogs,
  BackupRestore,
  Help,
  Quit,
};
inline constexpr std::size_t kAdminCommandCount = 11;

struct AdminCommandLook {
  AdminCommand command;
  std::string_view name;  // its name in the window: "cmdUserSelected"
  bool visible = false;
  bool enabled = false;  // only meaningful while visible
};

// Every command button of the window, in a fixed order.
std::array<AdminCommandLook, kAdminCommandCount> AdminCommands(const AdminWindowState& state);

}  // namespace kestrova::users
