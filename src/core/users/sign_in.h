#pragma once

#include <cstdint>
#include <string>

namespace kestrova::users {

// A user's access level, as stored (its position in AccessLevels). Each
// level may do what the ones below it may.
enum class AccessLevel : std::int16_t { None = 0, ReadOnly = 1, ReadEdit = 2, ReadEditAdd = 3, FullAccess = 4 };

// Who is signed in: the name as the user list shows it (trimmed first name,
// one blank, trimmed last name) and the access level 1-4. The name is
// emptied by an incorrect password; both keep their values after sign-out
// until the next sign-in.
struct SignInState {
  std::string CurrentUserName;
  AccessLevel CurrentAccessLevel = AccessLevel::None;
};

}  // namespace kestrova::users
