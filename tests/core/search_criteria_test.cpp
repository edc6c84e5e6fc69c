#include <gtest/gtest.h>

#include "core/search/search_criteria.h"
#include "core/time/date_parse.h"

namespace kestrova::search {
namespace {

TEST(SearchKinds, CaptionsAndGroups) {
  EXPECT_EQ(SearchKindCaption(1), "Search all text");
  EXPECT_EQ(SearchKindCaption(4), "Search 'Descriptive Remarks' only ");
  EXPECT_EQ(SearchKindCaption(15), "Search 'Case Notes' only");
  EXPECT_EQ(SearchKindCaption(17), "Weekly Summary");
  EXPECT_EQ(SearchKindCaption(21), "");
  EXPECT_TRUE(IsPhraseKind(15));
  EXPECT_FALSE(IsPhraseKind(16));
  EXPECT_TRUE(IsSummaryKind(20));
  EXPECT_FALSE(IsSummaryKind(0));
}

TEST(FindDialogClosing, CancelKeepsOnlyTheKindAndTheBoxes) {
  FindDialogState s;
  s.selectedKind = 5;
  s.phraseText = "new phrase";
  s.ignoreCapitalization = false;
  s.wholeWordOnly = true;
  const auto out = CloseFindDialog(s);
  EXPECT_EQ(out.criteria.SearchKind, 5);
  EXPECT_EQ(out.criteria.SearchPhrase, "");
  EXPECT_EQ(out.criteria.BeginningDate, 0);
  EXPECT_EQ(out.criteria.IgnoreCapitalization, 0);
  EXPECT_EQ(out.criteria.WholeWordOnly, 1);
  EXPECT_EQ(StartAfterDialog(out.criteria), SearchStart::None);
}

TEST(FindDialogClosing, AConfirmedPhraseIsTrimmed) {
  FindDialogState s;
  s.selectedKind = 1;
  s.phraseText = "  smith  ";
  s.confirmed = true;
  const auto out = CloseFindDialog(s);
  EXPECT_EQ(out.criteria.SearchPhrase, "smith");
  EXPECT_EQ(out.criteria.IgnoreCapitalization, 1);
  EXPECT_EQ(out.summaryCaption, "");
  EXPECT_EQ(StartAfterDialog(out.criteria), SearchStart::Phrase);
  s.phraseText = "    ";  // blanks only: no search starts
  EXPECT_EQ(StartAfterDialog(CloseFindDialog(s).criteria), SearchStart::None);
}

TEST(FindDialogClosing, AConfirmedSummaryKeepsTheDayAndItsCaption) {
  FindDialogState s;
  s.selectedKind = 17;
  s.phraseText = "left over";
  s.pickedDate = time::DateTime{2010, 3, 1, 15, 30, 0};
  s.confirmed = true;
  const auto out = CloseFindDialog(s);
  EXPECT_EQ(out.criteria.SearchPhrase, "");
  EXPECT_EQ(out.criteria.BeginningDate, time::ToOleDate({2010, 3, 1, 0, 0, 0}));
  EXPECT_EQ(out.summaryCaption, "Weekly Summary");
  EXPECT_EQ(StartAfterDialog(out.criteria), SearchStart::Summary);
}

TEST(FindDialogClosing, TheMainWindowResetsKindAndBoxes) {
  SearchCriteria c{"kept", 17, 0, 1, 12345};
  ResetForMainWindow(c);
  EXPECT_EQ(c.SearchKind, 1);
  EXPECT_EQ(c.IgnoreCapitalization, 1);
  EXPECT_EQ(c.WholeWordOnly, 0);
  EXPECT_EQ(c.SearchPhrase, "kept");
  EXPECT_EQ(c.BeginningDate, 12345);
}

TEST(SummaryQuestion, DailyAndWeeklyNameTheDay) {
  const auto daily = BuildSummaryQuestion(16, {2000, 1, 1, 0, 0, 0});
  EXPECT_TRUE(daily.valid);
  EXPECT_EQ(daily.caption, "Daily Summary");
  EXPECT_EQ(daily.lines, (std::vector<std::string>{"This will summarize all reports", "for Saturday January 1, 2000"}));
  const auto weekly = BuildSummaryQuestion(17, {2000, 1, 1, 0, 0, 0});
  EXPECT_EQ(weekly.lines, (std::vector<std::string>{"This will summarize all reports",
                                                    "for a one-week period beginning", "Saturday January 1, 2000"}));
  EXPECT_EQ(weekly.buttons, (std::vector<std::string>{"&Yes, continue", "&No, select some &other option"}));
}

TEST(SummaryQuestion, MonthsMustBeginOnTheFirst) {
  const auto quarterly = BuildSummaryQuestion(19, {2010, 4, 1, 0, 0, 0});
  EXPECT_TRUE(quarterly.valid);
  EXPECT_EQ(quarterly.caption, "Quarterly Summary");
  EXPECT_EQ(quarterly.lines, (std::vector<std::string>{"This will summarize all reports", "for a three month period",
                                                       "beginning 04/01/2010"}));
  EXPECT_EQ(BuildSummaryQuestion(20, {2010, 1, 1, 0, 0, 0}).lines[1], "for a twelve month period");
  const auto invalid = BuildSummaryQuestion(18, {2010, 3, 15, 0, 0, 0});
  EXPECT_FALSE(invalid.valid);
  EXPECT_EQ(invalid.caption, "Invalid Beginning Date Chosen");
  EXPECT_EQ(invalid.lines, std::vector<std::string>{"Please select the first of a month"});
  EXPECT_EQ(invalid.buttons, (std::vector<std::string>{"Select &another date", "Select some &other option"}));
}

TEST(SearchPhrase, CharactersReportsCannotStoreAreNamedOnce) {
  EXPECT_FALSE(RefuseUnstorablePhrase("Caf\u00e9 \u20ac5 \u201cquoted\u201d").has_value()) << "all in the code page";
  const auto refused = RefuseUnstorablePhrase("\u0418\u0432\u0430\u043d \u0418 \U0001F600 smith");
  ASSERT_TRUE(refused.has_value());
  EXPECT_EQ(refused->caption, "Characters Not Stored");
  EXPECT_EQ(refused->lines[3], "\u0418 \u0432 \u0430 \u043d \U0001F600");
}

}  // namespace
}  // namespace kestrova::search
