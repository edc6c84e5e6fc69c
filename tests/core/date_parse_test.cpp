#include <gtest/gtest.h>

#include "core/time/date_format.h"
#include "core/time/date_parse.h"

namespace kestrova::time {
namespace {

struct Case {
  const char* text;
  DateTime expected;
};

TEST(DateParse, AcceptsTheFormsOfAUsEnglishDesktop) {
  const Case cases[] = {
      {"01/05/2024", {2024, 1, 5, 0, 0, 0}},
      {"1/5/2024", {2024, 1, 5, 0, 0, 0}},
      {"01/05/2024 10:00", {2024, 1, 5, 10, 0, 0}},
      {"01/05/2024  10:00", {2024, 1, 5, 10, 0, 0}},
      {"  01/05/2024 10:00:30  ", {2024, 1, 5, 10, 0, 30}},
      {"1/5/24 3:05 pm", {2024, 1, 5, 15, 5, 0}},
      {"1/5/24 3:05 PM", {2024, 1, 5, 15, 5, 0}},
      {"Jan 05, 2024 3:05pm", {2024, 1, 5, 15, 5, 0}},
      {"Jan 05, 2024 12:07am", {2024, 1, 5, 0, 7, 0}},
      {"Jan 05, 2024 12:00pm", {2024, 1, 5, 12, 0, 0}},
      {"January 5, 2024", {2024, 1, 5, 0, 0, 0}},
      {"january 5 2024", {2024, 1, 5, 0, 0, 0}},
      {"Sept 9, 2021", {2021, 9, 9, 0, 0, 0}},
      {"5 Jan 2024", {2024, 1, 5, 0, 0, 0}},
      {"05-Jan-2024", {2024, 1, 5, 0, 0, 0}},
      {"2024-01-05", {2024, 1, 5, 0, 0, 0}},
      {"2024/1/5 08:15", {2024, 1, 5, 8, 15, 0}},
      {"01-05-2024", {2024, 1, 5, 0, 0, 0}},
      {"01.05.2024", {2024, 1, 5, 0, 0, 0}},
      {"Friday January 5, 2024", {2024, 1, 5, 0, 0, 0}},
      {"Fri, Jan 5, 2024", {2024, 1, 5, 0, 0, 0}},
      {"10:00 01/05/2024", {2024, 1, 5, 10, 0, 0}},
      {"10:00", {1899, 12, 30, 10, 0, 0}},
      {"3pm", {1899, 12, 30, 15, 0, 0}},
      {"3 p", {1899, 12, 30, 15, 0, 0}},
      {"23:59:59", {1899, 12, 30, 23, 59, 59}},
      {"2/29/2024", {2024, 2, 29, 0, 0, 0}},
      {"1/1/00", {2000, 1, 1, 0, 0, 0}},
      {"1/1/29", {2029, 1, 1, 0, 0, 0}},
      {"1/1/30", {1930, 1, 1, 0, 0, 0}},
      {"1/1/99", {1999, 1, 1, 0, 0, 0}},
      {"12/31/9999", {9999, 12, 31, 0, 0, 0}},
      {"01/01/0100", {100, 1, 1, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    const auto parsed = ParseDateTime(c.text);
    ASSERT_TRUE(parsed.has_value()) << c.text;
    EXPECT_EQ(*parsed, c.expected) << c.text;
  }
}

TEST(DateParse, RefusesWhatIsNoDate) {
  for (const char* text : {"32/13/2024",
                           "02/30/2024",
                           "2/29/2023",
                           "13/45",
                           "",
                           "   ",
                           "01/05/2024 junk",
                           "01/05/2024x",
                           "01/05/2024 10:00 extra",
                           "tomorrow",
                           "Jan 32, 2024",
                           "Foo 5, 2024",
                           "01/05",
                           "25:00",
                           "10:60",
                           "13:00 pm",
                           "1//5/2024",
                           "01/05/2024,",
                           "1/5-2024",
                           "01/05/2024 10:",
                           "Saturday January 5, 2024",
                           "Friday",
                           "10:00 01/05/2024 11:00",
                           "01/05/99999",
                           "12/31/10000",
                           "1/1/1/1",
                           "Jan Feb 5 2024"}) {
    EXPECT_FALSE(ParseDateTime(text).has_value()) << "'" << text << "'";
  }
}

TEST(DateParse, MonthAndDayAloneTakeTheYearGiven) {
  EXPECT_EQ(ParseDateTime("01/05", 2026), (DateTime{2026, 1, 5, 0, 0, 0}));
  EXPECT_EQ(ParseDateTime("Mar 3", 2026), (DateTime{2026, 3, 3, 0, 0, 0}));
  EXPECT_FALSE(ParseDateTime("13/45", 2026).has_value());
  EXPECT_FALSE(ParseDateTime("2/29", 2026).has_value());
}

// Every moment shown in one of the program's forms reads back as itself
// (to the precision the form carries).
TEST(DateParse, EveryDisplayedDateReadsBack) {
  int checked = 0;
  for (int year : {100, 999, 1899, 1900, 1930, 1999, 2000, 2024, 2029, 2030, 2099, 9999}) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= DaysInMonth(year, month); day += 3) {
        const int hour = (day * 7 + month) % 24;
        const int minute = (day * 13 + month * 5) % 60;
        const int second = (day * 17 + year) % 60;
        const DateTime dt{year, month, day, hour, minute, second};
        const DateTime dateOnly{year, month, day, 0, 0, 0};
        const DateTime toMinute{year, month, day, hour, minute, 0};
        EXPECT_EQ(ParseDateTime(FormatDateTime(dt, kDateFormat)), dateOnly);
        EXPECT_EQ(ParseDateTime(FormatDateTime(dt, kDateTimeFormat)), toMinute) << FormatDateTime(dt, kDateTimeFormat);
        EXPECT_EQ(ParseDateTime(FormatDateTime(dt, kPrintedFormat)), toMinute);
        EXPECT_EQ(ParseDateTime(FormatDateTime(dt, "mm/dd/yyyy hh:nn:ss")), dt);
        EXPECT_EQ(ParseDateTime(FormatDateTime(dt, kLongDateFormat)), dateOnly) << FormatDateTime(dt, kLongDateFormat);
        EXPECT_EQ(ParseDateTime(FormatDateTime(dt, "mm/dd/yyyy  hh:mm")), toMinute);
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 1000);
  // Every minute of one day in the form's own display.
  for (int minute = 0; minute < 24 * 60; ++minute) {
    const DateTime dt{2024, 1, 5, minute / 60, minute % 60, 0};
    ASSERT_EQ(ParseDateTime(FormatDateTime(dt, kDateTimeFormat)), dt) << minute;
  }
}

TEST(DateParse, GivesTheStoredValue) {
  EXPECT_EQ(ParseOleDate("01/05/2024 12:00"), 45296.5);
  EXPECT_EQ(ParseOleDate("06:00"), 0.25);
  EXPECT_FALSE(ParseOleDate("nonsense").has_value());
}

}  // namespace
}  // namespace kestrova::time
