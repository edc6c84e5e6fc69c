#include "core/time/ole_date.h"

#include <cmath>
#include <cstdio>

namespace kestrova::time {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days since 1 January 1970 for a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t mp = (m + 9) % 12;
  const std::int64_t doy = (153 * mp + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

const std::int64_t kEpoch = DaysFromCivil(1899, 12, 30);

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDate(int year, int month, int day) {
  return year >= kMinYear && year <= kMaxYear && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

bool IsValidDateTime(const DateTime& dt) {
  return IsValidDate(dt.year, dt.month, dt.day) && dt.hour >= 0 && dt.hour < 24 && dt.minute >= 0 && dt.minute < 60 &&
         dt.second >= 0 && dt.second < 60;
}

std::int64_t DaySerial(int year, int month, int day) { return DaysFromCivil(year, month, day) - kEpoch; }

int Weekday(const DateTime& dt) {
  // 30 December 1899 was a Saturday.
  const std::int64_t w = (DaySerial(dt.year, dt.month, dt.day) + 6) % 7;
  return static_cast<int>(w < 0 ? w + 7 : w);
}

double ToOleDate(const DateTime& dt) {
  const auto days = static_cast<double>(DaySerial(dt.year, dt.month, dt.day));
  const double fraction = static_cast<double>(dt.hour * 3600 + dt.minute * 60 + dt.second) / kSecondsPerDay;
  return days >= 0 ? days + fraction : days - fraction;
}

std::optional<DateTime> FromOleDate(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  // Wider than years 100-9999 on purpose: the range check below is exact.
  if (value < -700000.0 || value > 3000000.0) return std::nullopt;
  const double whole = std::trunc(value);
  auto days = static_cast<std::int64_t>(whole);
  auto seconds = static_cast<std::int64_t>(std::llround(std::fabs(value - whole) * kSecondsPerDay));
  if (seconds >= kSecondsPerDay) {
    // 23:59:59.6 rounds up to midnight of the following calendar day.
    seconds -= kSecondsPerDay;
    days += 1;
  }
  DateTime dt;
  CivilFromDays(days + kEpoch, dt.year, dt.month, dt.day);
  if (dt.year < kMinYear || dt.year > kMaxYear) return std::nullopt;
  dt.hour = static_cast<int>(seconds / 3600);
  dt.minute = static_cast<int>(seconds / 60 % 60);
  dt.second = static_cast<int>(seconds % 60);
  return dt;
}

DateTime AddMonths(const DateTime& dt, int months) {
  DateTime out = dt;
  const int index = dt.year * 12 + (dt.month - 1) + months;
  out.year = index / 12;
  out.month = index % 12 + 1;
  const int last = DaysInMonth(out.year, out.month);
  if (out.day > last) out.day = last;
  return out;
}

std::string ToIsoString(const DateTime& dt) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", dt.year, dt.month, dt.day, dt.hour, dt.minute,
                dt.second);
  return buffer;
}

std::int64_t Clock::Seconds() const { return static_cast<std::int64_t>(std::llround(ToOleDate(Now()) * 86400.0)); }

}  // namespace kestrova::time
