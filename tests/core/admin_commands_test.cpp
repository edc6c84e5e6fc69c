#include "core/users/admin_commands.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrova::users {
namespace {

// The buttons shown, as "name" for usable and "(name)" for shown but not
// usable, in the window's order.
std::string Shown(const AdminWindowState& state) {
  std::string out;
  for (const AdminCommandLook& look : AdminCommands(state)) {
    if (!look.visible) continue;
    if (!out.empty()) out += ' ';
    out += look.enabled ? std::string(look.name) : "(" + std::string(look.name) + ")";
  }
  return out;
}

TEST(AdminCommandsTest, EachModeLeavesItsOwnButtons) {
  EXPECT_EQ(Shown({.mode = AdminMode::List, .userCount = 2}),
            "cmdUserSelected cmdEditList (cmdAddUser) (cmdEditUser) (cmdDeleteUser) cmdReviewLogs cmdBackupRestore "
            "cmdHelp cmdQuit");
  // An empty list offers no one to sign in.
  EXPECT_EQ(Shown({.mode = AdminMode::List, .userCount = 0}),
            "cmdEditList (cmdAddUser) (cmdEditUser) (cmdDeleteUser) cmdReviewLogs cmdBackupRestore cmdHelp cmdQuit");
  // The sign-in buttons take the user buttons' row; signing in needs four
  // characters.
  EXPECT_EQ(Shown({.mode = AdminMode::Password, .userCount = 2, .passwordLength = 3}),
            "(cmdUserSelected) (cmdSignIn) cmdCancel cmdHelp cmdQuit");
  EXPECT_EQ(Shown({.mode = AdminMode::Password, .userCount = 2, .passwordLength = 4}),
            "(cmdUserSelected) cmdSignIn cmdCancel cmdHelp cmdQuit");
  // Editing and deleting need a listed user; adding never does.
  EXPECT_EQ(Shown({.mode = AdminMode::Editing, .userCount = 1}),
            "cmdEditList cmdAddUser cmdEditUser cmdDeleteUser cmdHelp cmdQuit");
  EXPECT_EQ(Shown({.mode = AdminMode::Editing, .userCount = 0}),
            "cmdEditList cmdAddUser (cmdEditUser) (cmdDeleteUser) cmdHelp cmdQuit");
  // While a log is searched its own finish button stands in for leaving.
  EXPECT_EQ(Shown({.mode = AdminMode::Reviewing, .userCount = 2}),
            "(cmdAddUser) (cmdEditUser) (cmdDeleteUser) cmdReviewLogs cmdHelp cmdQuit");
  EXPECT_EQ(Shown({.mode = AdminMode::Reviewing, .userCount = 2, .logSearching = true}),
            "(cmdAddUser) (cmdEditUser) (cmdDeleteUser) cmdHelp cmdQuit");
}

}  // namespace
}  // namespace kestrova::users
