#include "UpdateLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Errors.h"
#include "os/Machine.h"
#include "os/sim/SimOs.h"

namespace {

using testing::ElementsAre;
using Lines = std::vector<std::string>;

const std::string kSpell = "C:\\ProgramData\\Veloquin\\Public\\Spellcheck\\";
const std::string kLogFolder = "C:\\ProgramData\\Veloquin";
const std::string kLogPath = "C:\\ProgramData\\Veloquin\\Update.log";

// Stamps whose separators are easy to tell apart.
constexpr double kFirst = 45000.5;
constexpr double kSecond = 45001.25;
constexpr double kThird = 45002.75;
constexpr double kNew = 45010.0;

// The log's text from lines, each ended by CR LF.
std::string Log(const Lines& lines) {
  std::string text;
  for (const auto& line : lines)
    text += line + "\r\n";
  return text;
}

class UpdateLogTest : public testing::Test {
 protected:
  os::SimOs sim;
  os::MachineScope scope{sim};
};

TEST(UpdateLogFormat, StampBytesAndSeparator) {
  EXPECT_EQ(InstallStampBytes(45000.5), std::string("\x00\x00\x00\x00\x10\xF9\xE5\x40", 8));
  EXPECT_EQ(UpdateLogSeparator(45000.5), "*0000000010F9E540");
  // Every byte as two digits, high half first, letters upper-case.
  EXPECT_EQ(UpdateLogSeparator(-1.0), "*000000000000F0BF");
  EXPECT_EQ(UpdateLogSeparator(0.0), "*0000000000000000");
  EXPECT_EQ(UpdateLogSeparator(0.1), "*9A9999999999B93F");
}

TEST_F(UpdateLogTest, SortIgnoresCaseWithTheLocaleStringSortAndIsStable) {
  Lines files = {kSpell + "bg_BG.dic", kSpell + "Bulgarian.asc", kSpell + "BG_BG.AFF",
                 kSpell + "co-op",     kSpell + "coat",          kSpell + "bg_bg.DIC"};
  SortPublicFiles(files);
  // Letter case is ignored ("BG_BG.AFF" among the lower-case names), the hyphen sorts before
  // the letters as in a string sort, and the two spellings of bg_BG.dic keep their order.
  EXPECT_THAT(files, ElementsAre(kSpell + "BG_BG.AFF", kSpell + "bg_BG.dic", kSpell + "bg_bg.DIC",
                                 kSpell + "Bulgarian.asc", kSpell + "co-op", kSpell + "coat"));
}

TEST_F(UpdateLogTest, SortKeepsTheOrderOfNamesEqualButForCaseInALongList) {
  // Thirty-two spellings of one name (the letter case spells the number), given in a
  // scrambled order among other names: they come out together, still in the given order.
  Lines spellings;
  for (int i = 0; i < 32; ++i) {
    std::string name = "abcde";
    for (int bit = 0; bit < 5; ++bit) {
      if ((i * 7 + 3) % 32 & (1 << bit)) name[static_cast<std::size_t>(bit)] -= 'a' - 'A';
    }
    spellings.push_back(kSpell + name + ".dic");
  }
  Lines files;
  for (int i = 0; i < 32; ++i) {
    files.push_back(kSpell + (i % 2 ? "zz" : "aa") + std::to_string(i) + ".dic");
    files.push_back(spellings[static_cast<std::size_t>(i)]);
  }
  SortPublicFiles(files);
  const Lines middle(files.begin() + 16, files.begin() + 48);
  EXPECT_EQ(middle, spellings);
}

TEST_F(UpdateLogTest, FirstLogHoldsOneSeparatorAndTheSortedFiles) {
  const UpdateLogMerge merge =
      MergeUpdateLog("", {kSpell + "hunspell.dll", kSpell + "Bulgarian.asc"}, kFirst);
  EXPECT_THAT(merge.sortedFiles, ElementsAre(kSpell + "Bulgarian.asc", kSpell + "hunspell.dll"));
  EXPECT_EQ(merge.log,
            Log({"*0000000010F9E540", kSpell + "Bulgarian.asc", kSpell + "hunspell.dll"}));
}

TEST_F(UpdateLogTest, OldLinesOfTheInstalledFilesMoveUnderTheNewSeparator) {
  const std::string a = UpdateLogSeparator(kFirst);
  const std::string b = UpdateLogSeparator(kSecond);
  const std::string c = UpdateLogSeparator(kThird);
  const std::string n = UpdateLogSeparator(kNew);
  const std::string x = kSpell + "x.dic", y = kSpell + "y.dic", z = kSpell + "z.dic";
  struct Case {
    const char* what;
    Lines old;
    Lines installed;
    Lines merged;
  };
  const Case cases[] = {
      {"the same files again: the first separator is left last and goes",
       {a, x, y},
       {y, x},
       {n, x, y}},
      {"A x B y with x again: y ends up under A", {a, x, b, y}, {x}, {a, y, n, x}},
      {"A x B y with y again: B is left last and goes", {a, x, b, y}, {y}, {a, x, n, y}},
      {"a run of emptied separators collapses to its first",
       {a, x, b, y, c, z},
       {x, y},
       {a, z, n, x, y}},
      {"two separators in a row collapse even when nothing between them went",
       {a, b, x},
       {z},
       {a, x, n, z}},
      {"a line differing only in case is the same file",
       {a, "c:\\programdata\\veloquin\\public\\spellcheck\\X.DIC", y},
       {x},
       {a, y, n, x}},
      {"the mode-0 mark makes a different line",
       {a, x + "\t!", y},
       {x, y + "\t!"},
       {a, x + "\t!", y, n, x, y + "\t!"}},
      {"a marked line installed again stands once", {a, x + "\t!"}, {x + "\t!"}, {n, x + "\t!"}},
      {"lines that are not separators are kept where they stand",
       {"free text", a, x},
       {y},
       {"free text", a, x, n, y}},
  };
  for (const Case& tc : cases) {
    EXPECT_EQ(MergeUpdateLog(Log(tc.old), tc.installed, kNew).log, Log(tc.merged)) << tc.what;
  }
}

TEST_F(UpdateLogTest, CaseIsIgnoredByTheLocaleNotOnlyForAscii) {
  sim.SetCodePage(1251);
  // "Документи" in the log, "ДОКУМЕНТИ" installed, in code page 1251.
  const std::string logged = "C:\\\xc4\xee\xea\xf3\xec\xe5\xed\xf2\xe8\\a.dic";
  const std::string installed = "C:\\\xc4\xce\xca\xd3\xcc\xc5\xcd\xd2\xc8\\A.DIC";
  const std::string a = UpdateLogSeparator(kFirst);
  const std::string c = UpdateLogSeparator(kThird);
  EXPECT_EQ(MergeUpdateLog(Log({a, logged}), {installed}, kThird).log, Log({c, installed}));
}

TEST_F(UpdateLogTest, AnyLineEndIsReadAndLinesKeepTheirBytes) {
  const std::string a = UpdateLogSeparator(kFirst);
  const std::string c = UpdateLogSeparator(kThird);
  const std::string longLine = kSpell + std::string(100000, 'L');
  const std::string high = kSpell + "\x80\xe9\xff\x81.dic";
  const std::string x = kSpell + "x.dic";
  // CR alone, LF alone, CR LF, empty lines of every kind, and a last line without an end.
  const std::string old =
      a + "\r" + longLine + "\n" + high + "\r\n" + "\r\n\n\r" + x + "\n\r" + "last line";
  EXPECT_EQ(MergeUpdateLog(old, {x}, kThird).log, Log({a, longLine, high, "last line", c, x}));
}

// ---- The log file ----------------------------------------------------------------------------

TEST_F(UpdateLogTest, WriteCreatesTheLogAndLeavesTheListSorted) {
  sim.AddFolder(kLogFolder);
  Lines files = {kSpell + "hunspell.dll", kSpell + "Bulgarian.asc"};
  WriteUpdateLog(kLogPath, files, kFirst);
  EXPECT_THAT(files, ElementsAre(kSpell + "Bulgarian.asc", kSpell + "hunspell.dll"));
  EXPECT_EQ(sim.FileContents(kLogPath), Log({UpdateLogSeparator(kFirst), files[0], files[1]}));

  // The second installation of the same files rewrites the log in place.
  WriteUpdateLog(kLogPath, files, kSecond);
  EXPECT_EQ(sim.FileContents(kLogPath), Log({UpdateLogSeparator(kSecond), files[0], files[1]}));
  EXPECT_EQ(sim.OpenHandleCount(), 0u);
}

TEST_F(UpdateLogTest, WriteMergesTheExistingLogAndReplacesItWhole) {
  const std::string x = kSpell + "x.dic";
  // The old log is longer than the new one: nothing of its tail may survive.
  sim.AddFile(kLogPath, UpdateLogSeparator(kFirst) + "\n" + x + "\n" + std::string(5000, 'z'));
  Lines files = {x};
  WriteUpdateLog(kLogPath, files, kSecond);
  EXPECT_EQ(sim.FileContents(kLogPath), Log({UpdateLogSeparator(kFirst), std::string(5000, 'z'),
                                             UpdateLogSeparator(kSecond), x}));
}

TEST_F(UpdateLogTest, NoPublicFilesTouchesNothing) {
  Lines none;
  // Not even a locked log or a missing folder is noticed.
  WriteUpdateLog("C:\\Missing\\Update.log", none, kFirst);
  EXPECT_FALSE(sim.Exists("C:\\Missing"));
  sim.AddFile(kLogPath, "old\r\n");
  auto lock = sim.LockFile(kLogPath);
  EXPECT_NO_THROW(WriteUpdateLog(kLogPath, none, kFirst));
  lock.Unlock();
  EXPECT_EQ(sim.FileContents(kLogPath), "old\r\n");
}

TEST_F(UpdateLogTest, ALogThatCannotBeReadOrWrittenRaisesTheQuietErrorAndStays) {
  const Lines installed = {kSpell + "x.dic"};

  // Locked by another program: the read fails, the old log stays as it was.
  sim.AddFile(kLogPath, "*0000000010F9E540\r\nold\r\n");
  {
    auto lock = sim.LockFile(kLogPath);
    Lines files = installed;
    EXPECT_THROW(WriteUpdateLog(kLogPath, files, kSecond), EAbort);
  }
  EXPECT_EQ(sim.FileContents(kLogPath), "*0000000010F9E540\r\nold\r\n");

  // Read-only: the read succeeds, the replacement fails, the old log stays.
  sim.SetAttributes(kLogPath, os::kFileAttributeReadOnly);
  {
    Lines files = installed;
    EXPECT_THROW(WriteUpdateLog(kLogPath, files, kSecond), EAbort);
  }
  EXPECT_EQ(sim.FileContents(kLogPath), "*0000000010F9E540\r\nold\r\n");

  // Its folder missing: the folder is not created.
  {
    Lines files = installed;
    EXPECT_THROW(WriteUpdateLog("C:\\ProgramData\\Gone\\Update.log", files, kSecond), EAbort);
  }
  EXPECT_FALSE(sim.Exists("C:\\ProgramData\\Gone"));

  // A folder in the log's place is not read as a log, and cannot be replaced.
  sim.AddFolder("C:\\ProgramData\\Other\\Update.log");
  {
    Lines files = installed;
    EXPECT_THROW(WriteUpdateLog("C:\\ProgramData\\Other\\Update.log", files, kSecond), EAbort);
  }
  EXPECT_TRUE(sim.IsFolder("C:\\ProgramData\\Other\\Update.log"));
  EXPECT_EQ(sim.OpenHandleCount(), 0u);
}

}  // namespace
