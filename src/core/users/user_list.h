#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
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

// Every user in file order; a missing list has none.
Result<std::vector<UserRecord>> ReadAllUsers(const std::filesystem::path& folder,
                                             const UserListOptions& options = {});

// Appends a user in its own locked bracket; returns the new record number.
Result<std::int32_t> AddUser(const std::filesystem::path& folder, const UserRecord& user,
                             const UserListOptions& options = {});

// Deletes user n: logs the deletion through `logDeleted` (given the user's
// display name) before marking the record, then rewrites the list without
// it. A failed log write stops the deletion before anything is changed.
Status DeleteUser(const std::filesystem::path& folder, std::int32_t n,
                  const std::function<Status(const std::string&)>& logDeleted,
                  const UserListOptions& options = {});

}  // namespace kestrova::users
