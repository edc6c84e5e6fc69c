#pragma once

#include <optional>
#include <string_view>

#include "core/time/ole_date.h"

namespace kestrova::time {

// Reads a date, a time, or both, in the forms a US-English desktop accepts:
//   01/05/2024   1/5/24   01-05-2024   2024-01-05   Jan 05, 2024   January 5, 2024
//   5 Jan 2024   Friday January 5, 2024   (a weekday must match the date)
//   10:00   10:00:30   3:05 pm   3:05pm   3 pm   (before or after the date)
// Two-digit years 00-29 are 2000-2029, 30-99 are 1930-1999. A month and day
// without a year take currentYear; with currentYear 0 they are refused. A
// time alone lies on 30 December 1899, a date alone at midnight. Blanks
// around and between the parts are allowed; anything else is refused.
std::optional<DateTime> ParseDateTime(std::string_view text, int currentYear = 0);

// ParseDateTime, as a stored value.
std::optional<double> ParseOleDate(std::string_view text, int currentYear = 0);

}  // namespace kestrova::time
