#include "core/output/list_printout.h"

#include "core/output/paged_text.h"
#include "core/time/date_format.h"

namespace kestrova::output {
namespace {

constexpr double kLeft = 0.5;
constexpr double kTop = 1.0;
constexpr double kColumnX[3] = {0.5, 2.0, 3.0};
constexpr double kRuleEnd = 7.6;
constexpr double kPageFull = 8.8;
constexpr std::size_t kRowsPerPageEstimate = 48;

}  // namespace

int ListPageEstimate(std::size_t rowCount) {
  std::size_t pages = rowCount / kRowsPerPageEstimate;
  const std::size_t rest = rowCount % kRowsPerPageEstimate;
  if (2 * rest > kRowsPerPageEstimate || (2 * rest == kRowsPerPageEstimate && pages % 2 == 1)) ++pages;
  return pages < 1 ? 1 : static_cast<int>(pages);
}

int ListPagesNeeded(const PrintMetrics& metrics, std::size_t rows) {
  const double line = metrics.LineHeight(PrintFont{});
  if (rows == 0 || line <= 0) return 1;
  // The title, its rule and the headings take three lines; a row ends its
  // page once the line after it would start below kPageFull.
  double y = kTop;
  for (int k = 0; k < 3; ++k) y += line;
  std::size_t perPage = 1;
  for (; y <= kPageFull; y += line) ++perPage;
  return static_cast<int>((rows + perPage - 1) / perPage);
}

std::string GeneralDateTime(const time::DateTime& moment) {
  // Midnight shows as the date alone.
  const bool midnight = moment.hour == 0 && moment.minute == 0 && moment.second == 0;
  return time::FormatDateTime(moment, midnight ? "m/d/yyyy" : "m/d/yyyy h:nn:ss AM/PM");
}

void PrintList(PrintCursor& c, const ListPrintout& list) {
  c.SetFont(PrintFont{});
  const auto columns = [&](const std::string& a, const std::string& b, const std::string& d) {
    const std::string* texts[3] = {&a, &b, &d};
    for (int k = 0; k < 3; ++k) {
      c.x = kColumnX[k];
      c.Print(*texts[k]);
    }
  };
  for (std::size_t i = 0; i < list.rows.size() && !c.stopped(); ++i) {
    if (c.x < 1.0) c.x = kLeft;
    if (c.y < kTop) {
      c.y = kTop;
      c.x = kLeft;
      c.Print(list.title + ", " + list.printedAt + " -- Page " + std::to_string(c.page()));
      c.EndLine();
      PrintRule(c, kLeft, kRuleEnd);
      columns(list.headings[0], list.headings[1], list.headings[2]);
      PrintRule(c, kLeft, kRuleEnd);
    }
    const reports::ListRow& row = list.rows[i];
    columns(row.caseNumber, row.dateEntered, row.rightColumn);
    const bool last = i + 1 == list.rows.size();
    if (c.y > kPageFull || last) {
      PrintRule(c, kLeft, kRuleEnd);
      if (!last) {
        c.NewPage();
      } else {
        c.x = kLeft;
        c.Print("End of Printout");
        c.EndLine();
      }
    } else {
      c.EndLine();
    }
  }
  c.Flush();
}

}  // namespace kestrova::output
