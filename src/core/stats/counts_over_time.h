#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/reports/data_file.h"
#include "core/status.h"
#include "core/time/ole_date.h"

// Reports over time: how many a day, week, month, quarter or year, and what
// their property items were worth, optionally broken down by one member.
namespace kestrova::stats {

enum class Period { Day, Week, Month, Quarter, Year };  // a week begins on Monday
enum class DateMember { Entered, OccurredFrom, ReportedOn };
enum class Split { None, ListStatus, Violations, MadeBy, PropertyContext };
enum class Lists { Active, Inactive, All };

// A chart of more periods than this is refused rather than drawn.
inline constexpr std::size_t kMostPeriods = 5000;
// A breakdown keeps its most frequent groups; the rest go together.
inline constexpr std::size_t kMostGroups = 10;
inline constexpr std::string_view kOtherGroup = "Other";
// The group of a report (or item) whose member is blank.
inline constexpr std::string_view kBlankGroup = "(none)";
// No property item is worth a hundred billion dollars: a stored value
// beyond it (in ten-thousandths) is a damaged record, not an amount typed.
inline constexpr std::int64_t kLargestValue = 1'000'000'000'000'000;

struct CountRequest {
  Period period = Period::Month;
  DateMember date = DateMember::Entered;
  Split split = Split::None;
  Lists lists = Lists::Active;
  // Only these reports of the lists, by record number (the rows a search or
  // summary shows); every report of the lists when absent.
  std::optional<std::vector<std::int32_t>> records;
  // The span, both days included (their time of day is ignored). A missing
  // end is the first or last day a counted report carries.
  std::optional<time::DateTime> from;
  std::optional<time::DateTime> to;
};

// Reports, and the sum of their property values in ten-thousandths.
struct Figure {
  std::int64_t count = 0;
  std::int64_t value = 0;

  friend bool operator==(const Figure&, const Figure&) = default;
};

struct PeriodFigures {
  time::DateTime start;  // the period's first day, at midnight
  Figure total;
  std::vector<Figure> groups;  // one per TimeFigures::groups

  friend bool operator==(const PeriodFigures&, const PeriodFigures&) = default;
};

struct Span {
  time::DateTime from;  // days, at midnight
  time::DateTime to;

  friend bool operator==(const Span&, const Span&) = default;
};

struct TimeFigures {
  Period period = Period::Month;
  DateMember date = DateMember::Entered;
  Split split = Split::None;
  // The days counted; none when nothing was dated and no span was asked for.
  std::optional<Span> span;
  // The groups of the split in UTF-8, most frequent first, "Other" last.
  // A report falls in one group, except with the property context split:
  // its groups count property items (a report holds up to three), each
  // item's value going to its own context.
  std::vector<std::string> groups;
  std::vector<PeriodFigures> periods;  // every period of the span, in order, empty ones too
  Figure noDate;                       // reports without the chosen date, or with a damaged one
  std::vector<Figure> noDateGroups;
  std::int64_t reports = 0;        // the reports looked at: the periods' counts, noDate and outsideSpan
  std::int64_t outsideSpan = 0;    // dated before or after the span
  std::int64_t damagedDates = 0;   // counted under noDate although a date is stored
  std::int64_t damagedValues = 0;  // property values left out of the sums

  bool groupsCountItems() const { return split == Split::PropertyContext; }
};

// Counts the reports of a data folder in one pass over the heads of its
// records, holding no more than one figure per group and period. Refuses
// (Invalid) a span that would make more than kMostPeriods periods, or one
// that ends before it begins.
Result<TimeFigures> CountOverTime(const std::filesystem::path& folder, const CountRequest& request,
                                  const reports::DataFileOptions& options = {});

// The first day of the period a day falls in.
time::DateTime PeriodStart(Period period, const time::DateTime& day);
// How many periods from one day's to another's, both included (0 when the
// second lies before the first).
std::int64_t PeriodsBetween(Period period, const time::DateTime& from, const time::DateTime& to);

}  // namespace kestrova::stats
