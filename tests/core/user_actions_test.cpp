#include <gtest/gtest.h>

#include "core/users/passwords.h"
#include "core/users/user_actions.h"
#include "support/still_clock.h"
#include "support/temp_folder.h"

namespace kestrova::users {
namespace {

using testing::ReadFileBytes;
using testing::StillClock;
using testing::TempFolder;

UserRecord User(const std::string& first, const std::string& last, std::int16_t level, const std::string& password) {
  UserRecord u;
  u.DateCreated = 45296.5;
  u.FirstName = first;
  u.LastName = last;
  u.Password = EncodePassword(password);
  u.AccessLevel = level;
  return u;
}

TEST(SignIn, TheRightPasswordSignsInWithTheUsersLevelAWrongOneSignsInNobody) {
  TempFolder folder;
  ASSERT_TRUE(AddUser(folder.path(), User("Ann", "Lee", 3, "annpass")).ok());
  const SignInState before{"Al Adams", AccessLevel::FullAccess};
  const UserIdentity ann = IdentityOf(*ReadOneUser(folder.path(), 1));

  const SignInAnswer wrong = SignIn(folder.path(), {1, ann, "ANNPASS"}, before);
  EXPECT_EQ(wrong.outcome, SignInAnswer::Outcome::IncorrectPassword) << "letter case counts";
  EXPECT_EQ(wrong.state.CurrentUserName, "");
  EXPECT_EQ(wrong.state.CurrentAccessLevel, AccessLevel::FullAccess) << "the level is kept";
  EXPECT_EQ(wrong.attempt.CurrentUserName, "Ann Lee");
  EXPECT_EQ(wrong.attempt.CurrentAccessLevel, AccessLevel::FullAccess);
  EXPECT_EQ(SignIn(folder.path(), {1, ann, " annpass"}, before).outcome, SignInAnswer::Outcome::IncorrectPassword)
      << "typed as it stands, not trimmed";

  const SignInAnswer right = SignIn(folder.path(), {1, ann, "annpass"}, before);
  EXPECT_EQ(right.outcome, SignInAnswer::Outcome::SignedIn);
  EXPECT_EQ(right.state.CurrentUserName, "Ann Lee");
  EXPECT_EQ(right.state.CurrentAccessLevel, AccessLevel::ReadEditAdd);
}

TEST(SignIn, AUserNoLongerWhereTheListShowedThemIsNotSignedIn) {
  TempFolder folder;
  ASSERT_TRUE(AddUser(folder.path(), User("Ann", "Lee", 3, "annpass")).ok());
  ASSERT_TRUE(AddUser(folder.path(), User("Bob", "Ray", 4, "bobpass")).ok());
  const UserIdentity bob = IdentityOf(*ReadOneUser(folder.path(), 2));
  ASSERT_TRUE(DeleteUser(folder.path(), 1, nullptr).ok());
  const SignInAnswer answer = SignIn(folder.path(), {2, bob, "bobpass"}, {"Al Adams", AccessLevel::ReadOnly});
  EXPECT_EQ(answer.outcome, SignInAnswer::Outcome::NotRead);
  ASSERT_TRUE(answer.problem);
  EXPECT_EQ(answer.problem->kind, Error::Kind::Conflict);
  EXPECT_EQ(answer.state.CurrentUserName, "");
  EXPECT_EQ(answer.state.CurrentAccessLevel, AccessLevel::ReadOnly);
}

TEST(SaveUser, ANewUserIsCreatedNowTrimmedEncodedAndLogged) {
  TempFolder folder;
  StillClock clock;
  auto saved =
      SaveUser(folder.path(), clock, {"  Ann ", "Lee  ", "ab12", "line one\nline two ", 2, false}, std::nullopt);
  ASSERT_TRUE(saved.ok()) << saved.message();
  EXPECT_EQ(saved->recordNumber, 1);
  const UserRecord stored = *ReadOneUser(folder.path(), 1);
  EXPECT_EQ(stored, saved->user);
  EXPECT_EQ(stored.FirstName, "Ann");
  EXPECT_EQ(stored.LastName, "Lee");
  EXPECT_EQ(stored.Comments, "line one\r\nline two") << "a new user's comments are always taken";
  EXPECT_EQ(stored.AccessLevel, 2);
  EXPECT_EQ(stored.DateCreated, time::ToOleDate(clock.Now()));
  EXPECT_TRUE(PasswordMatches(stored.Password, "ab12"));
  EXPECT_EQ(ReadFileBytes(folder / "UserList.Log"), "12/06/2026 at 14:05:09 - 'Ann Lee' added to the 'User List'\r\n");

  EXPECT_FALSE(SaveUser(folder.path(), clock, {"Bob", "Ray", "abc", "", 1, true}, std::nullopt).ok())
      << "three characters are not a password";
  EXPECT_FALSE(SaveUser(folder.path(), clock, {" $Killed$ ", "Ray", "abc1", "", 1, true}, std::nullopt).ok())
      << "the next deletion of any user would remove this one";
  EXPECT_FALSE(ReadOneUser(folder.path(), 2).ok()) << "and nothing was written";
}

TEST(SaveUser, AChangeKeepsUntouchedCommentsByteForByteAndNeedsTheSameUser) {
  TempFolder folder;
  StillClock clock;
  UserRecord ann = User("Ann", "Lee", 3, "annpass");
  ann.Comments = "kept\r\nas stored  x";
  ASSERT_TRUE(AddUser(folder.path(), ann).ok());
  const ShownUser shown{1, *ReadOneUser(folder.path(), 1)};
  auto saved = SaveUser(folder.path(), clock, {"Ann", "Lee-Ray", "newpw1", "ignored", 4, false}, shown);
  ASSERT_TRUE(saved.ok()) << saved.message();
  const UserRecord stored = *ReadOneUser(folder.path(), 1);
  EXPECT_EQ(stored.Comments, "kept\r\nas stored  x");
  EXPECT_EQ(stored.LastName, "Lee-Ray");
  EXPECT_EQ(stored.DateCreated, shown.user.DateCreated);
  EXPECT_NE(ReadFileBytes(folder / "UserList.Log").find("'Ann Lee-Ray' edited in the 'User List'"), std::string::npos);

  // Another workstation put someone else at number 1: the change is refused.
  ASSERT_TRUE(DeleteUser(folder.path(), 1, nullptr).ok());
  ASSERT_TRUE(AddUser(folder.path(), User("Cy", "Fox", 1, "cypass")).ok());
  auto refused = SaveUser(folder.path(), clock, {"Ann", "Lee", "annpass", "", 3, false}, ShownUser{1, stored});
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error().kind, Error::Kind::Conflict);
  EXPECT_EQ(ReadOneUser(folder.path(), 1)->FirstName, "Cy");
}

}  // namespace
}  // namespace kestrova::users
