#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/reports/data_file.h"
#include "core/reports/report_heads.h"
#include "core/search/search_criteria.h"
#include "core/status.h"

namespace kestrova::reports {

enum class DisplayList { Active = 1, Inactive = 2 };
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

// A text of a list row in 16 bytes: up to 15 bytes in place, a longer one
// in a block of just its size. It reads as a std::string wherever one is
// wanted; a list of tens of thousands of rows keeps little beside its texts.
class ListText {
 public:
  ListText() { Inline(0); }
  ListText(const char* text) : ListText(std::string_view(text)) {}
  ListText(const std::string& text) : ListText(std::string_view(text)) {}
  explicit ListText(std::string_view text);
  ListText(const ListText& other) : ListText(other.view()) {}
  ListText(ListText&& other) noexcept;
  ListText& operator=(const ListText& other);
  ListText& operator=(ListText&& other) noexcept;
  ~ListText();

  std::string_view view() const;
  operator std::string_view() const { return view(); }
  operator std::string() const { return std::string(view()); }
  const char* data() const { return view().data(); }
  std::size_t size() const { return view().size(); }
  bool empty() const { return size() == 0; }
  std::string substr(std::size_t pos, std::size_t count = std::string::npos) const {
    return std::string(view().substr(pos, count));
  }

  friend bool operator==(const ListText& a, const ListText& b) { return a.view() == b.view(); }
  friend std::ostream& operator<<(std::ostream& out, const ListText& t) { return out << t.view(); }

 private:
  static constexpr std::size_t kInPlace = 15;
  static constexpr unsigned char kOnHeap = 0xFF;
  void Inline(std::size_t size) { bytes_[kInPlace] = static_cast<char>(size); }
  bool OnHeap() const { return static_cast<unsigned char>(bytes_[kInPlace]) == kOnHeap; }
  void Release();

  // In place: the text, then its size in the last byte. On the heap: the
  // block's address and the size, and kOnHeap in the last byte.
  alignas(8) char bytes_[16];
};

// One row of the list: the five grid columns.
struct ListRow {
  std::string caseNumber;  // trimmed
  ListText dateEntered;    // "mm/dd/yyyy"
  ListText rightColumn;    // trimmed Title or CriminalViolations
  std::int32_t recordNumber = 0;
  ListText sortKey;  // trimmed case number, or DateEntered as "yyyymmddhhnnss"

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
// The same with heads kept from one rebuild to the next: a rebuild of the
// full list, a summary or a search of the members at the start of a report
// (control number, case number, remarks, violations, made by, date entered)
// reads nothing but the folder's stamp while the reports are unchanged.
Result<ReportList> BuildReportList(const std::filesystem::path& folder, const ListRequest& request, ReportHeads& heads,
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
