#include <gtest/gtest.h>

#include <limits>

#include "core/text/currency.h"

namespace kestrova::text {
namespace {

TEST(Currency, ParsesWhatAUsEnglishConversionAccepts) {
  const std::pair<const char*, std::int64_t> cases[] = {
      {"1,234.50", 12345000},
      {"$1,234.50", 12345000},
      {"1234.5", 12345000},
      {"-12", -120000},
      {"(12.00)", -120000},
      {"  42  ", 420000},
      {"0", 0},
      {".5", 5000},
      {"5.", 50000},
      {"$ 7.25", 72500},
      {"-$3", -30000},
      {"$-3", -30000},
      {"+3", 30000},
      {"1,000,000", 10000000000},
      {"0.0001", 1},
      {"( $1,234.56 )", -12345600},
      {"007", 70000},
  };
  for (const auto& [text, expected] : cases) {
    const auto parsed = ParseCurrency(text);
    ASSERT_TRUE(parsed.has_value()) << text;
    EXPECT_EQ(*parsed, expected) << text;
  }
}

TEST(Currency, RefusesWhatIsNotAnAmount) {
  for (const char* text : {"abc",  "1.2.3", "1,2,3,4.5.6", "",    "   ", "$",   "-",    "12abc", "1 2", ",123",
                           "123,", "1,,2",  "1,.5",        "(12", "12)", "--1", "(-1)", "1e5",   "$$1", "."}) {
    EXPECT_FALSE(ParseCurrency(text).has_value()) << "'" << text << "'";
  }
}

TEST(Currency, KeepsToTheSixtyFourBitRange) {
  EXPECT_EQ(ParseCurrency("922,337,203,685,477.5807"), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(ParseCurrency("-922337203685477.5808"), std::numeric_limits<std::int64_t>::min());
  EXPECT_FALSE(ParseCurrency("922337203685477.5808").has_value());
  EXPECT_FALSE(ParseCurrency("-922337203685477.5809").has_value());
  EXPECT_FALSE(ParseCurrency("99999999999999999999").has_value());
  EXPECT_FALSE(ParseCurrency("922337203685477.58075").has_value());  // rounds past the top
}

TEST(Currency, RoundsPastTheFourthDecimalHalfToEven) {
  EXPECT_EQ(ParseCurrency("0.00005"), 0);
  EXPECT_EQ(ParseCurrency("0.00015"), 2);
  EXPECT_EQ(ParseCurrency("0.000051"), 1);
  EXPECT_EQ(ParseCurrency("0.00004999"), 0);
  EXPECT_EQ(ParseCurrency("-0.00015"), -2);
}

TEST(Currency, FormatsWithSeparatorsAndTwoDecimals) {
  EXPECT_EQ(FormatCurrency(12345000), "1,234.50");
  EXPECT_EQ(FormatCurrency(0), "0.00");
  EXPECT_EQ(FormatCurrency(-12345000), "-1,234.50");
  EXPECT_EQ(FormatCurrency(10000000000), "1,000,000.00");
  EXPECT_EQ(FormatCurrency(1234567891234), "123,456,789.12");
  EXPECT_EQ(FormatCurrency(50), "0.01");  // half a cent rounds away from zero
  EXPECT_EQ(FormatCurrency(49), "0.00");
  EXPECT_EQ(FormatCurrency(-49), "0.00");  // no "-0.00"
  EXPECT_EQ(FormatCurrency(999950), "100.00");
  EXPECT_EQ(FormatCurrency(std::numeric_limits<std::int64_t>::min()), "-922,337,203,685,477.58");
  EXPECT_EQ(FormatCurrency(std::numeric_limits<std::int64_t>::max()), "922,337,203,685,477.58");
}

TEST(Currency, DisplayedAmountsParseBack) {
  for (std::int64_t cents : {0LL, 1LL, 99LL, 100LL, 123456LL, 100000000LL, -5LL, -123456789LL}) {
    const std::int64_t value = cents * 100;
    EXPECT_EQ(ParseCurrency(FormatCurrency(value)), value) << cents;
  }
}

TEST(Currency, ExportsTheExactStoredAmount) {
  EXPECT_EQ(CurrencyToDecimal(12345000), "1234.5000");
  EXPECT_EQ(CurrencyToDecimal(1), "0.0001");
  EXPECT_EQ(CurrencyToDecimal(-5), "-0.0005");
  EXPECT_EQ(CurrencyToDecimal(0), "0.0000");
  EXPECT_EQ(CurrencyToDecimal(std::numeric_limits<std::int64_t>::min()), "-922337203685477.5808");
}

}  // namespace
}  // namespace kestrova::text
