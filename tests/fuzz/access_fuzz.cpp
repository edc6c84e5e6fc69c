// Any bytes in "Kestrova.Access": read as one short printable line or
// refused as damaged; a hash form accepted never carries limits beyond
// ours.
#include <string>

#include "core/users/access_code_file.h"
#include "fuzz_target.h"

using namespace kestrova;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto folder = FuzzFolder();
  PutFile(folder / users::kAccessCodeFileName, data, size);
  auto stored = users::ReadAccessCodeFile(folder);
  if (!stored.ok()) {
    FUZZ_REQUIRE(stored.error().kind == Error::Kind::Damaged);
    return 0;
  }
  FUZZ_REQUIRE(stored->has_value());
  const std::string& hash = **stored;
  FUZZ_REQUIRE(!hash.empty() && hash.size() <= 1024);
  for (const char c : hash) FUZZ_REQUIRE(c >= 0x21 && c <= 0x7E);
  const auto form = users::AccessHashFormOf(hash);
  if (form == users::AccessHashForm::Argon2id) {
    const auto m = hash.find("$m=");
    FUZZ_REQUIRE(m != std::string::npos);
    const std::uint64_t memory = std::stoull(hash.substr(m + 3, hash.find(',', m) - m - 3));
    FUZZ_REQUIRE(memory <= users::kMostArgonMemoryKiB);
  } else if (form == users::AccessHashForm::OldSha256) {
    const std::uint64_t rounds = std::stoull(hash.substr(7, hash.find('$', 7) - 7));
    FUZZ_REQUIRE(rounds >= 1 && rounds <= users::kMostOldRounds);
  }
  return 0;
}
