#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "core/files/record_file.h"
#include "core/status.h"
#include "core/users/user_record.h"

namespace kestrova::users {

inline constexpr std::string_view kUserListFileName = "User.List";

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

  // Drops every user whose first name is the deletion mark, rewriting the
  // list through TempFile.$$$; no user left leaves no "User.List". Closes
  // the list.
  Result<std::int32_t> PurgeKilledUsers();

 private:
  Status CheckLevels() const;
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

// Reads user n, checking that it is still the user expected.
Result<UserRecord> ReadUserChecked(const std::filesystem::path& folder, std::int32_t n,
                                   const UserIdentity& expected, const UserListOptions& options = {});

// Rewrites user n in its own locked bracket, once it is checked to be the
// user expected; nothing is written otherwise.
Status ChangeUser(const std::filesystem::path& folder, std::int32_t n, const UserIdentity& expected,
                  const UserRecord& user, const UserListOptions& options = {});

// Every user in file order; a missing list has none.
Result<std::vector<UserRecord>> ReadAllUsers(const std::filesystem::path& folder,
                                             const UserListOptions& options = {});

// Appends a user in its own locked bracket; returns the new record number.
Result<std::int32_t> AddUser(const std::filesystem::path& folder, const UserRecord& user,
                             const UserListOptions& options = {});

// Deletes user n: logs the deletion through `logDeleted` (given the user's
// display name) before marking the record, then rewrites the list without
// it. A failed log write stops the deletion before anything is changed, and
// so does a user n that is not the one expected.
Status DeleteUser(const std::filesystem::path& folder, std::int32_t n,
                  const std::function<Status(const std::string&)>& logDeleted,
                  const UserListOptions& options = {}, const std::optional<UserIdentity>& expected = std::nullopt);

}  // namespace kestrova::users
