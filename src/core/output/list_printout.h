#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>

#include "core/output/print_cursor.h"
#include "core/reports/report_list.h"
#include "core/time/ole_date.h"

// The printed list: the report list as the grid shows it, three columns a
// report, a heading on every page and a closing line.
namespace kestrova::output {

struct ListPrintout {
  std::string title;                    // the list frame's caption, trimmed
  std::array<std::string, 3> headings;  // the grid's first three column headings
  std::span<const reports::ListRow> rows;
  std::string printedAt;  // GeneralDateTime of the moment of printing
};

// The pages the question announces: rowCount (the heading row included)
// over 48, rounded to the nearest whole number with a half going to the even
// neighbour, and at least 1.
int ListPageEstimate(std::size_t rowCount);

// The pages the printout will really take on a surface.
int ListPagesNeeded(const PrintMetrics& metrics, std::size_t rows);

// A moment as the title line shows it: "12/6/2026 2:05:09 PM" ("12/6/2026"
// at midnight).
std::string GeneralDateTime(const time::DateTime& moment);

// Lays the list out, page after page, as it goes: nothing of a later page
// is held while an earlier one prints.
void PrintList(PrintCursor& cursor, const ListPrintout& list);

}  // namespace kestrova::output
