// The whole program through the wizard's pages: first display, buttons, licence, home-folder
// check, running host, cancelling and the failures of the start.
#include "SetupRunTest.h"

namespace setuprun {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// Cancels on the page shown now, agreeing to the close question.
class SetupRunWizard : public SetupRunTest {
 protected:
  void CancelAndQuit() {
    ClickCancel();
    sim.AnswerNextBox(os::kIdYes);
  }
};

TEST_F(SetupRunWizard, FirstDisplayShowsTheWelcomePage) {
  Step([this] {
    TMainDlgForm& dlg = Dlg();
    EXPECT_EQ(dlg.CurrentPage(), kWelcomePage);
    EXPECT_EQ(dlg.Caption(), "Veloquin Bulgarian Spellchecker - Setup");
    EXPECT_EQ(dlg.TopLbl.Caption(), "Welcome to the Veloquin Bulgarian Spellchecker");
    EXPECT_THAT(dlg.WelcomeLbl.Caption(),
                testing::StartsWith("This program will install the Bulgarian Spellchecker\r"
                                    "for Veloquin Word Processor on your computer."));
    EXPECT_THAT(dlg.StartLbl.Caption(), testing::StartsWith("You are now ready to install the "
                                                            "Veloquin Bulgarian Spellchecker.\r"));
    EXPECT_THAT(dlg.FinishLbl.Caption(),
                testing::StartsWith("The Veloquin Bulgarian Spellchecker has been successfully"));
    EXPECT_FALSE(dlg.BackBtn.Visible());
    EXPECT_TRUE(dlg.NextBtn.Enabled());
    EXPECT_EQ(dlg.NextBtn.Caption(), "&Next >");
    EXPECT_TRUE(dlg.CancelBtn.Enabled());
    EXPECT_EQ(dlg.CancelBtn.Caption(), "Cancel");
    EXPECT_TRUE(dlg.Initialized);
    EXPECT_FALSE(dlg.CloseAllowed);
    EXPECT_TRUE(dlg.LicenseMemo.Lines().Empty());
    // Both logos came through one temporary file, which is gone again.
    EXPECT_EQ(dlg.LogoImage.Picture().Width(), 2);
    EXPECT_EQ(dlg.LogoSmallImage.Picture().Height(), 2);
    EXPECT_THAT(TempFiles(), IsEmpty());
    EXPECT_EQ(platform.TimerInterval(dlg, 1), 1000u);
    EXPECT_TRUE(platform.applicationWindowVisible);
    EXPECT_EQ(platform.applicationText, "Veloquin Bulgarian Spellchecker - Setup");
  });
  CancelAndQuit();
  EXPECT_EQ(Run(), 0u);
  EXPECT_THAT(BoxTexts(), ElementsAre(kCloseQuestion));
  EXPECT_EQ(sim.MessageBoxes()[0].style & 0xF0, os::kMbIconQuestion);
  EXPECT_THAT(SettingsWrites(), IsEmpty());
  // The formatted title went with the unit's tables at the end; made afresh on next use.
  EXPECT_EQ(PageTitles()[0], "Welcome to the %s");
  MainDlgShutdown();
}

TEST_F(SetupRunWizard, ButtonsTitleAndFocusFollowThePages) {
  struct Expected {
    int page;
    const char* title;
    bool backVisible;
    bool backEnabled;
  };
  const Expected pages[] = {
      {0, "Welcome to the Veloquin Bulgarian Spellchecker", false, true},
      {1, "License Agreement", true, true},
      {2, "Specify Home Folder", true, true},
      {3, "Ready to Install", true, true},
  };
  auto check = [this](const Expected& e) {
    Step([this, e] {
      SCOPED_TRACE(e.page);
      TMainDlgForm& dlg = Dlg();
      ASSERT_EQ(dlg.CurrentPage(), e.page);
      EXPECT_EQ(dlg.TopLbl.Caption(), e.title);
      EXPECT_EQ(dlg.BackBtn.Visible(), e.backVisible);
      EXPECT_EQ(dlg.BackBtn.Enabled(), e.backEnabled);
      EXPECT_EQ(dlg.BackBtn.Caption(), "< &Back");
      EXPECT_TRUE(dlg.NextBtn.Enabled());
      EXPECT_EQ(dlg.NextBtn.Caption(), "&Next >");
      EXPECT_TRUE(dlg.CancelBtn.Enabled());
      EXPECT_TRUE(dlg.PgCtrl.Pages(e.page)->Visible());
      const ui::TWinControl* focused[] = {nullptr, &dlg.LicenseMemo, &dlg.DestDirEdt, &dlg.NextBtn};
      if (e.page > 0) {
        EXPECT_EQ(dlg.ActiveControl(), focused[e.page]);
      }
    });
  };
  for (const Expected& e : pages) {
    check(e);
    if (e.page < 3) ClickNext();
  }
  // Back from page 3 asks nothing, even when the licence is no longer accepted.
  Step([this] { Dlg().LicenseChkBx.SetChecked(false); });
  for (int page = 2; page >= 0; --page) {
    ClickBack();
    check(pages[page]);
  }
  CancelAndQuit();
  EXPECT_EQ(Run(), 0u);
  EXPECT_THAT(BoxTexts(), ElementsAre(kCloseQuestion));
}

TEST_F(SetupRunWizard, LicenseIsLoadedOnceAndTheHostLookedForOnlyThen) {
  ClickNext();
  Step([this] {
    EXPECT_EQ(Dlg().LicenseMemo.Lines().Text(), "First line\r\nSecond line\r\n");
    EXPECT_EQ(platform.waitCursorShown, 1);
    // The licence passed through a temporary file that is gone again.
    EXPECT_THAT(TempFiles(), IsEmpty());
    // A host started now does not stop the way back and forth over the licence...
    sim.AddWindow({{"1.x Heron Gate", 1}});
  });
  ClickBack();
  ClickNext();
  ExpectPage(kLicensePage);
  Step([this] {
    EXPECT_EQ(Dlg().LicenseMemo.Lines().Count(), 2);
    EXPECT_EQ(platform.waitCursorShown, 1);
  });
  CancelAndQuit();
  EXPECT_EQ(Run(), 0u);
  // ...and the licence was extracted once: only one box, the close question.
  EXPECT_THAT(BoxTexts(), ElementsAre(kCloseQuestion));
}

TEST_F(SetupRunWizard, RunningHostIsRefusedBeforeTheLicenseAndBeforeInstalling) {
  const os::WindowHandle host = sim.AddWindow({{"Other", 7}, {"1.X HERON GATE", 1}});
  sim.AddWindow({{"1.x Heron Gate", 0}});  // a zero value is no host
  sim.AnswerNextBox(os::kIdOk);
  ClickNext();
  ExpectPage(kWelcomePage);
  Step([this, host] {
    EXPECT_TRUE(Dlg().LicenseMemo.Lines().Empty());
    sim.RemoveWindow(host);
  });
  ClickNext();
  ClickNext();
  ClickNext();
  ExpectPage(kReadyPage);
  Step([this] { sim.AddWindow({{"1.x Heron Gate", 0x1234}}); });
  sim.AnswerNextBox(os::kIdOk);
  ClickNext();
  Step([this] {
    EXPECT_EQ(Dlg().CurrentPage(), kReadyPage);
    EXPECT_FALSE(InstallStarted);
    EXPECT_FALSE(sim.Exists(kPublicSpellcheck));
  });
  CancelAndQuit();
  EXPECT_EQ(Run(), 0u);
  EXPECT_THAT(BoxTexts(), ElementsAre(kRunningInstances, kRunningInstances, kCloseQuestion));
  EXPECT_EQ(sim.MessageBoxes()[0].style & 0xF0, os::kMbIconInformation);
  EXPECT_EQ(sim.MessageBoxes()[0].style & 0xF, os::kMbOk);
}

TEST_F(SetupRunWizard, RefusedLicenseAsksAndYesClosesWithoutTheCloseQuestion) {
  ClickNext();
  Step([this] { platform.Click(Dlg().LicenseChkBx); });
  sim.AnswerNextBox(os::kIdNo);
  ClickNext();
  ExpectPage(kLicensePage);
  sim.AnswerNextBox(os::kIdYes);
  ClickNext();
  EXPECT_EQ(Run(), 0u);
  EXPECT_THAT(BoxTexts(), ElementsAre(kLicenseQuestion, kLicenseQuestion));
  EXPECT_EQ(sim.MessageBoxes()[0].style & 0xFF, os::kMbIconInformation | os::kMbYesNo);
  EXPECT_THAT(SettingsWrites(), IsEmpty());
}

TEST_F(SetupRunWizard, HomeFolderMustHoldTheHostAsAFile) {
  sim.AddFolder("C:\\Apps\\Editor");
  sim.AddFolder("C:\\Apps\\Fake\\vqd.exe");
  ClickNext();
  ClickNext();
  for (const char* folder : {"C:\\Apps\\Editor", "C:\\Apps\\Fake"}) {
    Step([this, folder] { platform.Type(Dlg().DestDirEdt, folder); });
    sim.AnswerNextBox(os::kIdOk);
    ClickNext();
    ExpectPage(kHomeFolderPage);
  }
  // A spelling with spaces and a final backslash is cleaned up and then accepted.
  Step([this] { platform.Type(Dlg().DestDirEdt, "  C:\\Program Files\\Veloquin\\ "); });
  ClickNext();
  Step([this] {
    EXPECT_EQ(Dlg().CurrentPage(), kReadyPage);
    EXPECT_EQ(Dlg().DestDirEdt.Text(), kHomeFolder);
    EXPECT_EQ(Dlg().Options.MainDir, kHomeFolder);
  });
  CancelAndQuit();
  EXPECT_EQ(Run(), 0u);
  EXPECT_THAT(BoxTexts(), ElementsAre(kWrongFolder, kWrongFolder, kCloseQuestion));
}

TEST_F(SetupRunWizard, CancelAsksOnEveryPageBeforeInstalling) {
  struct Case {
    int page;
    const char* how;
  };
  for (const Case c : {Case{0, "button"}, Case{1, "button"}, Case{2, "Esc"}, Case{3, "close box"},
                       Case{2, "button"}}) {
    SCOPED_TRACE(std::to_string(c.page) + " " + c.how);
    os::SimOs machine;
    os::MachineScope inner(machine);
    ui::HeadlessPlatform windows;
    machine.SetResource("TMAINDLGFORM", "#10", FormDescription());
    machine.SetResource("FILES", "FILES", TestCatalogue().Payload());
    machine.AddFile(kHost, "MZ");
    for (int i = 0; i < c.page; ++i)
      windows.Script([&windows] { windows.Click(MainDlgForm->NextBtn); });
    auto cancel = [&windows, how = std::string(c.how)] {
      if (how == "button") windows.Click(MainDlgForm->CancelBtn);
      if (how == "Esc") windows.PressKey(ui::DialogKey::Escape);
      if (how == "close box") windows.PressCloseBox();
    };
    machine.AnswerNextBox(os::kIdNo);
    windows.Script(cancel);
    windows.Script([&] { EXPECT_EQ(MainDlgForm->CurrentPage(), c.page); });
    machine.AnswerNextBox(os::kIdYes);
    windows.Script(cancel);
    EXPECT_EQ(RunSetup(windows), 0u);
    EXPECT_EQ(machine.MessageBoxes().size(), 2u);
    EXPECT_TRUE(machine.RegistryWrites().empty());
    EXPECT_EQ(MainDlgForm, nullptr);
  }
}

TEST_F(SetupRunWizard, FailedLicenseExtractionClosesTheWizard) {
  // A folder where the next temporary file would go: the licence cannot be written.
  Step([this] { sim.AddFolder(std::string(kTempFolder) + "\\" + TempFilePrefix() + "0.tmp"); });
  sim.AnswerNextBox(os::kIdAbort);
  ClickNext();
  EXPECT_EQ(Run(), 0u);
  ASSERT_EQ(sim.MessageBoxes().size(), 1u);
  EXPECT_THAT(BoxTexts()[0], testing::StartsWith("Cannot create file \""));
  EXPECT_THAT(SettingsWrites(), IsEmpty());
}

TEST_F(SetupRunWizard, LogoThatCannotBeLoadedEndsTheStart) {
  payload::CatalogueBuilder catalogue;
  catalogue.Add("Logo.bmp", EntryStamp("Logo.bmp"), Text("not a bitmap"));
  catalogue.Add("LogoSmall.bmp", EntryStamp("LogoSmall.bmp"), TinyBitmap());
  SetPayload(catalogue);
  sim.AnswerNextBox(os::kIdOk);
  EXPECT_EQ(Run(), 1u);
  ASSERT_EQ(sim.MessageBoxes().size(), 1u);
  EXPECT_EQ(BoxTexts()[0], "Exception EAbort");
  EXPECT_FALSE(sim.MessageBoxes()[0].caption.has_value());
  EXPECT_EQ(platform.modalLoopsEntered, 0);
  // The store was not destroyed: the temporary file of the logos stays for the next run.
  EXPECT_THAT(TempFiles(), ElementsAre(TempFilePrefix() + "0.tmp"));
  EXPECT_EQ(sim.OleUninitializeCount(), 1);
}

TEST_F(SetupRunWizard, LoggingOffOnTheHomeFolderPageEndsWithoutSaving) {
  ClickNext();
  ClickNext();
  sim.AnswerNextBox(os::kIdYes);
  Step([this] { platform.EndSession(); });
  EXPECT_EQ(Run(), 0u);
  EXPECT_TRUE(processEnded);
  EXPECT_THAT(BoxTexts(), ElementsAre(kCloseQuestion));
  EXPECT_THAT(SettingsWrites(), IsEmpty());
  EXPECT_EQ(sim.ExitCode(), 0u);
  EXPECT_EQ(sim.OleUninitializeCount(), 1);
}

TEST_F(SetupRunWizard, LogOffRefusedKeepsTheWizard) {
  sim.AnswerNextBox(os::kIdNo);
  Step([this] { EXPECT_FALSE(platform.EndSession()); });
  ExpectPage(kWelcomePage);
  CancelAndQuit();
  EXPECT_EQ(Run(), 0u);
  EXPECT_FALSE(processEnded);
  EXPECT_THAT(BoxTexts(), ElementsAre(kCloseQuestion, kCloseQuestion));
}

}  // namespace
}  // namespace setuprun
