#include "core/text/currency.h"

#include <cctype>
#include <limits>

namespace kestrova::text {
namespace {

std::string_view TrimBlanks(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::uint64_t Magnitude(std::int64_t v) {
  return v < 0 ? ~static_cast<std::uint64_t>(v) + 1 : static_cast<std::uint64_t>(v);
}

}  // namespace

std::optional<std::int64_t> ParseCurrency(std::string_view text) {
  std::string_view s = TrimBlanks(text);
  bool negative = false;
  if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
    negative = true;
    s = TrimBlanks(s.substr(1, s.size() - 2));
  }
  bool sawDollar = false;
  bool sawSign = false;
  // "$-12", "-$12", "$ 12" and "- 12" all occur in typed amounts.
  while (!s.empty() && (s.front() == '$' || s.front() == '-' || s.front() == '+')) {
    if (s.front() == '$') {
      if (sawDollar) return std::nullopt;
      sawDollar = true;
    } else {
      if (sawSign || negative) return std::nullopt;
      sawSign = true;
      negative = s.front() == '-';
    }
    s = TrimBlanks(s.substr(1));
  }
  if (s.empty()) return std::nullopt;

  const std::uint64_t limit =
      negative ? std::uint64_t{1} << 63 : static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  std::uint64_t units = 0;  // the whole part, in ten-thousandths as we go
  std::size_t pos = 0;
  std::size_t digits = 0;
  std::uint64_t whole = 0;
  constexpr std::uint64_t kMaxWhole = (std::uint64_t{1} << 63) / kCurrencyScale + 1;
  for (; pos < s.size() && s[pos] != '.'; ++pos) {
    const char c = s[pos];
    if (IsDigit(c)) {
      whole = whole * 10 + static_cast<std::uint64_t>(c - '0');
      if (whole > kMaxWhole) return std::nullopt;
      ++digits;
    } else if (c == ',') {
      // A thousands separator stands between digits.
      if (pos == 0 || !IsDigit(s[pos - 1]) || pos + 1 >= s.size() || !IsDigit(s[pos + 1])) {
        return std::nullopt;
      }
    } else {
      return std::nullopt;
    }
  }
  std::uint64_t fraction = 0;
  int fractionDigits = 0;
  int roundDigit = -1;         // the fifth decimal
  bool beyondNonZero = false;  // any non-zero digit after the fifth
  if (pos < s.size()) {
    ++pos;  // the decimal point
    for (; pos < s.size(); ++pos) {
      const char c = s[pos];
      if (!IsDigit(c)) return std::nullopt;
      ++digits;
      if (fractionDigits < 4) {
        fraction = fraction * 10 + static_cast<std::uint64_t>(c - '0');
        ++fractionDigits;
      } else if (roundDigit < 0) {
        roundDigit = c - '0';
      } else if (c != '0') {
        beyondNonZero = true;
      }
    }
  }
  if (digits == 0) return std::nullopt;
  for (; fractionDigits < 4; ++fractionDigits) fraction *= 10;
  if (whole > limit / kCurrencyScale) return std::nullopt;
  units = whole * kCurrencyScale + fraction;
  if (units > limit) return std::nullopt;
  if (roundDigit > 5 || (roundDigit == 5 && (beyondNonZero || units % 2 == 1))) {
    if (units == limit) return std::nullopt;
    ++units;
  }
  if (negative) return static_cast<std::int64_t>(~units + 1);
  return static_cast<std::int64_t>(units);
}

std::string FormatCurrency(std::int64_t value) {
  const std::uint64_t cents = (Magnitude(value) + 50) / 100;
  const std::string whole = std::to_string(cents / 100);
  std::string out;
  if (value < 0 && cents != 0) out.push_back('-');
  for (std::size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) out.push_back(',');
    out.push_back(whole[i]);
  }
  const auto c = cents % 100;
  out.push_back('.');
  out.push_back(static_cast<char>('0' + c / 10));
  out.push_back(static_cast<char>('0' + c % 10));
  return out;
}

std::string CurrencyToDecimal(std::int64_t value) {
  const std::uint64_t m = Magnitude(value);
  std::string fraction = std::to_string(m % kCurrencyScale);
  fraction.insert(0, 4 - fraction.size(), '0');
  // Appended piece by piece: GCC 12 at -O3 warns (-Wrestrict) about
  // `const char* + std::string&&`.
  std::string text = value < 0 ? "-" : "";
  text += std::to_string(m / kCurrencyScale);
  text += '.';
  text += fraction;
  return text;
}

}  // namespace kestrova::text
