// Path text on a double-byte code page: a second byte with the value of a backslash or of
// a capital letter belongs to its character and is neither a separator nor lowered.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FileCtrlText.h"

namespace {

using filectrl::LeadByteTest;

// Lead bytes of the Japanese code page 932.
const LeadByteTest kShiftJis = [](std::uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
};
const LeadByteTest kSingleByte = [](std::uint8_t) { return false; };

// "表" (0x95 0x5C) ends in a backslash byte; "ア" (0x83 0x41) in an "A".
const std::string kTable = "\x95\x5C";
const std::string kKatakanaA = "\x83\x41";

TEST(FileCtrlTextTest, SecondBytesOfDoubleByteCharactersAreNoSeparators) {
  struct Case {
    std::string path;
    int backslashes;
    std::size_t lastBackslash;
    std::size_t lastSeparator;  // backslash or colon
  };
  const auto npos = std::string::npos;
  const std::vector<Case> cases = {
      {"C:\\" + kTable + "\\Apps", 2, 5, 5},
      {"C:\\Apps\\" + kTable, 2, 7, 7},
      {"C:" + kTable, 0, npos, 1},
      {"", 0, npos, npos},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(filectrl::CountBackslashes(c.path, kShiftJis), c.backslashes) << c.path;
    EXPECT_EQ(filectrl::LastSeparator(c.path, false, kShiftJis), c.lastBackslash) << c.path;
    EXPECT_EQ(filectrl::LastSeparator(c.path, true, kShiftJis), c.lastSeparator) << c.path;
  }
  // On a single-byte code page every such byte is a backslash.
  EXPECT_EQ(filectrl::CountBackslashes("C:\\Apps\\" + kTable, kSingleByte), 3);
}

TEST(FileCtrlTextTest, OnlyLettersAToZOfSingleByteCharactersAreLowered) {
  std::string text = "STICK " + kKatakanaA + "AB" + "\xC0";
  filectrl::LowerAsciiLetters(text, kShiftJis);
  EXPECT_EQ(text, "stick " + kKatakanaA + "ab" + "\xC0");
}

TEST(FileCtrlTextTest, DriveLettersAreLettersAToZ) {
  EXPECT_EQ(filectrl::UpperLetter('q'), 'Q');
  EXPECT_EQ(filectrl::UpperLetter('\xE4'), '\xE4');
  EXPECT_TRUE(filectrl::HasDriveLetter("e:"));
  EXPECT_FALSE(filectrl::HasDriveLetter("\\\\srv\\data"));
  EXPECT_FALSE(filectrl::HasDriveLetter("1:\\"));
  EXPECT_FALSE(filectrl::HasDriveLetter(std::string(1, '\0')));
}

}  // namespace
