#pragma once

#include <cstdint>
#include <string>

namespace kestrova::users {

// Who is signed in: the name as the user list shows it (trimmed first name,
// one blank, trimmed last name) and the access level 1-4. The name is
// emptied by an incorrect password; both keep their values after sign-out
// until the next sign-in.
struct SignInState {
  std::string CurrentUserName;
  std::int16_t CurrentAccessLevel = 0;
};

}  // namespace kestrova::users
