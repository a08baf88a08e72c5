// The whole program through the installation run: where the seven files go, which of them
// are written, and what happens when one cannot be.
#include "SetupRunTest.h"

namespace setuprun {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

class SetupRunInstall : public SetupRunTest {
 protected:
  // The seven files are in the folder, each with its entry's bytes and time.
  void ExpectInstalled(const std::string& folder) {
    for (const std::string& name : kAddOnFiles) {
      SCOPED_TRACE(folder + name);
      const auto contents = sim.FileContents(folder + name);
      ASSERT_TRUE(contents.has_value());
      EXPECT_EQ(*contents, name == "userdicbg.tlx" ? "" : name);
      EXPECT_EQ(LocalStamp(folder + name), EntryStamp(name));
    }
  }
  // An older copy of every file, carrying the entry's own time.
  void AddCurrentFiles(const std::string& folder) {
    for (const std::string& name : kAddOnFiles) {
      sim.AddFile(folder + name, "old " + name);
      SetLocalTime(folder + name, EntryStamp(name));
    }
  }
  void SetLocalTime(const std::string& path, double stamp) {
    const os::SystemTime t = *DecodeDayCount(stamp);
    const os::FileTime local =
        os::SimOs::ToFileTime(t.year, t.month, t.day, t.hour, t.minute, t.second);
    sim.SetLastWriteTime(
        path,
        os::FileTime{local.ticks - static_cast<std::uint64_t>(sim.UtcOffset()) * 600000000ull});
  }
  // The home folder typed on page 2, then on to page 5.
  void InstallFrom(const std::string& homeFolder) {
    ClickNext();
    ClickNext();
    Step([this, homeFolder] { platform.Type(Dlg().DestDirEdt, homeFolder); });
    ClickNext();
    ClickNext();
  }
};

TEST_F(SetupRunInstall, NormalInstallationFillsTheSharedFoldersThatExist) {
  struct Case {
    const char* what;
    bool spellcheck;   // present beforehand
    bool orthographe;  // present beforehand
  };
  for (const Case c : {Case{"neither", false, false}, Case{"both", true, true},
                       Case{"only Orthographe", false, true}}) {
    SCOPED_TRACE(c.what);
    os::SimOs machine;
    os::MachineScope inner(machine);
    ui::HeadlessPlatform windows;
    machine.SetResource("TMAINDLGFORM", "#10", FormDescription());
    machine.SetResource("FILES", "FILES", TestCatalogue().Payload());
    machine.AddFile(kHost, "MZ");
    if (c.spellcheck) machine.AddFolder(kPublicSpellcheck);
    if (c.orthographe) machine.AddFolder(kPublicOrthographe);
    for (int i = 0; i < 4; ++i)
      windows.Script([&windows] { windows.Click(MainDlgForm->NextBtn); });
    windows.Script([&] {
      TMainDlgForm& dlg = *MainDlgForm;
      EXPECT_EQ(dlg.CurrentPage(), kFinishPage);
      EXPECT_TRUE(InstallStarted);
      EXPECT_TRUE(AttachedFiles->OverwriteAll);
      EXPECT_TRUE(dlg.BackBtn.Visible());
      EXPECT_FALSE(dlg.BackBtn.Enabled());
      EXPECT_EQ(dlg.NextBtn.Caption(), "&Finish");
      EXPECT_FALSE(dlg.CancelBtn.Enabled());
      EXPECT_EQ(dlg.TopLbl.Caption(), "Installation Complete");
      const bool toSpellcheck = c.spellcheck || !c.orthographe;
      EXPECT_EQ(AttachedFiles->Queues[0].size(), 7u * (toSpellcheck + c.orthographe));
      // In the table's order, "Spellcheck\" first.
      const std::string first = toSpellcheck ? kPublicSpellcheck : kPublicOrthographe;
      for (std::size_t i = 0; i < AttachedFiles->Queues[0].size(); ++i) {
        const std::string folder = i < 7 ? first : kPublicOrthographe;
        EXPECT_EQ(AttachedFiles->Queues[0][i].Target, folder + kAddOnFiles[i % 7]);
      }
      MainDlgForm->CloseAllowed = true;
      windows.PressCloseBox();
    });
    EXPECT_EQ(RunSetup(windows), 0u);
    SCOPED_TRACE("files");
    auto installed = [&machine](const std::string& folder) {
      for (const std::string& name : kAddOnFiles) {
        if (!machine.IsFile(folder + name)) return false;
      }
      return true;
    };
    EXPECT_EQ(installed(kPublicSpellcheck), c.spellcheck || !c.orthographe);
    EXPECT_EQ(machine.Exists(kPublicSpellcheck), c.spellcheck || !c.orthographe);
    EXPECT_EQ(installed(kPublicOrthographe), c.orthographe);
    EXPECT_EQ(machine.Exists(kPublicOrthographe), c.orthographe);
  }
}

TEST_F(SetupRunInstall, NormalInstallationRewritesEveryFile) {
  AddCurrentFiles(kPublicSpellcheck);
  WalkToFinishPage();
  ClickFinish();
  EXPECT_EQ(Run(), 0u);
  ExpectInstalled(kPublicSpellcheck);
  EXPECT_THAT(BoxTexts(), IsEmpty());
}

// A host on a removable drive, or on a fixed disk attached by USB.
class SetupRunPortable : public SetupRunInstall,
                         public testing::WithParamInterface<os::DriveSpec> {};

INSTANTIATE_TEST_SUITE_P(
    Drives, SetupRunPortable,
    testing::Values(os::DriveSpec{.kind = os::kDriveRemovable, .busType = os::kBusTypeUsb},
                    os::DriveSpec{.kind = os::kDriveFixed, .busType = os::kBusTypeUsb}));

TEST_P(SetupRunPortable, InstallationBesideTheHostKeepsWhatIsCurrent) {
  sim.AddDrive('E', GetParam());
  sim.AddFile("E:\\Veloquin\\vqd.exe", "MZ");
  const std::string target = "E:\\Veloquin\\Orthographe\\";
  AddCurrentFiles(target);
  // The user's own words stay; a dictionary with another time is replaced.
  sim.AddFile(target + "userdicbg.tlx", "my words");
  SetLocalTime(target + "bg_BG.aff", EntryStamp("bg_BG.aff") + 2.0 / 86400);
  InstallFrom("E:\\Veloquin\\");
  Step([this] {
    EXPECT_TRUE(Dlg().IsPortableInstall());
    EXPECT_FALSE(AttachedFiles->OverwriteAll);
    EXPECT_THAT(AttachedFiles->PublicFiles, IsEmpty());
  });
  ClickFinish();
  EXPECT_EQ(Run(), 0u);
  EXPECT_EQ(sim.FileContents(target + "userdicbg.tlx"), "my words");
  EXPECT_EQ(sim.FileContents(target + "bg_BG.dic"), "old bg_BG.dic");
  EXPECT_EQ(sim.FileContents(target + "hunspell.dll"), "old hunspell.dll");
  EXPECT_EQ(sim.FileContents(target + "bg_BG.aff"), "bg_BG.aff");
  EXPECT_EQ(sim.FileContents(target + "Bulgarian.asc"), "Bulgarian.asc");
  EXPECT_FALSE(sim.Exists("E:\\Veloquin\\Spellcheck"));
  EXPECT_FALSE(sim.Exists(kPublicSpellcheck));
  // Finish leaves no records for a portable host, but starts it and saves the settings.
  EXPECT_FALSE(sim.Exists(kUpdateLog));
  ASSERT_EQ(sim.WinExecCalls().size(), 1u);
  EXPECT_EQ(sim.WinExecCalls()[0].commandLine, "\"E:\\Veloquin\\vqd.exe\"");
  EXPECT_THAT(SettingsWrites(),
              ElementsAre("MAINDIR=E:\\Veloquin", "LAUNCH=1", "MAINDIR=E:\\Veloquin", "LAUNCH=1"));
}

TEST_F(SetupRunInstall, EmptyQueueGoesStraightToTheFinishPage) {
  payload::CatalogueBuilder catalogue;
  for (const char* name : {"License.txt", "Logo.bmp", "LogoSmall.bmp"}) {
    catalogue.Add(name, EntryStamp(name),
                  std::string_view(name).ends_with(".bmp") ? TinyBitmap() : Text("licence"));
  }
  SetPayload(catalogue);
  WalkToFinishPage();
  Step([] {
    EXPECT_TRUE(AttachedFiles->Queues[0].empty());
    EXPECT_TRUE(InstallStarted);
  });
  ClickFinish();
  EXPECT_EQ(Run(), 0u);
  EXPECT_FALSE(sim.Exists(kPublicSpellcheck));
}

TEST_F(SetupRunInstall, FileInUseCanBeRetriedOrIgnored) {
  sim.AddFile(std::string(kPublicSpellcheck) + "bg_BG.dic", "in use");
  auto lock = sim.LockFile(std::string(kPublicSpellcheck) + "bg_BG.dic");
  sim.AnswerNextBox(os::kIdRetry);
  // While the question is open a host comes up: the run goes on all the same.
  sim.AnswerNextBox([this](const os::MessageBoxCall&) {
    sim.AddWindow({{"1.x Heron Gate", 1}});
    return os::kIdIgnore;
  });
  WalkToFinishPage();
  ClickFinish();
  EXPECT_EQ(Run(), 0u);
  const std::string failure = "Cannot create file \"" + std::string(kPublicSpellcheck) +
                              "bg_BG.dic\".\rAnother application might already be using this file.";
  ASSERT_EQ(sim.MessageBoxes().size(), 2u);
  EXPECT_THAT(BoxTexts()[0], testing::StartsWith(failure));
  EXPECT_EQ(sim.MessageBoxes()[1].utf8Text, BoxTexts()[0]);
  EXPECT_EQ(sim.FileContents(std::string(kPublicSpellcheck) + "bg_BG.dic"), "in use");
  EXPECT_EQ(sim.FileContents(std::string(kPublicSpellcheck) + "Bulgarian.thes"), "Bulgarian.thes");
}

TEST_F(SetupRunInstall, AbortKeepsWhatWasWrittenAndStillSavesTheSettings) {
  sim.AddFile(std::string(kPublicSpellcheck) + "bg_BG.dic", "in use");
  auto lock = sim.LockFile(std::string(kPublicSpellcheck) + "bg_BG.dic");
  sim.SetRegistryDword(kSettingsKey, "LAUNCH", 0);
  sim.AnswerNextBox(os::kIdAbort);
  for (int i = 0; i < 4; ++i)
    ClickNext();
  EXPECT_EQ(Run(), 0u);
  EXPECT_EQ(BoxTexts().size(), 1u);  // no close question
  EXPECT_EQ(sim.FileContents(std::string(kPublicSpellcheck) + "Bulgarian.asc"), "Bulgarian.asc");
  EXPECT_EQ(sim.FileContents(std::string(kPublicSpellcheck) + "hunspell.dll"), "hunspell.dll");
  EXPECT_FALSE(sim.Exists(std::string(kPublicSpellcheck) + "bg_BG.aff"));
  EXPECT_FALSE(sim.Exists(kUpdateLog));
  EXPECT_THAT(SettingsWrites(), ElementsAre(std::string("MAINDIR=") + kHomeFolder, "LAUNCH=0"));
  EXPECT_THAT(TempFiles(), IsEmpty());
}

}  // namespace
}  // namespace setuprun
