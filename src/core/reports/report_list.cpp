#include "core/reports/report_list.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "core/reports/report_heads.h"
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

// Stored text as UTF-8: itself when it is plain ASCII, as most is.
std::string_view Utf8(std::string_view win1252, std::string& scratch) {
  for (const char c : win1252) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      text::Win1252ToUtf8(win1252, scratch);
      return scratch;
    }
  }
  return win1252;
}

void Prefetch(const char* head) {
#if defined(__GNUC__)
  __builtin_prefetch(head);
  __builtin_prefetch(head + 64);
  __builtin_prefetch(head + 128);
#else
  (void)head;
#endif
}

// Whether a request is answered from the heads of the reports alone.
bool ServedByHeads(const ListRequest& r) {
  if (r.flags.FullListShown || !r.flags.PhraseSearchActive) return true;
  using K = search::SearchKind;
  switch (search::KindOf(r.criteria.SearchKind)) {
    case K::ControlNumber:
    case K::CaseNumber:
    case K::Remarks:
    case K::Violations:
    case K::MadeBy:
    case K::DateEntered: return true;
    default: return false;
  }
}

// Which reports of the chosen list a request takes.
class Taker {
 public:
  explicit Taker(const ListRequest& r)
      : f_(r.flags),
        c_(r.criteria),
        kind_(search::KindOf(c_.SearchKind)),
        phrase_(!f_.FullListShown && f_.PhraseSearchActive),
        summary_(!f_.FullListShown && !f_.PhraseSearchActive && f_.SummaryActive),
        matcher_(text::Utf8ToWin1252(c_.SearchPhrase), c_.IgnoreCapitalization, c_.WholeWordOnly) {
    // A kind that searches one member searches it where it lies: its
    // trailing blank cannot be part of a trimmed phrase.
    using K = search::SearchKind;
    single_ = kind_ == K::CaseNumber   ? &kCaseNumber
              : kind_ == K::Remarks    ? &kTitle
              : kind_ == K::Violations ? &kViolations
              : kind_ == K::MadeBy     ? &kMadeBy
              : kind_ == K::Narrative  ? &kNarrative
              : kind_ == K::CaseNotes  ? &kCaseNotes
                                       : nullptr;
  }
  bool phrase() const { return phrase_; }
  bool summary() const { return summary_; }

  bool Takes(const char* record) const {
    if (f_.FullListShown) return true;
    if (phrase_) {
      return single_ ? matcher_.Matches(Piece(record, *single_))
                     : matcher_.Matches(SearchText(static_cast<int>(kind_), record));
    }
    if (summary_) return InSummaryPeriod(static_cast<int>(kind_), c_.BeginningDate, DateAt(record, kDateEntered));
    return false;
  }

 private:
  const ListFlags& f_;
  const search::SearchCriteria& c_;
  search::SearchKind kind_;
  bool phrase_;
  bool summary_;
  search::PhraseMatcher matcher_;
  const Member* single_ = nullptr;
};

// A report's row, from its stored bytes (a head is enough).
ListRow MakeRow(const char* record, std::int32_t n, Member right, SortOption sort, std::string& scratch) {
  ListRow row;
  row.caseNumber = Utf8(Piece(record, kCaseNumber), scratch);
  const auto entered = time::FromOleDate(DateAt(record, kDateEntered));
  if (entered) {
    char digits[14];
    const auto put = [&](int at, int value, int width) {
      for (int i = width - 1; i >= 0; --i, value /= 10) digits[at + i] = static_cast<char>('0' + value % 10);
    };
    put(0, entered->year, 4);
    put(4, entered->month, 2);
    put(6, entered->day, 2);
    put(8, entered->hour, 2);
    put(10, entered->minute, 2);
    put(12, entered->second, 2);
    const char shown[10] = {digits[4], digits[5], '/',       digits[6], digits[7],
                            '/',       digits[0], digits[1], digits[2], digits[3]};
    row.dateEntered = ListText(std::string_view(shown, sizeof shown));
    if (sort == SortOption::Entered) row.sortKey = ListText(std::string_view(digits, sizeof digits));
  }
  row.rightColumn = ListText(Utf8(Piece(record, right), scratch));
  row.recordNumber = n;
  if (sort == SortOption::CaseNumber) row.sortKey = ListText(std::string_view(row.caseNumber));
  return row;
}

// The caption and, for a search, its notice and log line.
void Finish(ReportList& list, const ListRequest& request, const Taker& taker) {
  const bool inactive = request.display == DisplayList::Inactive;
  const search::SearchCriteria& c = request.criteria;
  const int kind = c.SearchKind;
  const std::size_t n = list.rows.size();
  if (request.flags.FullListShown) {
    if (n > 0) {
      list.caption = std::string(" All ") + (inactive ? "Inactive" : "Active") + " Reports (" +
                     std::to_string(inactive ? list.counts.InactiveCount : list.counts.ActiveCount) + ") ";
    }
    return;
  }
  const bool phrase = taker.phrase();
  if (!phrase && !taker.summary()) return;

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
    return;
  }
  list.noMatches = true;
  if (phrase) {
    list.noMatchLines = {"There were no matches", "searching for", "", c.SearchPhrase};
  } else {
    list.noMatchLines = {"There were no matches", "for a " + summaryCaption + " of reports ", dateLead + beginning};
  }
}

}  // namespace

ListText::ListText(std::string_view text) {
  if (text.size() <= kInPlace) {
    std::memcpy(bytes_, text.data(), text.size());
    Inline(text.size());
    return;
  }
  char* block = new char[text.size()];
  std::memcpy(block, text.data(), text.size());
  const auto size = static_cast<std::uint32_t>(text.size());
  std::memcpy(bytes_, &block, sizeof block);
  std::memcpy(bytes_ + sizeof block, &size, sizeof size);
  bytes_[kInPlace] = static_cast<char>(kOnHeap);
}

ListText::ListText(ListText&& other) noexcept {
  std::memcpy(bytes_, other.bytes_, sizeof bytes_);
  other.Inline(0);
}

ListText& ListText::operator=(const ListText& other) {
  if (this != &other) *this = ListText(other.view());
  return *this;
}

ListText& ListText::operator=(ListText&& other) noexcept {
  if (this != &other) {
    Release();
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    other.Inline(0);
  }
  return *this;
}

ListText::~ListText() { Release(); }

void ListText::Release() {
  if (!OnHeap()) return;
  char* block = nullptr;
  std::memcpy(&block, bytes_, sizeof block);
  delete[] block;
  Inline(0);
}

std::string_view ListText::view() const {
  if (!OnHeap()) return std::string_view(bytes_, static_cast<unsigned char>(bytes_[kInPlace]));
  const char* block = nullptr;
  std::uint32_t size = 0;
  std::memcpy(&block, bytes_, sizeof block);
  std::memcpy(&size, bytes_ + sizeof block, sizeof size);
  return std::string_view(block, size);
}

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

Result<ReportList> BuildReportList(const std::filesystem::path& folder, const ListRequest& request, ReportHeads& heads,
                                   const DataFileOptions& options) {
  ReportList list;
  list.rightColumnHeading = std::string(request.show == ShowOption::Remarks ? kRemarksHeading : kViolationsHeading);
  const bool inactive = request.display == DisplayList::Inactive;
  const Taker taker(request);
  const Member right = request.show == ShowOption::Remarks ? kTitle : kViolations;
  std::string scratch;

  if (ServedByHeads(request)) {
    auto refreshed = heads.Refresh(folder, options);
    if (!refreshed.ok()) return refreshed.error();
    list.counts = heads.counts();
    // The list's order is worked out once for the heads; a sub-list keeps
    // it, as stable sorting its part would. The heads are visited in that
    // order, all over memory: each is asked for a few rows ahead, so the
    // wait for memory overlaps the work.
    std::vector<std::int32_t> taken;
    const std::vector<std::int32_t>& order = heads.Order(inactive, request.sort);
    const bool all = request.flags.FullListShown;
    constexpr std::size_t kAhead = 8;
    if (!all) {
      for (std::size_t i = 0; i < order.size(); ++i) {
        if (i + kAhead < order.size()) Prefetch(heads.head(order[i + kAhead]));
        if (taker.Takes(heads.head(order[i]))) taken.push_back(order[i]);
      }
    }
    const std::vector<std::int32_t>& rows = all ? order : taken;
    list.rows.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (i + kAhead < rows.size()) Prefetch(heads.head(rows[i + kAhead]));
      list.rows.push_back(MakeRow(heads.head(rows[i]), rows[i], right, request.sort, scratch));
    }
    Finish(list, request, taker);
    return list;
  }

  // A search of the rest of the reports reads as much of each as it needs.
  std::vector<ListRow> found;
  std::vector<FoldedCaseNumber> caseKeys;
  std::vector<std::int64_t> enteredKeys;
  Status scanned = ScanRecordHeads(
      folder, NeededPrefix(request),
      [&](std::int32_t n, const char* record, const char* tail) {
        const bool isInactive = static_cast<std::uint8_t>(tail[0]) == kInactiveList;
        if (isInactive) {
          ++list.counts.InactiveCount;
        } else {
          ++list.counts.ActiveCount;
        }
        if (isInactive != inactive || !taker.Takes(record)) return true;
        found.push_back(MakeRow(record, n, right, request.sort, scratch));
        if (request.sort == SortOption::CaseNumber) {
          caseKeys.push_back(FoldCaseNumber(Piece(record, kCaseNumber)));
        } else {
          enteredKeys.push_back(EnteredKey(DateAt(record, kDateEntered)));
        }
        return true;
      },
      options);
  if (!scanned.ok()) return scanned.error();
  std::vector<std::uint32_t> order(found.size());
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return request.sort == SortOption::CaseNumber ? caseKeys[a] < caseKeys[b] : enteredKeys[a] < enteredKeys[b];
  });
  list.rows.reserve(found.size());
  for (const std::uint32_t i : order) list.rows.push_back(std::move(found[i]));
  Finish(list, request, taker);
  return list;
}

Result<ReportList> BuildReportList(const std::filesystem::path& folder, const ListRequest& request,
                                   const DataFileOptions& options) {
  ReportHeads heads;
  return BuildReportList(folder, request, heads, options);
}

}  // namespace kestrova::reports
