#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/reports/data_file.h"
#include "core/search/search_criteria.h"
#include "core/status.h"

namespace kestrova::reports {

enum class DisplayList { Active = 1, Inactive = 2 };
enum class SortOption { CaseNumber = 1, Entered = 2 };
enum class ShowOption { Remarks = 1, Violations = 2 };

// Which reports the list shows: all of the display list, a phrase search's
// matches, or a summary's period.
struct ListFlags {
  bool FullListShown = true;
  bool PhraseSearchActive = false;
  bool SummaryActive = false;
};

struct ListRequest {
  DisplayList display = DisplayList::Active;
  SortOption sort = SortOption::CaseNumber;
  ShowOption show = ShowOption::Remarks;
  ListFlags flags;
  search::SearchCriteria criteria;
  // The caption a confirmed summary left with the find command ("Weekly
  // Summary"); the kind's caption when empty.
  std::string summaryCaption;
};

// One row of the list: the five grid columns.
struct ListRow {
  std::string caseNumber;   // trimmed
  std::string dateEntered;  // "mm/dd/yyyy"
  std::string rightColumn;  // trimmed Title or CriminalViolations
  std::int32_t recordNumber = 0;
  std::string sortKey;  // trimmed case number, or DateEntered as "yyyymmddhhnnss"

  friend bool operator==(const ListRow&, const ListRow&) = default;
};

struct ReportList {
  std::vector<ListRow> rows;  // in list order
  ListCounts counts;          // every record of the file, by list
  std::string caption;        // the list frame's caption; empty for an empty list
  std::string rightColumnHeading;
  bool searched = false;                  // a phrase search or a summary was run
  bool noMatches = false;                 // ...and found nothing
  std::vector<std::string> noMatchLines;  // the "No Matches" message
  std::string searchLogDescription;       // what "Search.Log" records for it
};

inline constexpr std::string_view kRemarksHeading = "Title or Descriptive Remarks";
inline constexpr std::string_view kViolationsHeading = "Criminal Violation(s) (if any)";

// Builds the list the main window shows: which reports, in which order,
// under which caption. Reads only what the request needs of each report.
Result<ReportList> BuildReportList(const std::filesystem::path& folder, const ListRequest& request,
                                   const DataFileOptions& options = {});

// The text a phrase kind (1-15) searches in a stored record, in
// Windows-1252: each piece trimmed and followed by one blank. Kinds 8 and 9
// give nothing for a report without that date.
std::string SearchText(int kind, const char* record);

// Whether a report entered at `entered` falls in the summary period of
// `kind` (16-20) beginning `beginning` (a date without time of day).
bool InSummaryPeriod(int kind, double beginning, double entered);

// The current and top row of a full list of rowCount rows (1-based): a row
// a command saved, held to the last row and then forgotten; else the last.
struct GridPosition {
  int currentRow = 0;
  int topRow = 0;
};
GridPosition FullListPosition(int rowCount, int& savedRow, int& savedTopRow);

}  // namespace kestrova::reports
