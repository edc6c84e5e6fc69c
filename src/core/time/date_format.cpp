#include "core/time/date_format.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <vector>

namespace kestrova::time {
namespace {

constexpr std::array<std::string_view, 12> kMonths = {"January",   "February", "March",    "April",
                                                      "May",       "June",     "July",     "August",
                                                      "September", "October",  "November", "December"};
constexpr std::array<std::string_view, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool StartsWithNoCase(std::string_view s, std::size_t pos, std::string_view prefix) {
  if (s.size() - pos < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(s[pos + i]) != Lower(prefix[i])) return false;
  }
  return true;
}

std::size_t RunLength(std::string_view s, std::size_t pos) {
  std::size_t n = 1;
  while (pos + n < s.size() && Lower(s[pos + n]) == Lower(s[pos])) ++n;
  return n;
}

void AppendNumber(std::string& out, int value, int width) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
  out += buffer;
}

enum class TokenKind { Literal, Day, Month, Year, Hour, Minute, Second, AmPm };

struct Token {
  TokenKind kind = TokenKind::Literal;
  std::size_t length = 0;  // letters in the pattern (1 for a literal)
  std::string_view text;   // the pattern's own letters
};

std::vector<Token> Tokenize(std::string_view pattern) {
  std::vector<Token> tokens;
  std::size_t pos = 0;
  while (pos < pattern.size()) {
    if (StartsWithNoCase(pattern, pos, "am/pm")) {
      tokens.push_back({TokenKind::AmPm, 5, pattern.substr(pos, 5)});
      pos += 5;
      continue;
    }
    if (StartsWithNoCase(pattern, pos, "a/p")) {
      tokens.push_back({TokenKind::AmPm, 3, pattern.substr(pos, 3)});
      pos += 3;
      continue;
    }
    const char c = Lower(pattern[pos]);
    const std::size_t n = RunLength(pattern, pos);
    TokenKind kind = TokenKind::Literal;
    switch (c) {
      case 'd': kind = TokenKind::Day; break;
      case 'm': kind = TokenKind::Month; break;
      case 'y': kind = TokenKind::Year; break;
      case 'h': kind = TokenKind::Hour; break;
      case 'n': kind = TokenKind::Minute; break;
      case 's': kind = TokenKind::Second; break;
      default: break;
    }
    if (kind == TokenKind::Literal) {
      tokens.push_back({kind, 1, pattern.substr(pos, 1)});
      ++pos;
    } else {
      tokens.push_back({kind, n, pattern.substr(pos, n)});
      pos += n;
    }
  }
  // "m" and "mm" mean minutes right after an hour or right before seconds.
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].kind != TokenKind::Month || tokens[i].length > 2) continue;
    bool afterHour = false;
    for (std::size_t j = i; j-- > 0;) {
      if (tokens[j].kind == TokenKind::Literal) continue;
      afterHour = tokens[j].kind == TokenKind::Hour;
      break;
    }
    bool beforeSecond = false;
    for (std::size_t j = i + 1; j < tokens.size(); ++j) {
      if (tokens[j].kind == TokenKind::Literal) continue;
      beforeSecond = tokens[j].kind == TokenKind::Second;
      break;
    }
    if (afterHour || beforeSecond) tokens[i].kind = TokenKind::Minute;
  }
  return tokens;
}

}  // namespace

std::string_view MonthName(int month) {
  return month >= 1 && month <= 12 ? kMonths[static_cast<std::size_t>(month - 1)] : "";
}

std::string_view WeekdayName(int weekday) {
  return weekday >= 0 && weekday <= 6 ? kWeekdays[static_cast<std::size_t>(weekday)] : "";
}

std::string FormatDateTime(const DateTime& dt, std::string_view pattern) {
  const std::vector<Token> tokens = Tokenize(pattern);
  bool twelveHour = false;
  for (const Token& t : tokens) twelveHour = twelveHour || t.kind == TokenKind::AmPm;

  std::string out;
  for (const Token& t : tokens) {
    switch (t.kind) {
      case TokenKind::Literal: out += t.text; break;
      case TokenKind::Day:
        if (t.length <= 2) {
          AppendNumber(out, dt.day, static_cast<int>(t.length));
        } else {
          const std::string_view name = WeekdayName(Weekday(dt));
          out += t.length == 3 ? name.substr(0, 3) : name;
        }
        break;
      case TokenKind::Month:
        if (t.length <= 2) {
          AppendNumber(out, dt.month, static_cast<int>(t.length));
        } else {
          const std::string_view name = MonthName(dt.month);
          out += t.length == 3 ? name.substr(0, 3) : name;
        }
        break;
      case TokenKind::Year:
        if (t.length <= 2) {
          AppendNumber(out, dt.year % 100, 2);
        } else {
          AppendNumber(out, dt.year, 4);
        }
        break;
      case TokenKind::Hour: {
        int hour = dt.hour;
        if (twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
        AppendNumber(out, hour, t.length >= 2 ? 2 : 1);
        break;
      }
      case TokenKind::Minute: AppendNumber(out, dt.minute, t.length >= 2 ? 2 : 1); break;
      case TokenKind::Second: AppendNumber(out, dt.second, t.length >= 2 ? 2 : 1); break;
      case TokenKind::AmPm: {
        const bool pm = dt.hour >= 12;
        const bool upper = std::isupper(static_cast<unsigned char>(t.text[0])) != 0;
        if (t.length == 5) {
          out += upper ? (pm ? "PM" : "AM") : (pm ? "pm" : "am");
        } else {
          out += upper ? (pm ? "P" : "A") : (pm ? "p" : "a");
        }
        break;
      }
    }
  }
  return out;
}

std::optional<std::string> FormatOleDate(double value, std::string_view pattern) {
  const auto dt = FromOleDate(value);
  if (!dt) return std::nullopt;
  return FormatDateTime(*dt, pattern);
}

std::string FormatControlNumber(double controlNumber) {
  if (controlNumber == 0) return "n/a";
  return FormatOleDate(controlNumber, kControlNumberFormat).value_or("n/a");
}

}  // namespace kestrova::time
