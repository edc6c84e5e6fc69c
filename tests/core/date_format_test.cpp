#include <gtest/gtest.h>

#include "core/time/date_format.h"

namespace kestrova::time {
namespace {

const DateTime kAfternoon{2024, 1, 5, 15, 5, 9};

TEST(DateFormat, WritesEveryFormTheProgramShows) {
  EXPECT_EQ(FormatDateTime(kAfternoon, kDateFormat), "01/05/2024");
  EXPECT_EQ(FormatDateTime(kAfternoon, kTimeFormat), "15:05:09");
  EXPECT_EQ(FormatDateTime(kAfternoon, kDateTimeFormat), "Jan 05, 2024 3:05pm");
  EXPECT_EQ(FormatDateTime(kAfternoon, kControlNumberFormat), "20240105150509");
  EXPECT_EQ(FormatDateTime(kAfternoon, kPrintedFormat), "01/05/2024 15:05");
  EXPECT_EQ(FormatDateTime(kAfternoon, kLongDateFormat), "Friday January 5, 2024");
  EXPECT_EQ(FormatDateTime(kAfternoon, kWeekdayTipFormat), " Friday ");
  EXPECT_EQ(FormatDateTime({2000, 1, 1, 0, 0, 0}, kLongDateFormat), "Saturday January 1, 2000");
}

TEST(DateFormat, UsesTheTwelveHourClockOnlyWithAmPm) {
  EXPECT_EQ(FormatDateTime({2024, 1, 5, 0, 7, 0}, kDateTimeFormat), "Jan 05, 2024 12:07am");
  EXPECT_EQ(FormatDateTime({2024, 1, 5, 12, 0, 0}, kDateTimeFormat), "Jan 05, 2024 12:00pm");
  EXPECT_EQ(FormatDateTime({2024, 1, 5, 23, 59, 0}, kDateTimeFormat), "Jan 05, 2024 11:59pm");
  EXPECT_EQ(FormatDateTime({2024, 1, 5, 0, 7, 0}, kPrintedFormat), "01/05/2024 00:07");
  EXPECT_EQ(FormatDateTime({2024, 1, 5, 9, 30, 0}, "mm/dd/yyyy hh:mmAM/PM"), "01/05/2024 09:30AM");
  EXPECT_EQ(FormatDateTime({2024, 1, 5, 21, 30, 0}, "h a/p"), "9 p");
}

TEST(DateFormat, TellsMonthsFromMinutes) {
  const DateTime dt{2024, 11, 5, 8, 42, 17};
  EXPECT_EQ(FormatDateTime(dt, "m/d/yy"), "11/5/24");
  EXPECT_EQ(FormatDateTime(dt, "h:m"), "8:42");
  EXPECT_EQ(FormatDateTime(dt, "mm:ss"), "42:17");
  EXPECT_EQ(FormatDateTime(dt, "ddd, mmm d"), "Tue, Nov 5");
  EXPECT_EQ(FormatDateTime(dt, "mmmm"), "November");
}

TEST(DateFormat, StoredValues) {
  EXPECT_EQ(FormatOleDate(0, kDateTimeFormat), "Dec 30, 1899 12:00am");
  EXPECT_EQ(FormatOleDate(0, kDateFormat), "12/30/1899");
  EXPECT_FALSE(FormatOleDate(1e12, kDateFormat).has_value());
  EXPECT_EQ(FormatControlNumber(0), "n/a");
  EXPECT_EQ(FormatControlNumber(ToOleDate(kAfternoon)), "20240105150509");
}

}  // namespace
}  // namespace kestrova::time
