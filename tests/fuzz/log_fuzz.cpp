// Any bytes in an activity log: read whole and in pieces as the same valid
// UTF-8 text, and a line appended after them starts on a line of its own.
#include <string>

#include "core/logs/activity_log.h"
#include "fuzz_target.h"

using namespace kestrova;

namespace {

bool ValidUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > text.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2) return false;
    }
    i += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto folder = FuzzFolder();
  PutFile(folder / logs::kSearchLog, data, size);
  auto whole = logs::ReadLog(folder, logs::kSearchLog);
  FUZZ_REQUIRE(whole.ok() && ValidUtf8(*whole));
  std::string pieces;
  FUZZ_REQUIRE(logs::ReadLogPieces(folder, logs::kSearchLog, [&](std::string_view piece) {
                 FUZZ_REQUIRE(ValidUtf8(std::string(piece)));
                 pieces += piece;
                 return true;
               }).ok());
  FUZZ_REQUIRE(pieces == *whole);
  FUZZ_REQUIRE(logs::AppendLogLine(folder, logs::kSearchLog, "the next line").ok());
  auto after = logs::ReadLog(folder, logs::kSearchLog);
  FUZZ_REQUIRE(after.ok());
  const std::string tail = "the next line\r\n";
  FUZZ_REQUIRE(after->size() >= tail.size() && after->compare(after->size() - tail.size(), tail.size(), tail) == 0);
  const std::size_t before = after->size() - tail.size();
  FUZZ_REQUIRE(before == 0 || (*after)[before - 1] == '\n');
  return 0;
}
