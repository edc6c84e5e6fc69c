#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kestrova::search
