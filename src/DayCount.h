// Day counts: the setup's time stamps. A day count is a double holding the whole days since
// 30 December 1899 00:00 plus the time of day as a fraction of 86,400 seconds, in local time.
// Before that day the whole part is negative and the fraction still counts forwards from
// midnight (-1.25 is 29 December 1899 06:00), so that a value splits into date and time by
// truncation. Valid calendar dates run from 1 January 0001 to 31 December 9999.
//
// The payload builder stamps each catalogue entry with EncodeDayCount, and the setup turns an
// installed file's DOS date back into a day count with the same function, so that a file
// written from the payload compares equal to its entry bit for bit.
#pragma once

#include <cstdint>
#include <optional>

#include "os/Types.h"

// The day count of a local date and time. Gives nothing when a field is out of range
// (month 1-12, a day that the month has, hour 0-23, minute and second 0-59, millisecond
// 0-999, year 1-9999).
//
// The time of day is turned into a fraction in one division of the exact millisecond count,
// and the whole days are added in one further rounding, so the result depends only on the
// instant: 11:58:46.000 gives the same double as seconds / 86400 would, and two callers that
// reach the same whole second by different routes get identical bits.
std::optional<double> TryEncodeDayCount(int year, int month, int day, int hour, int minute,
                                        int second, int millisecond = 0);

// As TryEncodeDayCount; a field out of range raises the quiet error (EAbort).
double EncodeDayCount(int year, int month, int day, int hour, int minute, int second,
                      int millisecond = 0);

// Splits a day count into calendar date, time and day of the week (0 = Sunday). The time of
// day is first rounded to the nearest millisecond, with a carry into the next day, so a value
// made from a whole second comes back as that second and never as the one before it. NaN,
// the infinities and values outside years 1 to 9999 give nothing.
std::optional<os::SystemTime> DecodeDayCount(double dayCount);

// The day count of a local system time, milliseconds included. A system time whose fields
// are out of range raises the quiet error (EAbort).
double DayCountFromSystemTime(const os::SystemTime& time);

// A DOS date and time (date in the high 16 bits, time in the low 16 bits, two-second
// resolution) as a day count. Gives nothing when the date or time fields are invalid.
std::optional<double> DayCountFromDosDateTime(std::uint16_t dosDate, std::uint16_t dosTime);

// Packs a day count into a DOS date (high 16 bits) and time (low 16 bits). Seconds are
// halved and rounded down and milliseconds dropped. A day count outside the years 1980 to
// 2099, or one that cannot be decoded, packs to 0.
std::uint32_t DosDateTimeFromDayCount(double dayCount);
