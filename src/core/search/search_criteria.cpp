#include "core/search/search_criteria.h"

#include <array>

#include "core/text/fixed_text.h"
#include "core/text/win1252.h"
#include "core/time/date_format.h"

namespace kestrova::search {
namespace {

constexpr std::array<std::string_view, 20> kCaptions = {
    "Search all text",
    "Find by 'Control Number'",
    "Find by 'Case Number'",
    "Search 'Descriptive Remarks' only ",
    "Search 'Criminal Violations' only",
    "Search 'Report Made by...' only",
    "Search 'Date Report Entered' only",
    "Search 'Occurred (from)' date only",
    "Search 'Reported Date' only",
    "Search 'Reported by...' only",
    "Search 'People' tab only",
    "Search 'Vehicle(s)' tab only",
    "Search 'Property' tab only",
    "Search 'Narrative' only",
    "Search 'Case Notes' only",
    "Daily Summary",
    "Weekly Summary",
    "Monthly Summary",
    "Quarterly Summary",
    "Annual Summary",
};

// The second button reads as whole words either way, with O as its key.
constexpr std::string_view kOtherOptionTail = "elect some &other option";

}  // namespace

bool IsPhraseKind(int kind) { return kind >= 1 && kind < kFirstSummaryKind; }
bool IsSummaryKind(int kind) { return kind >= kFirstSummaryKind && kind <= kLastKind; }

std::string_view SearchKindCaption(int kind) {
  if (kind < 1 || kind > kLastKind) return {};
  return kCaptions[static_cast<std::size_t>(kind - 1)];
}

void ResetForMainWindow(SearchCriteria& criteria) {
  criteria.SearchKind = 1;
  criteria.IgnoreCapitalization = 1;
  criteria.WholeWordOnly = 0;
}

FindDialogOutcome CloseFindDialog(const FindDialogState& state) {
  FindDialogOutcome out;
  SearchCriteria& c = out.criteria;
  c.SearchKind = static_cast<std::int16_t>(state.selectedKind);
  c.IgnoreCapitalization = state.ignoreCapitalization ? 1 : 0;
  c.WholeWordOnly = state.wholeWordOnly ? 1 : 0;
  if (!state.confirmed) return out;
  if (IsSummaryKind(state.selectedKind) && state.pickedDate) {
    out.summaryCaption = std::string(SearchKindCaption(state.selectedKind));
    time::DateTime day = *state.pickedDate;
    day.hour = day.minute = day.second = 0;
    c.BeginningDate = time::ToOleDate(day);
  } else if (IsPhraseKind(state.selectedKind)) {
    c.SearchPhrase = std::string(text::Trim(state.phraseText));
  }
  return out;
}

std::optional<PhraseRefusal> RefuseUnstorablePhrase(std::string_view phrase) {
  const std::string bad = text::UnstorableCharacters(phrase);
  if (bad.empty()) return std::nullopt;
  // One blank between the characters, so each can be told apart.
  std::string shown;
  for (std::size_t pos = 0; pos < bad.size();) {
    const std::size_t start = pos;
    (void)text::NextCodePoint(bad, pos);
    if (!shown.empty()) shown += ' ';
    shown.append(bad, start, pos - start);
  }
  return PhraseRefusal{"Characters Not Stored",
                       {"The search phrase holds characters", "that reports cannot store:", "", shown, "",
                        "No report can contain them;", "please remove or replace them."}};
}

SummaryQuestion BuildSummaryQuestion(int kind, const time::DateTime& picked) {
  SummaryQuestion q;
  const std::string caption(SearchKindCaption(kind));
  q.valid = true;
  q.caption = caption;
  using K = SearchKind;
  switch (KindOf(kind)) {
    case K::DailySummary:
      q.lines = {"This will summarize all reports", "for " + time::FormatDateTime(picked, time::kLongDateFormat)};
      break;
    case K::WeeklySummary:
      q.lines = {"This will summarize all reports", "for a one-week period beginning",
                 time::FormatDateTime(picked, time::kLongDateFormat)};
      break;
    default: {
      if (picked.day != 1) {
        q.valid = false;
        q.caption = "Invalid Beginning Date Chosen";
        q.lines = {"Please select the first of a month"};
        break;
      }
      const char* months = KindOf(kind) == K::MonthlySummary     ? "one"
                           : KindOf(kind) == K::QuarterlySummary ? "three"
                                                                 : "twelve";
      q.lines = {"This will summarize all reports", std::string("for a ") + months + " month period",
                 "beginning " + time::FormatDateTime(picked, time::kDateFormat)};
      break;
    }
  }
  if (q.valid) {
    q.buttons = {"&Yes, continue", "&No, s" + std::string(kOtherOptionTail)};
  } else {
    q.buttons = {"Select &another date", "S" + std::string(kOtherOptionTail)};
  }
  return q;
}

SearchStart StartAfterDialog(const SearchCriteria& criteria) {
  if (!criteria.SearchPhrase.empty()) return SearchStart::Phrase;
  if (criteria.BeginningDate != 0) return SearchStart::Summary;
  return SearchStart::None;
}

}  // namespace kestrova::search
