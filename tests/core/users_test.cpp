#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <set>

#include "core/users/passwords.h"
#include "core/users/user_list.h"
#include "support/processes.h"
#include "support/still_clock.h"
#include "support/temp_folder.h"

namespace kestrova::users {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

UserRecord User(const std::string& first, const std::string& last, std::int16_t level = 2) {
  UserRecord u;
  u.DateCreated = 45296.5;
  u.FirstName = first;
  u.LastName = last;
  u.Password = "xaybzc1d";
  u.AccessLevel = level;
  u.Comments = "comment for " + first;
  return u;
}

TEST(UserRecord, MembersSitAtTheirOffsets) {
  UserRecord u;
  u.DateCreated = 45296.5;
  u.FirstName = "Avery";
  u.LastName = "Brennan-Okonkwo-Smith-Jones";  // longer than 20: cut
  u.Password = "k1e2s3t4";
  u.AccessLevel = 4;
  u.Comments = "Supervisor";
  std::string bytes(kUserRecordSize, '\0');
  EncodeUserRecord(u, bytes.data());
  double date = 0;
  std::memcpy(&date, bytes.data(), 8);
  EXPECT_EQ(date, 45296.5);
  EXPECT_EQ(bytes.substr(8, 15), "Avery          ");
  EXPECT_EQ(bytes.substr(23, 20), "Brennan-Okonkwo-Smit");
  EXPECT_EQ(bytes.substr(43, 16), "k1e2s3t4        ");
  EXPECT_EQ(bytes[59], '\x04');
  EXPECT_EQ(bytes[60], '\x00');
  EXPECT_EQ(bytes.substr(61, 10), "Supervisor");
  EXPECT_EQ(bytes.substr(71), std::string(429, ' '));
  const UserRecord back = DecodeUserRecord(bytes.data());
  EXPECT_EQ(back.LastName, "Brennan-Okonkwo-Smit");
  EXPECT_EQ(back.AccessLevel, 4);
  EXPECT_EQ(UserDisplayName(back), "Avery Brennan-Okonkwo-Smit");
}

TEST(Passwords, TheRule) {
  for (const char* good : {"abcd", "A1b2C3d4", "  pass  ", "1234"}) EXPECT_TRUE(IsValidPassword(good)) << good;
  for (const char* bad : {"abc", "  abc  ", "abcdefghi", "ab/cd", "ab cd", "", "p\xC3\xA4ss"}) {
    EXPECT_FALSE(IsValidPassword(bad)) << bad;
  }
}

TEST(Passwords, FillerAtOddPositionsPasswordAtEven) {
  std::mt19937 generator(3);
  const std::string stored = EncodePassword("abc", generator);
  ASSERT_EQ(stored.size(), 6u);
  EXPECT_EQ(stored[1], 'a');
  EXPECT_EQ(stored[3], 'b');
  EXPECT_EQ(stored[5], 'c');
  for (std::size_t i = 0; i < stored.size(); i += 2) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(stored[i])));
  EXPECT_EQ(DecodePassword(stored), "abc");
  // Padded as it comes back from the file.
  EXPECT_EQ(DecodePassword(stored + "          "), "abc");
  EXPECT_EQ(EncodePassword("  wxyz  ", generator).size(), 8u);
}

TEST(Passwords, TheSamePasswordIsStoredDifferentlyEachTime) {
  std::set<std::string> forms;
  for (int i = 0; i < 20; ++i) {
    const std::string stored = EncodePassword("Secret12");
    EXPECT_EQ(DecodePassword(stored), "Secret12");
    forms.insert(stored);
  }
  EXPECT_GT(forms.size(), 15u);
}

TEST(Passwords, ComparisonIsExact) {
  const std::string stored = EncodePassword("Secret12");
  EXPECT_TRUE(PasswordMatches(stored, "Secret12"));
  EXPECT_FALSE(PasswordMatches(stored, "secret12"));
  EXPECT_FALSE(PasswordMatches(stored, "Secret12 "));
  EXPECT_FALSE(PasswordMatches(stored, "Secret1"));
}

TEST(UserList, CountsByLengthAndAppendsAfterTheLast) {
  TempFolder folder;
  std::string three;
  for (const char* name : {"A", "B", "C"}) {
    std::string bytes(kUserRecordSize, '\0');
    EncodeUserRecord(User(name, "X"), bytes.data());
    three += bytes;
  }
  WriteFileBytes(folder / "User.List", three);
  auto n = AddUser(folder.path(), User("D", "Y"));
  ASSERT_TRUE(n.ok()) << n.message();
  EXPECT_EQ(*n, 4);
  EXPECT_EQ(fs::file_size(folder / "User.List"), 2000u);
  auto all = ReadAllUsers(folder.path());
  ASSERT_TRUE(all.ok());
  EXPECT_EQ((*all)[3], User("D", "Y"));
}

TEST(UserList, AMissingListHasNoUsersAndIsNotCreatedByReading) {
  TempFolder folder;
  auto all = ReadAllUsers(folder.path());
  ASSERT_TRUE(all.ok());
  EXPECT_TRUE(all->empty());
  EXPECT_FALSE(fs::exists(folder / "User.List"));
}

TEST(UserList, DeletingRenumbersAndLogsTheDeletedUser) {
  TempFolder folder;
  for (const char* name : {"Ann", "Bob", "Cy"}) ASSERT_TRUE(AddUser(folder.path(), User(name, "Lee")).ok());
  std::vector<std::string> logged;
  Status deleted = DeleteUser(folder.path(), 2, [&](const std::string& name) {
    logged.push_back(name);
    return Status();
  });
  ASSERT_TRUE(deleted.ok()) << deleted.message();
  EXPECT_EQ(logged, std::vector<std::string>{"Bob Lee"});
  EXPECT_EQ(fs::file_size(folder / "User.List"), 1000u);
  auto all = ReadAllUsers(folder.path());
  ASSERT_TRUE(all.ok());
  ASSERT_EQ(all->size(), 2u);
  EXPECT_EQ((*all)[1].FirstName, "Cy");
  EXPECT_FALSE(fs::exists(folder / "TempFile.$$$"));
  EXPECT_FALSE(fs::exists(folder / "Kestrova.Lock"));
}

TEST(UserList, DeletingTheOnlyUserRemovesTheList) {
  TempFolder folder;
  ASSERT_TRUE(AddUser(folder.path(), User("Solo", "Lee")).ok());
  ASSERT_TRUE(DeleteUser(folder.path(), 1, nullptr).ok());
  EXPECT_FALSE(fs::exists(folder / "User.List"));
  EXPECT_FALSE(fs::exists(folder / "TempFile.$$$"));
}

TEST(UserList, AUserCalledKilledGoesWithTheNextDeletion) {
  TempFolder folder;
  ASSERT_TRUE(AddUser(folder.path(), User("$Killed$", "Trick")).ok());
  ASSERT_TRUE(AddUser(folder.path(), User("Ann", "Lee")).ok());
  ASSERT_TRUE(AddUser(folder.path(), User("Bob", "Lee")).ok());
  ASSERT_TRUE(DeleteUser(folder.path(), 3, nullptr).ok());
  auto all = ReadAllUsers(folder.path());
  ASSERT_EQ(all->size(), 1u);
  EXPECT_EQ((*all)[0].FirstName, "Ann");
}

TEST(UserList, AFailedLogWriteStopsTheDeletion) {
  TempFolder folder;
  ASSERT_TRUE(AddUser(folder.path(), User("Ann", "Lee")).ok());
  const std::string before = ReadFileBytes(folder / "User.List");
  Status deleted = DeleteUser(folder.path(), 1, [](const std::string&) {
    return Status(Error{Error::Kind::Io, "log refused"});
  });
  EXPECT_FALSE(deleted.ok());
  EXPECT_EQ(ReadFileBytes(folder / "User.List"), before);
}

// A damaged list still lists every whole, valid user with its own record
// number, and says what is wrong; it is not written until repaired.
TEST(UserList, ADamagedListIsListedAsFarAsItIsValidAndNeverWritten) {
  TempFolder folder;
  for (const char* name : {"Ann", "Bob", "Cy"}) ASSERT_TRUE(AddUser(folder.path(), User(name, "Lee")).ok());
  std::string bytes = ReadFileBytes(folder / "User.List");
  bytes[500 + 59] = 7;  // Bob's level
  WriteFileBytes(folder / "User.List", bytes);

  std::vector<files::FolderNotice> notices;
  UserListOptions options;
  options.notice = [&](const files::FolderNotice& n) { notices.push_back(n); };
  auto listing = ListUsers({folder.path(), options});
  ASSERT_TRUE(listing.ok()) << listing.message();
  ASSERT_EQ(listing->users.size(), 2u);
  EXPECT_EQ(listing->users[1].FirstName, "Cy");
  EXPECT_EQ(listing->recordNumbers, (std::vector<std::int32_t>{1, 3}));
  EXPECT_NE(listing->damage.find("user number 2 has the access level 7"), std::string::npos) << listing->damage;
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].kind, files::FolderNotice::Kind::Damaged);
  EXPECT_EQ(ReadAllUsers(folder.path()).error().kind, Error::Kind::Damaged);

  EXPECT_FALSE(AddUser(folder.path(), User("Di", "Lee")).ok());
  EXPECT_FALSE(DeleteUser(folder.path(), 1, nullptr).ok());
  EXPECT_EQ(ReadFileBytes(folder / "User.List"), bytes);
}

// Part of a user at the end is an interrupted save: the whole users are
// listed, and the next change moves that part aside and goes on.
TEST(UserList, APartialLastUserIsListedAroundAndRepairedByTheNextChange) {
  TempFolder folder;
  for (const char* name : {"Ann", "Bob"}) ASSERT_TRUE(AddUser(folder.path(), User(name, "Lee")).ok());
  const std::string whole = ReadFileBytes(folder / "User.List");
  WriteFileBytes(folder / "User.List", whole + whole.substr(0, 321));
  auto listing = ListUsers(folder.path());
  ASSERT_TRUE(listing.ok());
  EXPECT_EQ(listing->users.size(), 2u);
  EXPECT_NE(listing->damage.find("part of a user (321 bytes)"), std::string::npos) << listing->damage;

  const testing::StillClock clock;
  UserListOptions options;
  options.clock = &clock;
  auto n = AddUser({folder.path(), options}, User("Cy", "Lee"));
  ASSERT_TRUE(n.ok()) << n.message();
  EXPECT_EQ(*n, 3);
  EXPECT_EQ(ReadFileBytes(folder / "User.List.partial-20261206140509"), whole.substr(0, 321));
  listing = ListUsers(folder.path());
  EXPECT_EQ(listing->users.size(), 3u);
  EXPECT_TRUE(listing->damage.empty());
}

TEST(UserList, AnEditKeepsTheDateCreated) {
  TempFolder folder;
  ASSERT_TRUE(AddUser(folder.path(), User("Ann", "Lee")).ok());
  UserList list(folder.path());
  ASSERT_TRUE(list.OpenUserList().ok());
  auto ann = list.ReadUser(1);
  ASSERT_TRUE(ann.ok());
  ann->LastName = "Lee-Park";
  ann->AccessLevel = 4;
  ASSERT_TRUE(list.WriteUser(1, *ann).ok());
  ASSERT_TRUE(list.CloseUserList().ok());
  auto all = ReadAllUsers(folder.path());
  EXPECT_EQ((*all)[0].DateCreated, 45296.5);
  EXPECT_EQ((*all)[0].LastName, "Lee-Park");
  EXPECT_FALSE(AddUser(folder.path(), User("Bad", "Level", 5)).ok());
}

TEST(UserList, WorkstationsAddingAtOnceLoseNoUser) {
  TempFolder folder;
  constexpr int kProcesses = 5;
  constexpr int kEach = 12;
  EXPECT_TRUE(testing::RunInChildren(kProcesses, [&](int p) {
    UserListOptions options;
    options.lock.wait = std::chrono::milliseconds(20000);
    int failures = 0;
    for (int i = 0; i < kEach; ++i) {
      if (!AddUser({folder.path(), options}, User("P" + std::to_string(p), "N" + std::to_string(i))).ok()) {
        ++failures;
      }
    }
    return failures;
  }));
  auto all = ReadAllUsers(folder.path());
  ASSERT_TRUE(all.ok());
  std::set<std::string> names;
  for (const auto& u : *all) names.insert(UserDisplayName(u));
  EXPECT_EQ(names.size(), static_cast<std::size_t>(kProcesses * kEach));
  EXPECT_EQ(all->size(), static_cast<std::size_t>(kProcesses * kEach));
}

TEST(RandomInteger, StaysWithinItsBoundsAndReachesBoth) {
  std::set<int> seen;
  for (int i = 0; i < 5000; ++i) {
    const int r = RandomInteger(65, 90);
    ASSERT_GE(r, 65);
    ASSERT_LE(r, 90);
    seen.insert(r);
  }
  EXPECT_EQ(seen.size(), 26u);
  EXPECT_EQ(RandomInteger(7, 7), 7);
}

TEST(RandomInteger, CallsInQuickSuccessionDiffer) {
  // Reseeding from the clock on every call made neighbours equal.
  int changes = 0;
  int previous = RandomInteger(0, 9999);
  for (int i = 0; i < 100; ++i) {
    const int next = RandomInteger(0, 9999);
    changes += next != previous;
    previous = next;
  }
  EXPECT_GT(changes, 90);
}

TEST(RandomInteger, ASeededGeneratorRepeatsItself) {
  std::mt19937 a(42), b(42);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(RandomInteger(1, 6, a), RandomInteger(1, 6, b));
}

TEST(AccessLevels, AreNamedByPosition) {
  EXPECT_EQ(AccessLevelName(1), "Read Only");
  EXPECT_EQ(AccessLevelName(2), "Read/Edit");
  EXPECT_EQ(AccessLevelName(3), "Read/Edit/Add");
  EXPECT_EQ(AccessLevelName(4), "Full Access");
  EXPECT_EQ(AccessLevelName(0), "");
  EXPECT_EQ(AccessLevelName(5), "");
}

}  // namespace
}  // namespace kestrova::users
