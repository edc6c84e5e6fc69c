#include "core/users/user_record.h"

#include <cstring>

#include "core/reports/report_record.h"
#include "core/text/fixed_text.h"

namespace kestrova::users {

void EncodeUserRecord(const UserRecord& u, char* dest) {
  std::memcpy(dest, &u.DateCreated, 8);
  text::EncodeFixedText(u.FirstName, dest + 8, 15);
  text::EncodeFixedText(u.LastName, dest + 23, 20);
  text::EncodeFixedText(u.Password, dest + 43, 16);
  std::memcpy(dest + 59, &u.AccessLevel, 2);
  text::EncodeFixedText(u.Comments, dest + 61, 439);
}

UserRecord DecodeUserRecord(const char* src) {
  UserRecord u;
  std::memcpy(&u.DateCreated, src, 8);
  u.FirstName = text::DecodeFixedText(src + 8, 15);
  u.LastName = text::DecodeFixedText(src + 23, 20);
  u.Password = text::DecodeFixedText(src + 43, 16);
  std::memcpy(&u.AccessLevel, src + 59, 2);
  u.Comments = text::DecodeFixedText(src + 61, 439);
  return u;
}

std::string UserDisplayName(const UserRecord& user) {
  return std::string(text::Trim(user.FirstName)) + " " + std::string(text::Trim(user.LastName));
}

bool IsKilledUser(const char* src) { return text::Trim(std::string_view(src + 8, 15)) == reports::kKilledMark; }

}  // namespace kestrova::users
