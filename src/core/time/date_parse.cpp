#include "core/time/date_parse.h"

#include <array>
#include <cctype>
#include <string>
#include <vector>

#include "core/time/date_format.h"

namespace kestrova::time {
namespace {

struct Token {
  enum class Kind { Number, Word } kind = Kind::Number;
  std::string text;  // a word in lower case
  int value = 0;     // a number's value
  // What stood between the previous token and this one: '\0' nothing,
  // ' ' blanks only, or the one punctuation mark ('/', '-', '.', ':', ',').
  char separator = '\0';
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::optional<std::vector<Token>> Tokenize(std::string_view s) {
  std::vector<Token> tokens;
  std::size_t pos = 0;
  while (pos < s.size()) {
    char separator = '\0';
    bool sawBlank = false;
    while (pos < s.size() && !std::isalnum(static_cast<unsigned char>(s[pos]))) {
      const char c = s[pos];
      if (IsBlank(c)) {
        sawBlank = true;
      } else if (c == '/' || c == '-' || c == '.' || c == ':' || c == ',') {
        if (separator != '\0') return std::nullopt;  // "//", "-/" ...
        separator = c;
      } else {
        return std::nullopt;
      }
      ++pos;
    }
    if (separator == '\0' && sawBlank) separator = ' ';
    if (pos >= s.size()) {
      // Text may not end in punctuation; blanks were trimmed by the caller.
      if (separator != '\0' && separator != ' ') return std::nullopt;
      break;
    }
    if (tokens.empty() && separator != '\0') return std::nullopt;
    Token token;
    token.separator = separator;
    if (std::isdigit(static_cast<unsigned char>(s[pos]))) {
      token.kind = Token::Kind::Number;
      while (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos]))) {
        token.text.push_back(s[pos++]);
        if (token.text.size() > 4) return std::nullopt;
      }
      token.value = std::stoi(token.text);
    } else {
      token.kind = Token::Kind::Word;
      while (pos < s.size() && std::isalpha(static_cast<unsigned char>(s[pos]))) {
        token.text.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(s[pos++]))));
      }
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

bool IsNumber(const Token& t) { return t.kind == Token::Kind::Number; }

std::optional<bool> AmPm(const Token& t) {  // true for pm
  if (t.kind != Token::Kind::Word) return std::nullopt;
  if (t.text == "am" || t.text == "a") return false;
  if (t.text == "pm" || t.text == "p") return true;
  return std::nullopt;
}

int MonthFromWord(const std::string& word) {
  if (word == "sept") return 9;
  for (int m = 1; m <= 12; ++m) {
    std::string name(MonthName(m));
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (word == name || (word.size() == 3 && name.compare(0, 3, word) == 0)) return m;
  }
  return 0;
}

int WeekdayFromWord(const std::string& word) {
  for (int w = 0; w <= 6; ++w) {
    std::string name(WeekdayName(w));
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (word == name || (word.size() == 3 && name.compare(0, 3, word) == 0)) return w;
  }
  return -1;
}

// A year as typed: one or two digits go through the 2029/1930 window.
std::optional<int> Year(const Token& t) {
  if (!IsNumber(t)) return std::nullopt;
  if (t.text.size() <= 2) return t.value < 30 ? 2000 + t.value : 1900 + t.value;
  return t.value;
}

std::optional<int> SmallNumber(const Token& t) {
  if (!IsNumber(t) || t.text.size() > 2) return std::nullopt;
  return t.value;
}

struct TimeOfDay {
  int hour = 0, minute = 0, second = 0;
};

// Reads a time starting at tokens[i]; returns the index after it.
std::optional<std::size_t> ParseTime(const std::vector<Token>& tokens, std::size_t i, TimeOfDay& out) {
  const auto hour = SmallNumber(tokens[i]);
  if (!hour) return std::nullopt;
  std::size_t next = i + 1;
  int minute = 0, second = 0;
  if (next < tokens.size() && tokens[next].separator == ':') {
    const auto m = SmallNumber(tokens[next]);
    if (!m) return std::nullopt;
    minute = *m;
    ++next;
    if (next < tokens.size() && tokens[next].separator == ':') {
      const auto s = SmallNumber(tokens[next]);
      if (!s) return std::nullopt;
      second = *s;
      ++next;
    }
  }
  const bool hasColon = next > i + 1;
  std::optional<bool> pm;
  if (next < tokens.size() && (tokens[next].separator == '\0' || tokens[next].separator == ' ')) {
    pm = AmPm(tokens[next]);
    if (pm) ++next;
  }
  if (!hasColon && !pm) return std::nullopt;
  if (minute > 59 || second > 59) return std::nullopt;
  int h = *hour;
  if (pm) {
    if (h > 12) return std::nullopt;
    if (h == 12) h = 0;
    if (*pm) h += 12;
  } else if (h > 23) {
    return std::nullopt;
  }
  out = {h, minute, second};
  return next;
}

bool StartsTime(const std::vector<Token>& tokens, std::size_t i) {
  if (!IsNumber(tokens[i]) || i + 1 >= tokens.size()) return false;
  const Token& next = tokens[i + 1];
  if (next.separator == ':') return true;
  return (next.separator == '\0' || next.separator == ' ') && AmPm(next).has_value();
}

bool IsDateSeparator(char c) { return c == '/' || c == '-' || c == '.'; }

struct CalendarDay {
  int year = 1899, month = 12, day = 30;
};

std::optional<CalendarDay> ParseDate(std::vector<Token> tokens, int currentYear) {
  int weekday = -1;
  if (!tokens.empty() && tokens[0].kind == Token::Kind::Word) {
    weekday = WeekdayFromWord(tokens[0].text);
    if (weekday >= 0) {
      tokens.erase(tokens.begin());
      if (tokens.empty()) return std::nullopt;
      if (tokens[0].separator != ' ' && tokens[0].separator != ',') return std::nullopt;
    }
  }
  CalendarDay out;
  const std::size_t n = tokens.size();
  const auto sep = [&](std::size_t i) { return tokens[i].separator; };

  int monthWordAt = -1;
  for (std::size_t i = 0; i < n; ++i) {
    if (tokens[i].kind != Token::Kind::Word) continue;
    if (monthWordAt >= 0) return std::nullopt;
    const int m = MonthFromWord(tokens[i].text);
    if (m == 0) return std::nullopt;
    monthWordAt = static_cast<int>(i);
    out.month = m;
  }

  std::optional<int> year, month, day;
  if (monthWordAt < 0) {
    if (n == 3 && IsDateSeparator(sep(1)) && sep(2) == sep(1)) {
      if (tokens[0].text.size() >= 3) {  // 2024-01-05
        year = Year(tokens[0]), month = SmallNumber(tokens[1]), day = SmallNumber(tokens[2]);
      } else {  // 01/05/2024
        month = SmallNumber(tokens[0]), day = SmallNumber(tokens[1]), year = Year(tokens[2]);
      }
    } else if (n == 2 && (sep(1) == '/' || sep(1) == '-') && currentYear != 0) {
      month = SmallNumber(tokens[0]), day = SmallNumber(tokens[1]), year = currentYear;
    } else {
      return std::nullopt;
    }
  } else {
    month = out.month;
    const auto loose = [](char c) { return c == ' ' || IsDateSeparator(c); };
    if (monthWordAt == 0 && (n == 2 || n == 3) && loose(sep(1))) {
      // Jan 05, 2024 / January 5 2024 / Jan 5
      day = SmallNumber(tokens[1]);
      if (n == 3) {
        if (!(loose(sep(2)) || sep(2) == ',')) return std::nullopt;
        year = Year(tokens[2]);
      } else if (currentYear != 0) {
        year = currentYear;
      }
    } else if (monthWordAt == 1 && (n == 2 || n == 3) && loose(sep(1))) {
      // 5 Jan 2024 / 05-Jan-2024 / 5 Jan
      day = SmallNumber(tokens[0]);
      if (n == 3) {
        if (!loose(sep(2))) return std::nullopt;
        year = Year(tokens[2]);
      } else if (currentYear != 0) {
        year = currentYear;
      }
    } else {
      return std::nullopt;
    }
  }
  if (!year || !month || !day) return std::nullopt;
  if (!IsValidDate(*year, *month, *day)) return std::nullopt;
  out = {*year, *month, *day};
  if (weekday >= 0 && Weekday(DateTime{out.year, out.month, out.day, 0, 0, 0}) != weekday) {
    return std::nullopt;
  }
  return out;
}

}  // namespace

std::optional<DateTime> ParseDateTime(std::string_view text, int currentYear) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::nullopt;
  const auto last = text.find_last_not_of(" \t");
  const auto tokens = Tokenize(text.substr(first, last - first + 1));
  if (!tokens || tokens->empty()) return std::nullopt;

  // A time stands either at the start or at the end; the rest is the date.
  std::optional<std::size_t> timeStart;
  for (std::size_t i = 0; i < tokens->size(); ++i) {
    if (StartsTime(*tokens, i)) {
      timeStart = i;
      break;
    }
  }
  TimeOfDay tod;
  std::vector<Token> dateTokens;
  bool hasTime = false;
  if (timeStart) {
    const auto end = ParseTime(*tokens, *timeStart, tod);
    if (!end) return std::nullopt;
    hasTime = true;
    if (*timeStart == 0) {
      dateTokens.assign(tokens->begin() + static_cast<std::ptrdiff_t>(*end), tokens->end());
      if (!dateTokens.empty()) {
        if (dateTokens[0].separator != ' ' && dateTokens[0].separator != ',') return std::nullopt;
        dateTokens[0].separator = '\0';
      }
    } else if (*end == tokens->size()) {
      const char before = (*tokens)[*timeStart].separator;
      if (before != ' ' && before != ',') return std::nullopt;
      dateTokens.assign(tokens->begin(), tokens->begin() + static_cast<std::ptrdiff_t>(*timeStart));
    } else {
      return std::nullopt;
    }
  } else {
    dateTokens = *tokens;
  }

  DateTime dt;
  if (!dateTokens.empty()) {
    const auto day = ParseDate(std::move(dateTokens), currentYear);
    if (!day) return std::nullopt;
    dt.year = day->year, dt.month = day->month, dt.day = day->day;
  } else if (!hasTime) {
    return std::nullopt;
  }
  dt.hour = tod.hour, dt.minute = tod.minute, dt.second = tod.second;
  return dt;
}

std::optional<double> ParseOleDate(std::string_view text, int currentYear) {
  const auto dt = ParseDateTime(text, currentYear);
  if (!dt) return std::nullopt;
  return ToOleDate(*dt);
}

}  // namespace kestrova::time
