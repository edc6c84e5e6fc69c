#include "core/users/user_actions.h"

#include "core/logs/activity_log.h"
#include "core/reports/report_record.h"
#include "core/text/fixed_text.h"
#include "core/text/line_breaks.h"
#include "core/users/passwords.h"

namespace kestrova::users {
namespace {

std::string BlanksTrimmed(std::string_view text) { return std::string(text::Trim(text)); }

}  // namespace

SignInAnswer SignIn(const files::DataFolder& folder, const SignInRequest& request, const SignInState& current) {
  SignInAnswer answer;
  answer.state = {std::string(), current.CurrentAccessLevel};
  auto user = ReadUserChecked(folder, request.recordNumber, request.expected);
  if (!user.ok()) {
    answer.problem = user.error();
    return answer;
  }
  const std::string name = UserDisplayName(*user);
  if (!PasswordMatches(user->Password, request.password)) {
    answer.outcome = SignInAnswer::Outcome::IncorrectPassword;
    answer.attempt = {name, current.CurrentAccessLevel};
    return answer;
  }
  answer.outcome = SignInAnswer::Outcome::SignedIn;
  answer.state = {name, static_cast<AccessLevel>(user->AccessLevel)};
  answer.attempt = answer.state;
  return answer;
}

UserRecord UserToStore(const UserEntry& entry, const UserRecord& start) {
  UserRecord user = start;
  user.FirstName = BlanksTrimmed(entry.firstName);
  user.LastName = BlanksTrimmed(entry.lastName);
  user.Password = EncodePassword(entry.password);
  user.AccessLevel = entry.accessLevel;
  if (entry.commentsChanged) user.Comments = text::ToStoredLineBreaks(BlanksTrimmed(entry.comments));
  std::string bytes(kUserRecordSize, ' ');
  EncodeUserRecord(user, bytes.data());
  return DecodeUserRecord(bytes.data());
}

Result<SavedUser> SaveUser(const files::DataFolder& folder, const time::Clock& clock, const UserEntry& entry,
                           const std::optional<ShownUser>& shown) {
  if (!IsValidPassword(entry.password)) {
    return Error{Error::Kind::Invalid, "The password must be 4 to 8 characters, using letters and numbers only."};
  }
  // The user list removes a user of this first name at its next deletion.
  if (text::Trim(entry.firstName) == reports::kKilledMark) {
    return Error{Error::Kind::Invalid, "\"$Killed$\" marks a user who is being deleted; it cannot be a first name."};
  }
  SavedUser saved;
  if (!shown) {
    UserRecord start;
    start.DateCreated = time::ToOleDate(clock.Now());
    UserEntry added = entry;
    added.commentsChanged = true;  // a new user has none stored
    saved.user = UserToStore(added, start);
    // Appended at the end as it is now: another workstation may have added
    // a user since the form opened.
    auto n = AddUser(folder, saved.user);
    if (!n.ok()) return n.error();
    saved.recordNumber = *n;
  } else {
    saved.user = UserToStore(entry, shown->user);
    // The user must still be the one shown: another workstation's deletion
    // may have moved a different user to this number.
    Status written = ChangeUser(folder, shown->recordNumber, IdentityOf(shown->user), saved.user);
    if (!written.ok()) return written.error();
    saved.recordNumber = shown->recordNumber;
  }
  saved.logged =
      logs::LogUserListChange(folder, clock.Now(), shown ? logs::kEdited : logs::kAdded, UserDisplayName(saved.user));
  return saved;
}

}  // namespace kestrova::users
