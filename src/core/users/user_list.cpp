#include "core/users/user_list.h"

#include <array>
#include <cstring>

#include "core/reports/report_record.h"

namespace kestrova::users {
namespace {

namespace fs = std::filesystem;
using Bytes = std::array<char, kUserRecordSize>;

files::RecordFileNames UserListNames() {
  return {std::string(kUserListFileName), "user", "the user list " + std::string(kUserListFileName)};
}

Status BadLevel(std::int32_t n, int level) {
  return Error{Error::Kind::Damaged,
               "The user list " + std::string(kUserListFileName) + " is damaged: user number " +
                   std::to_string(n) + " has the access level " + std::to_string(level) +
                   ", which is not one of 1 to 4. Nothing was written."};
}

std::int16_t StoredLevel(const char* record) {
  std::int16_t level = 0;
  std::memcpy(&level, record + 59, 2);
  return level;
}

}  // namespace

UserList::UserList(fs::path folder, UserListOptions options)
    : RecordFile(std::move(folder), UserListNames(), kUserRecordSize, std::move(options)) {}

Status UserList::OpenUserList(UserListAccess access) {
  Status opened = Open(access);
  if (!opened.ok() || access == UserListAccess::Read) return opened;
  // A list that is damaged is never written to.
  Status levels = HasWholeRecords() ? CheckLevels() : DamagedError();
  if (!levels.ok()) {
    (void)Close();
    return levels;
  }
  return {};
}

Status UserList::CheckLevels() const {
  Bytes bytes;
  for (std::int32_t n = 1; n <= UserCount(); ++n) {
    Status read = ReadRecordBytes(n, bytes.data());
    if (!read.ok()) return read;
    const int level = StoredLevel(bytes.data());
    if (level < 1 || level > 4) return BadLevel(n, level);
  }
  return {};
}

Result<UserRecord> UserList::ReadUser(std::int32_t n) const {
  Bytes bytes;
  Status read = ReadRecordBytes(n, bytes.data());
  if (!read.ok()) return read.error();
  UserRecord user = DecodeUserRecord(bytes.data());
  if (user.AccessLevel < 1 || user.AccessLevel > 4) return BadLevel(n, user.AccessLevel).error();
  return user;
}

Status UserList::WriteUser(std::int32_t n, const UserRecord& user) {
  if (user.AccessLevel < 1 || user.AccessLevel > 4) {
    return Error{Error::Kind::Invalid, "The access level must be 1 to 4."};
  }
  Bytes bytes;
  EncodeUserRecord(user, bytes.data());
  return WriteRecordBytes(n, bytes.data());
}

Result<std::int32_t> UserList::PurgeKilledUsers() {
  return RewriteKeeping([](const char* record) { return !IsKilledUser(record); });
}

UserIdentity IdentityOf(const UserRecord& user) { return {user.FirstName, user.LastName, user.DateCreated}; }

Status CheckUserIdentity(const UserRecord& stored, const UserIdentity& expected) {
  if (stored.FirstName == expected.FirstName && stored.LastName == expected.LastName &&
      stored.DateCreated == expected.DateCreated) {
    return {};
  }
  return Error{Error::Kind::Conflict,
               "The user list was changed on another workstation: " +
                   UserDisplayName({0, expected.FirstName, expected.LastName, {}, 1, {}}) +
                   " is no longer where the list showed them."};
}

Result<UserRecord> ReadUserChecked(const fs::path& folder, std::int32_t n, const UserIdentity& expected,
                                   const UserListOptions& options) {
  UserList list(folder, options);
  Status opened = list.OpenUserList(UserListAccess::Read);
  if (!opened.ok()) return opened.error();
  auto user = n >= 1 && n <= list.UserCount()
                  ? list.ReadUser(n)
                  : Result<UserRecord>(CheckUserIdentity({}, expected).error());
  (void)list.CloseUserList();
  if (!user.ok()) return user.error();
  if (Status same = CheckUserIdentity(*user, expected); !same.ok()) return same.error();
  return user;
}

Status ChangeUser(const fs::path& folder, std::int32_t n, const UserIdentity& expected, const UserRecord& user,
                  const UserListOptions& options) {
  UserList list(folder, options);
  Status written = list.OpenUserList(UserListAccess::Write);
  if (!written.ok()) return written;
  auto stored = n >= 1 && n <= list.UserCount() ? list.ReadUser(n)
                                                 : Result<UserRecord>(CheckUserIdentity({}, expected).error());
  if (!stored.ok()) {
    written = stored.error();
  } else {
    written = CheckUserIdentity(*stored, expected);
    if (written.ok()) written = list.WriteUser(n, user);
  }
  Status closed = list.CloseUserList();
  return written.ok() ? closed : written;
}

Result<std::vector<UserRecord>> ReadAllUsers(const fs::path& folder, const UserListOptions& options) {
  UserList list(folder, options);
  Status opened = list.OpenUserList(UserListAccess::Read);
  if (!opened.ok()) return opened.error();
  if (!list.HasWholeRecords()) {
    return Error{Error::Kind::Damaged,
                 "The user list " + std::string(kUserListFileName) + " is damaged: its length (" +
                     std::to_string(list.Length()) + " bytes) is not a whole number of users."};
  }
  std::vector<UserRecord> users;
  for (std::int32_t n = 1; n <= list.UserCount(); ++n) {
    auto user = list.ReadUser(n);
    if (!user.ok()) return user.error();
    users.push_back(std::move(*user));
  }
  return users;
}

Result<std::int32_t> AddUser(const fs::path& folder, const UserRecord& user,
                             const UserListOptions& options) {
  UserList list(folder, options);
  Status opened = list.OpenUserList(UserListAccess::Write);
  if (!opened.ok()) return opened.error();
  const std::int32_t n = list.UserCount() + 1;
  Status wrote = list.WriteUser(n, user);
  Status closed = list.CloseUserList();
  if (!wrote.ok()) return wrote.error();
  if (!closed.ok()) return closed.error();
  return n;
}

Status DeleteUser(const fs::path& folder, std::int32_t n,
                  const std::function<Status(const std::string&)>& logDeleted,
                  const UserListOptions& options, const std::optional<UserIdentity>& expected) {
  UserList list(folder, options);
  Status opened = list.OpenUserList(UserListAccess::Write);
  if (!opened.ok()) return opened;
  if (expected && (n < 1 || n > list.UserCount())) return CheckUserIdentity({}, *expected);
  auto user = list.ReadUser(n);
  if (!user.ok()) return user.error();
  if (expected) {
    if (Status same = CheckUserIdentity(*user, *expected); !same.ok()) return same;
  }
  if (logDeleted) {
    Status logged = logDeleted(UserDisplayName(*user));
    if (!logged.ok()) return logged;
  }
  user->FirstName = std::string(reports::kKilledMark);
  Status marked = list.WriteUser(n, *user);
  if (!marked.ok()) return marked;
  auto kept = list.PurgeKilledUsers();
  if (!kept.ok()) return kept.error();
  return {};
}

}  // namespace kestrova::users
