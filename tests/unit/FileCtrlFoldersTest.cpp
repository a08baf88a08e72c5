// The folder list: its items, the folders it opens on a click and on SetFolder, the letter
// case of names, the drawing of its items, and Cyrillic names on a Cyrillic system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FileCtrlTestSupport.h"

namespace {

using namespace filectrltest;
using Op = ui::CanvasCall::Op;
using Strings = std::vector<std::string>;

class FileCtrlFoldersTest : public FileCtrlTest {
 protected:
  // C:\Apps\Editor with two subfolders, the first with one of its own.
  void AddEditor() {
    sim.AddFolder("C:\\Apps\\Editor\\Plugins\\Spell");
    sim.AddFolder("C:\\Apps\\Editor\\Docs");
  }
  // A list on its own with OnChange counted.
  TDirectoryListBox& CountingList() {
    auto& folders = MakeList();
    folders.OnChange = [this](ui::TObject*) { ++changes; };
    return folders;
  }
  int changes = 0;
};

TEST_F(FileCtrlFoldersTest, ShowsEachLevelThenTheVisibleSubfoldersInCaseBlindOrder) {
  for (const char* name : {"zeta", "Alpha", "beta", "b-c", "Ba", "Hidden", "Sys", "Both"})
    sim.AddFolder(std::string("C:\\Apps\\Editor\\") + name);
  sim.SetAttributes("C:\\Apps\\Editor\\Hidden", os::kFileAttributeHidden);
  sim.SetAttributes("C:\\Apps\\Editor\\Sys", os::kFileAttributeSystem);
  sim.SetAttributes("C:\\Apps\\Editor\\Both", os::kFileAttributeHidden | os::kFileAttributeSystem);
  sim.AddFile("C:\\Apps\\Editor\\readme.txt");
  // Two names the ANSI code page cannot hold both come as "?": equal names both stay.
  sim.AddFolder("C:\\Apps\\Editor\\Ω");
  sim.AddFolder("C:\\Apps\\Editor\\Ж");

  auto& folders = CountingList();
  EXPECT_EQ(folders.ItemHeight(), 17);  // a folder picture and one line more
  EXPECT_EQ(folders.Folder(), std::string(1, '\0'));
  folders.SetFolder("C:\\Apps\\Editor");
  const std::string p = "C:\\Apps\\Editor\\";
  // Hyphens count as signs, before letters; case does not count.
  EXPECT_EQ(Texts(folders.Items()),
            (Strings{"C:\\", "C:\\Apps", "C:\\Apps\\Editor", p + "?", p + "?", p + "Alpha",
                     p + "b-c", p + "Ba", p + "beta", p + "zeta"}));
  for (int i = 0; i < folders.Items().Count(); ++i) {
    EXPECT_EQ(folders.Items().Objects(i),
              i < 3 ? &folders.OpenFolderImage() : &folders.ClosedFolderImage())
        << i;
  }
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(folders.ItemIndex(), -1);  // no window yet

  form.Show();
  EXPECT_EQ(folders.ItemIndex(), 2);
  EXPECT_EQ(changes, 1);
}

TEST_F(FileCtrlFoldersTest, EachMoveOfTheSelectionOpensTheFolderItLandsOn) {
  AddEditor();
  auto& folders = CountingList();
  int clicks = 0;
  folders.OnClick = [&](ui::TObject*) { ++clicks; };
  folders.SetFolder("C:\\Apps\\Editor");
  form.Show();
  changes = 0;

  struct Step {
    const char* what;
    int pick;
    std::string folder;
    Strings items;
  };
  const std::vector<Step> steps = {
      {"Down arrow from the folder: its first subfolder",
       3,
       "C:\\Apps\\Editor\\Docs",
       {"C:\\", "C:\\Apps", "C:\\Apps\\Editor", "C:\\Apps\\Editor\\Docs"}},
      {"a click on a folder below: it opens with its own subfolders",
       2,
       "C:\\Apps\\Editor",
       {"C:\\", "C:\\Apps", "C:\\Apps\\Editor", "C:\\Apps\\Editor\\Docs",
        "C:\\Apps\\Editor\\Plugins"}},
      {"a subfolder further down",
       4,
       "C:\\Apps\\Editor\\Plugins",
       {"C:\\", "C:\\Apps", "C:\\Apps\\Editor", "C:\\Apps\\Editor\\Plugins",
        "C:\\Apps\\Editor\\Plugins\\Spell"}},
      {"an ancestor", 1, "C:\\Apps", {"C:\\", "C:\\Apps", "C:\\Apps\\Editor"}},
      {"the root",
       0,
       "C:\\",
       {"C:\\", "C:\\Apps", "C:\\Program Files", "C:\\ProgramData", "C:\\Users", "C:\\Windows"}},
  };
  int expectedChanges = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    platform.Pick(folders, step.pick);
    EXPECT_EQ(folders.Folder(), step.folder);
    EXPECT_EQ(Texts(folders.Items()), step.items);
    EXPECT_EQ(folders.ItemIndex(), TDirectoryListBox::FolderLevel(step.folder));
    EXPECT_EQ(changes, ++expectedChanges);
  }

  // The folder's own item opens nothing new; a double click does nothing more.
  platform.Pick(folders, 0);
  platform.DoubleClick(folders);
  EXPECT_EQ(changes, expectedChanges);
  EXPECT_EQ(clicks, 0);  // the list's click event is never fired
}

TEST_F(FileCtrlFoldersTest, SetFolderTakesTheNearestExistingFolder) {
  AddEditor();
  sim.AddShare("\\\\srv\\data");
  sim.AddFolder("\\\\srv\\data\\Apps");
  struct Case {
    std::string path;
    std::string folder;
    Strings items;
    int changes;
  };
  const std::vector<Case> cases = {
      {"C:\\Apps\\Missing\\Deeper", "C:\\Apps\\", {"C:\\", "C:\\Apps", "C:\\Apps\\Editor"}, 1},
      {"C:\\Apps\\Editor\\",
       "C:\\Apps\\Editor\\",
       {"C:\\", "C:\\Apps", "C:\\Apps\\Editor", "C:\\Apps\\Editor\\Docs",
        "C:\\Apps\\Editor\\Plugins"},
       1},
      {"C:\\Program Files", "C:\\Program Files", {"C:\\", "C:\\Program Files"}, 0},  // the same
      {"", "C:\\Program Files", {"C:\\", "C:\\Program Files"}, 0},
      // Neither a relative nor a network path has a drive to show: the list is left empty.
      {"Apps\\Editor", "", {}, 1},
      {"\\\\srv\\data\\Apps", "", {}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    ui::TForm page(nullptr);
    auto& folders = uitest::Make<TDirectoryListBox>(page, page, "Folders");
    folders.SetFolder("C:\\Program Files");
    page.Show();
    int seen = 0;
    folders.OnChange = [&](ui::TObject*) { ++seen; };
    folders.SetFolder(c.path);
    EXPECT_EQ(folders.Folder(), c.folder);
    EXPECT_EQ(Texts(folders.Items()), c.items);
    EXPECT_EQ(seen, c.changes);
    if (!c.items.empty()) {
      EXPECT_EQ(folders.ItemIndex(), TDirectoryListBox::FolderLevel(c.folder));
    }
  }
}

TEST_F(FileCtrlFoldersTest, WithNoFolderAPickedDriveShowsItsRoot) {
  sim.AddDrive('E', {.kind = os::kDriveRemovable});
  sim.AddFolder("E:\\Books");
  MakePage();
  list->SetFolder("Apps\\Editor");
  EXPECT_EQ(list->Folder(), "");
  EXPECT_EQ(selector->CurrentDrive(), '\0');  // the selector was not touched
  form.Show();
  events.clear();
  platform.Pick(*selector, DriveItem('e'));
  EXPECT_EQ(list->Folder(), "e:\\");
  EXPECT_EQ(Texts(list->Items()), (Strings{"e:\\", "e:\\Books"}));
}

TEST_F(FileCtrlFoldersTest, TheSameFolderInOtherLetterCaseIsNoChangeUnlessTheVolumeMindsCase) {
  AddEditor();
  for (const bool caseSensitive : {false, true}) {
    SCOPED_TRACE(caseSensitive ? "case-sensitive volume" : "case-preserving volume");
    sim.Drive('C').fileSystemFlags =
        os::kFsCaseIsPreserved | (caseSensitive ? os::kFsCaseSensitive : 0);
    ui::TForm page(nullptr);
    auto& folders = uitest::Make<TDirectoryListBox>(page, page, "Folders");
    folders.SetFolder("C:\\Apps\\Editor");
    EXPECT_EQ(folders.VolumeIsCaseSensitive(), caseSensitive);
    int seen = 0;
    folders.OnChange = [&](ui::TObject*) { ++seen; };
    folders.SetFolder("c:\\APPS\\editor");
    EXPECT_EQ(seen, caseSensitive ? 1 : 0);
    EXPECT_EQ(folders.Folder(), caseSensitive ? "c:\\APPS\\editor" : "C:\\Apps\\Editor");
  }
}

TEST_F(FileCtrlFoldersTest, DrawsLevelsIndentedAndSubfoldersOneStepBelowTheFolder) {
  AddEditor();
  auto& folders = MakeList();
  folders.SetItemHeight(20);  // room to see the centring
  folders.SetFolder("C:\\Apps\\Editor");
  form.Show();

  ui::RecordingCanvas canvas;
  platform.PaintItems(folders, canvas);
  const auto fills = canvas.Calls(Op::FillRect);
  const auto pictures = canvas.Calls(Op::DrawTransparent);
  const auto texts = canvas.Calls(Op::TextOut);
  struct Item {
    int indent;
    std::string text;
  };
  const std::vector<Item> expected = {
      {3, "C:"}, {15, "Apps"}, {27, "Editor"}, {39, "Docs"}, {39, "Plugins"}};
  ASSERT_EQ(fills.size(), expected.size());
  ASSERT_EQ(pictures.size(), expected.size());
  ASSERT_EQ(texts.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    const int top = 20 * static_cast<int>(i);
    const ui::TBitmap& picture = *static_cast<ui::TBitmap*>(folders.Items().Objects(int(i)));
    // The selected item keeps the highlight colours the list prepared.
    EXPECT_EQ(fills[i].brush, i == 2 ? ui::clHighlight : ui::clWindow);
    EXPECT_EQ(pictures[i].rect, ui::Bounds(expected[i].indent, top + 2, 16, 16));
    EXPECT_EQ(pictures[i].transparent, picture.BottomLeftColor());
    EXPECT_EQ(texts[i].text, expected[i].text);
    EXPECT_EQ(texts[i].rect.Left, 16 + expected[i].indent + 4);
    EXPECT_EQ(texts[i].rect.Top, top + (20 - 13) / 2);
    EXPECT_EQ(texts[i].font.Color, i == 2 ? ui::clHighlightText : ui::clWindowText);
  }
}

TEST_F(FileCtrlFoldersTest, OnAVolumeThatKeepsNoCaseNamesAreShownInLowerCase) {
  AddEditor();
  auto& folders = MakeList();
  folders.SetFolder("C:\\Apps\\Editor");
  ui::RecordingCanvas asStored;
  platform.PaintItems(folders, asStored);

  sim.Drive('C').fileSystemFlags = 0x4;  // neither preserved nor sensitive
  folders.RebuildFolders();
  EXPECT_FALSE(folders.VolumeKeepsCase());
  ui::RecordingCanvas lowered;
  platform.PaintItems(folders, lowered);

  Strings stored;
  Strings shown;
  for (const auto& call : asStored.Calls(Op::TextOut))
    stored.push_back(call.text);
  for (const auto& call : lowered.Calls(Op::TextOut))
    shown.push_back(call.text);
  EXPECT_EQ(stored, (Strings{"C:", "Apps", "Editor", "Docs", "Plugins"}));
  EXPECT_EQ(shown, (Strings{"c:", "apps", "editor", "docs", "plugins"}));
  EXPECT_EQ(folders.Items()[1], "C:\\Apps");  // the paths themselves keep their case
}

TEST_F(FileCtrlFoldersTest, CyrillicNamesAreSortedComparedAndLoweredOnACyrillicSystem) {
  sim.SetCodePage(1251);
  for (const char* name : {"Вестник", "abc", "банк", "Архив", "Ёлка", "Жито"})
    sim.AddFolder(std::string("C:\\Документы\\") + name);
  const auto ansi = [&](std::u16string_view text) { return sim.WideToAnsi(text); };
  auto& folders = CountingList();
  folders.SetFolder(ansi(u"C:\\Документы"));
  const std::string p = ansi(u"C:\\Документы\\");
  // Ё sorts with Е, before Ж.
  EXPECT_EQ(
      Texts(folders.Items()),
      (Strings{"C:\\", ansi(u"C:\\Документы"), p + "abc", p + ansi(u"Архив"), p + ansi(u"банк"),
               p + ansi(u"Вестник"), p + ansi(u"Ёлка"), p + ansi(u"Жито")}));

  // The same folder in lower case is no change.
  folders.SetFolder(ansi(u"c:\\документы"));
  EXPECT_EQ(changes, 1);

  sim.Drive('C').fileSystemFlags = 0;
  folders.RebuildFolders();
  ui::RecordingCanvas canvas;
  platform.PaintItems(folders, canvas);
  const auto texts = canvas.Calls(Op::TextOut);
  ASSERT_EQ(texts.size(), 8u);
  EXPECT_EQ(texts[1].text, ansi(u"документы"));
  EXPECT_EQ(texts[3].text, ansi(u"архив"));
  EXPECT_EQ(texts[6].text, ansi(u"ёлка"));
}

TEST_F(FileCtrlFoldersTest, ALonelyListFollowsADriveByItself) {
  sim.AddDrive('E', {.kind = os::kDriveRemovable});
  sim.AddFolder("E:\\Program Files");
  auto& folders = CountingList();
  folders.FollowDrive(' ');  // no drive
  EXPECT_EQ(changes, 0);
  folders.FollowDrive('e');  // from the placeholder, which holds no path: the root
  EXPECT_EQ(folders.Folder(), "e:\\");
  folders.FollowDrive('E');  // the same drive
  EXPECT_EQ(changes, 1);
  folders.FollowDrive('c');
  EXPECT_EQ(folders.Folder(), "C:\\Program Files\\");
  folders.FollowDrive('e');  // the same path where it exists
  EXPECT_EQ(folders.Folder(), "e:\\Program Files\\");
  EXPECT_EQ(changes, 3);

  // A folder on another drive needs no second move.
  folders.SetFolder("C:\\Users");
  EXPECT_EQ(folders.Folder(), "C:\\Users");
  EXPECT_EQ(changes, 4);
}

}  // namespace
