#include <gtest/gtest.h>

#include "core/reports/report_display.h"
#include "core/time/ole_date.h"

namespace kestrova::reports {
namespace {

TEST(ReportDisplay, FieldsShowTheirFormats) {
  ReportRecord r;
  r.CaseNumber = "  24-7 ";
  r.Title = "Stolen bicycle";
  r.DateEntered = 0;
  r.OccurredFrom = time::ToOleDate({2024, 1, 5, 15, 5, 0});
  r.Property1Value = 12345000;
  r.Property2Value = 0;
  r.Vehicle2Details = "red, dented ";
  r.Narrative = "Line one\r\nLine two  ";
  const auto f = FieldTexts(r);
  EXPECT_EQ(f[0], "n/a");
  EXPECT_EQ(f[1], "24-7");
  EXPECT_EQ(f[2], "Stolen bicycle");
  EXPECT_EQ(f[5], "Dec 30, 1899 12:00am") << "a zero date entered still shows";
  EXPECT_EQ(f[6], "Jan 05, 2024 3:05pm");
  EXPECT_EQ(f[7], "") << "empty occurred-to";
  EXPECT_EQ(f[9], "");
  EXPECT_EQ(f[28], "red, dented");
  EXPECT_EQ(f[35], "1,234.50");
  EXPECT_EQ(f[39], "") << "a value of 0 is blank";
  EXPECT_EQ(f[44], "Line one\r\nLine two");
  r.ControlNumber = time::ToOleDate({2026, 12, 6, 14, 9, 55});
  EXPECT_EQ(FieldTexts(r)[0], "20261206140955");
}

TEST(ReportDisplay, HeadingsAndLengths) {
  EXPECT_EQ(FieldHeading(5), "Use 'mm/dd/yyyy  hh:mm' format");
  EXPECT_EQ(FieldHeading(21), "Context");
  EXPECT_EQ(FieldHeading(31), "Other Descriptive Information (Color, Style, Identifying Features, etc.)");
  EXPECT_EQ(FieldHeading(43), "Value");
  EXPECT_EQ(FieldMaxLength(1), 15);
  EXPECT_EQ(FieldMaxLength(14), 40);
  EXPECT_EQ(FieldMaxLength(15), 15);
  EXPECT_EQ(FieldMaxLength(16), 50);
  EXPECT_EQ(FieldMaxLength(5), 25);
  EXPECT_EQ(FieldMaxLength(35), 15);
  EXPECT_EQ(FieldMaxLength(44), 16000);
  EXPECT_EQ(FieldMaxLength(45), 2169);
}

TEST(ReportDisplay, PicturesFitTheirSlot) {
  EXPECT_EQ(FitPicture(6000, 3000), std::make_pair(3000, 1500));
  EXPECT_EQ(FitPicture(2000, 4000), std::make_pair(1500, 3000));
  EXPECT_EQ(FitPicture(3000, 3000), std::make_pair(3000, 3000));
  EXPECT_EQ(FitPicture(1000, 3001), std::make_pair(999, 3000)) << "integer division";
}

}  // namespace
}  // namespace kestrova::reports
