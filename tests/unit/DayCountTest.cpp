#include "DayCount.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "Errors.h"

namespace {

std::uint64_t Bits(double value) {
  return std::bit_cast<std::uint64_t>(value);
}

struct Moment {
  int year, month, day, hour, minute, second, millisecond;
};

void ExpectDecodesTo(double dayCount, const Moment& m) {
  const std::optional<os::SystemTime> t = DecodeDayCount(dayCount);
  ASSERT_TRUE(t.has_value()) << dayCount;
  EXPECT_EQ(t->year, m.year) << dayCount;
  EXPECT_EQ(t->month, m.month) << dayCount;
  EXPECT_EQ(t->day, m.day) << dayCount;
  EXPECT_EQ(t->hour, m.hour) << dayCount;
  EXPECT_EQ(t->minute, m.minute) << dayCount;
  EXPECT_EQ(t->second, m.second) << dayCount;
  EXPECT_EQ(t->milliseconds, m.millisecond) << dayCount;
}

TEST(DayCountTest, KnownMomentsEncodeAndDecode) {
  struct Case {
    Moment moment;
    double dayCount;
  };
  const Case cases[] = {
      {{2021, 2, 10, 11, 58, 46, 0}, 44237.49914351852},
      {{2023, 3, 15, 12, 0, 0, 0}, 45000.5},
      {{1899, 12, 30, 0, 0, 0, 0}, 0.0},
      {{1900, 1, 1, 0, 0, 0, 0}, 2.0},
      {{1900, 3, 1, 0, 0, 0, 0}, 61.0},  // 1900 was no leap year
      {{2000, 2, 29, 18, 0, 0, 0}, 36585.75},
      {{1980, 1, 1, 0, 0, 0, 0}, 29221.0},
      {{2099, 12, 31, 0, 0, 0, 0}, 73050.0},
      {{2100, 1, 1, 6, 0, 0, 0}, 73051.25},
      // Before day 0 the fraction still counts forwards from midnight.
      {{1899, 12, 29, 6, 0, 0, 0}, -1.25},
      {{1800, 1, 1, 12, 0, 0, 0}, -36522.5},
      {{1, 1, 1, 0, 0, 0, 0}, -693593.0},
      {{9999, 12, 31, 0, 0, 0, 0}, 2958465.0},
  };
  for (const Case& c : cases) {
    const Moment& m = c.moment;
    const double encoded =
        EncodeDayCount(m.year, m.month, m.day, m.hour, m.minute, m.second, m.millisecond);
    EXPECT_EQ(Bits(encoded), Bits(c.dayCount)) << m.year << "-" << m.month << "-" << m.day;
    ExpectDecodesTo(c.dayCount, m);
  }
}

TEST(DayCountTest, LicenceStampHasTheStoredBytes) {
  const double stamp = EncodeDayCount(2021, 2, 10, 11, 58, 46);
  std::array<std::uint8_t, 8> bytes{};
  std::memcpy(bytes.data(), &stamp, sizeof stamp);
  const std::array<std::uint8_t, 8> expected = {0x02, 0xD4, 0xFB, 0xF8, 0xAF, 0x99, 0xE5, 0x40};
  EXPECT_EQ(bytes, expected);
}

// Every even second of a day must survive every route the setup takes: encoded from a listed
// time or a system time, packed into a file's DOS date and read back, and decoded for display.
TEST(DayCountTest, EvenSecondsRoundTripBitForBit) {
  const Moment days[] = {{1980, 1, 1}, {2013, 4, 6}, {2021, 2, 10}, {2099, 12, 31}};
  for (const Moment& d : days) {
    for (int secondOfDay = 0; secondOfDay < 86'400; secondOfDay += 2) {
      const int hour = secondOfDay / 3600;
      const int minute = secondOfDay / 60 % 60;
      const int second = secondOfDay % 60;
      const double stamp = EncodeDayCount(d.year, d.month, d.day, hour, minute, second);

      const double wholeDays = EncodeDayCount(d.year, d.month, d.day, 0, 0, 0);
      ASSERT_EQ(Bits(stamp), Bits(wholeDays + secondOfDay / 86400.0)) << secondOfDay;

      os::SystemTime system;
      system.year = static_cast<std::uint16_t>(d.year);
      system.month = static_cast<std::uint16_t>(d.month);
      system.day = static_cast<std::uint16_t>(d.day);
      system.hour = static_cast<std::uint16_t>(hour);
      system.minute = static_cast<std::uint16_t>(minute);
      system.second = static_cast<std::uint16_t>(second);
      ASSERT_EQ(Bits(DayCountFromSystemTime(system)), Bits(stamp)) << secondOfDay;

      const std::uint32_t dos = DosDateTimeFromDayCount(stamp);
      const std::optional<double> back = DayCountFromDosDateTime(
          static_cast<std::uint16_t>(dos >> 16), static_cast<std::uint16_t>(dos & 0xFFFF));
      ASSERT_TRUE(back.has_value()) << secondOfDay;
      ASSERT_EQ(Bits(*back), Bits(stamp)) << secondOfDay;

      const std::optional<os::SystemTime> decoded = DecodeDayCount(stamp);
      ASSERT_TRUE(decoded.has_value());
      ASSERT_EQ(decoded->hour * 3600 + decoded->minute * 60 + decoded->second, secondOfDay);
      ASSERT_EQ(decoded->milliseconds, 0);
    }
  }
}

TEST(DayCountTest, DecodeRoundsToTheMillisecond) {
  const double stamp = EncodeDayCount(2021, 2, 10, 11, 58, 46);
  // A value a hair below the second is still that second, never 11:58:45.999.
  ExpectDecodesTo(std::nextafter(stamp, 0.0), {2021, 2, 10, 11, 58, 46, 0});
  ExpectDecodesTo(std::nextafter(stamp, 1e9), {2021, 2, 10, 11, 58, 46, 0});
  // Just short of midnight rounds into the next day, on both sides of day 0.
  ExpectDecodesTo(44237.9999999999, {2021, 2, 11, 0, 0, 0, 0});
  ExpectDecodesTo(-1.9999999999, {1899, 12, 30, 0, 0, 0, 0});
  ExpectDecodesTo(EncodeDayCount(2021, 2, 10, 11, 58, 46, 500), {2021, 2, 10, 11, 58, 46, 500});
}

TEST(DayCountTest, DecodeFillsTheDayOfTheWeek) {
  EXPECT_EQ(DecodeDayCount(0.0)->dayOfWeek, 6);                               // Saturday
  EXPECT_EQ(DecodeDayCount(44237.49914351852)->dayOfWeek, 3);                 // Wednesday
  EXPECT_EQ(DecodeDayCount(-1.25)->dayOfWeek, 5);                             // Friday
  EXPECT_EQ(DecodeDayCount(EncodeDayCount(1, 1, 1, 0, 0, 0))->dayOfWeek, 1);  // Monday
}

TEST(DayCountTest, DecodeRefusesWhatIsNoDate) {
  const double refused[] = {
      std::numeric_limits<double>::quiet_NaN(),
      std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::infinity(),
      2958466.0,                       // 1 January 10000
      std::nextafter(2958466.0, 0.0),  // rounds to midnight of 1 January 10000
      -693594.0,                       // 31 December 0000 would be before year 1
      1e300,
      -1e300,
  };
  for (const double value : refused) {
    EXPECT_FALSE(DecodeDayCount(value).has_value()) << value;
    EXPECT_EQ(DosDateTimeFromDayCount(value), 0u) << value;
  }
  EXPECT_TRUE(DecodeDayCount(-693593.99).has_value());
  EXPECT_TRUE(DecodeDayCount(2958465.99).has_value());
}

TEST(DayCountTest, EncodeRefusesFieldsOutOfRange) {
  const Moment refused[] = {
      {0, 1, 1, 0, 0, 0, 0},     {10000, 1, 1, 0, 0, 0, 0}, {2021, 0, 1, 0, 0, 0, 0},
      {2021, 13, 1, 0, 0, 0, 0}, {2021, 2, 0, 0, 0, 0, 0},  {2021, 2, 29, 0, 0, 0, 0},
      {1900, 2, 29, 0, 0, 0, 0}, {2021, 4, 31, 0, 0, 0, 0}, {2021, 1, 1, 24, 0, 0, 0},
      {2021, 1, 1, 0, 60, 0, 0}, {2021, 1, 1, 0, 0, 60, 0}, {2021, 1, 1, 0, 0, 0, 1000},
      {2021, 1, 1, -1, 0, 0, 0},
  };
  for (const Moment& m : refused) {
    EXPECT_FALSE(
        TryEncodeDayCount(m.year, m.month, m.day, m.hour, m.minute, m.second, m.millisecond))
        << m.year << "-" << m.month << "-" << m.day << " " << m.hour << ":" << m.minute << ":"
        << m.second << "." << m.millisecond;
  }
  EXPECT_THROW(EncodeDayCount(2021, 2, 29, 0, 0, 0), EAbort);
  EXPECT_TRUE(TryEncodeDayCount(2024, 2, 29, 23, 59, 59, 999).has_value());
}

TEST(DayCountTest, DosDatePacking) {
  // 2021-02-10 11:58:46: date (41 << 9) | (2 << 5) | 10, time (11 << 11) | (58 << 5) | 23.
  EXPECT_EQ(DosDateTimeFromDayCount(44237.49914351852), 0x524A'5F57u);
  // Odd seconds and milliseconds fall to the even second below.
  EXPECT_EQ(DosDateTimeFromDayCount(EncodeDayCount(2021, 2, 10, 11, 58, 47, 999)), 0x524A'5F57u);
  // The years the setup packs are 1980 to 2099; outside them the packed value is 0.
  EXPECT_EQ(DosDateTimeFromDayCount(EncodeDayCount(1980, 1, 1, 0, 0, 0)), 0x0021'0000u);
  EXPECT_NE(DosDateTimeFromDayCount(EncodeDayCount(2099, 12, 31, 23, 59, 58)), 0u);
  EXPECT_EQ(DosDateTimeFromDayCount(EncodeDayCount(1979, 12, 31, 23, 59, 58)), 0u);
  EXPECT_EQ(DosDateTimeFromDayCount(EncodeDayCount(2100, 1, 1, 0, 0, 0)), 0u);
  EXPECT_EQ(DosDateTimeFromDayCount(-1.25), 0u);

  // A DOS date with a zero month or day, or 30 two-second units, is no date.
  EXPECT_FALSE(DayCountFromDosDateTime(0x0000, 0x0000).has_value());
  EXPECT_FALSE(DayCountFromDosDateTime(0x5240, 0x0000).has_value());
  EXPECT_FALSE(DayCountFromDosDateTime(0x524A, 0x001E).has_value());
  // Years past 2099 that the format can still hold decode normally.
  EXPECT_EQ(DayCountFromDosDateTime(0xFF9F, 0xBF7D), EncodeDayCount(2107, 12, 31, 23, 59, 58));
}

}  // namespace
