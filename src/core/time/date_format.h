#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/time/ole_date.h"

namespace kestrova::time {

// The patterns the program shows dates in.
inline constexpr std::string_view kDateFormat = "mm/dd/yyyy";
inline constexpr std::string_view kTimeFormat = "hh:nn:ss";
inline constexpr std::string_view kDateTimeFormat = "MMM dd, yyyy h:nnam/pm";
inline constexpr std::string_view kControlNumberFormat = "yyyymmddhhnnss";
inline constexpr std::string_view kPrintedFormat = "mm/dd/yyyy hh:mm";
inline constexpr std::string_view kLongDateFormat = "DDDD MMMM d, yyyy";
inline constexpr std::string_view kWeekdayTipFormat = " dddd ";

std::string_view MonthName(int month);      // "January"
std::string_view WeekdayName(int weekday);  // 0 = "Sunday"

// Formats a moment with a date pattern of the kind the program uses. Letters
// are matched without regard to case:
//   d dd ddd dddd   day, two-digit day, "Mon", "Monday"
//   m mm mmm mmmm   month, two-digit month, "Jan", "January"; m and mm are
//                   minutes right after an hour or right before seconds
//   yy yyyy         two- and four-digit year
//   h hh n nn s ss  hour, minute, second (hour on a 12-hour clock when the
//                   pattern holds am/pm or a/p)
//   am/pm a/p       "am"/"pm" or "a"/"p", in the case written in the pattern
// Anything else is copied as it stands.
std::string FormatDateTime(const DateTime& dt, std::string_view pattern);

// Formats a stored date value; nothing when it is not a valid date.
std::optional<std::string> FormatOleDate(double value, std::string_view pattern);

// The 14-digit control number, or "n/a" for 0.
std::string FormatControlNumber(double controlNumber);

}  // namespace kestrova::time
