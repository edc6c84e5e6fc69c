#include <gtest/gtest.h>

#include <set>

#include "cli/report_generator.h"
#include "core/text/fixed_text.h"
#include "core/time/ole_date.h"

namespace kestrova::cli {
namespace {

TEST(ReportGenerator, TheSameSeedGivesTheSameReports) {
  ReportGenerator a(7), b(7), c(8);
  bool differs = false;
  for (int i = 0; i < 50; ++i) {
    const auto ra = a.Next();
    EXPECT_EQ(ra, b.Next());
    differs = differs || !(ra == c.Next());
  }
  EXPECT_TRUE(differs);
}

TEST(ReportGenerator, ReportsLookReal) {
  ReportGenerator g(1);
  std::set<std::string> cases;
  std::set<int> years;
  int archived = 0, withProperty = 0;
  for (int i = 0; i < 1000; ++i) {
    const auto r = g.Next();
    cases.insert(r.CaseNumber);
    EXPECT_LE(r.CaseNumber.size(), 15u);
    EXPECT_LE(r.Title.size(), 50u);
    EXPECT_LE(r.ReportedByName.size(), 40u) << r.ReportedByName;
    EXPECT_GE(r.Narrative.size(), 1500u);
    EXPECT_LE(r.Narrative.size(), 16000u);
    const auto entered = time::FromOleDate(r.DateEntered);
    ASSERT_TRUE(entered.has_value());
    years.insert(entered->year);
    EXPECT_GE(r.ControlNumber, r.DateEntered);
    EXPECT_EQ(r.ProgramVersion, 414);
    archived += r.ListStatus == 2;
    withProperty += r.Property1Value != 0;
  }
  EXPECT_EQ(cases.size(), 1000u) << "case numbers do not repeat";
  EXPECT_GE(years.size(), 15u);
  EXPECT_GT(archived, 120);
  EXPECT_LT(archived, 280);
  EXPECT_GT(withProperty, 300);
}

}  // namespace
}  // namespace kestrova::cli
