// What the system reports as the current directory after it was set, the answers that
// the folder-existence test of the utilities rests on.
#include <string>

#include "contract/ContractEnv.h"

namespace contract {
namespace {

class CurrentDirectoryContract : public ContractTest {
 protected:
  void SetUp() override {
    ContractTest::SetUp();
    ASSERT_TRUE(MakeFolder(At("Folder")));
    ASSERT_TRUE(MakeFolder(At("Folder\\Inner")));
    ASSERT_TRUE(os().SetCurrentDirectoryA(scratch()));
    base_ = scratch().substr(0, scratch().size() - 1);  // reported without the backslash
  }

  std::string base_;
};

TEST_F(CurrentDirectoryContract, ReportsThePathAsGivenNormalised) {
  struct Case {
    std::string given;
    std::string reported;
  };
  std::string slashed = At("Folder/Inner/");
  for (char& c : slashed) {
    if (c == '\\') c = '/';
  }
  const Case cases[] = {
      {At("Folder"), base_ + "\\Folder"},
      // The letter case is kept as given, not as stored.
      {At("FOLDER"), base_ + "\\FOLDER"},
      {At("folder\\inner"), base_ + "\\folder\\inner"},
      // The final backslash is dropped.
      {At("Folder\\"), base_ + "\\Folder"},
      // Slashes become backslashes.
      {slashed, base_ + "\\Folder\\Inner"},
      // "." and ".." parts are resolved.
      {At("Folder\\.."), base_},
      {At("Folder\\Inner\\..\\..\\Folder\\.\\Inner\\"), base_ + "\\Folder\\Inner"},
      // Resolved by the text alone: the folder before ".." need not exist.
      {At("Missing\\..\\Folder"), base_ + "\\Folder"},
      // Doubled backslashes count once; dots and spaces at the end of the name are dropped.
      {base_ + "\\\\Folder\\\\Inner", base_ + "\\Folder\\Inner"},
      {At("Folder."), base_ + "\\Folder"},
      {At("Folder. "), base_ + "\\Folder"},
      // Relative to the current directory.
      {"Folder", base_ + "\\Folder"},
      {".\\Folder\\Inner\\..", base_ + "\\Folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given);
    ASSERT_TRUE(os().SetCurrentDirectoryA(scratch()));
    EXPECT_TRUE(os().SetCurrentDirectoryA(c.given));
    EXPECT_EQ(CurrentDirectory(), c.reported);
  }
}

TEST_F(CurrentDirectoryContract, DriveRootKeepsItsBackslash) {
  std::string root = scratch().substr(0, 3);  // "C:\"
  EXPECT_TRUE(os().SetCurrentDirectoryA(root));
  EXPECT_EQ(CurrentDirectory(), root);
}

TEST_F(CurrentDirectoryContract, BareLetterOfTheCurrentDriveKeepsTheFolder) {
  ASSERT_TRUE(os().SetCurrentDirectoryA(At("Folder")));
  std::string drive = scratch().substr(0, 2);  // "C:"
  EXPECT_TRUE(os().SetCurrentDirectoryA(drive));
  EXPECT_EQ(CurrentDirectory(), base_ + "\\Folder");

  std::string lower = drive;
  os().CharLowerBuffA(lower);
  EXPECT_TRUE(os().SetCurrentDirectoryA(lower));
  EXPECT_EQ(CurrentDirectory(), base_ + "\\Folder");
}

TEST_F(CurrentDirectoryContract, RefusalLeavesTheCurrentDirectory) {
  ASSERT_TRUE(os().SetCurrentDirectoryA(At("Folder")));
  const std::string before = CurrentDirectory();

  // A drive letter the machine does not have.
  std::uint32_t drives = os().GetLogicalDrives();
  std::string missingDrive;
  for (int letter = 25; letter >= 2 && missingDrive.empty(); --letter) {
    if ((drives & (1u << letter)) == 0) missingDrive = std::string(1, char('A' + letter)) + ":\\";
  }
  ASSERT_FALSE(missingDrive.empty());
  MakeFile(At("file.txt"), "x");

  const std::string refused[] = {
      At("Missing"), At("Missing\\"), At("file.txt"), "", missingDrive, missingDrive + "Folder",
  };
  for (const std::string& path : refused) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(os().SetCurrentDirectoryA(path));
    EXPECT_EQ(CurrentDirectory(), before);
  }
}

}  // namespace
}  // namespace contract
