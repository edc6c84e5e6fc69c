#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/time/ole_date.h"

namespace kestrova::search {

// What the search dialog leaves behind for the report list.
// What the search dialog's twenty options look for, by their numbers (as
// SearchCriteria keeps them).
enum class SearchKind : std::int16_t {
  AllText = 1,
  ControlNumber,
  CaseNumber,
  Remarks,
  Violations,
  MadeBy,
  DateEntered,
  OccurredFrom,
  ReportedOn,
  ReportedBy,
  People,
  Vehicles,
  Property,
  Narrative,
  CaseNotes,
  DailySummary,
  WeeklySummary,
  MonthlySummary,
  QuarterlySummary,
  AnnualSummary,
};
constexpr SearchKind KindOf(int kind) { return static_cast<SearchKind>(kind); }

struct SearchCriteria {
  std::string SearchPhrase;     // trimmed; empty unless a phrase search was confirmed
  std::int16_t SearchKind = 0;  // 1-15 phrase kinds, 16-20 summaries
  std::int16_t IgnoreCapitalization = 0;
  std::int16_t WholeWordOnly = 0;
  double BeginningDate = 0;  // date only; 0 unless a summary was confirmed
};

inline constexpr int kFirstSummaryKind = 16;
inline constexpr int kLastKind = 20;

bool IsPhraseKind(int kind);
bool IsSummaryKind(int kind);
// The option's caption: "Search all text" ... "Annual Summary" (kind 4 keeps
// its trailing blank). Empty for a kind outside 1-20.
std::string_view SearchKindCaption(int kind);

// The main window resets these when it loads: kind 1, ignoring
// capitalization, not whole words; the phrase and date stay.
void ResetForMainWindow(SearchCriteria& criteria);

// The dialog as it closes.
struct FindDialogState {
  int selectedKind = 1;    // the first selected option
  std::string phraseText;  // the phrase box, as typed
  bool ignoreCapitalization = true;
  bool wholeWordOnly = false;
  std::optional<time::DateTime> pickedDate;
  bool confirmed = false;
};

struct FindDialogOutcome {
  SearchCriteria criteria;
  // The option's caption for a confirmed summary, kept with the find
  // command to title the list; empty otherwise.
  std::string summaryCaption;
};

// Cancel: no phrase, no date. A confirmed summary: its date without time of
// day. A confirmed phrase: the trimmed phrase (a phrase of blanks is empty,
// so no search starts). The kind and the check boxes are kept in every case.
FindDialogOutcome CloseFindDialog(const FindDialogState& state);

// The question the find button asks before a summary. Monthly, quarterly
// and annual summaries must begin on the first of a month.
struct SummaryQuestion {
  bool valid = false;
  std::string caption;
  std::vector<std::string> lines;
  std::vector<std::string> buttons;
};
SummaryQuestion BuildSummaryQuestion(int kind, const time::DateTime& picked);

// Reports and the search log are stored in Windows-1252: a phrase with
// characters outside it could never match and would be logged as "?", so
// it is refused before any search, naming the characters. Nothing when the
// phrase can be searched for.
struct PhraseRefusal {
  std::string caption;
  std::vector<std::string> lines;
};
std::optional<PhraseRefusal> RefuseUnstorablePhrase(std::string_view phrase);

// Which list the main window shows after the dialog: a phrase search when a
// phrase was left, else a summary when a date was, else nothing changes.
enum class SearchStart { None, Phrase, Summary };
SearchStart StartAfterDialog(const SearchCriteria& criteria);

}  // namespace kestrova::search
