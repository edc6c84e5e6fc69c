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

namespace {

// How common a (lower-case) byte is in English text, roughly per thousand
// letters; digits, punctuation and accented letters are rare, blanks common.
int Commonness(unsigned char b) {
  static constexpr int kLetters[26] = {82, 15, 28, 43, 127, 22, 20, 61, 70, 2,  8, 40, 24,
                                       67, 75, 19, 1,  60,  63, 91, 28, 10, 24, 2, 20, 1};
  if (b >= 'a' && b <= 'z') return kLetters[b - 'a'];
  if (b == ' ') return 180;
  return 5;
}

}  // namespace

PhraseMatcher::PhraseMatcher(std::string_view phrase, int mode, int wholeWord)
    : phrase_(phrase), ignoreCase_(mode == kIgnoreCapitalization), wholeWord_(wholeWord == 1) {
  for (int b = 0; b < 256; ++b) {
    lower_[b] = ignoreCase_ ? LowerByte(static_cast<unsigned char>(b)) : static_cast<unsigned char>(b);
  }
  for (char& c : phrase_) c = static_cast<char>(lower_[static_cast<unsigned char>(c)]);
  for (std::size_t i = 0; i < phrase_.size(); ++i) {
    if (Commonness(static_cast<unsigned char>(phrase_[i])) < Commonness(static_cast<unsigned char>(phrase_[anchor_]))) {
      anchor_ = i;
    }
  }
  if (phrase_.empty()) return;
  // Every byte that folds to the anchor: itself, and its other case.
  for (int b = 0; b < 256 && anchorForms_ < 2; ++b) {
    if (lower_[b] == static_cast<unsigned char>(phrase_[anchor_])) {
      anchorBytes_[anchorForms_++] = static_cast<unsigned char>(b);
    }
  }
}

bool PhraseMatcher::Matches(std::string_view text) const {
  const std::size_t m = phrase_.size();
  const std::size_t n = text.size();
  if (m == 0 || m > n) return false;
  const auto* t = reinterpret_cast<const unsigned char*>(text.data());
  const auto* p = reinterpret_cast<const unsigned char*>(phrase_.data());
  // The anchor can stand from position anchor_ up to before `end`.
  const std::size_t end = n - m + anchor_ + 1;
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  const auto find = [&](int form, std::size_t from) -> std::size_t {
    if (form >= anchorForms_ || from >= end) return kNone;
    const void* hit = std::memchr(t + from, anchorBytes_[form], end - from);
    return hit ? static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - t) : kNone;
  };
  std::size_t next[2] = {find(0, anchor_), find(1, anchor_)};
  for (;;) {
    const int form = next[1] < next[0] ? 1 : 0;
    const std::size_t at = next[form];
    if (at == kNone) return false;
    next[form] = find(form, at + 1);
    // Every occurrence is tried in turn, so a whole word later in the
    // text is found after a part of a word earlier.
    const std::size_t start = at - anchor_;
    std::size_t k = 0;
    while (k < m && lower_[t[start + k]] == p[k]) ++k;
    if (k < m) continue;
    if (!wholeWord_) return true;
    const bool startsWord = start == 0 || !IsWordByte(t[start - 1]);
    const bool endsWord = start + m == n || !IsWordByte(t[start + m]);
    if (startsWord && endsWord) return true;
  }
}

bool ContainsPhrase(std::string_view text, std::string_view phrase, int mode, int wholeWord) {
  return PhraseMatcher(text::Utf8ToWin1252(phrase), mode, wholeWord).Matches(text::Utf8ToWin1252(text));
}

}  // namespace kestrova::search
