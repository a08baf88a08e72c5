#include "DayCount.h"

#include <cmath>

#include "Errors.h"

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;

// Day 0 of the day count, 30 December 1899, counted from 1 January 1970.
constexpr std::int64_t kEpochShift = 25'569;

// Day counts of 1 January 0001 and of 1 January 10000, the first day out of range.
constexpr std::int64_t kFirstDay = -693'593;
constexpr std::int64_t kEndDay = 2'958'466;

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1 January 1970 to a date of the proleptic Gregorian calendar (the usual
// era-of-400-years method, exact for every year in range).
std::int64_t DaysFromCivil(int year, int month, int day) {
  const std::int64_t y = month <= 2 ? year - 1 : year;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146'097 + dayOfEra - 719'468;
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
  days += 719'468;
  const std::int64_t era = (days >= 0 ? days : days - 146'096) / 146'097;
  const std::int64_t dayOfEra = days - era * 146'097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

}  // namespace

std::optional<double> TryEncodeDayCount(int year, int month, int day, int hour, int minute,
                                        int second, int millisecond) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 59 || millisecond < 0 || millisecond > 999) {
    return std::nullopt;
  }
  const std::int64_t days = DaysFromCivil(year, month, day) + kEpochShift;
  const std::int64_t msOfDay = ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
  // Both operands are exact and each operation rounds once, so the result is the double
  // nearest to days + msOfDay / 86,400,000 whatever unit the time was counted in.
  const double fraction = static_cast<double>(msOfDay) / static_cast<double>(kMsPerDay);
  const double whole = static_cast<double>(days);
  return days >= 0 ? whole + fraction : whole - fraction;
}

double EncodeDayCount(int year, int month, int day, int hour, int minute, int second,
                      int millisecond) {
  const std::optional<double> result =
      TryEncodeDayCount(year, month, day, hour, minute, second, millisecond);
  if (!result) throw EAbort();
  return *result;
}

std::optional<os::SystemTime> DecodeDayCount(double dayCount) {
  // Checked before any conversion to an integer, which would be undefined for NaN, the
  // infinities and huge values.
  if (!std::isfinite(dayCount) || dayCount <= static_cast<double>(kFirstDay - 1) ||
      dayCount >= static_cast<double>(kEndDay)) {
    return std::nullopt;
  }
  std::int64_t days = static_cast<std::int64_t>(dayCount);  // towards zero
  // Exact: the difference of a double and its own integer part is representable.
  const double fraction = std::fabs(dayCount - static_cast<double>(days));
  std::int64_t msOfDay = std::llround(fraction * static_cast<double>(kMsPerDay));
  if (msOfDay >= kMsPerDay) {
    // 23:59:59.9996 and later is midnight of the next calendar day.
    msOfDay -= kMsPerDay;
    ++days;
  }
  if (days < kFirstDay || days >= kEndDay) return std::nullopt;

  int year = 0;
  int month = 0;
  int day = 0;
  CivilFromDays(days - kEpochShift, year, month, day);
  os::SystemTime time;
  time.year = static_cast<std::uint16_t>(year);
  time.month = static_cast<std::uint16_t>(month);
  time.day = static_cast<std::uint16_t>(day);
  // Day 0 was a Saturday.
  time.dayOfWeek = static_cast<std::uint16_t>(((days + 6) % 7 + 7) % 7);
  time.hour = static_cast<std::uint16_t>(msOfDay / 3'600'000);
  time.minute = static_cast<std::uint16_t>(msOfDay / 60'000 % 60);
  time.second = static_cast<std::uint16_t>(msOfDay / 1000 % 60);
  time.milliseconds = static_cast<std::uint16_t>(msOfDay % 1000);
  return time;
}

double DayCountFromSystemTime(const os::SystemTime& time) {
  return EncodeDayCount(time.year, time.month, time.day, time.hour, time.minute, time.second,
                        time.milliseconds);
}

std::optional<double> DayCountFromDosDateTime(std::uint16_t dosDate, std::uint16_t dosTime) {
  return TryEncodeDayCount(1980 + (dosDate >> 9), (dosDate >> 5) & 0x0F, dosDate & 0x1F,
                           dosTime >> 11, (dosTime >> 5) & 0x3F, (dosTime & 0x1F) * 2);
}

std::uint32_t DosDateTimeFromDayCount(double dayCount) {
  const std::optional<os::SystemTime> time = DecodeDayCount(dayCount);
  if (!time || time->year < 1980 || time->year > 2099) return 0;
  const std::uint32_t date = static_cast<std::uint32_t>((time->year - 1980) << 9) |
                             static_cast<std::uint32_t>(time->month << 5) | time->day;
  const std::uint32_t clock = static_cast<std::uint32_t>(time->hour << 11) |
                              static_cast<std::uint32_t>(time->minute << 5) |
                              static_cast<std::uint32_t>(time->second / 2);
  return date << 16 | clock;
}
