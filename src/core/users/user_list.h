#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/data_folder.h"
#include "core/files/record_file.h"
#include "core/logs/deletion_log.h"
#include "core/status.h"
#include "core/users/user_record.h"

namespace kestrova::users {

inline constexpr std::string_view kUserListFileName = "User.List";
// A list longer than this is damaged, not read through.
inline constexpr std::uint64_t kMostUsers = 100000;

using UserListOptions = files::RecordFileOptions;
using UserListAccess = files::RecordAccess;

// "User.List": the users, 500 bytes each, in the order they were added.
// A damaged list (a length that is not a whole number of users, an access
// level outside 1-4) is reported and never written to.
class UserList : public files::RecordFile {
 public:
  explicit UserList(std::filesystem::path folder, UserListOptions options = {});

  Status OpenUserList(UserListAccess access = UserListAccess::Write);
  Status CloseUserList() { return Close(); }
  std::int32_t UserCount() const { return RecordCount(); }

  // Reads user n; a record with an access level outside 1-4 is an error.
  Result<UserRecord> ReadUser(std::int32_t n) const;
  // Writes user n; n = UserCount() + 1 appends.
  Status WriteUser(std::int32_t n, const UserRecord& user);
  // Appends a user; returns where it landed.
  Result<std::int32_t> AppendUser(const UserRecord& user);

  // Drops every user whose first name is the deletion mark, rewriting the
  // list through TempFile.$$$; no user left leaves no "User.List". Closes
  // the list on success.
  Result<std::int32_t> PurgeKilledUsers();

 protected:
  // Ours: every whole record has an access level of 1 to 4.
  Status CheckOurs() const override;
};

// What tells the user shown in a window from another one that came to the
// same record number (names need not be unique, the moment of creation is).
struct UserIdentity {
  std::string FirstName;
  std::string LastName;
  double DateCreated = 0;
};
UserIdentity IdentityOf(const UserRecord& user);
// Conflict, with a message saying so, when the stored user is another one.
Status CheckUserIdentity(const UserRecord& stored, const UserIdentity& expected);

// Reads user n as it is on file now.
Result<UserRecord> ReadOneUser(const files::DataFolder& folder, std::int32_t n);

// Reads user n, checking that it is still the user expected.
Result<UserRecord> ReadUserChecked(const files::DataFolder& folder, std::int32_t n, const UserIdentity& expected);

// Rewrites user n in its own locked bracket, once it is checked to be the
// user expected; nothing is written otherwise.
Status ChangeUser(const files::DataFolder& folder, std::int32_t n, const UserIdentity& expected,
                  const UserRecord& user);

// Every user in file order; a missing list has none. A damaged list is an
// error.
Result<std::vector<UserRecord>> ReadAllUsers(const files::DataFolder& folder);

// The users a list can show, even from a damaged file: every whole record
// with a valid access level, with its record number. `damage` says what is
// wrong with the file (empty when nothing is); it is also told once to
// the folder's notice. Writes stay refused until the damage is repaired.
struct UserListing {
  std::vector<UserRecord> users;
  std::vector<std::int32_t> recordNumbers;
  std::string damage;
};
Result<UserListing> ListUsers(const files::DataFolder& folder);

// Appends a user in its own locked bracket; returns the new record number.
Result<std::int32_t> AddUser(const files::DataFolder& folder, const UserRecord& user);

// Deletes user n: logs the deletion (given the user's display name) before
// marking the record, then rewrites the list without it. A failed log
// write stops the deletion before anything is changed, and so does a user n
// that is not the one expected; a failed rewrite takes the mark off again,
// logs "not deleted" and says so.
Status DeleteUser(const files::DataFolder& folder, std::int32_t n, const logs::DeletionLog<std::string>& log,
                  const std::optional<UserIdentity>& expected = std::nullopt);

}  // namespace kestrova::users
