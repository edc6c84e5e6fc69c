#include <gtest/gtest.h>

#include <random>

#include "core/search/contains_phrase.h"

namespace kestrova::search {
namespace {

TEST(ContainsPhrase, PlainAndCaseInsensitiveSearch) {
  EXPECT_FALSE(ContainsPhrase("Case notes", "case", kExactCase, 0));
  EXPECT_TRUE(ContainsPhrase("Case notes", "case", kIgnoreCapitalization, 0));
  EXPECT_TRUE(ContainsPhrase("Stolen bicycle", "bicycle", kExactCase, 0));
  EXPECT_FALSE(ContainsPhrase("Stolen bicycle", "tricycle", kIgnoreCapitalization, 0));
  EXPECT_TRUE(ContainsPhrase("JOS\u00C9 M\u00DCLLER", "jos\u00e9 m\u00fcller", kIgnoreCapitalization, 0));
  EXPECT_FALSE(ContainsPhrase("JOS\u00C9", "jos\u00e9", kExactCase, 0));
  EXPECT_FALSE(ContainsPhrase("anything", "", kIgnoreCapitalization, 0));
  EXPECT_FALSE(ContainsPhrase("ab", "abc", kIgnoreCapitalization, 0));
  EXPECT_TRUE(ContainsPhrase("aaab", "aab", kExactCase, 0)) << "an overlapping start is not skipped";
}

TEST(ContainsPhrase, WholeWordsAreBoundedByNeitherLetterNorDigit) {
  EXPECT_FALSE(ContainsPhrase("case 12b", "12", kIgnoreCapitalization, 1));
  EXPECT_TRUE(ContainsPhrase("case 12b", "case", kIgnoreCapitalization, 1));
  // Every occurrence is tried, not only the first.
  EXPECT_TRUE(ContainsPhrase("cases and case", "case", kIgnoreCapitalization, 1));
  // Capital letters and 0 are word characters too.
  EXPECT_FALSE(ContainsPhrase("CASES", "case", kIgnoreCapitalization, 1));
  EXPECT_FALSE(ContainsPhrase("A0stolen", "stolen", kIgnoreCapitalization, 1));
  EXPECT_FALSE(ContainsPhrase("caf\u00E9s", "caf", kIgnoreCapitalization, 1)) << "accented letters count";
  EXPECT_TRUE(ContainsPhrase("smith, john", "smith", kIgnoreCapitalization, 1));
  EXPECT_TRUE(ContainsPhrase("(smith)", "smith", kExactCase, 1));
  EXPECT_TRUE(ContainsPhrase("smith", "smith", kExactCase, 1));
  EXPECT_FALSE(ContainsPhrase("blacksmith smiths", "smith", kExactCase, 1));
  EXPECT_TRUE(ContainsPhrase("blacksmith smiths smith", "smith", kExactCase, 1));
}

TEST(ContainsPhrase, TheByteLevelMatcherFoldsWindows1252Letters) {
  const PhraseMatcher m(
      "\x8A"
      "a\xEF",
      kIgnoreCapitalization, 0);  // Ša ï
  EXPECT_TRUE(
      m.Matches("x\x9A"
                "A\xCFy"));  // ša Ï
  EXPECT_EQ(LowerByte(0xD7), 0xD7) << "the multiplication sign has no lower case";
  EXPECT_FALSE(IsWordByte(0xD7));
  EXPECT_TRUE(IsWordByte(0xE9));
  EXPECT_TRUE(IsWordByte('0'));
  EXPECT_FALSE(IsWordByte('-'));
}

// The matcher looks for one byte of the phrase first: whatever byte it
// picks, it finds what a comparison at every position finds, in texts of a
// few letters of both cases (accented ones too), digits and blanks.
TEST(ContainsPhrase, FindsWhatAComparisonAtEveryPositionFinds) {
  const std::string letters = "aAbB1 \xE9\xC9\x9A\x8A\xFF\x9F-";
  std::mt19937 random(7);
  const auto draw = [&](std::size_t most) {
    std::string s(std::uniform_int_distribution<std::size_t>(0, most)(random), ' ');
    for (char& c : s) c = letters[std::uniform_int_distribution<std::size_t>(0, letters.size() - 1)(random)];
    return s;
  };
  int found = 0;
  for (int round = 0; round < 20000; ++round) {
    const std::string phrase = draw(3);
    const std::string text = draw(12);
    const int mode = round % 2 ? kIgnoreCapitalization : kExactCase;
    const int whole = round / 2 % 2;
    const auto fold = [&](char c) {
      return mode == kIgnoreCapitalization ? LowerByte(static_cast<unsigned char>(c)) : static_cast<unsigned char>(c);
    };
    bool expected = false;
    for (std::size_t at = 0; !phrase.empty() && at + phrase.size() <= text.size() && !expected; ++at) {
      bool same = true;
      for (std::size_t k = 0; k < phrase.size() && same; ++k) same = fold(text[at + k]) == fold(phrase[k]);
      const bool bounded =
          (at == 0 || !IsWordByte(static_cast<unsigned char>(text[at - 1]))) &&
          (at + phrase.size() == text.size() || !IsWordByte(static_cast<unsigned char>(text[at + phrase.size()])));
      expected = same && (!whole || bounded);
    }
    found += expected;
    ASSERT_EQ(PhraseMatcher(phrase, mode, whole).Matches(text), expected)
        << "'" << phrase << "' in '" << text << "', mode " << mode << ", whole word " << whole;
  }
  EXPECT_GT(found, 1000);
}

}  // namespace
}  // namespace kestrova::search
