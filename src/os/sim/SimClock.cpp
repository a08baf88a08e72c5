// The simulated clock: a UTC moment and a fixed offset of local time, and the conversions
// between file times, local file times, calendar times and MS-DOS dates.
#include <stdexcept>

#include "os/sim/SimOs.h"

namespace os {
namespace {

constexpr std::int64_t kTicksPerMillisecond = 10'000;
constexpr std::int64_t kTicksPerSecond = 1000 * kTicksPerMillisecond;
constexpr std::int64_t kTicksPerMinute = 60 * kTicksPerSecond;
constexpr std::int64_t kTicksPerDay = 86'400 * kTicksPerSecond;
constexpr std::int64_t kDaysFrom1601To1970 = 134'774;

// Days since 1 January 1970 of a date in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool ValidFields(int year, int month, int day, int hour, int minute, int second, int ms) {
  return year >= 1601 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month) &&
         hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59 &&
         ms >= 0 && ms <= 999;
}

}  // namespace

FileTime SimOs::ToFileTime(int year, int month, int day, int hour, int minute, int second,
                           int milliseconds) {
  if (!ValidFields(year, month, day, hour, minute, second, milliseconds)) {
    throw std::invalid_argument("not a calendar time from 1601 on");
  }
  const std::int64_t days =
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
      kDaysFrom1601To1970;
  const std::int64_t ticks = days * kTicksPerDay + hour * 60 * kTicksPerMinute +
                             minute * kTicksPerMinute + second * kTicksPerSecond +
                             milliseconds * kTicksPerMillisecond;
  return FileTime{static_cast<std::uint64_t>(ticks)};
}

SystemTime SimOs::ToSystemTime(FileTime time) {
  const auto ticks = static_cast<std::int64_t>(time.ticks);
  const std::int64_t days = ticks / kTicksPerDay;
  std::int64_t rest = ticks % kTicksPerDay;
  std::int64_t year = 0;
  unsigned month = 0;
  unsigned day = 0;
  CivilFromDays(days - kDaysFrom1601To1970, year, month, day);
  SystemTime st;
  st.year = static_cast<std::uint16_t>(year);
  st.month = static_cast<std::uint16_t>(month);
  st.day = static_cast<std::uint16_t>(day);
  st.dayOfWeek = static_cast<std::uint16_t>((days + 1) % 7);  // 1 January 1601 was a Monday
  st.hour = static_cast<std::uint16_t>(rest / (60 * kTicksPerMinute));
  rest %= 60 * kTicksPerMinute;
  st.minute = static_cast<std::uint16_t>(rest / kTicksPerMinute);
  rest %= kTicksPerMinute;
  st.second = static_cast<std::uint16_t>(rest / kTicksPerSecond);
  rest %= kTicksPerSecond;
  st.milliseconds = static_cast<std::uint16_t>(rest / kTicksPerMillisecond);
  return st;
}

void SimOs::SetLocalTime(int year, int month, int day, int hour, int minute, int second,
                         int milliseconds) {
  const FileTime local = ToFileTime(year, month, day, hour, minute, second, milliseconds);
  now_.ticks = local.ticks - static_cast<std::int64_t>(utcOffsetMinutes_) * kTicksPerMinute;
}

void SimOs::SetUtcOffset(int minutes) {
  utcOffsetMinutes_ = minutes;
}

void SimOs::AdvanceClock(std::int64_t milliseconds) {
  now_.ticks += static_cast<std::uint64_t>(milliseconds * kTicksPerMillisecond);
}

SystemTime SimOs::GetLocalTime() {
  FileTime local;
  FileTimeToLocalFileTime(now_, local);
  return ToSystemTime(local);
}

bool SimOs::FileTimeToLocalFileTime(FileTime utc, FileTime& local) {
  const std::int64_t shift = static_cast<std::int64_t>(utcOffsetMinutes_) * kTicksPerMinute;
  const auto ticks = static_cast<std::int64_t>(utc.ticks);
  if (ticks < 0 || ticks + shift < 0) {
    lastError_ = kErrorInvalidParameter;
    return false;
  }
  local.ticks = static_cast<std::uint64_t>(ticks + shift);
  return true;
}

bool SimOs::LocalFileTimeToFileTime(FileTime local, FileTime& utc) {
  const std::int64_t shift = static_cast<std::int64_t>(utcOffsetMinutes_) * kTicksPerMinute;
  const auto ticks = static_cast<std::int64_t>(local.ticks);
  if (ticks < 0 || ticks - shift < 0) {
    lastError_ = kErrorInvalidParameter;
    return false;
  }
  utc.ticks = static_cast<std::uint64_t>(ticks - shift);
  return true;
}

bool SimOs::FileTimeToDosDateTime(FileTime time, std::uint16_t& date, std::uint16_t& dosTime) {
  if (static_cast<std::int64_t>(time.ticks) < 0) {
    lastError_ = kErrorInvalidParameter;
    return false;
  }
  const SystemTime st = ToSystemTime(time);
  if (st.year < 1980 || st.year > 2107) {
    lastError_ = kErrorInvalidParameter;
    return false;
  }
  date = static_cast<std::uint16_t>(((st.year - 1980) << 9) | (st.month << 5) | st.day);
  dosTime = static_cast<std::uint16_t>((st.hour << 11) | (st.minute << 5) | (st.second / 2));
  return true;
}

bool SimOs::DosDateTimeToFileTime(std::uint16_t date, std::uint16_t dosTime, FileTime& time) {
  const int year = 1980 + (date >> 9);
  const int month = (date >> 5) & 0x0F;
  const int day = date & 0x1F;
  const int hour = dosTime >> 11;
  const int minute = (dosTime >> 5) & 0x3F;
  const int second = (dosTime & 0x1F) * 2;
  if (!ValidFields(year, month, day, hour, minute, second, 0)) {
    lastError_ = kErrorInvalidParameter;
    return false;
  }
  time = ToFileTime(year, month, day, hour, minute, second);
  return true;
}

}  // namespace os
