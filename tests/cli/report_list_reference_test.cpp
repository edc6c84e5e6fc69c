#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>

#include "cli/report_generator.h"
#include "core/reports/report_list.h"
#include "core/search/contains_phrase.h"
#include "core/stats/counts_over_time.h"
#include "core/stats/figures_text.h"
#include "core/text/fixed_text.h"
#include "core/time/date_format.h"
#include "support/temp_folder.h"

namespace kestrova::reports {
namespace {

using text::Trim;

// The list as a straightforward reading of every whole record would build it.
std::vector<ListRow> Reference(const std::filesystem::path& folder, const ListRequest& q) {
  std::vector<ListRow> rows;
  const auto& c = q.criteria;
  const int kind = c.SearchKind;
  (void)ScanRecords(folder, [&](std::int32_t n, const char* bytes) {
    const ReportRecord r = DecodeReportRecord(bytes);
    if ((r.ListStatus == kInactiveList) != (q.display == DisplayList::Inactive)) return true;
    bool take = q.flags.FullListShown;
    if (!take && q.flags.PhraseSearchActive) {
      std::string t;
      auto add = [&](std::string_view s) { t += std::string(Trim(s)) + " "; };
      auto date = [&](double v) {
        add(*time::FormatOleDate(v, time::kDateTimeFormat));
        add(*time::FormatOleDate(v, time::kDateFormat));
      };
      const std::string control = *time::FormatOleDate(r.ControlNumber, time::kControlNumberFormat);
      switch (kind) {
        case 1:
          for (const std::string* s : {&control,
                                       &r.CaseNumber,
                                       &r.CriminalViolations,
                                       &r.Title,
                                       &r.ReportMadeBy,
                                       &r.LocationOccurred,
                                       &r.LocationReported,
                                       &r.ReportedByName,
                                       &r.ReportedByContext,
                                       &r.ReportedByContact,
                                       &r.Person1Name,
                                       &r.Person1Contact,
                                       &r.Person1Context,
                                       &r.Person2Name,
                                       &r.Person2Contact,
                                       &r.Person2Context,
                                       &r.Person3Name,
                                       &r.Person3Contact,
                                       &r.Person3Context,
                                       &r.Vehicle1Description,
                                       &r.Vehicle1Context,
                                       &r.Vehicle1Details,
                                       &r.Vehicle2Description,
                                       &r.Vehicle2Context,
                                       &r.Vehicle2Details,
                                       &r.Vehicle3Description,
                                       &r.Vehicle3Context,
                                       &r.Vehicle3Details,
                                       &r.Property1Item,
                                       &r.Property1Context,
                                       &r.Property1Details,
                                       &r.Property2Item,
                                       &r.Property2Context,
                                       &r.Property2Details,
                                       &r.Property3Item,
                                       &r.Property3Context,
                                       &r.Property3Details}) {
            add(*s);
          }
          break;
        case 2: add(control); break;
        case 3: add(r.CaseNumber); break;
        case 4: add(r.Title); break;
        case 5: add(r.CriminalViolations); break;
        case 6: add(r.ReportMadeBy); break;
        case 7: date(r.DateEntered); break;
        case 8:
          if (r.OccurredFrom != 0) date(r.OccurredFrom);
          break;
        case 9:
          if (r.ReportedOn != 0) date(r.ReportedOn);
          break;
        case 10: add(r.ReportedByName), add(r.ReportedByContext), add(r.ReportedByContact); break;
        case 11:
          add(r.Person1Name), add(r.Person1Contact), add(r.Person1Context);
          add(r.Person2Name), add(r.Person2Contact), add(r.Person2Context);
          add(r.Person3Name), add(r.Person3Contact), add(r.Person3Context);
          break;
        case 12:
          add(r.Vehicle1Description), add(r.Vehicle1Context), add(r.Vehicle1Details);
          add(r.Vehicle2Description), add(r.Vehicle2Context), add(r.Vehicle2Details);
          add(r.Vehicle3Description), add(r.Vehicle3Context), add(r.Vehicle3Details);
          break;
        case 13:
          add(r.Property1Item), add(r.Property1Context), add(r.Property1Details);
          add(r.Property2Item), add(r.Property2Context), add(r.Property2Details);
          add(r.Property3Item), add(r.Property3Context), add(r.Property3Details);
          break;
        case 14: add(r.Narrative); break;
        case 15: add(r.CaseNotes); break;
      }
      take = search::ContainsPhrase(t, c.SearchPhrase, c.IgnoreCapitalization, c.WholeWordOnly);
    } else if (!take && q.flags.SummaryActive) {
      const double b = c.BeginningDate, d = r.DateEntered;
      const auto start = *time::FromOleDate(b);
      switch (kind) {
        case 16: take = b <= d && d < b + 1; break;
        case 17: take = b <= d && d <= b + 7; break;
        case 18: take = b <= d && d <= time::ToOleDate(time::AddMonths(start, 1)); break;
        case 19: take = b <= d && d <= time::ToOleDate(time::AddMonths(start, 3)); break;
        case 20: take = b <= d && d <= time::ToOleDate(time::AddMonths(start, 12)); break;
      }
    }
    if (!take) return true;
    ListRow row{std::string(Trim(r.CaseNumber)), *time::FormatOleDate(r.DateEntered, time::kDateFormat),
                std::string(Trim(q.show == ShowOption::Remarks ? r.Title : r.CriminalViolations)), n, ""};
    row.sortKey =
        q.sort == SortOption::CaseNumber ? row.caseNumber : *time::FormatOleDate(r.DateEntered, "yyyymmddhhnnss");
    rows.push_back(row);
    return true;
  });
  auto lower = [](std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
  };
  std::stable_sort(rows.begin(), rows.end(),
                   [&](const ListRow& a, const ListRow& b) { return lower(a.sortKey) < lower(b.sortKey); });
  return rows;
}

class ReferenceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new testing::TempFolder;
    ASSERT_TRUE(cli::GenerateReports(folder_->path(), 1500, 42).ok());
  }
  static void TearDownTestSuite() { delete folder_; }
  // Returns how many rows the list has.
  static std::size_t Check(const ListRequest& q) {
    auto list = BuildReportList(folder_->path(), q);
    EXPECT_TRUE(list.ok()) << list.message();
    if (!list.ok()) return 0;
    const auto expected = Reference(folder_->path(), q);
    EXPECT_EQ(list->rows.size(), expected.size())
        << "kind " << q.criteria.SearchKind << " '" << q.criteria.SearchPhrase << "'";
    EXPECT_TRUE(list->rows == expected) << "kind " << q.criteria.SearchKind << " '" << q.criteria.SearchPhrase << "'";
    return expected.size();
  }
  static testing::TempFolder* folder_;
};
testing::TempFolder* ReferenceTest::folder_ = nullptr;

TEST_F(ReferenceTest, FullListsInEveryOrder) {
  for (auto display : {DisplayList::Active, DisplayList::Inactive}) {
    for (auto sort : {SortOption::CaseNumber, SortOption::Entered}) {
      for (auto show : {ShowOption::Remarks, ShowOption::Violations}) {
        ListRequest q;
        q.display = display, q.sort = sort, q.show = show;
        Check(q);
      }
    }
  }
}

TEST_F(ReferenceTest, EveryPhraseKind) {
  int nonEmpty = 0;
  for (int kind = 1; kind <= 15; ++kind) {
    for (const char* phrase : {"smith", "Stolen", "2010", "jan", "main st", "suspect", "PC 4", "a"}) {
      for (int caps : {0, 1}) {
        for (int whole : {0, 1}) {
          ListRequest q;
          q.flags = {false, true, false};
          q.sort = kind % 2 ? SortOption::Entered : SortOption::CaseNumber;
          q.criteria = {phrase, static_cast<std::int16_t>(kind), static_cast<std::int16_t>(caps),
                        static_cast<std::int16_t>(whole), 0};
          nonEmpty += Check(q) > 0;
        }
      }
    }
  }
  EXPECT_GT(nonEmpty, 100) << "the phrases find things";
}

TEST_F(ReferenceTest, EverySummary) {
  for (int kind = 16; kind <= 20; ++kind) {
    for (const time::DateTime from : {time::DateTime{2010, 3, 1, 0, 0, 0}, time::DateTime{2015, 1, 1, 0, 0, 0},
                                      time::DateTime{2024, 12, 1, 0, 0, 0}}) {
      ListRequest q;
      q.flags = {false, false, true};
      q.criteria.SearchKind = static_cast<std::int16_t>(kind);
      q.criteria.BeginningDate = time::ToOleDate(from);
      q.sort = SortOption::Entered;
      Check(q);
    }
  }
}

// A chart of the rows a list shows counts what a reader of those rows would:
// reports per month of the date in the list, and per violation group.
TEST_F(ReferenceTest, AChartCountsTheListsRowsByHand) {
  ListRequest full;
  full.show = ShowOption::Violations;
  ListRequest quarter = full;
  quarter.flags = {false, false, true};
  quarter.criteria.SearchKind = 19;
  quarter.criteria.BeginningDate = time::ToOleDate({2015, 1, 1, 0, 0, 0});
  for (const ListRequest& q : {full, quarter}) {
    auto list = BuildReportList(folder_->path(), q);
    ASSERT_TRUE(list.ok());
    std::map<std::string, std::int64_t> months;  // "yyyy-mm"
    std::map<std::string, std::int64_t> groups;  // lower case
    std::vector<std::int32_t> records;
    for (const ListRow& row : list->rows) {
      ++months[row.dateEntered.substr(6, 4) + "-" + row.dateEntered.substr(0, 2)];
      std::string g = row.rightColumn;
      std::transform(g.begin(), g.end(), g.begin(), [](unsigned char c) { return std::tolower(c); });
      ++groups[g];
      records.push_back(row.recordNumber);
    }
    stats::CountRequest request;
    request.split = stats::Split::Violations;
    if (q.flags.SummaryActive) request.records = records;
    auto figures = stats::CountOverTime(folder_->path(), request);
    ASSERT_TRUE(figures.ok()) << figures.message();
    std::int64_t counted = 0;
    std::vector<std::int64_t> byGroup(figures->groups.size(), 0);
    for (const stats::PeriodFigures& p : figures->periods) {
      EXPECT_EQ(p.total.count, months[stats::IsoDay(p.start).substr(0, 7)]) << stats::IsoDay(p.start);
      counted += p.total.count;
      for (std::size_t k = 0; k < byGroup.size(); ++k) byGroup[k] += p.groups[k].count;
    }
    EXPECT_EQ(counted, static_cast<std::int64_t>(list->rows.size()));
    std::vector<std::pair<std::int64_t, std::string>> ranked;
    for (const auto& [name, n] : groups) ranked.push_back({-n, name});
    std::sort(ranked.begin(), ranked.end());
    ASSERT_EQ(byGroup.size(), std::min<std::size_t>(ranked.size(), 11));
    std::int64_t other = 0;
    for (std::size_t k = 0; k < ranked.size(); ++k) {
      if (k < 10) {
        EXPECT_EQ(byGroup[k], -ranked[k].first) << ranked[k].second;
      } else {
        other -= ranked[k].first;
      }
    }
    EXPECT_GT(ranked.size(), 10u) << "the generated violations make an \"Other\"";
    EXPECT_EQ(byGroup.back(), other);
  }
}

}  // namespace
}  // namespace kestrova::reports
