#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Dates are stored as OLE automation dates: a double counting days from
// 30 December 1899 at midnight, the fraction being the time of day. For
// negative values the whole part counts days back and the fraction is still
// the time of day (-1.25 is 29 December 1899, 06:00). 0 means "no date".
namespace kestrova::time {

struct DateTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;

  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// The range every date member may hold: 1 January 100 to 31 December 9999.
inline constexpr int kMinYear = 100;
inline constexpr int kMaxYear = 9999;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
bool IsValidDate(int year, int month, int day);
bool IsValidDateTime(const DateTime& dt);

// Days from 30 December 1899 to the given calendar day (negative before it).
std::int64_t DaySerial(int year, int month, int day);

// 0 = Sunday .. 6 = Saturday.
int Weekday(const DateTime& dt);

// The stored value of a calendar moment.
double ToOleDate(const DateTime& dt);

// The calendar moment of a stored value, rounded to the nearest second.
// Nothing when the value is not finite or lies outside years 100-9999.
std::optional<DateTime> FromOleDate(double value);

// Adds whole calendar months, keeping the day where the target month has it
// and otherwise taking its last day (31 January + 1 month = 28/29 February).
DateTime AddMonths(const DateTime& dt, int months);

// "YYYY-MM-DDTHH:MM:SS", the form used by exports.
std::string ToIsoString(const DateTime& dt);

// The clock the core is handed; it never reads the system clock itself.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime Now() const = 0;
  // Seconds counted from a fixed moment, for what happens every few seconds
  // (the seconds of the minute are those of Now()).
  virtual std::int64_t Seconds() const;
};

}  // namespace kestrova::time
