#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/stats/counts_over_time.h"
#include "core/time/ole_date.h"

// How counts over time are named, written out and logged.
namespace kestrova::stats {

// What a chart shows of each period.
enum class Measure { Reports, Value };

std::string_view PeriodWord(Period period);       // "month"
std::string_view PeriodAdjective(Period period);  // "Monthly"
std::string_view DateCaption(DateMember date);    // "Date Entered"
std::string_view SplitCaption(Split split);       // "Criminal Violation(s)"; empty for none

// "2024-01-15".
std::string IsoDay(const time::DateTime& day);
// A sum of ten-thousandths to the cent, rounded half away from zero, with a
// decimal point and nothing else: "1234.56", "-0.50".
std::string ValueText(std::int64_t value);

// A period as a reader names it: "01/15/2024", "Week of 01/15/2024",
// "January 2024", "Q1 2024", "2024".
std::string PeriodName(Period period, const time::DateTime& start);
// Shorter, under an axis: "01/15/24", "Jan 2024", "Q1 2024", "2024".
std::string PeriodLabel(Period period, const time::DateTime& start);

// The figures as a table for a spreadsheet, UTF-8 with CR LF lines: a header
// "start,count,value" and a column per group, a row per period (ISO dates,
// values to the cent), and a last row "no date" when some reports have none.
std::string FiguresCsv(const TimeFigures& figures);

// What "Search.Log" says of a chart, after "searched for ", in the style of
// the summaries: "Monthly Chart starting 01/01/2024 through 12/31/2024".
std::string ChartLogDescription(const TimeFigures& figures);

// The lines above a saved or printed chart: the list it shows (the list's
// caption), what is counted over which span, and when it was printed.
std::vector<std::string> ChartTitle(std::string_view listName, const TimeFigures& figures, Measure measure,
                                    const time::DateTime& printedAt);

// What a reader should know about damaged reports, in one sentence; empty
// when there were none.
std::string DamageNote(const TimeFigures& figures);

}  // namespace kestrova::stats
