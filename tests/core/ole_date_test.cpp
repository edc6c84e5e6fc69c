#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "core/time/ole_date.h"

namespace kestrova::time {
namespace {

TEST(OleDate, CountsDaysFromTheThirtiethOfDecember1899) {
  EXPECT_EQ(ToOleDate({1899, 12, 30, 0, 0, 0}), 0.0);
  EXPECT_EQ(ToOleDate({1900, 1, 1, 0, 0, 0}), 2.0);
  EXPECT_EQ(ToOleDate({2000, 1, 1, 0, 0, 0}), 36526.0);
  EXPECT_EQ(ToOleDate({2024, 1, 5, 0, 0, 0}), 45296.0);
  EXPECT_EQ(ToOleDate({2024, 1, 5, 12, 0, 0}), 45296.5);
  EXPECT_EQ(ToOleDate({1899, 12, 30, 6, 0, 0}), 0.25);
  EXPECT_EQ(ToOleDate({100, 1, 1, 0, 0, 0}), -657434.0);
  EXPECT_EQ(ToOleDate({9999, 12, 31, 0, 0, 0}), 2958465.0);
}

TEST(OleDate, NegativeValuesKeepTheTimeOfDayAbsolute) {
  EXPECT_EQ(ToOleDate({1899, 12, 29, 6, 0, 0}), -1.25);
  EXPECT_EQ(FromOleDate(-1.25), (DateTime{1899, 12, 29, 6, 0, 0}));
  EXPECT_EQ(FromOleDate(-2.5), (DateTime{1899, 12, 28, 12, 0, 0}));
  // Between -1 and 0 the day part is 0 (toward zero): the same day as +0.5.
  EXPECT_EQ(FromOleDate(-0.5), (DateTime{1899, 12, 30, 12, 0, 0}));
}

TEST(OleDate, ComesBackExactToTheSecond) {
  const DateTime moment{2024, 3, 14, 14, 9, 55};
  EXPECT_EQ(FromOleDate(ToOleDate(moment)), moment);
  // A value a hair below the second, as arithmetic on doubles leaves it.
  const double below = ToOleDate(moment) - 1e-10;
  EXPECT_EQ(FromOleDate(below), moment);
  // Rounding up past midnight moves to the next day.
  EXPECT_EQ(FromOleDate(45296.0 + 86399.6 / 86400.0), (DateTime{2024, 1, 6, 0, 0, 0}));
  for (int second = 0; second < 86400; second += 7) {
    const DateTime dt{2010, 3, 1, second / 3600, second / 60 % 60, second % 60};
    ASSERT_EQ(FromOleDate(ToOleDate(dt)), dt) << second;
  }
}

TEST(OleDate, RefusesValuesThatAreNoDate) {
  EXPECT_FALSE(FromOleDate(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(FromOleDate(std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(FromOleDate(-657435.0));  // 31 December 99
  EXPECT_FALSE(FromOleDate(2958466.0));  // 1 January 10000
  EXPECT_FALSE(FromOleDate(1e300));
  EXPECT_TRUE(FromOleDate(2958465.5));
}

TEST(OleDate, KnowsTheCalendar) {
  EXPECT_TRUE(IsValidDate(2024, 2, 29));
  EXPECT_FALSE(IsValidDate(2023, 2, 29));
  EXPECT_FALSE(IsValidDate(1900, 2, 29));
  EXPECT_TRUE(IsValidDate(2000, 2, 29));
  EXPECT_FALSE(IsValidDate(2024, 4, 31));
  EXPECT_FALSE(IsValidDate(2024, 13, 1));
  EXPECT_FALSE(IsValidDate(99, 12, 31));
  EXPECT_EQ(Weekday({2000, 1, 1, 0, 0, 0}), 6);  // Saturday
  EXPECT_EQ(Weekday({2024, 1, 5, 0, 0, 0}), 5);  // Friday
  EXPECT_EQ(Weekday({1899, 12, 29, 0, 0, 0}), 5);
}

TEST(OleDate, AddsCalendarMonths) {
  EXPECT_EQ(AddMonths({2010, 1, 31, 8, 0, 0}, 1), (DateTime{2010, 2, 28, 8, 0, 0}));
  EXPECT_EQ(AddMonths({2012, 1, 31, 0, 0, 0}, 1), (DateTime{2012, 2, 29, 0, 0, 0}));
  EXPECT_EQ(AddMonths({2010, 11, 15, 0, 0, 0}, 3), (DateTime{2011, 2, 15, 0, 0, 0}));
  EXPECT_EQ(AddMonths({2010, 3, 1, 0, 0, 0}, 12), (DateTime{2011, 3, 1, 0, 0, 0}));
  EXPECT_EQ(AddMonths({2010, 3, 1, 0, 0, 0}, -3), (DateTime{2009, 12, 1, 0, 0, 0}));
}

TEST(OleDate, ExportsIsoText) {
  EXPECT_EQ(ToIsoString({2024, 1, 5, 15, 5, 0}), "2024-01-05T15:05:00");
  EXPECT_EQ(ToIsoString({100, 1, 1, 0, 0, 0}), "0100-01-01T00:00:00");
}

}  // namespace
}  // namespace kestrova::time
