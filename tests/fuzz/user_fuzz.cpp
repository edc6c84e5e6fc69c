// Any 500 bytes are a user record that encodes back to the same bytes; any
// stored password decodes, and a password encoded decodes to itself.
#include <cstring>
#include <string>

#include "core/text/fixed_text.h"
#include "core/users/passwords.h"
#include "core/users/user_record.h"
#include "fuzz_target.h"

using namespace kestrova;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), std::min(size, users::kUserRecordSize));
  bytes.resize(users::kUserRecordSize, ' ');
  const users::UserRecord user = users::DecodeUserRecord(bytes.data());
  char again[users::kUserRecordSize];
  users::EncodeUserRecord(user, again);
  FUZZ_REQUIRE(std::memcmp(again, bytes.data(), bytes.size()) == 0);
  (void)users::UserDisplayName(user);
  (void)users::IsKilledUser(bytes.data());
  const std::string password = users::DecodePassword(user.Password);
  (void)users::PasswordMatches(user.Password, password);
  const std::string typed(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 10));
  if (users::IsValidPassword(typed)) {
    std::mt19937 generator(static_cast<unsigned>(size));
    const std::string stored = users::EncodePassword(typed, generator);
    FUZZ_REQUIRE(users::PasswordMatches(stored, std::string(text::Trim(typed))));
  }
  return 0;
}
