#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/files/data_folder.h"
#include "core/status.h"
#include "core/time/ole_date.h"
#include "core/users/sign_in.h"
#include "core/users/user_list.h"
#include "core/users/user_record.h"

// What a user does with the user list: signing in, and saving a user from
// the form. The windows ask and show; the tests call the same steps.
namespace kestrova::users {

// Signing in the user a list row names: where the list read them, who they
// were then, and the password as typed.
struct SignInRequest {
  std::int32_t recordNumber = 0;
  UserIdentity expected;
  std::string password;
};

struct SignInAnswer {
  enum class Outcome {
    SignedIn,
    IncorrectPassword,
    NotRead,  // the record no longer holds that user, or the list could not be read
  };
  Outcome outcome = Outcome::NotRead;
  // Who is signed in once the attempt is over: the user with their level;
  // otherwise nobody, the name emptied and the level kept.
  SignInState state;
  // Who tried, with the level their log line records (the user's own level
  // when signed in; the level kept from before after a wrong password).
  SignInState attempt;
  // NotRead: why.
  std::optional<Error> problem;
};

// The record must still hold the user the row names, and the password must
// match the stored one exactly. `current` is who was signed in before.
SignInAnswer SignIn(const files::DataFolder& folder, const SignInRequest& request, const SignInState& current);

// A user as the form holds it.
struct UserEntry {
  std::string firstName;
  std::string lastName;
  std::string password;
  std::string comments;  // as the box shows them, with LF line breaks
  std::int16_t accessLevel = 1;
  // Comments left as they were keep their stored bytes.
  bool commentsChanged = true;
};

// The user a save writes, from `start` (nothing for a new user, the user as
// read for a change): names trimmed of blanks, the password encoded, typed
// line breaks stored as CR LF; then cut to the record's widths, as the list
// will read it back.
UserRecord UserToStore(const UserEntry& entry, const UserRecord& start);

// The user a change starts from: where it was read, and as it was read.
struct ShownUser {
  std::int32_t recordNumber = 0;
  UserRecord user;
};
// A user saved, and whether its log line was written (the save stands
// either way).
struct SavedUser {
  UserRecord user;
  std::int32_t recordNumber = 0;
  Status logged;
};

// Saves a new user (created now and appended at the end of the list as it
// is now) or, with `shown`, the change to that user (written only while
// the record still holds them), then logs "added" or "edited". A password
// that is not 4 to 8 letters and digits is refused and nothing is written.
Result<SavedUser> SaveUser(const files::DataFolder& folder, const time::Clock& clock, const UserEntry& entry,
                           const std::optional<ShownUser>& shown);

}  // namespace kestrova::users
