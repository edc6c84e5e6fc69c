#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrova::users {

// One user of the program: a fixed 500-byte record of "User.List". Text
// members hold UTF-8 without their padding.
struct UserRecord {
  double DateCreated = 0;
  std::string FirstName;         // 15; "$Killed$" while the user is being deleted
  std::string LastName;          // 20
  std::string Password;          // 16: the stored (encoded) form
  std::int16_t AccessLevel = 1;  // 1-4, the position in AccessLevels
  std::string Comments;          // 439

  friend bool operator==(const UserRecord&, const UserRecord&) = default;
};

inline constexpr std::size_t kUserRecordSize = 500;

void EncodeUserRecord(const UserRecord& user, char* dest);
UserRecord DecodeUserRecord(const char* src);

// Trimmed first name, one blank, trimmed last name: how a user is named in
// the list and the logs.
std::string UserDisplayName(const UserRecord& user);

// The first name of a stored record is the deletion mark.
bool IsKilledUser(const char* src);

}  // namespace kestrova::users
