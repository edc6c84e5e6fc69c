// Any bytes in "Kestrova.Changes": read as the little-endian count of its
// first eight bytes (missing ones are zero), and one more after a bump.
#include <string>

#include "core/files/change_counter.h"
#include "fuzz_target.h"

using namespace kestrova;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto folder = FuzzFolder();
  PutFile(folder / files::kChangesFileName, data, size);
  std::uint64_t expected = 0;
  for (std::size_t i = 0; i < 8 && i < size; ++i) expected |= static_cast<std::uint64_t>(data[i]) << (8 * i);
  auto read = files::ReadChangeCounter(folder);
  FUZZ_REQUIRE(read.ok() && *read == expected);
  auto bumped = files::BumpChangeCounter(folder);
  FUZZ_REQUIRE(bumped.ok() && *bumped == expected + 1);
  auto again = files::ReadChangeCounter(folder);
  FUZZ_REQUIRE(again.ok() && *again == expected + 1);
  return 0;
}
