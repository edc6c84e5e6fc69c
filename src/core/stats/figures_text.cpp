#include "core/stats/figures_text.h"

#include <cstdio>

#include "core/output/list_printout.h"
#include "core/text/csv.h"
#include "core/text/currency.h"
#include "core/time/date_format.h"

namespace kestrova::stats {
namespace {

std::string Shown(const time::DateTime& day) { return time::FormatDateTime(day, time::kDateFormat); }

std::string Plural(std::int64_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

}  // namespace

std::string_view PeriodWord(Period period) {
  static constexpr std::string_view kWords[] = {"day", "week", "month", "quarter", "year"};
  return kWords[static_cast<int>(period)];
}

std::string_view PeriodAdjective(Period period) {
  // As the date summaries are called.
  static constexpr std::string_view kWords[] = {"Daily", "Weekly", "Monthly", "Quarterly", "Annual"};
  return kWords[static_cast<int>(period)];
}

std::string_view DateCaption(DateMember date) {
  switch (date) {
    case DateMember::OccurredFrom: return "Date Occurred (from)";
    case DateMember::ReportedOn: return "Date Reported";
    case DateMember::Entered: break;
  }
  return "Date Entered";
}

std::string_view SplitCaption(Split split) {
  switch (split) {
    case Split::ListStatus: return "List";
    case Split::Violations: return "Criminal Violation(s)";
    case Split::MadeBy: return "Report Made By";
    case Split::PropertyContext: return "Property Context";
    case Split::None: break;
  }
  return {};
}

std::string IsoDay(const time::DateTime& day) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", day.year, day.month, day.day);
  return buffer;
}

std::string ValueText(std::int64_t value) {
  std::string shown = text::FormatCurrency(value);
  std::erase(shown, ',');
  return shown;
}

std::string PeriodName(Period period, const time::DateTime& start) {
  switch (period) {
    case Period::Day: return Shown(start);
    // These two are appended, not `"..." + std::string&&`: GCC 12 at -O3
    // warns (-Wrestrict) about the latter.
    case Period::Week: {
      std::string week = "Week of ";
      week += Shown(start);
      return week;
    }
    case Period::Month: return time::FormatDateTime(start, "mmmm yyyy");
    case Period::Quarter: {
      std::string quarter(1, 'Q');
      quarter += std::to_string((start.month - 1) / 3 + 1);
      quarter += ' ';
      quarter += std::to_string(start.year);
      return quarter;
    }
    case Period::Year: return std::to_string(start.year);
  }
  return {};
}

std::string PeriodLabel(Period period, const time::DateTime& start) {
  switch (period) {
    case Period::Day:
    case Period::Week: return time::FormatDateTime(start, "mm/dd/yy");
    case Period::Month: return time::FormatDateTime(start, "mmm yyyy");
    case Period::Quarter:
    case Period::Year: break;
  }
  return PeriodName(period, start);
}

std::string FiguresCsv(const TimeFigures& f) {
  std::string out = "start,count,value";
  for (const std::string& group : f.groups) {
    out += ',';
    out += text::CsvField(group);
  }
  out += "\r\n";
  const auto row = [&](const std::string& start, const Figure& total, const std::vector<Figure>& groups) {
    out += start + "," + std::to_string(total.count) + "," + ValueText(total.value);
    for (const Figure& g : groups) {
      out += ',';
      out += std::to_string(g.count);
    }
    out += "\r\n";
  };
  for (const PeriodFigures& p : f.periods) row(IsoDay(p.start), p.total, p.groups);
  if (f.noDate.count > 0) row("no date", f.noDate, f.noDateGroups);
  return out;
}

std::string ChartLogDescription(const TimeFigures& f) {
  std::string text = std::string(PeriodAdjective(f.period)) + " Chart";
  if (f.span) text += " starting " + Shown(f.span->from) + " through " + Shown(f.span->to);
  return text;
}

std::vector<std::string> ChartTitle(std::string_view listName, const TimeFigures& f, Measure measure,
                                    const time::DateTime& printedAt) {
  std::string what = measure == Measure::Value ? "Property value" : f.groupsCountItems() ? "Property items" : "Reports";
  what += " by " + std::string(PeriodWord(f.period)) + " of " + std::string(DateCaption(f.date));
  if (f.split != Split::None) what += ", by " + std::string(SplitCaption(f.split));
  what += f.span ? ", " + Shown(f.span->from) + " through " + Shown(f.span->to) : std::string(", no dated reports");
  return {std::string(listName), what, "Printed " + output::GeneralDateTime(printedAt)};
}

std::string DamageNote(const TimeFigures& f) {
  std::string note;
  if (f.damagedDates > 0) {
    note = Plural(f.damagedDates, "report has", "reports have") + " a damaged " + std::string(DateCaption(f.date)) +
           " and " + (f.damagedDates == 1 ? "is" : "are") + " counted under \"no date\"";
  }
  if (f.damagedValues > 0) {
    if (!note.empty()) note += "; ";
    note +=
        Plural(f.damagedValues, "damaged property value is", "damaged property values are") + " left out of the sums";
  }
  if (!note.empty()) note += ".";
  return note;
}

}  // namespace kestrova::stats
