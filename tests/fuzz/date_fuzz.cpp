// Whatever is typed, a date that is read is a valid one, survives its
// stored form to the second, and formats; any stored value formats or is
// refused without harm.
#include <cstring>
#include <string_view>

#include "core/time/date_format.h"
#include "core/time/date_parse.h"
#include "core/time/ole_date.h"
#include "fuzz_target.h"

using namespace kestrova;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size >= 8) {
    double stored = 0;
    std::memcpy(&stored, data, sizeof stored);
    if (const auto moment = time::FromOleDate(stored)) {
      FUZZ_REQUIRE(time::IsValidDateTime(*moment));
      (void)time::FormatDateTime(*moment, time::kLongDateFormat);
    }
    (void)time::FormatOleDate(stored, time::kDateTimeFormat);
    (void)time::FormatControlNumber(stored);
  }
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const int year = size > 0 ? 1900 + data[0] % 200 : 0;
  if (const auto parsed = time::ParseDateTime(text, year)) {
    FUZZ_REQUIRE(time::IsValidDateTime(*parsed));
    const auto back = time::FromOleDate(time::ToOleDate(*parsed));
    FUZZ_REQUIRE(back && *back == *parsed);
    (void)time::FormatDateTime(*parsed, time::kDateTimeFormat);
  }
  (void)time::ParseOleDate(text);
  return 0;
}
