// The whole program through the Finish step: install stamp, update log, launch of the host
// and the saved settings, and the roads that skip or interrupt them.
#include "SetupRunTest.h"

namespace setuprun {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// The day count 45413.5 (2024-05-01 12:00, the simulated machine's clock) as the stamp file
// holds it, and its separator line.
const std::string kNoonStampBytes = std::string("\0\0\0\0\xB0\x2C\xE6\x40", 8);
constexpr char kNoonSeparator[] = "*00000000B02CE640";
constexpr char kEveningSeparator[] = "*00000000B82CE640";  // 18:00 the same day

std::string Public(const std::string& name) {
  return kPublicSpellcheck + name;
}

// The log lines of one installation into "Spellcheck\", sorted without regard to case; the
// user dictionary marked as written only where it was missing.
std::string SpellcheckLines() {
  return Public("bg_BG.aff") + "\r\n" + Public("bg_BG.dic") + "\r\n" + Public("Bulgarian.asc") +
         "\r\n" + Public("Bulgarian.hyph") + "\r\n" + Public("Bulgarian.thes") + "\r\n" +
         Public("hunspell.dll") + "\r\n" + Public("userdicbg.tlx") + "\t!\r\n";
}

class SetupRunFinish : public SetupRunTest {
 protected:
  SetupRunFinish() { sim.AddFolder(kHidden); }
};

TEST_F(SetupRunFinish, NormalFinishLeavesStampLogLaunchAndSettings) {
  WalkToFinishPage();
  Step([this] { EXPECT_TRUE(Dlg().FinishChkBx.Checked()); });
  ClickFinish();
  EXPECT_EQ(Run(), 0u);
  EXPECT_THAT(BoxTexts(), IsEmpty());
  EXPECT_EQ(sim.FileContents(kStampFile), kNoonStampBytes);
  EXPECT_EQ(sim.FileContents(kUpdateLog), kNoonSeparator + std::string("\r\n") + SpellcheckLines());
  ASSERT_EQ(sim.WinExecCalls().size(), 1u);
  EXPECT_EQ(sim.WinExecCalls()[0].commandLine, "\"C:\\Program Files\\Veloquin\\vqd.exe\"");
  EXPECT_EQ(sim.WinExecCalls()[0].show, 5);
  // Once by the Finish step, once more by the program after the wizard closed.
  const std::string mainDir = std::string("MAINDIR=") + kHomeFolder;
  EXPECT_THAT(SettingsWrites(), ElementsAre(mainDir, "LAUNCH=1", mainDir, "LAUNCH=1"));
  EXPECT_EQ(sim.GetRegistryValue(kSettingsKey, "LAUNCH")->type, os::kRegDword);
  EXPECT_THAT(TempFiles(), IsEmpty());
  EXPECT_EQ(sim.OpenHandleCount(), 0u);
}

TEST_F(SetupRunFinish, LaunchOffStartsNothingAndIsRemembered) {
  WalkToFinishPage();
  Step([this] { platform.Click(Dlg().FinishChkBx); });
  ClickFinish();
  EXPECT_EQ(Run(), 0u);
  EXPECT_THAT(sim.WinExecCalls(), IsEmpty());
  EXPECT_EQ(SettingsWrites().at(1), "LAUNCH=0");
  EXPECT_EQ(SettingsWrites().at(3), "LAUNCH=0");
}

TEST_F(SetupRunFinish, StampNeedsTheHiddenFolder) {
  sim.Remove(kHidden);
  WalkToFinishPage();
  ClickFinish();
  EXPECT_EQ(Run(), 0u);
  EXPECT_FALSE(sim.Exists(kHidden));
  EXPECT_TRUE(sim.IsFile(kUpdateLog));
  EXPECT_EQ(sim.WinExecCalls().size(), 1u);
}

TEST_F(SetupRunFinish, UpdateLogKeepsEachFileOnceUnderItsLastInstallation) {
  // Separator A with a file installed now (in other letter case), separator B with a file
  // of another add-on, and an empty line.
  std::string lower = Public("bg_BG.dic");
  for (char& c : lower)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  sim.AddFile(kUpdateLog, "*A\r\n" + lower + "\n*B\r\r\nC:\\Other\\y.dic\r\n");
  WalkToFinishPage();
  ClickFinish();
  EXPECT_EQ(Run(), 0u);
  EXPECT_EQ(
      sim.FileContents(kUpdateLog),
      "*A\r\nC:\\Other\\y.dic\r\n" + std::string(kNoonSeparator) + "\r\n" + SpellcheckLines());
}

TEST_F(SetupRunFinish, SecondInstallationOfTheSameFilesReplacesTheFirstInTheLog) {
  WalkToFinishPage();
  ClickFinish();
  EXPECT_EQ(Run(), 0u);
  // A second run later that day, on the same machine.
  ui::HeadlessPlatform again;
  InstallStarted = false;
  TrackPublicFiles = false;
  sim.SetLocalTime(2024, 5, 1, 18);
  for (int i = 0; i < 5; ++i)
    again.Script([&again] { again.Click(MainDlgForm->NextBtn); });
  EXPECT_EQ(RunSetup(again), 0u);
  EXPECT_EQ(sim.FileContents(kUpdateLog),
            kEveningSeparator + std::string("\r\n") + SpellcheckLines());
  EXPECT_EQ(sim.FileContents(kStampFile), std::string("\0\0\0\0\xB8\x2C\xE6\x40", 8));
}

TEST_F(SetupRunFinish, WithoutTheCommonDataFolderNoLogIsWrittenAndTheStampGoesToDocuments) {
  sim.FailSpecialFolder(os::kCsidlCommonAppData);
  sim.AddFolder("C:\\Users\\User\\Documents\\Veloquin\\Hidden");
  WalkToFinishPage();
  ClickFinish();
  EXPECT_EQ(Run(), 0u);
  const std::string documents = "C:\\Users\\User\\Documents\\Veloquin\\";
  EXPECT_TRUE(sim.IsFile(documents + "Public\\Spellcheck\\bg_BG.dic"));
  EXPECT_EQ(sim.FileContents(documents + "Hidden\\install_stamp"), kNoonStampBytes);
  EXPECT_FALSE(sim.Exists(documents + "Update.log"));
  EXPECT_FALSE(sim.Exists(kUpdateLog));
}

TEST_F(SetupRunFinish, UpdateLogInUseStopsFinishQuietlyUntilItIsFree) {
  sim.AddFile(kUpdateLog, "*A\r\nC:\\Other\\x.dic\r\n");
  auto lock = sim.LockFile(kUpdateLog);
  WalkToFinishPage();
  ClickFinish();
  Step([this, &lock] {
    // Nothing said; still on the Finish page; the host not started, nothing saved.
    EXPECT_EQ(Dlg().CurrentPage(), kFinishPage);
    EXPECT_FALSE(Dlg().CloseAllowed);
    EXPECT_THAT(BoxTexts(), IsEmpty());
    EXPECT_THAT(sim.WinExecCalls(), IsEmpty());
    EXPECT_THAT(SettingsWrites(), IsEmpty());
    lock.Unlock();
    sim.SetLocalTime(2024, 5, 1, 18);
  });
  ClickFinish();
  EXPECT_EQ(Run(), 0u);
  EXPECT_THAT(BoxTexts(), IsEmpty());
  EXPECT_EQ(
      sim.FileContents(kUpdateLog),
      "*A\r\nC:\\Other\\x.dic\r\n" + std::string(kEveningSeparator) + "\r\n" + SpellcheckLines());
  EXPECT_EQ(sim.WinExecCalls().size(), 1u);
  EXPECT_EQ(SettingsWrites().size(), 4u);
}

TEST_F(SetupRunFinish, ClosingOnTheFinishPageSkipsFinishButSavesTheSettings) {
  WalkToFinishPage();
  sim.AnswerNextBox(os::kIdNo);
  Step([this] { platform.PressCloseBox(); });
  ExpectPage(kFinishPage);
  sim.AnswerNextBox(os::kIdYes);
  Step([this] { platform.PressCloseBox(); });
  EXPECT_EQ(Run(), 0u);
  EXPECT_THAT(BoxTexts(), ElementsAre(kCloseQuestion, kCloseQuestion));
  EXPECT_FALSE(sim.Exists(kStampFile));
  EXPECT_FALSE(sim.Exists(kUpdateLog));
  EXPECT_THAT(sim.WinExecCalls(), IsEmpty());
  EXPECT_THAT(SettingsWrites(), ElementsAre(std::string("MAINDIR=") + kHomeFolder, "LAUNCH=1"));
  EXPECT_TRUE(sim.IsFile(Public("bg_BG.dic")));
}

}  // namespace
}  // namespace setuprun
