// Windows-1252 bytes survive a trip through UTF-8; UTF-8 text the code page
// can hold survives the trip the other way; fixed-width members keep their
// bytes.
#include <string>
#include <string_view>

#include "core/text/fixed_text.h"
#include "core/text/win1252.h"
#include "fuzz_target.h"

using namespace kestrova;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  FUZZ_REQUIRE(text::Utf8ToWin1252(text::Win1252ToUtf8(bytes)) == bytes);
  if (text::UnstorableCharacters(bytes).empty()) {
    FUZZ_REQUIRE(text::Win1252ToUtf8(text::Utf8ToWin1252(bytes)) == bytes);
  }
  const std::size_t width = size % 64 + 1;
  std::string member(width, '\0');
  text::EncodeFixedText(text::Win1252ToUtf8(bytes), member.data(), width);
  const std::string decoded = text::DecodeFixedText(member.data(), width);
  std::string again(width, '\0');
  text::EncodeFixedText(decoded, again.data(), width);
  FUZZ_REQUIRE(again == member);
  (void)text::Trim(decoded);
  (void)text::ReadFixedText(member.data(), width);
  return 0;
}
