// A typed amount is read or refused, never overflowed; every stored amount
// reads back exactly from its decimal form and formats.
#include <cstring>
#include <string_view>

#include "core/text/currency.h"
#include "fuzz_target.h"

using namespace kestrova;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const auto value = text::ParseCurrency(text)) {
    FUZZ_REQUIRE(text::ParseCurrency(text::CurrencyToDecimal(*value)) == *value);
    (void)text::FormatCurrency(*value);
  }
  if (size >= 8) {
    std::int64_t stored = 0;
    std::memcpy(&stored, data, sizeof stored);
    FUZZ_REQUIRE(text::ParseCurrency(text::CurrencyToDecimal(stored)) == stored);
    (void)text::FormatCurrency(stored);
  }
  return 0;
}
