#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/stats/counts_over_time.h"
#include "core/stats/figures_text.h"
#include "core/time/ole_date.h"
#include "support/temp_folder.h"

namespace kestrova::stats {
namespace {

using reports::ReportRecord;
using testing::TempFolder;
using time::DateTime;
using time::ToOleDate;

ReportRecord Report(const DateTime& entered, std::uint8_t list = reports::kActiveList) {
  ReportRecord r;
  r.ControlNumber = ToOleDate(entered);
  r.CaseNumber = "24-" + std::to_string(entered.month) + std::to_string(entered.day);
  r.Title = "Title";
  r.ReportMadeBy = "Ofc. Park";
  r.DateEntered = ToOleDate(entered);
  r.ListStatus = list;
  r.ProgramVersion = 414;
  return r;
}

struct Row {
  std::string start;
  std::int64_t count;
  friend bool operator==(const Row&, const Row&) = default;
};
void PrintTo(const Row& r, std::ostream* os) { *os << r.start << ":" << r.count; }

std::vector<Row> Rows(const TimeFigures& f) {
  std::vector<Row> rows;
  for (const PeriodFigures& p : f.periods) rows.push_back({IsoDay(p.start), p.total.count});
  return rows;
}

std::int64_t Counted(const TimeFigures& f) {
  std::int64_t n = f.noDate.count + f.outsideSpan;
  for (const PeriodFigures& p : f.periods) n += p.total.count;
  return n;
}

class StatsTest : public ::testing::Test {
 protected:
  void Add(const ReportRecord& r) { ASSERT_TRUE(reports::AppendReport(folder.path(), r).ok()); }
  TimeFigures Count(CountRequest request) {
    auto f = CountOverTime(folder.path(), request);
    EXPECT_TRUE(f.ok()) << f.message();
    if (f.ok()) {
      EXPECT_EQ(Counted(*f), f->reports);
    }
    return f.ok() ? *f : TimeFigures{};
  }
  static CountRequest By(Period p, Split split = Split::None) {
    CountRequest r;
    r.period = p;
    r.split = split;
    return r;
  }
  TempFolder folder;
};

TEST_F(StatsTest, EachPeriodKindAcrossYearEndsLeapDayAndWeekBoundaries) {
  for (const DateTime& d :
       {DateTime{2023, 12, 31, 10, 0, 0}, DateTime{2024, 1, 1, 0, 0, 0}, DateTime{2024, 2, 29, 23, 59, 59},
        DateTime{2024, 3, 1, 0, 0, 0}, DateTime{2024, 12, 29, 12, 0, 0}, DateTime{2024, 12, 30, 8, 0, 0},
        DateTime{2025, 1, 1, 9, 0, 0}}) {
    Add(Report(d));
  }
  EXPECT_EQ(Rows(Count(By(Period::Year))), (std::vector<Row>{{"2023-01-01", 1}, {"2024-01-01", 5}, {"2025-01-01", 1}}));
  EXPECT_EQ(Rows(Count(By(Period::Quarter))), (std::vector<Row>{{"2023-10-01", 1},
                                                                {"2024-01-01", 3},
                                                                {"2024-04-01", 0},
                                                                {"2024-07-01", 0},
                                                                {"2024-10-01", 2},
                                                                {"2025-01-01", 1}}));
  const TimeFigures months = Count(By(Period::Month));
  ASSERT_EQ(months.periods.size(), 14u);
  EXPECT_EQ(months.span, (Span{{2023, 12, 31}, {2025, 1, 1}}));
  EXPECT_EQ(Rows(months)[2], (Row{"2024-02-01", 1}));
  EXPECT_EQ(Rows(months)[7], (Row{"2024-07-01", 0}));
  EXPECT_EQ(Rows(months)[12], (Row{"2024-12-01", 2}));

  // Weeks begin on Monday: Sunday the 31st closes the week of the 25th, and
  // Monday 30 December 2024 opens the week that holds New Year's Day.
  const std::vector<Row> weeks = Rows(Count(By(Period::Week)));
  ASSERT_EQ(weeks.size(), 54u);
  EXPECT_EQ(weeks[0], (Row{"2023-12-25", 1}));
  EXPECT_EQ(weeks[1], (Row{"2024-01-01", 1}));
  EXPECT_EQ(weeks[9], (Row{"2024-02-26", 2}));
  EXPECT_EQ(weeks[52], (Row{"2024-12-23", 1}));
  EXPECT_EQ(weeks[53], (Row{"2024-12-30", 2}));

  CountRequest days = By(Period::Day);
  days.from = DateTime{2024, 2, 28, 15, 0, 0};
  days.to = DateTime{2024, 3, 1};
  const TimeFigures leap = Count(days);
  EXPECT_EQ(Rows(leap), (std::vector<Row>{{"2024-02-28", 0}, {"2024-02-29", 1}, {"2024-03-01", 1}}));
  EXPECT_EQ(leap.outsideSpan, 5);
  EXPECT_EQ(ChartLogDescription(leap), "Daily Chart starting 02/28/2024 through 03/01/2024");
}

TEST_F(StatsTest, ViolationsFoldCaseAndBlanksAndKeepTenGroupsBeforeOther) {
  const std::vector<std::string> texts = {
      "Burglary", "Grand  Theft", "  burglary ", "",   "BURGLARY", "grand theft", "V1",       "V2",           "V3",
      "V4",       "V5",           "V6",          "V7", "V8",       "V9",          "Burglary", "GRAND THEFT ", ""};
  int day = 1;
  for (const std::string& t : texts) {
    ReportRecord r = Report({2024, 5, day++ % 28 + 1, 9, 0, 0});
    r.CriminalViolations = t;
    Add(r);
  }
  ReportRecord june = Report({2024, 6, 3, 9, 0, 0});
  june.CriminalViolations = "V9";
  Add(june);

  const TimeFigures f = Count(By(Period::Month, Split::Violations));
  // V9 ties (none) at two and comes after it; V7 and V8 are "Other".
  EXPECT_EQ(f.groups, (std::vector<std::string>{"Burglary", "Grand Theft", "(none)", "V9", "V1", "V2", "V3", "V4", "V5",
                                                "V6", "Other"}));
  ASSERT_EQ(f.periods.size(), 2u);
  const auto counts = [](const PeriodFigures& p) {
    std::vector<std::int64_t> c;
    for (const Figure& g : p.groups) c.push_back(g.count);
    return c;
  };
  EXPECT_EQ(counts(f.periods[0]), (std::vector<std::int64_t>{4, 3, 2, 1, 1, 1, 1, 1, 1, 1, 2}));
  EXPECT_EQ(counts(f.periods[1]), (std::vector<std::int64_t>{0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(f.periods[0].total.count, 18);
  const std::string header = "start,count,value,Burglary,Grand Theft,(none),V9,V1,V2,V3,V4,V5,V6,Other\r\n";
  EXPECT_EQ(FiguresCsv(f).substr(0, header.size()), header);

  const TimeFigures madeBy = Count(By(Period::Year, Split::MadeBy));
  EXPECT_EQ(madeBy.groups, (std::vector<std::string>{"Ofc. Park"}));
  EXPECT_EQ(madeBy.periods[0].groups[0].count, 19);
}

TEST_F(StatsTest, PropertyValuesAddUpExactlyAndDamagedOnesAreLeftOut) {
  ReportRecord a = Report({2024, 1, 10, 9, 0, 0});
  a.Property1Item = "Laptop";
  a.Property1Context = "Stolen";
  a.Property1Value = 12345678;  // 1234.5678
  a.Property2Item = "Bicycle";
  a.Property2Context = " stolen ";
  a.Property2Value = 50;
  ReportRecord b = Report({2024, 1, 20, 9, 0, 0});
  b.Property1Item = "Ring";
  b.Property1Context = "Recovered";
  b.Property1Value = 1000000;
  b.Property3Details = "refund";
  b.Property3Value = -25000;
  ReportRecord c = Report({2024, 2, 1, 9, 0, 0});
  ReportRecord d = Report({2024, 2, 2, 9, 0, 0});
  d.Property1Item = "Garbage";
  d.Property1Context = "Stolen";
  d.Property1Value = std::numeric_limits<std::int64_t>::max();
  for (const auto& r : {a, b, c, d}) Add(r);

  const TimeFigures plain = Count(By(Period::Month));
  ASSERT_EQ(plain.periods.size(), 2u);
  EXPECT_EQ(plain.periods[0].total, (Figure{2, 13320728}));
  EXPECT_EQ(plain.periods[1].total, (Figure{2, 0}));
  EXPECT_EQ(plain.damagedValues, 1);
  EXPECT_EQ(DamageNote(plain), "1 damaged property value is left out of the sums.");

  // Items, not reports, make up the context groups, each with its own value.
  const TimeFigures byContext = Count(By(Period::Month, Split::PropertyContext));
  EXPECT_TRUE(byContext.groupsCountItems());
  EXPECT_EQ(byContext.groups, (std::vector<std::string>{"Stolen", "(none)", "Recovered"}));
  EXPECT_EQ(byContext.periods[0].groups, (std::vector<Figure>{{2, 12345728}, {1, -25000}, {1, 1000000}}));
  EXPECT_EQ(byContext.periods[1].groups, (std::vector<Figure>{{1, 0}, {0, 0}, {0, 0}}));
  EXPECT_EQ(FiguresCsv(byContext),
            "start,count,value,Stolen,(none),Recovered\r\n"
            "2024-01-01,2,1332.07,2,1,1\r\n"
            "2024-02-01,2,0.00,1,0,0\r\n");

  EXPECT_EQ(ValueText(5000), "0.50");
  EXPECT_EQ(ValueText(-5000), "-0.50");
  EXPECT_EQ(ValueText(123456789012345), "12345678901.23");
}

TEST_F(StatsTest, ReportsWithoutTheChosenDateAreCountedApart) {
  ReportRecord none = Report({2024, 3, 1, 9, 0, 0});
  none.Property1Value = 10000;
  ReportRecord damaged = Report({2024, 3, 2, 9, 0, 0});
  damaged.OccurredFrom = std::nan("");
  ReportRecord dated = Report({2024, 3, 3, 9, 0, 0});
  dated.OccurredFrom = ToOleDate({2024, 2, 27, 22, 0, 0});
  for (const auto& r : {none, damaged, dated}) Add(r);

  CountRequest request = By(Period::Month, Split::MadeBy);
  request.date = DateMember::OccurredFrom;
  const TimeFigures f = Count(request);
  EXPECT_EQ(Rows(f), (std::vector<Row>{{"2024-02-01", 1}}));
  EXPECT_EQ(f.noDate, (Figure{2, 10000}));
  EXPECT_EQ(f.noDateGroups, (std::vector<Figure>{{2, 10000}}));
  EXPECT_EQ(f.damagedDates, 1);
  EXPECT_EQ(DamageNote(f), "1 report has a damaged Date Occurred (from) and is counted under \"no date\".");
  EXPECT_EQ(FiguresCsv(f), "start,count,value,Ofc. Park\r\n2024-02-01,1,0.00,1\r\nno date,2,1.00,2\r\n");

  request.date = DateMember::ReportedOn;
  const TimeFigures never = Count(request);
  EXPECT_FALSE(never.span.has_value());
  EXPECT_TRUE(never.periods.empty());
  EXPECT_EQ(never.noDate.count, 3);
  EXPECT_EQ(ChartLogDescription(never), "Monthly Chart");
}

TEST_F(StatsTest, TheListsAndASubListChooseTheReports) {
  Add(Report({2024, 1, 5, 9, 0, 0}));
  Add(Report({2024, 1, 6, 9, 0, 0}, reports::kInactiveList));
  Add(Report({2024, 2, 5, 9, 0, 0}));
  Add(Report({2024, 3, 5, 9, 0, 0}, reports::kInactiveList));

  EXPECT_EQ(Rows(Count(By(Period::Month))), (std::vector<Row>{{"2024-01-01", 1}, {"2024-02-01", 1}}));
  CountRequest all = By(Period::Month, Split::ListStatus);
  all.lists = Lists::All;
  const TimeFigures byList = Count(all);
  EXPECT_EQ(byList.groups, (std::vector<std::string>{"Active", "Inactive"}));
  EXPECT_EQ(byList.periods[0].groups, (std::vector<Figure>{{1, 0}, {1, 0}}));
  EXPECT_EQ(byList.reports, 4);

  all.split = Split::None;
  all.records = std::vector<std::int32_t>{4, 1};
  EXPECT_EQ(Rows(Count(all)), (std::vector<Row>{{"2024-01-01", 1}, {"2024-02-01", 0}, {"2024-03-01", 1}}));
  all.lists = Lists::Inactive;
  all.records = std::vector<std::int32_t>{1, 2};
  EXPECT_EQ(Rows(Count(all)), (std::vector<Row>{{"2024-01-01", 1}}));
  all.records = std::vector<std::int32_t>{};
  EXPECT_EQ(Count(all).reports, 0);
}

TEST_F(StatsTest, TooManyPeriodsOrABackwardSpanIsRefused) {
  Add(Report({1990, 1, 1, 9, 0, 0}));
  Add(Report({2010, 1, 1, 9, 0, 0}));
  CountRequest request = By(Period::Day);
  request.from = DateTime{1975, 1, 1};
  request.to = DateTime{2024, 12, 31};
  auto refused = CountOverTime(folder.path(), request);
  ASSERT_FALSE(refused.ok());
  EXPECT_EQ(refused.error().kind, Error::Kind::Invalid);
  EXPECT_EQ(refused.message(),
            "From 01/01/1975 through 12/31/2024 by day makes 18,263 periods, more than a chart can show (5,000). "
            "Choose a shorter span or a longer period.");
  request.period = Period::Month;
  EXPECT_EQ(Count(request).periods.size(), 600u);

  // The reports' own range decides when no span is given.
  EXPECT_FALSE(CountOverTime(folder.path(), By(Period::Day)).ok());
  EXPECT_EQ(Count(By(Period::Week)).periods.size(), 1044u);

  request.from = DateTime{2024, 1, 2};
  request.to = DateTime{2024, 1, 1};
  EXPECT_EQ(CountOverTime(folder.path(), request).message(), "The span ends before it begins.");
}

TEST(StatsText, PeriodsTitlesAndTheLogLine) {
  const DateTime start{2024, 1, 15};
  EXPECT_EQ(PeriodName(Period::Day, start), "01/15/2024");
  EXPECT_EQ(PeriodName(Period::Week, start), "Week of 01/15/2024");
  EXPECT_EQ(PeriodName(Period::Month, {2024, 1, 1}), "January 2024");
  EXPECT_EQ(PeriodName(Period::Quarter, {2024, 10, 1}), "Q4 2024");
  EXPECT_EQ(PeriodLabel(Period::Week, start), "01/15/24");
  EXPECT_EQ(PeriodLabel(Period::Month, {2024, 9, 1}), "Sep 2024");
  EXPECT_EQ(PeriodStart(Period::Week, {2024, 3, 3, 23, 0, 0}), (DateTime{2024, 2, 26}));
  EXPECT_EQ(PeriodStart(Period::Week, {2021, 1, 1}), (DateTime{2020, 12, 28}));

  TimeFigures f;
  f.period = Period::Quarter;
  f.split = Split::Violations;
  f.span = Span{{2024, 1, 1}, {2024, 12, 31}};
  EXPECT_EQ(ChartLogDescription(f), "Quarterly Chart starting 01/01/2024 through 12/31/2024");
  EXPECT_EQ(ChartTitle("All Active Reports (27)", f, Measure::Value, {2026, 3, 5, 14, 5, 9}),
            (std::vector<std::string>{"All Active Reports (27)",
                                      "Property value by quarter of Date Entered, by Criminal Violation(s), "
                                      "01/01/2024 through 12/31/2024",
                                      "Printed 3/5/2026 2:05:09 PM"}));
}

}  // namespace
}  // namespace kestrova::stats
