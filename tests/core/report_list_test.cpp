#include <gtest/gtest.h>

#include "core/reports/report_list.h"
#include "core/time/ole_date.h"
#include "support/temp_folder.h"

namespace kestrova::reports {
namespace {

using testing::TempFolder;
using time::DateTime;
using time::ToOleDate;

ReportRecord Report(const std::string& caseNumber, const DateTime& entered, std::uint8_t list = kActiveList) {
  ReportRecord r;
  r.ControlNumber = ToOleDate(entered);
  r.CaseNumber = caseNumber;
  r.Title = "Title " + caseNumber;
  r.CriminalViolations = "Violation " + caseNumber;
  r.DateEntered = ToOleDate(entered);
  r.ListStatus = list;
  r.ProgramVersion = 414;
  return r;
}

class ReportListTest : public ::testing::Test {
 protected:
  void Add(const ReportRecord& r) { ASSERT_TRUE(AppendReport(folder.path(), r).ok()); }
  ReportList Build(const ListRequest& request) {
    auto list = BuildReportList(folder.path(), request);
    EXPECT_TRUE(list.ok()) << list.message();
    return list.ok() ? *list : ReportList{};
  }
  static ListRequest Phrase(const std::string& phrase, int kind, int ignoreCase = 1, int wholeWord = 0) {
    ListRequest r;
    r.flags = {false, true, false};
    r.criteria = {phrase, static_cast<std::int16_t>(kind), static_cast<std::int16_t>(ignoreCase),
                  static_cast<std::int16_t>(wholeWord), 0};
    return r;
  }
  static ListRequest Summary(int kind, const DateTime& from) {
    ListRequest r;
    r.flags = {false, false, true};
    r.criteria.SearchKind = static_cast<std::int16_t>(kind);
    r.criteria.BeginningDate = ToOleDate(from);
    return r;
  }
  TempFolder folder;
};

TEST_F(ReportListTest, AnEmptyFolderGivesAnEmptyListWithoutCaption) {
  const ReportList list = Build({});
  EXPECT_TRUE(list.rows.empty());
  EXPECT_EQ(list.caption, "");
  EXPECT_EQ(list.counts.ActiveCount + list.counts.InactiveCount, 0);
  EXPECT_EQ(list.rightColumnHeading, "Title or Descriptive Remarks");
}

TEST_F(ReportListTest, ASingleReport) {
  Add(Report("  24-1  ", {2024, 1, 5, 15, 5, 0}));
  const ReportList list = Build({});
  ASSERT_EQ(list.rows.size(), 1u);
  EXPECT_EQ(list.caption, " All Active Reports (1) ");
  EXPECT_EQ(list.rows[0], (ListRow{"24-1", "01/05/2024", "Title   24-1", 1, "24-1"}));
}

TEST_F(ReportListTest, CaseNumbersSortAsTextIgnoringCase) {
  Add(Report("9", {2024, 1, 1, 0, 0, 0}));
  Add(Report("10", {2024, 1, 2, 0, 0, 0}));
  Add(Report("b-1", {2024, 1, 3, 0, 0, 0}));
  Add(Report("A-2", {2024, 1, 4, 0, 0, 0}));
  const ReportList list = Build({});
  std::vector<std::string> order;
  for (const auto& r : list.rows) order.push_back(r.caseNumber);
  EXPECT_EQ(order, (std::vector<std::string>{"10", "9", "A-2", "b-1"}));
}

TEST_F(ReportListTest, TheEnteredSortPutsTheMorningFirst) {
  Add(Report("late", {2024, 1, 5, 14, 10, 0}));
  Add(Report("early", {2024, 1, 5, 9, 30, 0}));
  ListRequest request;
  request.sort = SortOption::Entered;
  request.show = ShowOption::Violations;
  const ReportList list = Build(request);
  ASSERT_EQ(list.rows.size(), 2u);
  EXPECT_EQ(list.rows[0].caseNumber, "early");
  EXPECT_EQ(list.rows[0].sortKey, "20240105093000");
  EXPECT_EQ(list.rows[0].rightColumn, "Violation early");
  EXPECT_EQ(list.rows[0].recordNumber, 2);
  EXPECT_EQ(list.rightColumnHeading, "Criminal Violation(s) (if any)");
}

TEST_F(ReportListTest, TheDisplayListChoosesAndBothAreCounted) {
  Add(Report("a", {2024, 1, 1, 0, 0, 0}));
  Add(Report("b", {2024, 1, 1, 0, 0, 0}, kInactiveList));
  ReportRecord odd = Report("c", {2024, 1, 1, 0, 0, 0});
  odd.ListStatus = 9;  // anything but 2 counts as active
  Add(odd);
  ListRequest request;
  request.display = DisplayList::Inactive;
  const ReportList inactive = Build(request);
  ASSERT_EQ(inactive.rows.size(), 1u);
  EXPECT_EQ(inactive.rows[0].caseNumber, "b");
  EXPECT_EQ(inactive.caption, " All Inactive Reports (1) ");
  EXPECT_EQ(inactive.counts.ActiveCount, 2);
  EXPECT_EQ(inactive.counts.InactiveCount, 1);
  EXPECT_EQ(Build({}).caption, " All Active Reports (2) ");
}

TEST_F(ReportListTest, APhraseSearchTitlesItsSubListAndSaysWhatToLog) {
  ReportRecord r = Report("24-1", {2024, 1, 5, 0, 0, 0});
  r.Person2Name = "SMITH, JOHN  W/M/40";
  Add(r);
  Add(Report("24-2", {2024, 1, 6, 0, 0, 0}));
  const ReportList one = Build(Phrase("smith", 1));
  ASSERT_EQ(one.rows.size(), 1u);
  EXPECT_EQ(one.caption, " Sub-list of reports containing 'smith' (1 match) ");
  EXPECT_TRUE(one.searched);
  EXPECT_EQ(one.searchLogDescription, "'smith'");
  EXPECT_EQ(Build(Phrase("smith", 11)).rows.size(), 1u);
  EXPECT_EQ(Build(Phrase("smith", 11, 0)).rows.size(), 0u) << "match case";
  const ReportList two = Build(Phrase("Title", 4));
  EXPECT_EQ(two.caption, " Sub-list of reports containing 'Title' (2 matches) ");
  EXPECT_EQ(two.rows[0].caseNumber, "24-1") << "a sub-list is sorted like the list";
}

TEST_F(ReportListTest, NoMatchesSaysSoAndShowsNoRows) {
  Add(Report("24-1", {2024, 1, 5, 0, 0, 0}));
  const ReportList none = Build(Phrase("nobody", 1));
  EXPECT_TRUE(none.rows.empty());
  EXPECT_TRUE(none.noMatches);
  EXPECT_EQ(none.caption, "");
  EXPECT_EQ(none.noMatchLines, (std::vector<std::string>{"There were no matches", "searching for", "", "nobody"}));
  EXPECT_EQ(none.searchLogDescription, "'nobody'");
  // Kind 8 on reports without an occurred date finds nothing.
  EXPECT_TRUE(Build(Phrase("2024", 8)).noMatches);
  EXPECT_FALSE(Build(Phrase("2024", 7)).noMatches);
  EXPECT_FALSE(Build(Phrase("Jan 05, 2024 12:00am", 7)).noMatches);
  EXPECT_TRUE(Build(Phrase("12/30/1899", 9)).noMatches) << "a zero date is not searched as 1899";
}

TEST_F(ReportListTest, TheWeeklySummaryIncludesItsLastMidnight) {
  Add(Report("in-first", {2010, 3, 1, 0, 0, 0}));
  Add(Report("in-last", {2010, 3, 8, 0, 0, 0}));
  Add(Report("out-after", {2010, 3, 8, 0, 1, 0}));
  Add(Report("out-before", {2010, 2, 28, 23, 59, 59}));
  const ReportList week = Build(Summary(17, {2010, 3, 1, 0, 0, 0}));
  std::vector<std::string> cases;
  for (const auto& r : week.rows) cases.push_back(r.caseNumber);
  EXPECT_EQ(cases, (std::vector<std::string>{"in-first", "in-last"}));
  EXPECT_EQ(week.caption, "Weekly Summary of reports with a beginning date of 03/01/2010 (2 matches) ");
  EXPECT_EQ(week.searchLogDescription, "Weekly Summary starting 03/01/2010");

  const ReportList day = Build(Summary(16, {2010, 3, 8, 0, 0, 0}));
  EXPECT_EQ(day.rows.size(), 2u);
  EXPECT_EQ(day.caption, "Daily Summary of reports for 03/08/2010 (2 matches) ");
  const ReportList empty = Build(Summary(16, {2011, 1, 1, 0, 0, 0}));
  EXPECT_EQ(empty.noMatchLines,
            (std::vector<std::string>{"There were no matches", "for a Daily Summary of reports ", "for 01/01/2011"}));
}

TEST(SummaryPeriod, CalendarMonths) {
  const double jan31 = ToOleDate({2010, 1, 31, 0, 0, 0});
  EXPECT_TRUE(InSummaryPeriod(18, jan31, ToOleDate({2010, 2, 28, 0, 0, 0})));
  EXPECT_FALSE(InSummaryPeriod(18, jan31, ToOleDate({2010, 2, 28, 0, 0, 1})));
  const double mar1 = ToOleDate({2010, 3, 1, 0, 0, 0});
  EXPECT_TRUE(InSummaryPeriod(18, mar1, ToOleDate({2010, 4, 1, 0, 0, 0})));
  EXPECT_FALSE(InSummaryPeriod(18, mar1, ToOleDate({2010, 4, 1, 0, 0, 1})));
  EXPECT_TRUE(InSummaryPeriod(19, mar1, ToOleDate({2010, 6, 1, 0, 0, 0})));
  EXPECT_FALSE(InSummaryPeriod(19, mar1, ToOleDate({2010, 6, 2, 0, 0, 0})));
  EXPECT_TRUE(InSummaryPeriod(20, mar1, ToOleDate({2011, 3, 1, 0, 0, 0})));
  EXPECT_FALSE(InSummaryPeriod(20, mar1, ToOleDate({2011, 3, 1, 0, 0, 1})));
  EXPECT_FALSE(InSummaryPeriod(16, mar1, ToOleDate({2010, 3, 2, 0, 0, 0})));
}

TEST(GridPosition, ASavedRowIsHeldToTheLastRowAndForgotten) {
  int saved = 40, savedTop = 35;
  GridPosition p = FullListPosition(12, saved, savedTop);
  EXPECT_EQ(p.currentRow, 12);
  EXPECT_EQ(p.topRow, 12);
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(savedTop, 0);
  p = FullListPosition(12, saved, savedTop);
  EXPECT_EQ(p.currentRow, 12) << "nothing saved: the last row";
  saved = 5;
  p = FullListPosition(12, saved, savedTop);
  EXPECT_EQ(p.currentRow, 5);
  EXPECT_EQ(p.topRow, 5) << "no saved top row: the current row";
}

TEST(SearchTextTest, KindOneReadsTheFieldsInOrder) {
  ReportRecord r;
  r.ControlNumber = ToOleDate({2024, 1, 5, 15, 5, 9});
  r.CaseNumber = " 24-1 ";
  r.CriminalViolations = "PC 459";
  r.Title = "Burglary";
  r.Person1Name = "Ann";
  r.Person1Context = "Victim";
  r.Person1Contact = "1 Main St";
  r.Narrative = "not searched by kind 1";
  RecordBytes bytes;
  EncodeReportRecord(r, bytes.data());
  // Empty pieces still add their blank: six after the title (made by, two
  // locations, the reporting person's three), 24 after person 1.
  EXPECT_EQ(SearchText(1, bytes.data()), "20240105150509 24-1 PC 459 Burglary " + std::string(6, ' ') +
                                             "Ann 1 Main St Victim " + std::string(24, ' '));
  EXPECT_EQ(SearchText(11, bytes.data()), "Ann 1 Main St Victim       ");
  EXPECT_EQ(SearchText(14, bytes.data()), "not searched by kind 1 ");
}

// A row's texts keep up to 15 bytes in place and longer ones on the heap;
// either way they copy, move and compare as the strings they hold.
TEST(ListTextTest, HoldsShortAndLongTextsAlike) {
  for (const std::string& s : {std::string(), std::string(15, 'a'), std::string(16, 'b'), std::string(150, 'c')}) {
    ListText t(s);
    EXPECT_EQ(std::string(t), s);
    ListText copy = t;
    ListText moved = std::move(t);
    EXPECT_EQ(copy, moved);
    EXPECT_EQ(moved.size(), s.size());
    EXPECT_TRUE(t.empty()) << "what was moved from is empty";
    copy = copy;
    copy = ListText("\xC3\xA9t\xC3\xA9 " + s);
    EXPECT_EQ(copy.substr(0, 2), "\xC3\xA9");
    moved = copy;
    EXPECT_EQ(std::string_view(moved), std::string_view(copy));
    EXPECT_FALSE(moved == ListText(s));
  }
  EXPECT_EQ(sizeof(ListText), 16u);
}

}  // namespace
}  // namespace kestrova::reports
