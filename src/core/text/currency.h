#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Money is stored as a signed 64-bit count of ten-thousandths.
namespace kestrova::text {

inline constexpr std::int64_t kCurrencyScale = 10000;

// Reads an amount as a US-English currency conversion does: blanks around
// it, an optional "$", a leading "+" or "-" or surrounding parentheses for a
// negative amount, thousands separators in the whole part, and a decimal
// point. Digits past the fourth decimal are rounded half to even. Nothing
// for anything else, or for an amount outside the 64-bit range.
std::optional<std::int64_t> ParseCurrency(std::string_view text);

// "##,###,##0.00": thousands separators, two decimals rounded half away
// from zero, a leading "-" for a negative amount (1234.5 -> "1,234.50").
std::string FormatCurrency(std::int64_t value);

// The exact stored amount with four decimals and no separators ("1234.5000").
std::string CurrencyToDecimal(std::int64_t value);

}  // namespace kestrova::text
