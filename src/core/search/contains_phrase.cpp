#include "core/search/contains_phrase.h"

#include <cstring>

#include "core/text/win1252.h"

namespace kestrova::search {

bool IsWordByte(unsigned char b) {
  if ((b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')) return true;
  switch (b) {
    case 0x83:
    case 0x8A:
    case 0x8C:
    case 0x8E:
    case 0x9A:
    case 0x9C:
    case 0x9E:
    case 0x9F:
    case 0xAA:
    case 0xB5:
    case 0xBA: return true;
    default: return b >= 0xC0 && b != 0xD7 && b != 0xF7;
  }
}

unsigned char LowerByte(unsigned char b) {
  if (b >= 'A' && b <= 'Z') return static_cast<unsigned char>(b + 32);
  if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<unsigned char>(b + 32);
  switch (b) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return b;
  }
}

PhraseMatcher::PhraseMatcher(std::string_view phrase, int mode, int wholeWord)
    : phrase_(phrase), ignoreCase_(mode == kIgnoreCapitalization), wholeWord_(wholeWord == 1) {
  for (int b = 0; b < 256; ++b) {
    lower_[b] = ignoreCase_ ? LowerByte(static_cast<unsigned char>(b)) : static_cast<unsigned char>(b);
  }
  for (char& c : phrase_) c = static_cast<char>(lower_[static_cast<unsigned char>(c)]);
  // Horspool's shift table over the folded phrase.
  const std::size_t m = phrase_.size();
  for (std::size_t& s : skip_) s = m;
  for (std::size_t i = 0; i + 1 < m; ++i) skip_[static_cast<unsigned char>(phrase_[i])] = m - 1 - i;
}

bool PhraseMatcher::Matches(std::string_view text) const {
  const std::size_t m = phrase_.size();
  const std::size_t n = text.size();
  if (m == 0 || m > n) return false;
  const auto* t = reinterpret_cast<const unsigned char*>(text.data());
  const auto* p = reinterpret_cast<const unsigned char*>(phrase_.data());
  const unsigned char last = p[m - 1];
  std::size_t at = 0;
  while (at + m <= n) {
    const unsigned char end = lower_[t[at + m - 1]];
    if (end == last) {
      std::size_t k = 0;
      while (k + 1 < m && lower_[t[at + k]] == p[k]) ++k;
      if (k + 1 >= m) {
        if (!wholeWord_) return true;
        const bool startsWord = at == 0 || !IsWordByte(t[at - 1]);
        const bool endsWord = at + m == n || !IsWordByte(t[at + m]);
        if (startsWord && endsWord) return true;
        // Not a whole word here: try the next occurrence.
        ++at;
        continue;
      }
    }
    at += skip_[end];
  }
  return false;
}

bool ContainsPhrase(std::string_view text, std::string_view phrase, int mode, int wholeWord) {
  return PhraseMatcher(text::Utf8ToWin1252(phrase), mode, wholeWord).Matches(text::Utf8ToWin1252(text));
}

}  // namespace kestrova::search
