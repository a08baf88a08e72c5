// The whole program and the home folder: the first guess from the settings, the default and
// the command line; the edit box following the folder list; the drive watch.
#include "SetupRunTest.h"

namespace setuprun {
namespace {

using testing::ElementsAre;

constexpr char kSetupExe[] = "\"C:\\Users\\User\\Downloads\\setup.exe\"";

class SetupRunHomeFolder : public SetupRunTest {
 protected:
  SetupRunHomeFolder() {
    sim.AddDrive('D', {.volumeName = "Data"});
    sim.AddFile("D:\\Apps\\Veloquin\\vqd.exe", "MZ");
    sim.AddFile("C:\\My Folder\\vqd.exe", "MZ");
  }

  void CancelAndQuit() {
    ClickCancel();
    sim.AnswerNextBox(os::kIdYes);
  }

  // The selector's item for a drive letter, or -1.
  int DriveItem(char letter) const {
    const ui::TStrings& items = Dlg().DestDirCmbBx.Items();
    for (int i = 0; i < items.Count(); ++i) {
      if (items[i][0] == letter) return i;
    }
    return -1;
  }
};

TEST_F(SetupRunHomeFolder, FirstGuessComesFromSettingsDefaultAndCommandLine) {
  struct Case {
    const char* what;
    std::optional<std::string> mainDir;  // the saved MAINDIR
    std::string arguments;               // after the program's name
    std::string shown;                   // in the edit box at the start
  };
  const Case cases[] = {
      {"nothing saved", std::nullopt, "", kHomeFolder},
      {"saved folder", "D:\\Apps\\Veloquin", "", "D:\\Apps\\Veloquin"},
      {"saved folder that is gone", "D:\\Gone", "", kHomeFolder},
      {"saved empty", "", "", kHomeFolder},
      {"switch first", "D:\\Apps\\Veloquin", "-dD:\\Not\\There", "D:\\Not\\There"},
      {"switch second", std::nullopt, "/q -dD:\\Apps\\Veloquin", kHomeFolder},
      {"upper-case switch", std::nullopt, "-DD:\\Apps\\Veloquin", kHomeFolder},
      {"empty switch", "D:\\Apps\\Veloquin", "-d", ""},
      {"quoted with spaces", std::nullopt, "\"-dC:\\My Folder\\\"", "C:\\My Folder\\"},
      {"quotes inside", std::nullopt, "-d\"C:\\My Folder\\\" extra", "C:\\My Folder\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    os::SimOs machine;
    os::MachineScope inner(machine);
    ui::HeadlessPlatform windows;
    machine.SetResource("TMAINDLGFORM", "#10", FormDescription());
    machine.SetResource("FILES", "FILES", TestCatalogue().Payload());
    machine.AddFile(kHost, "MZ");
    machine.AddDrive('D', {});
    machine.AddFolder("D:\\Apps\\Veloquin");
    if (c.mainDir) machine.SetRegistryString(kSettingsKey, "MAINDIR", *c.mainDir);
    machine.SetCommandLine(std::string(kSetupExe) + (c.arguments.empty() ? "" : " ") + c.arguments);
    windows.Script([&] {
      EXPECT_EQ(MainDlgForm->DestDirEdt.Text(), c.shown);
      EXPECT_EQ(MainDlgForm->Options.MainDir, c.shown);
      MainDlgForm->CloseAllowed = true;
      windows.Click(MainDlgForm->CancelBtn);
    });
    EXPECT_EQ(RunSetup(windows), 0u);
    // Reading the settings made the key, and wrote nothing.
    EXPECT_TRUE(machine.KeyExists(kSettingsKey));
    EXPECT_TRUE(machine.RegistryWrites().empty());
  }
}

TEST_F(SetupRunHomeFolder, LaunchChoiceIsOnUnlessSavedAsOff) {
  struct Case {
    std::optional<std::uint32_t> launch;
    bool checked;
  };
  for (const Case c : {Case{std::nullopt, true}, Case{0, false}, Case{1, true}, Case{7, true}}) {
    SCOPED_TRACE(c.launch ? std::to_string(*c.launch) : "none");
    os::SimOs machine;
    os::MachineScope inner(machine);
    ui::HeadlessPlatform windows;
    machine.SetResource("TMAINDLGFORM", "#10", FormDescription());
    machine.SetResource("FILES", "FILES", TestCatalogue().Payload());
    if (c.launch) machine.SetRegistryDword(kSettingsKey, "LAUNCH", *c.launch);
    windows.Script([&] {
      EXPECT_EQ(MainDlgForm->FinishChkBx.Checked(), c.checked);
      MainDlgForm->CloseAllowed = true;
      windows.Click(MainDlgForm->CancelBtn);
    });
    EXPECT_EQ(RunSetup(windows), 0u);
  }
}

TEST_F(SetupRunHomeFolder, EmptyFolderBecomesTheSelectorsDriveOnLeavingThePage) {
  // An empty "-d" leaves the folder list without a folder and the selector without a drive
  // (its drive letter is a space) until the user picks one; until then the Program Files
  // drive stands in, never the blank.
  sim.SetCommandLine(std::string(kSetupExe) + " -d");
  ClickNext();
  ClickNext();
  Step([this] {
    EXPECT_EQ(Dlg().DestDirEdt.Text(), "");
    EXPECT_EQ(Dlg().DestDirCmbBx.CurrentDrive(), ' ');
    platform.TickTimers();
    EXPECT_EQ(Dlg().DestDirEdt.Text(), "");
  });
  sim.AnswerNextBox(os::kIdOk);
  ClickNext();
  Step([this] {
    EXPECT_EQ(Dlg().CurrentPage(), kHomeFolderPage);
    EXPECT_EQ(Dlg().DestDirEdt.Text(), "c:\\Veloquin");
    // With a drive picked, an empty text becomes that drive's default folder.
    platform.Pick(Dlg().DestDirCmbBx, DriveItem('d'));
    platform.Type(Dlg().DestDirEdt, "   ");
  });
  sim.AnswerNextBox(os::kIdOk);
  ClickNext();
  Step([this] { EXPECT_EQ(Dlg().DestDirEdt.Text(), "d:\\Veloquin"); });
  CancelAndQuit();
  EXPECT_EQ(Run(), 0u);
  EXPECT_THAT(BoxTexts(), ElementsAre(kWrongFolder, kWrongFolder, kCloseQuestion));
}

TEST_F(SetupRunHomeFolder, EditBoxFollowsTheListOnlyAfterConstruction) {
  // The list can show only the part of the folder that exists...
  sim.SetCommandLine(std::string(kSetupExe) + " \"-dD:\\Apps\\Veloquin\\Missing\\Deeper\"");
  sim.AddFolder("D:\\Apps\\Veloquin\\Sub");
  ClickNext();
  ClickNext();
  Step([this] {
    TMainDlgForm& dlg = Dlg();
    // ...while the edit box keeps the folder as given.
    EXPECT_EQ(dlg.DestDirEdt.Text(), "D:\\Apps\\Veloquin\\Missing\\Deeper");
    EXPECT_TRUE(SamePath(dlg.DestDirLstBx.Folder(), "D:\\Apps\\Veloquin\\"));
    // A pick in the list is copied into the edit box and cleaned up.
    const int sub = dlg.DestDirLstBx.Items().IndexOf("D:\\Apps\\Veloquin\\Sub");
    ASSERT_GE(sub, 0);
    platform.Pick(dlg.DestDirLstBx, sub);
    EXPECT_TRUE(SamePath(dlg.DestDirEdt.Text(), "D:\\Apps\\Veloquin\\Sub"));
    platform.Pick(dlg.DestDirLstBx, 0);
    EXPECT_TRUE(SamePath(dlg.DestDirEdt.Text(), "D:\\Veloquin"));
    // Typing moves nothing.
    platform.Type(dlg.DestDirEdt, "D:\\Apps\\Veloquin\\");
    EXPECT_TRUE(SamePath(dlg.DestDirLstBx.Folder(), "D:\\"));
  });
  ClickNext();
  Step([this] { EXPECT_EQ(Dlg().Options.MainDir, "D:\\Apps\\Veloquin"); });
  CancelAndQuit();
  EXPECT_EQ(Run(), 0u);
}

TEST_F(SetupRunHomeFolder, ADriveThatComesBecomesTheSelectorsDrive) {
  ClickNext();
  ClickNext();
  Step([this] {
    TMainDlgForm& dlg = Dlg();
    EXPECT_EQ(dlg.DestDirCmbBx.CurrentDrive(), 'c');
    // Nothing changed: the tick does nothing.
    platform.TickTimers();
    EXPECT_EQ(dlg.DestDirEdt.Text(), kHomeFolder);
    // A: is never chosen; of two new drives the first from C: on is.
    sim.AddDrive('A', {.kind = os::kDriveRemovable});
    sim.AddDrive('F', {.kind = os::kDriveRemovable, .busType = os::kBusTypeUsb});
    sim.AddFolder("F:\\");
    sim.AddDrive('E', {.kind = os::kDriveRemovable, .busType = os::kBusTypeUsb});
    sim.AddFolder("E:\\Stick");
    platform.TickTimers();
    EXPECT_EQ(dlg.DestDirCmbBx.CurrentDrive(), 'e');
    EXPECT_EQ(dlg.DestDirCmbBx.ItemIndex(), DriveItem('e'));
    EXPECT_TRUE(SamePath(dlg.DestDirEdt.Text(), "E:\\Veloquin")) << dlg.DestDirEdt.Text();
    // Only A: comes: the list is rebuilt and nothing is selected.
    sim.RemoveDrive('A');
    platform.TickTimers();
    sim.AddDrive('A', {.kind = os::kDriveRemovable});
    platform.TickTimers();
    EXPECT_EQ(dlg.DestDirCmbBx.ItemIndex(), -1);
    EXPECT_EQ(dlg.DestDirCmbBx.CurrentDrive(), 'e');
  });
  CancelAndQuit();
  EXPECT_EQ(Run(), 0u);
}

TEST_F(SetupRunHomeFolder, ADriveThatGoesMovesTheSelectorOnlyWhenItWasShown) {
  sim.AddDrive('E', {.kind = os::kDriveRemovable, .busType = os::kBusTypeUsb});
  sim.AddFolder("E:\\Apps");
  ClickNext();
  ClickNext();
  Step([this] {
    TMainDlgForm& dlg = Dlg();
    platform.Pick(dlg.DestDirCmbBx, DriveItem('e'));
    EXPECT_EQ(dlg.DestDirCmbBx.CurrentDrive(), 'e');
    // Another drive goes: the selection stays on the shown one.
    const std::string shown = dlg.DestDirEdt.Text();
    sim.RemoveDrive('D');
    platform.TickTimers();
    EXPECT_EQ(DriveItem('d'), -1);
    EXPECT_EQ(dlg.DestDirCmbBx.CurrentDrive(), 'e');
    EXPECT_EQ(dlg.DestDirCmbBx.ItemIndex(), DriveItem('e'));
    EXPECT_EQ(dlg.DestDirEdt.Text(), shown);
    // The shown drive goes: the selector moves to the drive of Program Files, and the list
    // to the host's default folder there, which the edit box shows.
    sim.RemoveDrive('E');
    platform.TickTimers();
    EXPECT_EQ(dlg.DestDirCmbBx.CurrentDrive(), 'c');
    EXPECT_EQ(dlg.DestDirCmbBx.ItemIndex(), DriveItem('c'));
    EXPECT_TRUE(SamePath(dlg.DestDirEdt.Text(), kHomeFolder)) << dlg.DestDirEdt.Text();
  });
  ClickNext();
  ExpectPage(kReadyPage);
  CancelAndQuit();
  EXPECT_EQ(Run(), 0u);
}

TEST_F(SetupRunHomeFolder, DriveWatchRunsOnOtherPagesAndInsideMessageBoxes) {
  // On the Welcome page, before the home-folder page was ever shown.
  Step([this] {
    sim.AddDrive('E', {.kind = os::kDriveRemovable, .busType = os::kBusTypeUsb});
    platform.TickTimers();
    EXPECT_EQ(Dlg().DestDirCmbBx.CurrentDrive(), 'e');
    EXPECT_TRUE(SamePath(Dlg().DestDirEdt.Text(), "E:\\Veloquin"));
  });
  ClickNext();
  ClickNext();
  // While the wrong-folder message is open, the stick is pulled out.
  sim.AnswerNextBox([this](const os::MessageBoxCall&) {
    sim.RemoveDrive('E');
    platform.TickTimers();
    return os::kIdOk;
  });
  ClickNext();
  Step([this] {
    EXPECT_EQ(Dlg().CurrentPage(), kHomeFolderPage);
    EXPECT_EQ(Dlg().DestDirCmbBx.CurrentDrive(), 'c');
    EXPECT_EQ(Dlg().DestDirEdt.Text(), kHomeFolder);
  });
  ClickNext();
  ExpectPage(kReadyPage);
  CancelAndQuit();
  EXPECT_EQ(Run(), 0u);
  EXPECT_THAT(BoxTexts(), ElementsAre(kWrongFolder, kCloseQuestion));
}

TEST_F(SetupRunHomeFolder, FirstTickKeepsAFolderOnAnotherDrive) {
  // The home folder is on D:; a tick before the home-folder page is shown must not move it.
  sim.SetRegistryString(kSettingsKey, "MAINDIR", "D:\\Apps\\Veloquin");
  Step([this] {
    platform.TickTimers();
    EXPECT_EQ(Dlg().DestDirEdt.Text(), "D:\\Apps\\Veloquin");
    EXPECT_EQ(Dlg().DestDirCmbBx.CurrentDrive(), 'd');
  });
  ClickNext();
  ClickNext();
  Step([this] {
    platform.TickTimers();
    EXPECT_EQ(Dlg().DestDirEdt.Text(), "D:\\Apps\\Veloquin");
  });
  ClickNext();
  Step([this] { EXPECT_EQ(Dlg().Options.MainDir, "D:\\Apps\\Veloquin"); });
  CancelAndQuit();
  EXPECT_EQ(Run(), 0u);
}

}  // namespace
}  // namespace setuprun
