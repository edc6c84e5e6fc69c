#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace kestrova::search {

// Comparison modes.
inline constexpr int kExactCase = 0;
inline constexpr int kIgnoreCapitalization = 1;

// Whether the phrase occurs in the text (both UTF-8), exactly or ignoring
// capitalization; with wholeWord 1, only where it stands as a whole word:
// no letter (of either case, accented letters included) or digit directly
// before or after it. Every occurrence is tried, so "cases and case" holds
// the whole word "case". An empty phrase is found nowhere.
bool ContainsPhrase(std::string_view text, std::string_view phrase, int mode, int wholeWord);

// The same test prepared once for many texts, on Windows-1252 bytes as the
// record files hold them. Used by the report list's searches.
class PhraseMatcher {
 public:
  PhraseMatcher(std::string_view phraseWin1252, int mode, int wholeWord);
  bool Matches(std::string_view textWin1252) const;

 private:
  std::string phrase_;  // lower-cased when ignoring capitalization
  bool ignoreCase_;
  bool wholeWord_;
  unsigned char lower_[256];
  // The text is looked through for one byte of the phrase first, its
  // rarest, in each of its forms (upper and lower case), with memchr; only
  // where one is found is the whole phrase compared.
  std::size_t anchor_ = 0;  // its position in the phrase
  unsigned char anchorBytes_[2] = {};
  int anchorForms_ = 0;
};

// Windows-1252 letters (either case, accented too) and the digits 0-9.
bool IsWordByte(unsigned char byte);
// The lower-case form of a Windows-1252 byte (A -> a, \xC9 -> \xE9, \x8A -> \x9A).
unsigned char LowerByte(unsigned char byte);

}  // namespace kestrova::search
