#pragma once

#include <string>

#include "core/users/access_level.h"

namespace kestrova::users {

// Who is signed in: the name as the user list shows it (trimmed first name,
// one blank, trimmed last name) and the access level 1-4. The name is
// emptied by an incorrect password; both keep their values after sign-out
// until the next sign-in.
struct SignInState {
  std::string CurrentUserName;
  AccessLevel CurrentAccessLevel = AccessLevel::None;
};

}  // namespace kestrova::users
