#include "core/stats/counts_over_time.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>
#include <tuple>
#include <unordered_map>

#include "core/reports/report_record.h"
#include "core/search/contains_phrase.h"
#include "core/text/fixed_text.h"
#include "core/text/win1252.h"
#include "core/time/date_format.h"

namespace kestrova::stats {
namespace {

using reports::MemberSpan;
using reports::SpanOf;
using time::DateTime;

constexpr MemberSpan kViolations = SpanOf("CriminalViolations");
constexpr MemberSpan kMadeBy = SpanOf("ReportMadeBy");

struct PropertyItem {
  MemberSpan item, context, details, value;
};
constexpr PropertyItem kProperty[] = {
    {SpanOf("Property1Item"), SpanOf("Property1Context"), SpanOf("Property1Details"), SpanOf("Property1Value")},
    {SpanOf("Property2Item"), SpanOf("Property2Context"), SpanOf("Property2Details"), SpanOf("Property2Value")},
    {SpanOf("Property3Item"), SpanOf("Property3Context"), SpanOf("Property3Details"), SpanOf("Property3Value")},
};

std::size_t DateOffset(DateMember date) {
  switch (date) {
    case DateMember::OccurredFrom: return SpanOf("OccurredFrom").offset;
    case DateMember::ReportedOn: return SpanOf("ReportedOn").offset;
    case DateMember::Entered: break;
  }
  return SpanOf("DateEntered").offset;
}

// The heads the scan reads: up to the chosen date, the split's member and
// the property values, whichever ends last.
std::size_t NeededPrefix(const CountRequest& r) {
  const MemberSpan lastValue = kProperty[2].value;
  return std::max(DateOffset(r.date) + 8, lastValue.offset + lastValue.width);
}

double DateAt(const char* record, std::size_t offset) {
  double value;
  std::memcpy(&value, record + offset, sizeof value);
  return value;
}

std::int64_t ValueAt(const char* record, std::size_t offset) {
  std::int64_t value;
  std::memcpy(&value, record + offset, sizeof value);
  return value;
}

std::int64_t FloorMod(std::int64_t a, std::int64_t m) {
  const std::int64_t r = a % m;
  return r < 0 ? r + m : r;
}

// Periods are numbered so that the next one is the number plus Step: days
// and weeks by their first day's serial, months, quarters and years by how
// many came before since year 0.
std::int64_t KeyOf(Period p, const DateTime& d) {
  switch (p) {
    case Period::Day: return time::DaySerial(d.year, d.month, d.day);
    case Period::Week: {
      const std::int64_t serial = time::DaySerial(d.year, d.month, d.day);
      return serial - FloorMod(serial + 5, 7);  // serial 0 was a Saturday
    }
    case Period::Month: return std::int64_t{d.year} * 12 + (d.month - 1);
    case Period::Quarter: return std::int64_t{d.year} * 4 + (d.month - 1) / 3;
    case Period::Year: return d.year;
  }
  return 0;
}

std::int64_t Step(Period p) { return p == Period::Week ? 7 : 1; }

DateTime NextDay(DateTime d) {
  if (++d.day > time::DaysInMonth(d.year, d.month)) {
    d.day = 1;
    if (++d.month > 12) {
      d.month = 1;
      ++d.year;
    }
  }
  return d;
}

DateTime Next(Period p, DateTime start) {
  switch (p) {
    case Period::Day: return NextDay(start);
    case Period::Week:
      for (int i = 0; i < 7; ++i) start = NextDay(start);
      return start;
    case Period::Month: return time::AddMonths(start, 1);
    case Period::Quarter: return time::AddMonths(start, 3);
    case Period::Year: return time::AddMonths(start, 12);
  }
  return start;
}

DateTime DayOf(const DateTime& d) { return {d.year, d.month, d.day, 0, 0, 0}; }

bool Before(const DateTime& a, const DateTime& b) {
  return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
}

// Adds a value to every sum it belongs in, or to none when one of them
// would leave the currency's range.
bool AddValue(std::int64_t value, std::int64_t* a, std::int64_t* b) {
  std::int64_t sa, sb;
  if (__builtin_add_overflow(*a, value, &sa) || (b && __builtin_add_overflow(*b, value, &sb))) return false;
  *a = sa;
  if (b) *b = sb;
  return true;
}

// Merging groups into "Other" cannot leave the range before ~9,000 values of
// a hundred billion dollars do; should it, the sum stops at the edge.
void Merge(Figure& into, const Figure& f) {
  into.count += f.count;
  if (__builtin_add_overflow(into.value, f.value, &into.value)) {
    into.value = f.value < 0 ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
  }
}

std::string Thousands(std::int64_t n) {
  std::string text = std::to_string(n);
  for (int at = static_cast<int>(text.size()) - 3; at > 0; at -= 3) text.insert(static_cast<std::size_t>(at), 1, ',');
  return text;
}

std::string TooManyPeriods(Period p, const DateTime& from, const DateTime& to, std::int64_t periods) {
  static constexpr const char* kWords[] = {"day", "week", "month", "quarter", "year"};
  const auto shown = [](const DateTime& d) { return time::FormatDateTime(d, time::kDateFormat); };
  return "From " + shown(from) + " through " + shown(to) + " by " + kWords[static_cast<int>(p)] + " makes " +
         Thousands(periods) + " periods, more than a chart can show (" +
         Thousands(static_cast<std::int64_t>(kMostPeriods)) + "). Choose a shorter span or a longer period.";
}

// The groups met so far, by their text folded: blanks at either end
// dropped, runs of blanks inside made one, letters in lower case.
class Groups {
 public:
  int Find(std::string_view stored) {
    Fold(stored, true, key_);
    if (const auto it = ids_.find(key_); it != ids_.end()) return it->second;
    const int id = static_cast<int>(names_.size());
    ids_.emplace(key_, id);
    std::string spelled;
    Fold(stored, false, spelled);
    names_.push_back(spelled.empty() ? std::string(kBlankGroup) : text::Win1252ToUtf8(spelled));
    keys_.push_back(key_);
    return id;
  }
  std::size_t size() const { return names_.size(); }
  const std::string& name(int id) const { return names_[static_cast<std::size_t>(id)]; }
  const std::string& key(int id) const { return keys_[static_cast<std::size_t>(id)]; }

 private:
  static void Fold(std::string_view s, bool lower, std::string& out) {
    out.clear();
    bool blank = false;
    for (const char c : s) {
      if (c == ' ' || c == '\t') {
        blank = true;
        continue;
      }
      if (blank && !out.empty()) out.push_back(' ');
      blank = false;
      out.push_back(lower ? static_cast<char>(search::LowerByte(static_cast<unsigned char>(c))) : c);
    }
  }
  std::unordered_map<std::string, int> ids_;
  std::vector<std::string> names_;
  std::vector<std::string> keys_;
  std::string key_;
};

// A figure per group and period, held only for the pairs that occur.
constexpr std::int64_t kNoDateKey = -(std::int64_t{1} << 30);
std::uint64_t Pack(int group, std::int64_t periodKey) {
  return (static_cast<std::uint64_t>(group) << 32) | static_cast<std::uint32_t>(periodKey - kNoDateKey);
}
int GroupOf(std::uint64_t packed) { return static_cast<int>(packed >> 32); }
std::int64_t PeriodKeyOf(std::uint64_t packed) { return static_cast<std::int64_t>(packed & 0xFFFFFFFFu) + kNoDateKey; }

}  // namespace

DateTime PeriodStart(Period period, const DateTime& day) {
  DateTime d = DayOf(day);
  switch (period) {
    case Period::Day: return d;
    case Period::Week: {
      // Back to Monday, day by day across month and year ends.
      std::int64_t back = time::DaySerial(d.year, d.month, d.day) - KeyOf(period, d);
      while (back-- > 0) {
        if (--d.day < 1) {
          if (--d.month < 1) {
            d.month = 12;
            --d.year;
          }
          d.day = time::DaysInMonth(d.year, d.month);
        }
      }
      return d;
    }
    case Period::Month: return {d.year, d.month, 1, 0, 0, 0};
    case Period::Quarter: return {d.year, (d.month - 1) / 3 * 3 + 1, 1, 0, 0, 0};
    case Period::Year: return {d.year, 1, 1, 0, 0, 0};
  }
  return d;
}

std::int64_t PeriodsBetween(Period period, const DateTime& from, const DateTime& to) {
  const std::int64_t n = (KeyOf(period, to) - KeyOf(period, from)) / Step(period) + 1;
  return n < 0 ? 0 : n;
}

Result<TimeFigures> CountOverTime(const std::filesystem::path& folder, const CountRequest& request,
                                  const reports::DataFileOptions& options) {
  for (const auto& end : {request.from, request.to}) {
    if (end && !time::IsValidDate(end->year, end->month, end->day)) {
      return Error{Error::Kind::Invalid, "The span must begin and end on days of the years 100 to 9999."};
    }
  }
  std::optional<DateTime> from, to;
  if (request.from) from = DayOf(*request.from);
  if (request.to) to = DayOf(*request.to);
  if (from && to) {
    if (Before(*to, *from)) return Error{Error::Kind::Invalid, "The span ends before it begins."};
    const std::int64_t n = PeriodsBetween(request.period, *from, *to);
    if (n > static_cast<std::int64_t>(kMostPeriods)) {
      return Error{Error::Kind::Invalid, TooManyPeriods(request.period, *from, *to, n)};
    }
  }

  TimeFigures f;
  f.period = request.period;
  f.date = request.date;
  f.split = request.split;

  std::vector<std::int32_t> only;
  if (request.records) {
    only = *request.records;
    std::sort(only.begin(), only.end());
  }
  std::size_t nextOnly = 0;
  const std::size_t dateOffset = DateOffset(request.date);
  const Split split = request.split;
  const bool splitting = split != Split::None;

  Groups groups;
  std::unordered_map<std::int64_t, Figure> totals;  // by period key
  std::unordered_map<std::uint64_t, Figure> byGroup;
  std::optional<DateTime> first, last;  // of the reports in the span

  Status scanned = reports::ScanRecordHeads(
      folder, NeededPrefix(request),
      [&](std::int32_t n, const char* record, const char* tail) {
        const bool inactive = static_cast<std::uint8_t>(tail[0]) == reports::kInactiveList;
        if ((request.lists == Lists::Active && inactive) || (request.lists == Lists::Inactive && !inactive)) {
          return true;
        }
        if (request.records) {
          while (nextOnly < only.size() && only[nextOnly] < n) ++nextOnly;
          if (nextOnly == only.size() || only[nextOnly] != n) return true;
        }
        ++f.reports;

        std::int64_t key = kNoDateKey;
        if (const double stored = DateAt(record, dateOffset); stored != 0) {
          if (const auto when = time::FromOleDate(stored)) {
            if ((from && Before(*when, *from)) || (to && Before(*to, *when))) {
              ++f.outsideSpan;
              return true;
            }
            key = KeyOf(request.period, *when);
            if (!first || Before(*when, *first)) first = DayOf(*when);
            if (!last || Before(*last, *when)) last = DayOf(*when);
          } else {
            ++f.damagedDates;
          }
        }
        Figure& total = key == kNoDateKey ? f.noDate : totals[key];
        ++total.count;

        int reportGroup = -1;
        if (split == Split::ListStatus) {
          reportGroup = groups.Find(inactive ? "Inactive" : "Active");
        } else if (split == Split::Violations) {
          reportGroup = groups.Find(text::TrimStored(record + kViolations.offset, kViolations.width));
        } else if (split == Split::MadeBy) {
          reportGroup = groups.Find(text::TrimStored(record + kMadeBy.offset, kMadeBy.width));
        }
        Figure* reportFigure = reportGroup >= 0 ? &byGroup[Pack(reportGroup, key)] : nullptr;
        if (reportFigure) ++reportFigure->count;

        for (const PropertyItem& item : kProperty) {
          std::int64_t value = ValueAt(record, item.value.offset);
          if (value > kLargestValue || value < -kLargestValue) {
            ++f.damagedValues;
            value = 0;
          }
          Figure* itemFigure = reportFigure;
          if (split == Split::PropertyContext) {
            const std::string_view context = text::TrimStored(record + item.context.offset, item.context.width);
            const bool entered = value != 0 || !context.empty() ||
                                 !text::TrimStored(record + item.item.offset, item.item.width).empty() ||
                                 !text::TrimStored(record + item.details.offset, item.details.width).empty();
            if (!entered) continue;
            itemFigure = &byGroup[Pack(groups.Find(context), key)];
            ++itemFigure->count;
          }
          if (value != 0 && !AddValue(value, &total.value, itemFigure ? &itemFigure->value : nullptr)) {
            ++f.damagedValues;
          }
        }
        return true;
      },
      options);
  if (!scanned.ok()) return scanned.error();

  if (!from) from = first ? first : to;
  if (!to) to = last ? last : from;
  std::int64_t firstKey = 0;
  std::size_t periodCount = 0;
  if (from) {
    f.span = Span{*from, *to};
    const std::int64_t n = PeriodsBetween(request.period, *from, *to);
    if (n > static_cast<std::int64_t>(kMostPeriods)) {
      return Error{Error::Kind::Invalid, TooManyPeriods(request.period, *from, *to, n)};
    }
    firstKey = KeyOf(request.period, *from);
    periodCount = static_cast<std::size_t>(n);
  }

  // The most frequent groups keep their names, the rest become "Other".
  std::vector<std::int64_t> sizes(groups.size(), 0);
  for (const auto& [packed, figure] : byGroup) sizes[static_cast<std::size_t>(GroupOf(packed))] += figure.count;
  std::vector<int> order(groups.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](int a, int b) {
    const auto sa = sizes[static_cast<std::size_t>(a)], sb = sizes[static_cast<std::size_t>(b)];
    return sa != sb ? sa > sb : groups.key(a) < groups.key(b);
  });
  std::vector<std::size_t> column(groups.size());
  for (std::size_t rank = 0; rank < order.size(); ++rank) {
    const auto id = static_cast<std::size_t>(order[rank]);
    column[id] = std::min(rank, kMostGroups);
    if (rank < kMostGroups) f.groups.push_back(groups.name(order[rank]));
  }
  if (order.size() > kMostGroups) f.groups.emplace_back(kOtherGroup);
  const std::size_t width = splitting ? f.groups.size() : 0;

  f.periods.resize(periodCount);
  DateTime start = from ? PeriodStart(request.period, *from) : DateTime{};
  for (PeriodFigures& p : f.periods) {
    p.start = start;
    p.groups.resize(width);
    start = Next(request.period, start);
  }
  const auto indexOf = [&](std::int64_t key) {
    return static_cast<std::size_t>((key - firstKey) / Step(request.period));
  };
  for (const auto& [key, figure] : totals) f.periods[indexOf(key)].total = figure;
  f.noDateGroups.resize(width);
  for (const auto& [packed, figure] : byGroup) {
    const std::int64_t key = PeriodKeyOf(packed);
    auto& row = key == kNoDateKey ? f.noDateGroups : f.periods[indexOf(key)].groups;
    Merge(row[column[static_cast<std::size_t>(GroupOf(packed))]], figure);
  }
  return f;
}

}  // namespace kestrova::stats
