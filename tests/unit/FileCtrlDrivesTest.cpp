// The drive selector: the drives it lists with their names and pictures, the error mode
// around the volume query, the choice of a drive and how the folder list follows it, the
// drawing of its items, and its properties by name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FileCtrlTestSupport.h"

namespace {

using namespace filectrltest;
using Op = ui::CanvasCall::Op;
using Strings = std::vector<std::string>;

using FileCtrlDrivesTest = FileCtrlTest;

TEST_F(FileCtrlDrivesTest, ListsDrivesFromCToZWithoutCdRomsWithTheirNamesAndPictures) {
  AddSampleDrives();
  auto& drives = MakeSelector();
  EXPECT_EQ(drives.ItemHeight(), 17);  // the font's 13 pixels and 4 more
  EXPECT_EQ(drives.CurrentDrive(), '\0');
  EXPECT_EQ(drives.DriveMask(), 0u);

  drives.RefreshDrives();
  EXPECT_EQ(Texts(drives.Items()),
            (Strings{"c: [system]", "e: [stick]", "f: ", "z: \\\\srv\\data"}));
  const ui::TBitmap* fixed = &drives.FixedDriveImage();
  const ui::TBitmap* removable = &drives.RemovableDriveImage();
  EXPECT_EQ(fixed->Height(), 11);
  EXPECT_EQ(removable->Height(), 10);
  EXPECT_EQ(drives.Items().Objects(0), fixed);
  EXPECT_EQ(drives.Items().Objects(1), removable);  // a removable drive
  EXPECT_EQ(drives.Items().Objects(2), removable);  // a fixed disk on USB
  EXPECT_EQ(drives.Items().Objects(3), fixed);      // a network drive is never portable
  EXPECT_EQ(drives.DriveMask(), sim.GetLogicalDrives());
  EXPECT_EQ(drives.ItemIndex(), -1);
  EXPECT_EQ(drives.CurrentDrive(), '\0');

  // A refresh loses the selection but keeps the current drive.
  drives.SelectDrive('E');
  EXPECT_EQ(drives.Text(), "e: [stick]");
  sim.RemoveDrive('F');
  drives.RefreshDrives();
  EXPECT_EQ(Texts(drives.Items()), (Strings{"c: [system]", "e: [stick]", "z: \\\\srv\\data"}));
  EXPECT_EQ(drives.ItemIndex(), -1);
  EXPECT_EQ(drives.CurrentDrive(), 'e');
}

TEST_F(FileCtrlDrivesTest, NamesDrivesByVolumeOrConnectionInLowerCase) {
  struct Case {
    const char* what;
    os::DriveSpec drive;
    std::string item;
  };
  const std::vector<Case> cases = {
      {"mixed case", {.volumeName = "Work Disk"}, "g: [work disk]"},
      {"no medium", {.kind = os::kDriveRemovable, .volumeName = "CARD", .present = false}, "g: "},
      {"connection", {.kind = os::kDriveRemote, .remoteName = "\\\\SRV\\Data"}, "g: \\\\srv\\data"},
      {"connection lost",
       {.kind = os::kDriveRemote, .volumeName = "ARCHIVE", .remoteName = ""},
       "g: [archive]"},
      {"connection lost, no name", {.kind = os::kDriveRemote}, "g: "},
      {"RAM disk", {.kind = os::kDriveRamdisk, .volumeName = "RAM"}, "g: [ram]"},
  };
  auto& drives = MakeSelector();
  for (const Case& c : cases) {
    sim.AddDrive('G', c.drive);
    drives.RefreshDrives();
    EXPECT_EQ(drives.Items()[1], c.item) << c.what;
  }

  // Lower case by the code page's rules, not only A to Z.
  sim.SetCodePage(1251);
  sim.AddDrive('G', {.volumeName = "АРХИВ"});
  drives.RefreshDrives();
  EXPECT_EQ(drives.Items()[1], "g: [" + sim.WideToAnsi(u"архив") + "]");
}

TEST_F(FileCtrlDrivesTest, CriticalErrorsAreSuppressedOnlyAroundTheVolumeQueryOfALocalDrive) {
  AddSampleDrives();
  sim.SetMediumPresent('E', false);  // the query fails: the mode comes back all the same
  auto& drives = MakeSelector();
  auto& folders = MakeList();
  sim.SetErrorMode(0x8000);
  drives.RefreshDrives();
  // c:, e: and f: are asked for their volume; z: has its connection and is not.
  EXPECT_EQ(sim.ErrorModes(),
            (std::vector<std::uint32_t>{0x8000, 1, 0x8000, 1, 0x8000, 1, 0x8000}));
  ASSERT_EQ(sim.VolumeQueries().size(), 3u);
  for (const auto& query : sim.VolumeQueries())
    EXPECT_EQ(query.errorMode, 1u) << query.root;

  // The folder list asks for the volume's case rules in the normal mode.
  folders.SetFolder("C:\\Program Files");
  ASSERT_EQ(sim.VolumeQueries().size(), 4u);
  EXPECT_EQ(sim.VolumeQueries().back().errorMode, 0x8000u);
  EXPECT_EQ(sim.ErrorMode(), 0x8000u);
}

TEST_F(FileCtrlDrivesTest, WindowsMadeAfterTheFolderIsSetShowItsDriveAndFolder) {
  AddSampleDrives();
  sim.AddFolder("C:\\Apps\\Editor\\Plugins");
  MakePage();
  list->SetFolder("C:\\Apps\\Editor");  // before any window, as the wizard does
  EXPECT_EQ(selector->CurrentDrive(), 'c');
  EXPECT_EQ(selector->Items().Count(), 0);
  EXPECT_EQ(list->ItemIndex(), -1);
  events.clear();

  form.Show();
  EXPECT_EQ(selector->Text(), "c: [system]");
  EXPECT_EQ(selector->CurrentDrive(), 'c');
  EXPECT_EQ(list->ItemIndex(), 2);  // the folder's own item
  EXPECT_EQ(list->Folder(), "C:\\Apps\\Editor");
  EXPECT_EQ(events, Strings{"selector c"});  // the list neither moved nor told of a change
}

TEST_F(FileCtrlDrivesTest, WithoutAFolderTheSelectorStartsWithNoDrive) {
  AddSampleDrives();
  MakePage();
  form.Show();
  EXPECT_EQ(selector->Items().Count(), 4);
  EXPECT_EQ(selector->ItemIndex(), -1);
  EXPECT_EQ(selector->CurrentDrive(), ' ');
  EXPECT_EQ(list->Items().Count(), 0);
  EXPECT_EQ(events, Strings{"selector  "});
}

TEST_F(FileCtrlDrivesTest, PickingTheProgramFilesDrivePrefersTheHostFolderThere) {
  AddSampleDrives();
  sim.AddFolder("C:\\Program Files\\Veloquin\\Lang");
  MakePage();
  selector->OnClick = [this](ui::TObject*) { events.push_back("click"); };
  list->SetFolder("E:\\");
  form.Show();
  events.clear();

  // The user picks c:, the list follows, the wizard hears of it, the selector last.
  platform.Pick(*selector, DriveItem('c'));
  EXPECT_EQ(list->Folder(), "C:\\Program Files\\Veloquin");
  EXPECT_EQ(events, (Strings{"click", "list C:\\Program Files\\Veloquin", "selector c"}));
  EXPECT_EQ(list->Items()[list->ItemIndex()], "C:\\Program Files\\Veloquin");

  // Without the host's folder: Program Files itself, with its final backslash.
  platform.Pick(*selector, DriveItem('e'));
  sim.Remove("C:\\Program Files\\Veloquin");
  platform.Pick(*selector, DriveItem('c'));
  EXPECT_EQ(list->Folder(), "C:\\Program Files\\");
  EXPECT_EQ(Texts(list->Items()), (Strings{"C:\\", "C:\\Program Files"}));
  EXPECT_EQ(list->ItemIndex(), 1);
}

TEST_F(FileCtrlDrivesTest, PickingAnotherDriveKeepsThePathWhereItExistsThere) {
  AddSampleDrives();
  sim.AddFolder("C:\\Apps\\Editor");
  MakePage();
  list->SetFolder("C:\\Apps\\Editor");
  form.Show();

  events.clear();
  platform.Pick(*selector, DriveItem('e'));
  EXPECT_EQ(list->Folder(), "e:\\");
  EXPECT_EQ(events, (Strings{"list e:\\", "selector e"}));

  // With the folder present on F:, coming back from C:\Apps\Editor lands on it.
  sim.AddFolder("F:\\Apps\\Editor");
  list->SetFolder("C:\\Apps\\Editor");
  platform.Pick(*selector, DriveItem('f'));
  EXPECT_EQ(list->Folder(), "f:\\Apps\\Editor");
  EXPECT_EQ(Texts(list->Items()), (Strings{"f:\\", "f:\\Apps", "f:\\Apps\\Editor"}));
  EXPECT_EQ(list->ItemIndex(), 2);
}

TEST_F(FileCtrlDrivesTest, WithoutAProgramFilesPathItsDriveIsLikeAnyOther) {
  AddSampleDrives();
  sim.FailSpecialFolder(os::kCsidlProgramFiles);
  sim.AddFolder("C:\\Apps");
  sim.AddFolder("E:\\Apps");
  MakePage();
  list->SetFolder("E:\\Apps");
  form.Show();
  platform.Pick(*selector, DriveItem('c'));
  EXPECT_EQ(list->Folder(), "c:\\Apps");
}

TEST_F(FileCtrlDrivesTest, PickingTheCurrentDriveChangesNothing) {
  AddSampleDrives();
  sim.AddFolder("C:\\Apps\\Editor");
  MakePage();
  list->SetFolder("C:\\Apps\\Editor");
  form.Show();
  int clicks = 0;
  selector->OnClick = [&](ui::TObject*) { ++clicks; };
  events.clear();
  sim.AddFolder("C:\\Apps\\Editor\\New");  // would show up in a rebuilt list

  platform.Pick(*selector, DriveItem('c'));
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(list->Items().Count(), 3);
  EXPECT_EQ(list->Folder(), "C:\\Apps\\Editor");
}

TEST_F(FileCtrlDrivesTest, AFolderOnAMissingDriveMovesTheCurrentDriveButNotTheItem) {
  AddSampleDrives();
  MakePage();
  list->SetFolder("C:\\Program Files");
  form.Show();
  events.clear();

  list->SetFolder("q:\\Data");
  EXPECT_EQ(list->Folder(), "q:\\");
  EXPECT_EQ(Texts(list->Items()), Strings{"q:\\"});
  EXPECT_EQ(selector->CurrentDrive(), 'q');
  EXPECT_EQ(selector->Text(), "c: [system]");
  EXPECT_EQ(events, (Strings{"selector q", "list q:\\"}));

  // The item still shows c:, but picking it is a change of drive again.
  platform.Pick(*selector, DriveItem('c'));
  EXPECT_EQ(list->Folder(), "C:\\Program Files\\");
}

TEST_F(FileCtrlDrivesTest, ASelectionOfAFolderOnAnotherDriveSelectsThatDrivesItem) {
  AddSampleDrives();
  sim.AddFolder("E:\\Books\\Old");
  MakePage();
  list->SetFolder("C:\\Program Files");
  form.Show();
  events.clear();
  list->SetFolder("E:\\Books\\Old");
  EXPECT_EQ(selector->Text(), "e: [stick]");
  EXPECT_EQ(selector->CurrentDrive(), 'e');
  EXPECT_EQ(list->Folder(), "E:\\Books\\Old");  // the list keeps the path it was given
  EXPECT_EQ(events, (Strings{"selector e", "list E:\\Books\\Old"}));

  // A drive letter with no item (a CD-ROM) leaves the selection where it was.
  selector->SelectDrive('D');
  EXPECT_EQ(selector->CurrentDrive(), 'd');
  EXPECT_EQ(selector->Text(), "e: [stick]");
  EXPECT_EQ(list->Folder(), "d:\\");
}

TEST_F(FileCtrlDrivesTest, DrawsEveryItemOnTheWindowColourWithItsPictureAndText) {
  AddSampleDrives();
  auto& drives = MakeSelector();
  drives.RefreshDrives();
  drives.SetItemIndex(3);  // the last item drawn is the selected one

  ui::RecordingCanvas canvas;
  platform.PaintDropDown(drives, canvas);
  const auto fills = canvas.Calls(Op::FillRect);
  const auto pictures = canvas.Calls(Op::DrawTransparent);
  const auto texts = canvas.Calls(Op::DrawText);
  ASSERT_EQ(fills.size(), 4u);
  ASSERT_EQ(pictures.size(), 4u);
  ASSERT_EQ(texts.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const ui::TRect item = drives.ItemRect(i);
    const ui::TBitmap& picture = *static_cast<ui::TBitmap*>(drives.Items().Objects(i));
    EXPECT_EQ(fills[i].rect, item);
    EXPECT_EQ(fills[i].brush, ui::clWindow);  // the selected one as well
    EXPECT_EQ(pictures[i].bitmap, &picture);
    EXPECT_EQ(pictures[i].rect,
              ui::Bounds(2, (item.Top + item.Bottom - picture.Height()) / 2, 16, picture.Height()));
    EXPECT_EQ(pictures[i].transparent, picture.BottomLeftColor());
    EXPECT_EQ(pictures[i].brush, ui::clWindow);
    EXPECT_EQ(texts[i].text, drives.Items()[i]);
    EXPECT_EQ(texts[i].rect.Left, 16 + 6);  // the picture's width and 6 more
    EXPECT_EQ(texts[i].flags, ui::kDtSingleLine | ui::kDtVCenter | ui::kDtNoPrefix);
    EXPECT_EQ(texts[i].font.Color, ui::clWindowText);
  }
  // The fixed disk's picture is one row taller: both are centred in the item.
  EXPECT_EQ(pictures[0].rect.Top, (0 + 17 - 11) / 2);
  EXPECT_EQ(pictures[1].rect.Top, (17 + 34 - 10) / 2);
  // The highlight colours of the selected item are back for the focus rectangle.
  const auto focus = canvas.Calls(Op::DrawFocusRect);
  ASSERT_EQ(focus.size(), 1u);
  EXPECT_EQ(focus[0].brush, ui::clHighlight);
  EXPECT_EQ(canvas.Font.Color, ui::clHighlightText);
}

TEST_F(FileCtrlDrivesTest, TheFormDescriptionLinksTheListByNameAndSetsHeightAndEvents) {
  int changes = 0;
  form.Publish("DestDirLstBxChange", [&](ui::TObject*) { ++changes; });
  auto& drives = MakeSelector();
  drives.SetProperty("DirList", uitest::Id("DestDirLstBx"));  // named before it exists
  auto& folders = MakeList();
  folders.SetProperty("OnChange", uitest::Id("DestDirLstBxChange"));
  form.EndLoading();
  EXPECT_EQ(drives.DirList(), &folders);
  EXPECT_EQ(folders.DriveSelector(), &drives);
  EXPECT_EQ(folders.ItemHeight(), 17);
  folders.SetFolder("C:\\Program Files");
  EXPECT_EQ(changes, 1);

  // A name that is no folder list, or nothing at all, stops the loading with its reason.
  auto& other = MakeSelector("OtherCmbBx");
  other.SetProperty("DirList", uitest::Id("DestDirCmbBx"));
  EXPECT_THROW(
      {
        try {
          form.EndLoading();
        } catch (const EFormError& e) {
          EXPECT_STREQ(e.what(), "DirList DestDirCmbBx is no folder list");
          throw;
        }
      },
      EFormError);
  other.SetProperty("DirList", uitest::Id("Nowhere"));
  EXPECT_THROW(form.EndLoading(), EFormError);
}

TEST_F(FileCtrlDrivesTest, ALinkEndsWhenEitherSideGoesOrAnotherListIsLinked) {
  MakePage();
  auto& second = MakeList("SecondLstBx");
  selector->SetDirList(&second);
  EXPECT_EQ(list->DriveSelector(), nullptr);
  EXPECT_EQ(second.DriveSelector(), selector);

  // A list taken over by another selector leaves the first one without a list.
  auto& other = MakeSelector("OtherCmbBx");
  other.SetDirList(&second);
  EXPECT_EQ(selector->DirList(), nullptr);

  delete &second;
  EXPECT_EQ(other.DirList(), nullptr);
  other.SetDirList(list);
  delete &other;
  EXPECT_EQ(list->DriveSelector(), nullptr);
  list->SetFolder("C:\\Program Files");  // no selector to reach
  EXPECT_EQ(list->Folder(), "C:\\Program Files");
}

}  // namespace
