#include "InstUtils.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "DayCount.h"
#include "os/Machine.h"
#include "os/sim/SimOs.h"

namespace {

class InstUtilsTest : public testing::Test {
 protected:
  InstUtilsTest() { InstUtilsStartup(); }
  ~InstUtilsTest() override { InstUtilsShutdown(); }

  os::SimOs sim;
  os::MachineScope scope{sim};
};

TEST(PathText, EnsureBackslashAndJoinPath) {
  struct Case {
    std::string in, ensured;
  };
  for (const Case& c : std::initializer_list<Case>{{"", ""},
                                                   {"C:", "C:\\"},
                                                   {"C:\\", "C:\\"},
                                                   {"C:\\a/", "C:\\a\\"},
                                                   {"C:/a/b", "C:/a/b\\"},
                                                   {"\\\\srv\\share", "\\\\srv\\share\\"}}) {
    std::string s = c.in;
    EnsureBackslash(s);
    EXPECT_EQ(s, c.ensured) << c.in;
  }
  EXPECT_EQ(JoinPath("", "name.txt"), "name.txt");
  EXPECT_EQ(JoinPath("C:\\dir", "name.txt"), "C:\\dir\\name.txt");
  EXPECT_EQ(JoinPath("C:\\dir\\", "name.txt"), "C:\\dir\\name.txt");
  EXPECT_EQ(JoinPath("C:\\dir", "\\lead"), "C:\\dir\\\\lead");
}

TEST(PathText, CharacterEdits) {
  std::string s = "ab";
  EXPECT_EQ(LastChar(s), 'b');
  EXPECT_EQ(LastChar(""), '\0');
  DropFirstChar(s);
  EXPECT_EQ(s, "b");
  DropLastChar(s);
  EXPECT_EQ(s, "");
  DropLastChar(s);
  DropFirstChar(s);
  EXPECT_EQ(s, "");
}

TEST_F(InstUtilsTest, SamePathIgnoresCaseOnlyUnderTheCodePage) {
  EXPECT_TRUE(SamePath("C:\\Program Files\\Veloquin", "c:\\PROGRAM FILES\\veloquin"));
  EXPECT_FALSE(SamePath("C:\\Dir", "C:\\Dir\\"));
  EXPECT_FALSE(SamePath("C:\\a\\..\\b", "C:\\b"));
  // "Документи" and "ДОКУМЕНТИ" in code page 1251.
  sim.SetCodePage(1251);
  EXPECT_TRUE(
      SamePath("\xc4\xee\xea\xf3\xec\xe5\xed\xf2\xe8", "\xc4\xce\xca\xd3\xcc\xc5\xcd\xd2\xc8"));
}

TEST_F(InstUtilsTest, FolderExistsAcceptsOnlyPathsReportedBackTheSame) {
  sim.AddFolder("C:\\Apps\\Editor");
  sim.AddDrive('E', {.kind = os::kDriveRemovable});
  sim.SetCurrentDirectoryA("C:\\Windows");
  struct Case {
    std::string path;
    bool exists;
  };
  for (const Case& c : std::initializer_list<Case>{{"C:\\Apps\\Editor", true},
                                                   {"c:\\apps\\editor\\", true},
                                                   {"C:\\Apps\\..\\Apps\\Editor", false},
                                                   {"C:\\Apps\\.\\Editor", false},
                                                   {"Apps", false},
                                                   {"", false},
                                                   {"C:", true},
                                                   {"E:\\", true},
                                                   {"Q:\\", false},
                                                   {"C:\\Missing", false}}) {
    EXPECT_EQ(FolderExists(c.path), c.exists) << c.path;
    EXPECT_EQ(sim.CurrentDirectory(), "C:\\Windows") << "after " << c.path;
  }
}

TEST_F(InstUtilsTest, TempFolderFallsBackToDocuments) {
  EXPECT_EQ(TempFolder(), "C:\\Users\\User\\AppData\\Local\\Temp\\");
  sim.Remove("C:\\Users\\User\\AppData\\Local\\Temp");
  EXPECT_EQ(TempFolder(), "C:\\Users\\User\\Documents\\");
  sim.FailSpecialFolder(os::kCsidlPersonal);
  EXPECT_EQ(TempFolder(), "");
}

TEST_F(InstUtilsTest, SpecialFolderGivesTheShellPathOrNothing) {
  EXPECT_EQ(SpecialFolder(os::kCsidlProgramFiles), "C:\\Program Files");
  EXPECT_EQ(SpecialFolder(0x7777), "");
}

TEST(InstUtilsStartupTest, FolderPathFunctionComesFromShfolderWhenShell32LacksIt) {
  os::SimOs sim;
  os::MachineScope scope(sim);
  sim.SetLibrary("shell32.dll", true, false);
  InstUtilsStartup();
  EXPECT_EQ(SpecialFolder(os::kCsidlCommonAppData), "C:\\ProgramData");
  const std::vector<std::string> expected{"shell32.dll", "shfolder.dll"};
  EXPECT_EQ(sim.LibraryRequests(), expected);
  InstUtilsShutdown();
  EXPECT_EQ(sim.OleInitializeCount(), 1);
  EXPECT_EQ(sim.OleUninitializeCount(), 1);

  sim.SetLibrary("shfolder.dll", false, false);
  InstUtilsStartup();
  EXPECT_EQ(SpecialFolder(os::kCsidlCommonAppData), "");
  InstUtilsShutdown();
}

TEST_F(InstUtilsTest, FileWriteStampHasTwoSecondPrecision) {
  sim.AddFile("C:\\f.txt", "x");
  // 10:15:37 local at UTC+2 is 08:15:37 UTC.
  sim.SetLastWriteTime("C:\\f.txt", os::SimOs::ToFileTime(2023, 6, 1, 8, 15, 37));
  EXPECT_EQ(FileWriteStamp("C:\\f.txt"), EncodeDayCount(2023, 6, 1, 10, 15, 36));

  // A path that names nothing gives the present moment, milliseconds included.
  sim.SetLocalTime(2024, 5, 1, 12, 0, 0, 250);
  EXPECT_EQ(FileWriteStamp("C:\\missing.txt"), EncodeDayCount(2024, 5, 1, 12, 0, 0, 250));

  // A time the DOS format cannot hold equals no stamp.
  sim.SetLastWriteTime("C:\\f.txt", os::SimOs::ToFileTime(1975, 1, 1));
  EXPECT_TRUE(std::isnan(FileWriteStamp("C:\\f.txt")));
}

TEST_F(InstUtilsTest, PortableDrives) {
  sim.AddDrive('A', {.kind = os::kDriveRemovable, .canOpenVolume = false});
  sim.AddDrive('D', {.kind = os::kDriveCdrom});
  sim.AddDrive('E',
               {.kind = os::kDriveRemovable, .busType = os::kBusTypeUsb, .removableMedia = true});
  sim.AddDrive('F', {.kind = os::kDriveFixed, .busType = os::kBusTypeUsb});
  sim.AddDrive('G', {.kind = os::kDriveFixed, .busType = os::kBusType1394});
  sim.AddDrive('H', {.kind = os::kDriveFixed, .busType = os::kBusTypeSata, .removableMedia = true});
  sim.AddDrive('I', {.kind = os::kDriveFixed, .busType = os::kBusTypeUsb, .canOpenVolume = false});
  sim.AddDrive('Z', {.kind = os::kDriveRemote, .remoteName = "\\\\srv\\data"});
  sim.AddShare("\\\\srv\\data");
  struct Case {
    std::string path;
    bool portable;
  };
  for (const Case& c : std::initializer_list<Case>{{"A:\\x", true},
                                                   {"C:\\Program Files", false},
                                                   {"D:\\", false},
                                                   {"e:\\Veloquin", true},
                                                   {"F:", true},
                                                   {"G:\\x", true},
                                                   {"H:\\x", true},
                                                   {"I:\\x", false},
                                                   {"Z:\\x", false},
                                                   {"\\\\srv\\data\\x", false},
                                                   {"relative\\x", false}}) {
    EXPECT_EQ(IsPortableDrive(c.path), c.portable) << c.path;
  }
  EXPECT_EQ(sim.OpenHandleCount(), 0u);
  EXPECT_EQ(DriveKind("\\\\srv\\data\\x\\y"), os::kDriveRemote);
  EXPECT_EQ(DrivePart("\\\\srv\\data\\x\\y"), "\\\\srv\\data");
}

TEST_F(InstUtilsTest, TempFileNamesCountFromZeroPastExistingFiles) {
  EXPECT_EQ(TempFilePrefix(), "~VeloquinBulgarianSpellcheckerSetup");
  const std::string temp = "C:\\Users\\User\\AppData\\Local\\Temp\\";
  EXPECT_EQ(NewTempFileName(), temp + "~VeloquinBulgarianSpellcheckerSetup0.tmp");
  EXPECT_EQ(NewTempFileName(), temp + "~VeloquinBulgarianSpellcheckerSetup0.tmp");
  sim.AddFile(temp + "~VeloquinBulgarianSpellcheckerSetup0.tmp");
  EXPECT_EQ(NewTempFileName(), temp + "~VeloquinBulgarianSpellcheckerSetup1.tmp");
  sim.Remove(temp + "~VeloquinBulgarianSpellcheckerSetup0.tmp");
  sim.AddFolder(temp + "~VeloquinBulgarianSpellcheckerSetup0.tmp");
  EXPECT_EQ(NewTempFileName(), temp + "~VeloquinBulgarianSpellcheckerSetup0.tmp");
}

TEST_F(InstUtilsTest, DeleteTempFilesSweepsOnlyThePrefixAndNeverWalksThroughLinks) {
  const std::string temp = "C:\\Users\\User\\AppData\\Local\\Temp\\";
  sim.AddFile(temp + "~VeloquinBulgarianSpellcheckerSetup3.tmp");
  sim.AddFile(temp + "~VeloquinBulgarianSpellcheckerSetupOld.tmp");
  sim.SetAttributes(temp + "~VeloquinBulgarianSpellcheckerSetupOld.tmp", os::kFileAttributeHidden);
  sim.AddFile(temp + "~VeloquinBulgarianSpellcheckerSetupDir\\a\\b.txt");
  sim.AddFile(temp + "~velOQUINBulgarianSpellcheckerSetup0.tmp");
  sim.AddFile(temp + "other.tmp");
  sim.AddFile("C:\\Precious\\keep.txt");
  sim.MakeLink(temp + "~VeloquinBulgarianSpellcheckerSetupLink", "C:\\Precious");
  sim.AddFolder(temp + "~VeloquinBulgarianSpellcheckerSetupNest");
  sim.MakeLink(temp + "~VeloquinBulgarianSpellcheckerSetupNest\\inner", "C:\\Precious");

  DeleteTempFiles();

  EXPECT_THAT(sim.ListFolder(temp), testing::UnorderedElementsAre(
                                        "~velOQUINBulgarianSpellcheckerSetup0.tmp", "other.tmp"));
  EXPECT_TRUE(sim.IsFile("C:\\Precious\\keep.txt"));
}

TEST_F(InstUtilsTest, MakeFoldersCreatesOutermostFirst) {
  sim.AddFolder("C:\\One");
  MakeFolders("C:\\One\\Two\\Three\\");
  EXPECT_TRUE(sim.IsFolder("C:\\One\\Two\\Three"));
  MakeFolders("C:\\One\\Two\\Three");
  MakeFolders("C:\\X\\Y");
  EXPECT_TRUE(sim.IsFolder("C:\\X\\Y"));
  MakeFolders("Q:\\Nowhere\\Deep");  // a drive that does not exist: nothing, no error
  sim.FailFolderCreation("C:\\Locked");
  MakeFolders("C:\\Locked\\Inner");
  EXPECT_FALSE(sim.Exists("C:\\Locked"));
}

TEST_F(InstUtilsTest, WriteFileBytesReplacesWholeFiles) {
  sim.AddFile("C:\\f.bin", std::string(100, 'x'));
  WriteFileBytes("C:\\f.bin", std::string("\0\1\2\3\4\5\6\7", 8));
  EXPECT_EQ(sim.FileContents("C:\\f.bin"), std::string("\0\1\2\3\4\5\6\7", 8));
  WriteFileBytes("C:\\f.bin", "");
  EXPECT_EQ(sim.FileContents("C:\\f.bin"), "");
  WriteFileBytes("C:\\Missing\\f.bin", "abc");
  EXPECT_FALSE(sim.Exists("C:\\Missing"));
  EXPECT_EQ(sim.OpenHandleCount(), 0u);
}

TEST_F(InstUtilsTest, DeleteFolderTreeLeavesWhatCannotBeDeleted) {
  sim.AddFile("C:\\T\\a.txt");
  sim.AddFile("C:\\T\\Sub\\b.txt");
  sim.AddFile("C:\\T\\Keep\\Deep\\ro.txt");
  sim.AddFile("C:\\T\\Keep\\gone.txt");
  sim.SetAttributes("C:\\T\\Keep\\Deep\\ro.txt", os::kFileAttributeReadOnly);
  DeleteFolderTree("C:\\T");
  EXPECT_FALSE(sim.Exists("C:\\T\\a.txt"));
  EXPECT_FALSE(sim.Exists("C:\\T\\Sub"));
  EXPECT_FALSE(sim.Exists("C:\\T\\Keep\\gone.txt"));
  EXPECT_TRUE(sim.IsFile("C:\\T\\Keep\\Deep\\ro.txt"));
}

TEST_F(InstUtilsTest, CyrillicNamesLandExactlyAsNamedUnderCodePage1251) {
  sim.SetCodePage(1251);
  // "C:\Потребител\Temp\" as the temp folder.
  const std::string temp = "C:\\\xcf\xee\xf2\xf0\xe5\xe1\xe8\xf2\xe5\xeb\\Temp\\";
  sim.AddFolder("C:\\Потребител\\Temp");
  sim.SetTempPath("C:\\Потребител\\Temp\\");
  EXPECT_EQ(TempFolder(), temp);
  WriteFileBytes(NewTempFileName(), "logo");
  EXPECT_EQ(sim.FileContents("C:\\Потребител\\Temp\\~VeloquinBulgarianSpellcheckerSetup0.tmp"),
            "logo");
  MakeFolders("C:\\\xcf\xe0\xef\xea\xe0\\\xc2\xfa\xf2\xf0\xe5");  // "C:\Папка\Вътре"
  EXPECT_TRUE(sim.IsFolder("C:\\Папка\\Вътре"));
  DeleteTempFiles();
  EXPECT_TRUE(sim.ListFolder("C:\\Потребител\\Temp").empty());
}

}  // namespace
