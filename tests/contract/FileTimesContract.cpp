// File times: a last-write time set on a handle and read back by a search, the local-time
// and DOS date conversions the write stamps go through, and the DOS format's limits.
#include <cstdint>

#include "contract/ContractEnv.h"

namespace contract {
namespace {

constexpr std::uint64_t kSecond = 10'000'000;  // file-time ticks
// 1 January 1980 00:00:00, the first moment a DOS date holds.
constexpr std::uint64_t k1980 = 119'600'064'000'000'000;
// 31 December 2107 23:59:58, the last one.
constexpr std::uint64_t k2107End = 159'992'927'980'000'000;
// 15 June 2099 10:15:37.1234567.
constexpr std::uint64_t kOddMoment = 157'296'753'370'000'000 + 1'234'567;

using FileTimesContract = ContractTest;

TEST_F(FileTimesContract, LastWriteTimeReadsBackExactly) {
  const std::uint64_t times[] = {kOddMoment, k1980, 132'574'319'270'000'000};
  for (std::uint64_t ticks : times) {
    SCOPED_TRACE(ticks);
    os::Handle file = Open(At("stamped.bin"), os::kGenericRead | os::kGenericWrite,
                           os::kFileShareRead, os::kCreateAlways);
    ASSERT_NE(file, os::kInvalidHandle);
    std::uint32_t written = 0;
    ASSERT_TRUE(os().WriteFile(file, "payload", 7, written));
    EXPECT_TRUE(os().SetFileLastWriteTime(file, os::FileTime{ticks}));
    ASSERT_TRUE(os().CloseHandle(file));

    std::optional<os::FindData> entry = FindOne(At("stamped.bin"));
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->lastWriteTime.ticks, ticks);
    EXPECT_EQ(entry->size, 7u);
  }
}

TEST_F(FileTimesContract, DosRoundTripKeepsTwoSecondPrecision) {
  const std::uint64_t times[] = {kOddMoment, kOddMoment + kSecond, k1980 + 86'400 * kSecond};
  for (std::uint64_t ticks : times) {
    SCOPED_TRACE(ticks);
    os::FileTime local, back, utc;
    ASSERT_TRUE(os().FileTimeToLocalFileTime(os::FileTime{ticks}, local));
    std::uint16_t date = 0, time = 0;
    ASSERT_TRUE(os().FileTimeToDosDateTime(local, date, time));
    ASSERT_TRUE(os().DosDateTimeToFileTime(date, time, back));
    EXPECT_EQ(back.ticks, local.ticks - local.ticks % (2 * kSecond));
    ASSERT_TRUE(os().LocalFileTimeToFileTime(back, utc));
    EXPECT_EQ(utc.ticks, ticks - ticks % (2 * kSecond));
  }
}

TEST_F(FileTimesContract, LocalTimeConversionsAreInverse) {
  os::FileTime local, utc;
  ASSERT_TRUE(os().FileTimeToLocalFileTime(os::FileTime{kOddMoment}, local));
  ASSERT_TRUE(os().LocalFileTimeToFileTime(local, utc));
  EXPECT_EQ(utc.ticks, kOddMoment);
}

TEST_F(FileTimesContract, DosFormatHoldsTheYears1980To2107) {
  struct Case {
    std::uint64_t local;
    std::uint16_t date;
    std::uint16_t time;
  };
  const Case cases[] = {
      {k1980, 0x0021, 0x0000},
      {k1980 + 3 * kSecond, 0x0021, 0x0001},  // odd seconds are cut to even
      {k2107End, 0xFF9F, 0xBF7D},
      {k2107End + kSecond, 0xFF9F, 0xBF7D},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.local);
    std::uint16_t date = 0, time = 0;
    ASSERT_TRUE(os().FileTimeToDosDateTime(os::FileTime{c.local}, date, time));
    EXPECT_EQ(date, c.date);
    EXPECT_EQ(time, c.time);
  }

  std::uint16_t date = 0, time = 0;
  EXPECT_FALSE(os().FileTimeToDosDateTime(os::FileTime{k1980 - 2 * kSecond}, date, time));
  EXPECT_FALSE(os().FileTimeToDosDateTime(os::FileTime{0}, date, time));

  os::FileTime back;
  ASSERT_TRUE(os().DosDateTimeToFileTime(0x0021, 0x0000, back));
  EXPECT_EQ(back.ticks, k1980);
  ASSERT_TRUE(os().DosDateTimeToFileTime(0xFF9F, 0xBF7D, back));
  EXPECT_EQ(back.ticks, k2107End);
}

TEST_F(FileTimesContract, DosFieldsOutOfRangeAreRefused) {
  struct Case {
    const char* what;
    std::uint16_t date;
    std::uint16_t time;
  };
  const Case cases[] = {
      {"month 13", 0x0021 | (13 << 5), 0},
      {"month 0", 0x0001, 0},
      {"day 0", 0x0020, 0},
      {"hour 24", 0x0021, 24 << 11},
      {"minute 60", 0x0021, 60 << 5},
      {"second 60", 0x0021, 30},
  };
  for (const Case& c : cases) {
    os::FileTime time;
    EXPECT_FALSE(os().DosDateTimeToFileTime(c.date, c.time, time)) << c.what;
  }
}

}  // namespace
}  // namespace contract
