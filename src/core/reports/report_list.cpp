#include "core/reports/report_list.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "core/search/contains_phrase.h"
#include "core/text/fixed_text.h"
#include "core/text/win1252.h"
#include "core/time/date_format.h"

namespace kestrova::reports {
namespace {

// Where the members the list reads lie in a record.
using Member = MemberSpan;
constexpr Member kCaseNumber = SpanOf("CaseNumber");
constexpr Member kTitle = SpanOf("Title");
constexpr Member kViolations = SpanOf("CriminalViolations");
constexpr Member kMadeBy = SpanOf("ReportMadeBy");
constexpr std::size_t kDateEntered = SpanOf("DateEntered").offset;
constexpr std::size_t kOccurredFrom = SpanOf("OccurredFrom").offset;
constexpr Member kLocationOccurred = SpanOf("LocationOccurred");
constexpr std::size_t kReportedOn = SpanOf("ReportedOn").offset;
constexpr Member kLocationReported = SpanOf("LocationReported");
constexpr Member kReportedBy[] = {SpanOf("ReportedByName"), SpanOf("ReportedByContext"), SpanOf("ReportedByContact")};
// name, contact, context for each person, as the search reads them
constexpr Member kPeople[] = {SpanOf("Person1Name"), SpanOf("Person1Contact"), SpanOf("Person1Context"),
                              SpanOf("Person2Name"), SpanOf("Person2Contact"), SpanOf("Person2Context"),
                              SpanOf("Person3Name"), SpanOf("Person3Contact"), SpanOf("Person3Context")};
constexpr Member kVehicles[] = {SpanOf("Vehicle1Description"), SpanOf("Vehicle1Context"), SpanOf("Vehicle1Details"),
                                SpanOf("Vehicle2Description"), SpanOf("Vehicle2Context"), SpanOf("Vehicle2Details"),
                                SpanOf("Vehicle3Description"), SpanOf("Vehicle3Context"), SpanOf("Vehicle3Details")};
constexpr Member kProperty[] = {SpanOf("Property1Item"), SpanOf("Property1Context"), SpanOf("Property1Details"),
                                SpanOf("Property2Item"), SpanOf("Property2Context"), SpanOf("Property2Details"),
                                SpanOf("Property3Item"), SpanOf("Property3Context"), SpanOf("Property3Details")};
constexpr Member kNarrative = SpanOf("Narrative");
constexpr Member kCaseNotes = SpanOf("CaseNotes");
// The end of the last member each group's search reads.
constexpr std::size_t End(Member m) { return m.offset + m.width; }
constexpr std::size_t kTextEnd = End(SpanOf("Property3Details"));

std::string_view Piece(const char* record, Member m) { return text::TrimStored(record + m.offset, m.width); }

double DateAt(const char* record, std::size_t offset) {
  double value;
  std::memcpy(&value, record + offset, sizeof value);
  return value;
}

void AppendDigits(std::string& out, int value, int width) {
  char buffer[8];
  for (int i = width - 1; i >= 0; --i) {
    buffer[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  out.append(buffer, static_cast<std::size_t>(width));
}

// "mm/dd/yyyy" and "yyyymmddhhnnss" are written for every row, so they are
// written directly rather than through the general pattern formatter.
std::string ShortDate(double value) {
  const auto dt = time::FromOleDate(value);
  if (!dt) return {};
  std::string out;
  out.reserve(10);
  AppendDigits(out, dt->month, 2);
  out.push_back('/');
  AppendDigits(out, dt->day, 2);
  out.push_back('/');
  AppendDigits(out, dt->year, 4);
  return out;
}

std::string Stamp(double value) {
  const auto dt = time::FromOleDate(value);
  if (!dt) return {};
  std::string out;
  out.reserve(14);
  AppendDigits(out, dt->year, 4);
  AppendDigits(out, dt->month, 2);
  AppendDigits(out, dt->day, 2);
  AppendDigits(out, dt->hour, 2);
  AppendDigits(out, dt->minute, 2);
  AppendDigits(out, dt->second, 2);
  return out;
}

void Add(std::string& text, std::string_view piece) {
  text.append(piece);
  text.push_back(' ');
}

void AddAll(std::string& text, const char* record, const Member* members, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) Add(text, Piece(record, members[i]));
}

void AddDate(std::string& text, double value) {
  // Both forms the user might type: "Jan 05, 2024 3:05pm" and "01/05/2024".
  if (const auto shown = time::FormatOleDate(value, time::kDateTimeFormat)) Add(text, *shown);
  Add(text, ShortDate(value));
}

// How much of each record a request needs to read.
std::size_t NeededPrefix(const ListRequest& r) {
  std::size_t prefix = kDateEntered + 8;  // the row's own members
  if (!r.flags.FullListShown && r.flags.PhraseSearchActive) {
    using K = search::SearchKind;
    switch (search::KindOf(r.criteria.SearchKind)) {
      case K::AllText: prefix = kTextEnd; break;
      case K::OccurredFrom: prefix = kOccurredFrom + 8; break;
      case K::ReportedOn: prefix = kReportedOn + 8; break;
      case K::ReportedBy: prefix = End(kReportedBy[2]); break;
      case K::People: prefix = End(kPeople[7]); break;
      case K::Vehicles: prefix = End(kVehicles[8]); break;
      case K::Property: prefix = kTextEnd; break;
      case K::Narrative: prefix = End(kNarrative); break;
      case K::CaseNotes: prefix = End(kCaseNotes); break;
      default: break;
    }
  }
  return prefix;
}

std::string Matches(std::size_t n) { return " (" + std::to_string(n) + (n == 1 ? " match) " : " matches) "); }

// Case-insensitive order of the sort keys, on their stored bytes.
std::string FoldedKey(std::string_view win1252) {
  std::string folded(win1252);
  for (char& c : folded) c = static_cast<char>(search::LowerByte(static_cast<unsigned char>(c)));
  return folded;
}

}  // namespace

std::string SearchText(int kind, const char* record) {
  std::string text;
  using K = search::SearchKind;
  switch (search::KindOf(kind)) {
    case K::AllText: {
      Add(text, Stamp(DateAt(record, 0)));
      Add(text, Piece(record, kCaseNumber));
      Add(text, Piece(record, kViolations));
      Add(text, Piece(record, kTitle));
      Add(text, Piece(record, kMadeBy));
      Add(text, Piece(record, kLocationOccurred));
      Add(text, Piece(record, kLocationReported));
      AddAll(text, record, kReportedBy, std::size(kReportedBy));
      AddAll(text, record, kPeople, std::size(kPeople));
      AddAll(text, record, kVehicles, std::size(kVehicles));
      AddAll(text, record, kProperty, std::size(kProperty));
      break;
    }
    case K::ControlNumber: Add(text, Stamp(DateAt(record, 0))); break;
    case K::CaseNumber: Add(text, Piece(record, kCaseNumber)); break;
    case K::Remarks: Add(text, Piece(record, kTitle)); break;
    case K::Violations: Add(text, Piece(record, kViolations)); break;
    case K::MadeBy: Add(text, Piece(record, kMadeBy)); break;
    case K::DateEntered: AddDate(text, DateAt(record, kDateEntered)); break;
    case K::OccurredFrom:
      if (DateAt(record, kOccurredFrom) != 0) AddDate(text, DateAt(record, kOccurredFrom));
      break;
    case K::ReportedOn:
      if (DateAt(record, kReportedOn) != 0) AddDate(text, DateAt(record, kReportedOn));
      break;
    case K::ReportedBy: AddAll(text, record, kReportedBy, std::size(kReportedBy)); break;
    case K::People: AddAll(text, record, kPeople, std::size(kPeople)); break;
    case K::Vehicles: AddAll(text, record, kVehicles, std::size(kVehicles)); break;
    case K::Property: AddAll(text, record, kProperty, std::size(kProperty)); break;
    case K::Narrative: Add(text, Piece(record, kNarrative)); break;
    case K::CaseNotes: Add(text, Piece(record, kCaseNotes)); break;
    default: break;
  }
  return text;
}

bool InSummaryPeriod(int kind, double beginning, double entered) {
  if (entered < beginning) return false;
  using K = search::SearchKind;
  const K k = search::KindOf(kind);
  if (k == K::DailySummary) return entered < beginning + 1;
  if (k == K::WeeklySummary) return entered <= beginning + 7;
  const int months = k == K::MonthlySummary ? 1 : k == K::QuarterlySummary ? 3 : k == K::AnnualSummary ? 12 : 0;
  if (months == 0) return false;
  const auto start = time::FromOleDate(beginning);
  if (!start) return false;
  return entered <= time::ToOleDate(time::AddMonths(*start, months));
}

GridPosition FullListPosition(int rowCount, int& savedRow, int& savedTopRow) {
  GridPosition p;
  if (savedRow >= 1) {
    p.currentRow = std::min(savedRow, rowCount);
    savedRow = 0;
  } else {
    p.currentRow = rowCount;
  }
  if (savedTopRow >= 1) {
    p.topRow = std::min(savedTopRow, rowCount);
    savedTopRow = 0;
  } else {
    p.topRow = p.currentRow;
  }
  return p;
}

Result<ReportList> BuildReportList(const std::filesystem::path& folder, const ListRequest& request,
                                   const DataFileOptions& options) {
  ReportList list;
  list.rightColumnHeading = std::string(request.show == ShowOption::Remarks ? kRemarksHeading : kViolationsHeading);
  const bool inactive = request.display == DisplayList::Inactive;
  const ListFlags& f = request.flags;
  const search::SearchCriteria& c = request.criteria;
  const int kind = c.SearchKind;
  const bool phrase = !f.FullListShown && f.PhraseSearchActive;
  const bool summary = !f.FullListShown && !f.PhraseSearchActive && f.SummaryActive;
  const search::PhraseMatcher matcher(text::Utf8ToWin1252(c.SearchPhrase), c.IgnoreCapitalization, c.WholeWordOnly);
  const Member right = request.show == ShowOption::Remarks ? kTitle : kViolations;

  std::vector<std::string> folded;
  Status scanned = ScanRecordHeads(
      folder, NeededPrefix(request),
      [&](std::int32_t n, const char* record, std::uint8_t status) {
        const bool isInactive = status == kInactiveList;
        if (isInactive) {
          ++list.counts.InactiveCount;
        } else {
          ++list.counts.ActiveCount;
        }
        if (isInactive != inactive) return true;
        const double entered = DateAt(record, kDateEntered);
        bool take = false;
        if (f.FullListShown) {
          take = true;
        } else if (phrase) {
          // A kind that searches one member searches it where it lies: its
          // trailing blank cannot be part of a trimmed phrase.
          using K = search::SearchKind;
          const K k = search::KindOf(kind);
          const Member* single = k == K::CaseNumber   ? &kCaseNumber
                                 : k == K::Remarks    ? &kTitle
                                 : k == K::Violations ? &kViolations
                                 : k == K::MadeBy     ? &kMadeBy
                                 : k == K::Narrative  ? &kNarrative
                                 : k == K::CaseNotes  ? &kCaseNotes
                                                      : nullptr;
          take = single ? matcher.Matches(Piece(record, *single)) : matcher.Matches(SearchText(kind, record));
        } else if (summary) {
          take = InSummaryPeriod(kind, c.BeginningDate, entered);
        }
        if (!take) return true;
        ListRow row;
        const std::string_view caseNumber = Piece(record, kCaseNumber);
        row.caseNumber = text::Win1252ToUtf8(caseNumber);
        row.dateEntered = ShortDate(entered);
        row.rightColumn = text::Win1252ToUtf8(Piece(record, right));
        row.recordNumber = n;
        if (request.sort == SortOption::CaseNumber) {
          row.sortKey = row.caseNumber;
          folded.push_back(FoldedKey(caseNumber));
        } else {
          row.sortKey = Stamp(entered);
          folded.push_back(row.sortKey);
        }
        list.rows.push_back(std::move(row));
        return true;
      },
      options);
  if (!scanned.ok()) return scanned.error();

  if (list.rows.size() > 1) {
    std::vector<std::size_t> order(list.rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return folded[a] < folded[b]; });
    std::vector<ListRow> sorted;
    sorted.reserve(list.rows.size());
    for (std::size_t i : order) sorted.push_back(std::move(list.rows[i]));
    list.rows = std::move(sorted);
  }

  const std::size_t n = list.rows.size();
  if (f.FullListShown) {
    if (n > 0) {
      list.caption = std::string(" All ") + (inactive ? "Inactive" : "Active") + " Reports (" +
                     std::to_string(inactive ? list.counts.InactiveCount : list.counts.ActiveCount) + ") ";
    }
    return list;
  }
  if (!phrase && !summary) return list;

  list.searched = true;
  const std::string summaryCaption =
      request.summaryCaption.empty() ? std::string(search::SearchKindCaption(kind)) : request.summaryCaption;
  const std::string beginning = ShortDate(c.BeginningDate);
  const std::string dateLead =
      search::KindOf(kind) == search::SearchKind::DailySummary ? "for " : "with a beginning date of ";
  if (phrase) {
    list.searchLogDescription = "'" + c.SearchPhrase + "'";
  } else {
    list.searchLogDescription = summaryCaption + " starting " + beginning;
  }
  if (n > 0) {
    if (phrase) {
      list.caption = " Sub-list of reports containing '" + c.SearchPhrase + "'" + Matches(n);
    } else {
      list.caption = summaryCaption + " of reports " + dateLead + beginning + Matches(n);
    }
    return list;
  }
  list.noMatches = true;
  if (phrase) {
    list.noMatchLines = {"There were no matches", "searching for", "", c.SearchPhrase};
  } else {
    list.noMatchLines = {"There were no matches", "for a " + summaryCaption + " of reports ", dateLead + beginning};
  }
  return list;
}

}  // namespace kestrova::reports
