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
  return Error{Error::Kind::Damaged, "The user list " + std::string(kUserListFileName) + " is damaged: user number " +
                                         std::to_string(n) + " has the access level " + std::to_string(level) +
                                         ", which is not one of 1 to 4. Nothing was written."};
}

Status TooManyUsers(std::uint64_t length) {
  return Error{Error::Kind::Damaged, "The user list " + std::string(kUserListFileName) + " is damaged: it is " +
                                         std::to_string(length) + " bytes long, room for more than the " +
                                         std::to_string(kMostUsers) +
                                         " users a list can hold. Nothing was written; put a backup in its place."};
}

std::int16_t StoredLevel(const char* record) {
  std::int16_t level = 0;
  std::memcpy(&level, record + 59, 2);
  return level;
}

}  // namespace

UserList::UserList(fs::path folder, UserListOptions options)
    : RecordFile(std::move(folder), UserListNames(), kUserRecordSize, files::ChangesCounted::No, std::move(options)) {}

Status UserList::OpenUserList(UserListAccess access) { return Open(access); }

Status UserList::CheckOurs() const {
  if (Length() / kUserRecordSize > kMostUsers) return TooManyUsers(Length()).error();
  Bytes bytes;
  const auto whole = static_cast<std::int32_t>(Length() / kUserRecordSize);
  for (std::int32_t n = 1; n <= whole; ++n) {
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

Result<std::int32_t> UserList::AppendUser(const UserRecord& user) {
  if (user.AccessLevel < 1 || user.AccessLevel > 4) {
    return Error{Error::Kind::Invalid, "The access level must be 1 to 4."};
  }
  Bytes bytes;
  EncodeUserRecord(user, bytes.data());
  return AppendRecordBytes(bytes.data());
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
  return Error{Error::Kind::Conflict, "The user list was changed on another workstation: " +
                                          UserDisplayName({0, expected.FirstName, expected.LastName, {}, 1, {}}) +
                                          " is no longer where the list showed them."};
}

Result<UserRecord> ReadOneUser(const files::DataFolder& folder, std::int32_t n) {
  UserList list(folder.path(), folder.options());
  Status opened = list.OpenUserList(UserListAccess::Read);
  if (!opened.ok()) return opened.error();
  auto user = list.ReadUser(n);
  (void)list.CloseUserList();
  return user;
}

Result<UserRecord> ReadUserChecked(const files::DataFolder& folder, std::int32_t n, const UserIdentity& expected) {
  UserList list(folder.path(), folder.options());
  Status opened = list.OpenUserList(UserListAccess::Read);
  if (!opened.ok()) return opened.error();
  auto user =
      n >= 1 && n <= list.UserCount() ? list.ReadUser(n) : Result<UserRecord>(CheckUserIdentity({}, expected).error());
  (void)list.CloseUserList();
  if (!user.ok()) return user.error();
  if (Status same = CheckUserIdentity(*user, expected); !same.ok()) return same.error();
  return user;
}

Status ChangeUser(const files::DataFolder& folder, std::int32_t n, const UserIdentity& expected,
                  const UserRecord& user) {
  UserList list(folder.path(), folder.options());
  Status written = list.OpenUserList(UserListAccess::Write);
  if (!written.ok()) return written;
  auto stored =
      n >= 1 && n <= list.UserCount() ? list.ReadUser(n) : Result<UserRecord>(CheckUserIdentity({}, expected).error());
  if (!stored.ok()) {
    written = stored.error();
  } else {
    written = CheckUserIdentity(*stored, expected);
    if (written.ok()) written = list.WriteUser(n, user);
  }
  Status closed = list.CloseUserList();
  return written.ok() ? closed : written;
}

Result<std::vector<UserRecord>> ReadAllUsers(const files::DataFolder& folder) {
  UserListOptions quiet = folder.options();
  quiet.notice = nullptr;
  auto listing = ListUsers({folder.path(), quiet});
  if (!listing.ok()) return listing.error();
  if (!listing->damage.empty()) return Error{Error::Kind::Damaged, listing->damage};
  return std::move(listing->users);
}

Result<UserListing> ListUsers(const files::DataFolder& folder) {
  UserList list(folder.path(), folder.options());
  const auto& notice = folder.options().notice;
  UserListing listing;
  const std::string name(kUserListFileName);
  Status opened = list.OpenUserList(UserListAccess::Read);
  if (!opened.ok()) {
    // A file no program wrote (holes, nothing but zeros) lists no users.
    if (opened.error().kind != Error::Kind::Damaged) return opened.error();
    listing.damage = opened.message();
    if (notice) notice({files::FolderNotice::Kind::Damaged, name, listing.damage});
    return listing;
  }
  if (list.Length() / kUserRecordSize > kMostUsers) {
    listing.damage = TooManyUsers(list.Length()).message();
    if (notice) notice({files::FolderNotice::Kind::Damaged, name, listing.damage});
    return listing;
  }
  std::vector<std::string> bad;
  std::size_t badCount = 0;
  const auto whole = static_cast<std::int32_t>(list.Length() / kUserRecordSize);
  Bytes bytes;
  for (std::int32_t n = 1; n <= whole; ++n) {
    Status read = list.ReadRecordBytes(n, bytes.data());
    if (!read.ok()) return read.error();
    UserRecord user = DecodeUserRecord(bytes.data());
    if (user.AccessLevel < 1 || user.AccessLevel > 4) {
      if (++badCount <= files::kMostProblemsListed) {
        bad.push_back("user number " + std::to_string(n) + " has the access level " + std::to_string(user.AccessLevel));
      }
      continue;
    }
    listing.users.push_back(std::move(user));
    listing.recordNumbers.push_back(n);
  }
  if (!bad.empty()) {
    std::string which;
    for (std::size_t i = 0; i < bad.size(); ++i)
      which += (i ? (i + 1 == bad.size() && badCount == bad.size() ? " and " : ", ") : "") + bad[i];
    if (badCount > bad.size()) which += " and " + std::to_string(badCount - bad.size()) + " more users likewise";
    listing.damage = "The user list " + name + " is damaged: " + which +
                     ", which is not one of 1 to 4. The other users are listed, but the list cannot "
                     "be changed until " +
                     name + " is repaired (from a backup, for example).";
  } else if (!list.HasWholeRecords()) {
    listing.damage = "The user list " + name + " ends in part of a user (" +
                     std::to_string(list.Length() % kUserRecordSize) +
                     " bytes), left by a save that was interrupted. The whole users are listed; the "
                     "next change to the list moves that part aside.";
  }
  if (!listing.damage.empty() && notice) {
    notice({files::FolderNotice::Kind::Damaged, name, listing.damage});
  }
  return listing;
}

Result<std::int32_t> AddUser(const files::DataFolder& folder, const UserRecord& user) {
  UserList list(folder.path(), folder.options());
  Status opened = list.OpenUserList(UserListAccess::Write);
  if (!opened.ok()) return opened.error();
  auto n = list.AppendUser(user);
  Status closed = list.CloseUserList();
  if (!n.ok()) return n.error();
  if (!closed.ok()) return closed.error();
  return *n;
}

Status DeleteUser(const files::DataFolder& folder, std::int32_t n, const logs::DeletionLog<std::string>& log,
                  const std::optional<UserIdentity>& expected) {
  UserList list(folder.path(), folder.options());
  Status opened = list.OpenUserList(UserListAccess::Write);
  if (!opened.ok()) return opened;
  if (expected && (n < 1 || n > list.UserCount())) return CheckUserIdentity({}, *expected);
  auto original = list.ReadUser(n);
  if (!original.ok()) return original.error();
  if (expected) {
    if (Status same = CheckUserIdentity(*original, *expected); !same.ok()) return same;
  }
  const std::string name = UserDisplayName(*original);
  Status logged = log.Deleted(name);
  if (!logged.ok()) return logged;
  UserRecord marked = *original;
  marked.FirstName = std::string(reports::kKilledMark);
  Status failed = list.WriteUser(n, marked);
  Status unmarked;
  if (failed.ok()) {
    auto kept = list.PurgeKilledUsers();
    if (kept.ok()) return {};
    failed = kept.error();
    unmarked = list.WriteUser(n, *original);
  }
  (void)list.CloseUserList();
  if (!unmarked.ok()) {
    return Error{failed.error().kind, failed.message() +
                                          "\n\nThe user is marked \"$Killed$\" and will be removed by the "
                                          "next deletion of a user (" +
                                          unmarked.message() + ")."};
  }
  Status noted = log.NotDeleted(name);
  return Error{failed.error().kind, failed.message() + "\n\nThe user was not deleted; the list is as it was." +
                                        (noted.ok() ? std::string() : " (" + noted.message() + ")")};
}

}  // namespace kestrova::users
