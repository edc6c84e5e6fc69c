#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/output/fixed_metrics.h"
#include "core/output/list_printout.h"
#include "core/output/paged_text.h"
#include "core/output/picture_printout.h"
#include "core/output/printout_names.h"
#include "core/output/report_printout.h"
#include "support/recorded_steps.h"

namespace kestrova::output {
namespace {

using testing::RecordedSteps;

const time::DateTime kPrinted{2026, 12, 6, 14, 5, 9};

struct Printer {
  FixedMetrics metrics;
  RecordedSteps sink;
  PrintCursor cursor{metrics, sink};
};

reports::FieldTexts46 Shown(std::initializer_list<std::pair<int, std::string>> fields) {
  reports::FieldTexts46 shown;
  for (const auto& [n, text] : fields) shown[static_cast<std::size_t>(n)] = text;
  return shown;
}

std::vector<std::string> ReportTexts(const reports::FieldTexts46& shown, ReportPrintout printout = {}) {
  Printer p;
  printout.applicationTitle = "Kestrova";
  printout.printedAt = kPrinted;
  PrintReport(p.cursor, shown, printout);
  return p.sink.Texts();
}

const std::string kRule = std::string(52, '_');  // 1.0 to 7.5 in eighths of an inch

TEST(PrintedReport, HeadingLinesAndTheirPlaces) {
  Printer p;
  PrintReport(p.cursor, Shown({{0, "20261206140509"}, {1, "24/0017"}, {2, "Burglary"}}),
              {.applicationTitle = "Kestrova", .printedAt = kPrinted});
  const auto page = p.sink.Pages().at(0);
  ASSERT_GE(page.size(), 5u);
  EXPECT_EQ(page[0], (TextStep{1.0, 0.5, "Kestrova report printout - Case Number 24/0017", PrintFont{}}));
  EXPECT_EQ(page[1], (TextStep{1.0, 0.75, "printed 12/06/2026 14:05", PrintFont{}}));
  EXPECT_EQ(page[2], (TextStep{1.0, 1.0, kRule, PrintFont{}}));
  EXPECT_EQ(page[3], (TextStep{1.0, 1.5, "Control Number 20261206140509", PrintFont{}}));
  EXPECT_EQ(page[4], (TextStep{1.0, 2.0, "Title or Descriptive Remarks: Burglary", PrintFont{}}));
  EXPECT_EQ(page[0].font.name, "Arial");
  EXPECT_EQ(page[0].font.size, 10);
}

TEST(PrintedReport, AnEmptyReportPrintsItsHeadingAndWhoMadeItOnOnePage) {
  EXPECT_EQ(ReportTexts({}),
            (std::vector<std::string>{"Kestrova report printout - Case Number ", "printed 12/06/2026 14:05", kRule,
                                      "Control Number ", "This Report Made by: ", "and entered on "}));
}

TEST(PrintedReport, OccurredOnOrFromTo) {
  auto texts = ReportTexts(Shown({{6, "05/01/2024 10:00"}}));
  EXPECT_EQ(texts.at(6), "Occurred on 05/01/2024 10:00");
  texts = ReportTexts(Shown({{6, "05/01/2024 10:00"}, {7, "05/02/2024 08:30"}, {8, "Main St"}}));
  EXPECT_EQ(texts.at(6), "Occurred from 05/01/2024 10:00 to 05/02/2024 08:30");
  EXPECT_EQ(texts.at(7), "Occurred at Main St");
}

TEST(PrintedReport, FilledFieldsInOrderAndBlankGroupsLeftOut) {
  const auto shown = Shown({{1, "24/0017"},
                            {3, "Theft"},
                            {4, "Ann Lee"},
                            {5, "Dec 06, 2026 2:05pm"},
                            {9, "05/03/2024"},
                            {10, "Front desk"},
                            {11, "Bo Diaz"},
                            {12, "Victim"},
                            {13, "555-0100"},
                            {17, "Cy Ng"},
                            {18, "Suspect"},
                            {23, "   "},  // blanks only: no vehicle
                            {24, "Victim"},
                            {26, "2019 Ford Focus"},
                            {27, "Stolen"},
                            {28, "Blue"},
                            {40, "Laptop"},
                            {41, "Stolen"},
                            {43, "1,200.00"}});
  const auto texts = ReportTexts(shown);
  const std::vector<std::string> fields(texts.begin() + 4, texts.end());
  EXPECT_EQ(fields,
            (std::vector<std::string>{"Criminal Violation(s) (if any): Theft", "This Report Made by: Ann Lee",
                                      "and entered on Dec 06, 2026 2:05pm", "Reported on 05/03/2024",
                                      "Reported at Front desk", "Reported by Victim Bo Diaz", "Contact info: 555-0100",
                                      "* Suspect", "Cy Ng", "* Vehicle (Stolen)", "2019 Ford Focus", "Blue",
                                      "* Property (Stolen)", "Laptop", "Value - 1,200.00"}));
}

TEST(PrintedReport, ANarrativeOfThreePagesCarriesItsHeadingOnEachAndNumbersAfterTheFirst) {
  std::string narrative;
  for (int i = 0; i < 600; ++i) narrative += "word ";
  Printer p;
  PrintReport(p.cursor, Shown({{1, "24/0017"}, {44, "  " + narrative}, {45, "Seen twice.\r\nCall back."}}),
              {.applicationTitle = "Kestrova", .printedAt = kPrinted, .narrative = true, .caseNotes = true});
  const auto pages = p.sink.Pages();
  ASSERT_EQ(pages.size(), 5u);  // the report, three of narrative, one of case notes
  EXPECT_EQ(pages[0].back().text, "(Narrative on following page(s)...)");
  const auto pageNumber = [](const std::vector<TextStep>& page) {
    for (const auto& t : page) {
      if (t.text.starts_with("(page ")) return t;
    }
    return TextStep{};
  };
  for (int n = 1; n <= 3; ++n) {
    const auto& page = pages[static_cast<std::size_t>(n)];
    PrintFont bold;
    bold.bold = true;
    EXPECT_EQ(page.front(), (TextStep{1.0, 1.0, "NarrativeCase Number 24/0017", bold})) << n;
    // Nine words, then the blank past 6.5 inches ends the line.
    EXPECT_EQ(page.at(1), (TextStep{1.0, 1.5, std::string(narrative, 0, 45), PrintFont{}})) << n;
    EXPECT_EQ(pageNumber(page).text, n == 1 ? "" : "(page " + std::to_string(n) + ")") << n;
  }
  EXPECT_EQ(pageNumber(pages[2]).x, 6.0);
  EXPECT_EQ(pageNumber(pages[2]).y, 9.2);
  EXPECT_EQ(pages[3].back().text, "(Case Notes on following page(s)...)");
  EXPECT_EQ(pages[4].front().text, "Case NotesCase Number 24/0017");
  EXPECT_EQ(pages[4].at(1).text, "Seen twice.");
  EXPECT_EQ(pages[4].at(2), (TextStep{1.0, 1.75, "Call back.", PrintFont{}}));
  EXPECT_EQ(pages[4].size(), 3u);  // one page only: no number
}

TEST(PagedText, AWordLongerThanTheLineBreaksAtTheLimitAndNeverPastThePage) {
  const std::string word(130, 'x');
  for (const double pageWidth : {8.0, 10.0}) {
    Printer p;
    p.metrics.pageWidth = pageWidth;
    PrintPagedText(p.cursor, word, {});
    const auto page = p.sink.Pages().at(0);
    ASSERT_EQ(page.size(), 3u);
    // Past 8.0 inches the line ends inside the word; on a page whose
    // printable width ends at 8.0 the character that would pass it goes to
    // the next line instead.
    const std::size_t perLine = pageWidth == 8.0 ? 56 : 57;
    EXPECT_EQ(page[0], (TextStep{1.0, 1.0, std::string(perLine, 'x'), PrintFont{}}));
    EXPECT_EQ(page[1], (TextStep{1.0, 1.25, std::string(perLine, 'x'), PrintFont{}}));
    EXPECT_EQ(page[2].text.size(), 130 - 2 * perLine);
  }
  // A narrow page (A4 from a wide margin) still keeps every character on it.
  Printer p;
  p.metrics.pageWidth = 5.0;
  PrintPagedText(p.cursor, std::string(50, 'y') + " end", {});
  const auto narrow = p.sink.Pages().at(0);
  for (const auto& t : narrow) {
    EXPECT_LE(t.x + p.metrics.TextWidth(t.text, t.font), 5.0) << t.text;
  }
}

TEST(PagedText, CrLfLoneLfAndLoneCrEachEndOneLine) {
  Printer p;
  PrintPagedText(p.cursor, "one\r\ntwo\nthree\rfour\r\n\r\nfive \xC3\xA9t\xC3\xA9", {});
  std::vector<std::pair<double, std::string>> lines;
  const auto page = p.sink.Pages().at(0);
  for (const auto& t : page) lines.emplace_back(t.y, t.text);
  EXPECT_EQ(lines, (std::vector<std::pair<double, std::string>>{
                       {1.0, "one"}, {1.25, "two"}, {1.5, "three"}, {1.75, "four"}, {2.25, "five \xC3\xA9t\xC3\xA9"}}));
  EXPECT_EQ(p.cursor.x, 1.0 + 8 * 0.125);  // a UTF-8 character is one character wide
}

TEST(PagedText, CentredHeadingOnTheFirstPageOnly) {
  Printer p;
  std::string text;
  for (int i = 0; i < 40; ++i) text += "line\r\n";
  PrintPagedText(p.cursor, text, {.heading = "Notes", .centredHeading = true, .headingOnEveryPage = false});
  const auto pages = p.sink.Pages();
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].front(), (TextStep{4.0 - 5 * 0.125 / 2, 1.0, "Notes", PrintFont{}}));
  EXPECT_EQ(pages[1].front(), (TextStep{1.0, 1.0, "line", PrintFont{}}));
}

TEST(PrintedList, PageEstimateRoundsHalvesToEven) {
  EXPECT_EQ(ListPageEstimate(24), 1);
  EXPECT_EQ(ListPageEstimate(72), 2);
  EXPECT_EQ(ListPageEstimate(168), 4);
  EXPECT_EQ(ListPageEstimate(120), 2);
  EXPECT_EQ(ListPageEstimate(3), 1);
  EXPECT_EQ(ListPageEstimate(40001), 833);
}

std::vector<reports::ListRow> Rows(int n) {
  std::vector<reports::ListRow> rows;
  for (int i = 1; i <= n; ++i) {
    reports::ListRow& row = rows.emplace_back();
    row.caseNumber = "24/" + std::to_string(1000 + i);
    row.dateEntered = "05/01/2024";
    row.rightColumn = "Theft " + std::to_string(i);
  }
  return rows;
}

TEST(PrintedList, OnePageWithHeadingRowsRuleAndClosingLine) {
  const auto rows = Rows(23);
  Printer p;
  PrintList(p.cursor, {"Active List",
                       {"Case Number", "Date Entered", "Title or Descriptive Remarks"},
                       rows,
                       GeneralDateTime(kPrinted)});
  const auto pages = p.sink.Pages();
  ASSERT_EQ(pages.size(), 1u);
  const auto& page = pages[0];
  const std::string rule(57, '_');  // 0.5 to 7.6
  ASSERT_EQ(page.size(), 6u + 3 * 23 + 2);
  EXPECT_EQ(page[0], (TextStep{0.5, 1.0, "Active List, 12/6/2026 2:05:09 PM -- Page 1", PrintFont{}}));
  EXPECT_EQ(page[1], (TextStep{0.5, 1.25, rule, PrintFont{}}));
  EXPECT_EQ(page[2], (TextStep{0.5, 1.5, "Case Number", PrintFont{}}));
  EXPECT_EQ(page[3], (TextStep{2.0, 1.5, "Date Entered", PrintFont{}}));
  EXPECT_EQ(page[4], (TextStep{3.0, 1.5, "Title or Descriptive Remarks", PrintFont{}}));
  EXPECT_EQ(page[5], (TextStep{0.5, 1.5, rule, PrintFont{}}));  // underlines the headings
  EXPECT_EQ(page[6], (TextStep{0.5, 1.75, "24/1001", PrintFont{}}));
  EXPECT_EQ(page[8], (TextStep{3.0, 1.75, "Theft 1", PrintFont{}}));
  EXPECT_EQ(page[page.size() - 3].text, "Theft 23");
  EXPECT_EQ(page[page.size() - 2], (TextStep{0.5, 7.25, rule, PrintFont{}}));
  EXPECT_EQ(page.back(), (TextStep{0.5, 7.5, "End of Printout", PrintFont{}}));
  EXPECT_EQ(GeneralDateTime({2026, 1, 2, 0, 7, 3}), "1/2/2026 12:07:03 AM");
  EXPECT_EQ(GeneralDateTime({2026, 1, 2, 0, 0, 0}), "1/2/2026");
}

TEST(PrintedList, EveryPageStartsWithItsNumberedTitleAndEndsWithARule) {
  const auto rows = Rows(100);
  Printer p;
  PrintList(p.cursor, {"Search Results", {"a", "b", "c"}, rows, "now"});
  const auto pages = p.sink.Pages();
  ASSERT_EQ(pages.size(), 4u);  // 30 rows a page at a quarter inch a line
  EXPECT_EQ(ListPagesNeeded(p.metrics, 100), 4);
  EXPECT_EQ(ListPagesNeeded(p.metrics, 90), 3);
  for (std::size_t n = 0; n < pages.size(); ++n) {
    EXPECT_EQ(pages[n].front().text, "Search Results, now -- Page " + std::to_string(n + 1));
    const bool last = n + 1 == pages.size();
    const auto& rule = pages[n][pages[n].size() - (last ? 2 : 1)];
    EXPECT_TRUE(rule.text.starts_with("___")) << n;
    EXPECT_EQ(rule.y, last ? 4.0 : 9.0) << n;
  }
  EXPECT_EQ(pages[1].at(6).text, "24/1031");
}

TEST(PrintedList, StopsAtOnceWhenTheSurfaceRefuses) {
  const auto rows = Rows(10000);
  Printer p;
  p.sink.refuseAfterPages = 0;
  PrintList(p.cursor, {"Active List", {"a", "b", "c"}, rows, "now"});
  EXPECT_TRUE(p.cursor.stopped());
  EXPECT_EQ(p.sink.Pages().size(), 1u);
  EXPECT_LT(p.sink.steps.size(), 200u);
}

TEST(PrintedPicture, PlacedToFitThePage) {
  const auto expect = [](PicturePlacement got, PicturePlacement want) {
    EXPECT_DOUBLE_EQ(got.x, want.x);
    EXPECT_DOUBLE_EQ(got.y, want.y);
    EXPECT_DOUBLE_EQ(got.width, want.width);
    EXPECT_DOUBLE_EQ(got.height, want.height);
  };
  expect(PlacePicture(4000, 2000), {0.75, 2.875, 6.5, 3.25});
  expect(PlacePicture(2000, 4000), {1.0, 0.8, 4.5, 9.0});                   // portrait that fits: as before
  expect(PlacePicture(1000, 1000), {0.75, 1.25, 6.5, 6.5});                 // square: 9 high would be 9 wide
  expect(PlacePicture(3000, 4000), {0.75, 4.5 - 13.0 / 3, 6.5, 26.0 / 3});  // 3:4 likewise

  Printer p;
  PrintPicture(p.cursor, PictureCaption("20261206140509", "24/0017"), "/pics/a.jpg", 4000, 2000);
  PrintFont small;
  small.size = 9;
  ASSERT_EQ(p.sink.steps.size(), 2u);
  EXPECT_EQ(std::get<TextStep>(p.sink.steps[0]),
            (TextStep{0.75, 2.875 - 0.2, "Control Number 20261206140509 - Case Number 24/0017", small}));
  EXPECT_EQ(std::get<PictureStep>(p.sink.steps[1]), (PictureStep{0.75, 2.875, 6.5, 3.25, "/pics/a.jpg"}));
}

TEST(PrintedPicture, EnlargedViewSizes) {
  EXPECT_EQ(EnlargedPictureSize(4000, 2000), (EnlargedPicture{8000, 4000, 8300, 5200, 7455}));
  EXPECT_EQ(EnlargedPictureSize(1000, 3000), (EnlargedPicture{2666, 8000, 2966, 9200, 2121}));  // rounded down
}

TEST(PrintedReport, QuestionsAskedOnlyForWhatThereIsToPrint) {
  auto q = ReportPrintQuestionsFor(Shown({{44, "   "}, {45, "x"}}), {"", "  ", ""});
  EXPECT_FALSE(q.narrative);
  EXPECT_TRUE(q.caseNotes);
  EXPECT_FALSE(q.pictures);
  q = ReportPrintQuestionsFor(Shown({{44, "a"}}), {"", "", "/p/c.png"});
  EXPECT_TRUE(q.narrative);
  EXPECT_TRUE(q.pictures);
}

TEST(PrintoutNames, CleanedCaseNumbersTimesAndCopies) {
  EXPECT_EQ(CleanCaseNumber("24/0017 a.b_c-d\xC3\xA9"), "240017a.b_c-d");
  EXPECT_EQ(ReportPdfName("24/0017", kPrinted), "report-240017-20261206140509.pdf");
  EXPECT_EQ(ReportPdfName("//", kPrinted), "report-20261206140509.pdf");
  EXPECT_EQ(ListPdfName(kPrinted), "list-20261206140509.pdf");
  EXPECT_EQ(PicturePdfName(2, "A-7", kPrinted), "picture-2-A-7-20261206140509.pdf");
  EXPECT_EQ(PicturePdfBeside("/home/u/Documents/report-1-2.pdf", 3), "/home/u/Documents/report-1-2-picture3.pdf");
  EXPECT_EQ(PicturePdfBeside("/home/u/mine", 1), "/home/u/mine-picture1.pdf");
  EXPECT_EQ(NumberedPdfName("/d/list-1.pdf", 1), "/d/list-1.pdf");
  EXPECT_EQ(NumberedPdfName("/d/list-1.pdf", 3), "/d/list-1-3.pdf");
  EXPECT_EQ(NumberedPdfName("/d/Mine.PDF", 2), "/d/Mine-2.PDF");

  std::set<std::string> taken = {"/d/r.pdf", "/d/r-2.pdf"};
  std::vector<std::string> tried;
  const auto claim = [&](const std::string& name) {
    tried.push_back(name);
    return taken.insert(name).second ? Claim::Got : Claim::Taken;
  };
  EXPECT_EQ(ClaimNumberedName("/d/r.pdf", claim), "/d/r-3.pdf");
  EXPECT_EQ(tried, (std::vector<std::string>{"/d/r.pdf", "/d/r-2.pdf", "/d/r-3.pdf"}));
  EXPECT_EQ(ClaimNumberedName("/d/r.pdf", claim, 3), std::nullopt);  // all three taken now
  EXPECT_EQ(ClaimNumberedName("/d/s.pdf", [](const std::string&) { return Claim::Failed; }), std::nullopt);
}

}  // namespace
}  // namespace kestrova::output
