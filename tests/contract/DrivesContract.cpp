// Drive queries as the drive picker and the portable-drive test make them: the drive mask,
// drive kinds, volume information of roots, and network names of local drives.
#include <string>

#include "contract/ContractEnv.h"

namespace contract {
namespace {

class DrivesContract : public ContractTest {
 protected:
  void SetUp() override {
    ContractTest::SetUp();
    letter_ = scratch()[0];
    os().CharUpperBuffA(letter_);
    std::uint32_t drives = os().GetLogicalDrives();
    for (int n = 25; n >= 2 && missing_.empty(); --n) {
      if ((drives & (1u << n)) == 0) missing_ = std::string(1, static_cast<char>('A' + n));
    }
    ASSERT_FALSE(missing_.empty());
  }

  std::string letter_ = "C";  // of the scratch folder's drive
  std::string missing_;       // a letter without a drive
};

TEST_F(DrivesContract, MaskHoldsTheScratchDrive) {
  EXPECT_NE(os().GetLogicalDrives() & (1u << (letter_[0] - 'A')), 0u);
}

TEST_F(DrivesContract, DriveKinds) {
  struct Case {
    std::string root;
    std::uint32_t kind;
  };
  std::string lower = letter_ + ":\\";
  os().CharLowerBuffA(lower);
  const Case cases[] = {
      {letter_ + ":\\", os::kDriveFixed},      {lower, os::kDriveFixed},
      {letter_ + ":", os::kDriveFixed},  // the backslash may be left out
      {missing_ + ":\\", os::kDriveNoRootDir}, {"", os::kDriveNoRootDir},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(os().GetDriveTypeA(c.root), c.kind) << "[" << c.root << "]";
  }
}

TEST_F(DrivesContract, VolumeInformationOfRootsOnly) {
  for (bool wantName : {false, true}) {
    SCOPED_TRACE(wantName);
    std::optional<os::VolumeInfo> info = os().GetVolumeInformationA(letter_ + ":\\", wantName);
    ASSERT_TRUE(info.has_value());
    EXPECT_NE(info->fileSystemFlags & os::kFsCaseIsPreserved, 0u);
    EXPECT_EQ(info->maxComponentLength, 255u);
    if (!wantName) {
      EXPECT_EQ(info->name, "");
    }
  }
  EXPECT_FALSE(os().GetVolumeInformationA(missing_ + ":\\", true).has_value());
  EXPECT_FALSE(os().GetVolumeInformationA(scratch(), true).has_value());  // not a root
}

TEST_F(DrivesContract, LocalDriveHasNoNetworkName) {
  EXPECT_FALSE(os().WNetGetConnectionA(letter_ + ":").has_value());
  EXPECT_FALSE(os().WNetGetConnectionA(missing_ + ":").has_value());
}

TEST_F(DrivesContract, TempPathIsAnExistingFolder) {
  std::string temp = os().GetTempPathA();
  ASSERT_GT(temp.size(), 3u);
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_EQ(temp[1], ':');
  std::optional<os::FindData> folder = FindOne(temp.substr(0, temp.size() - 1));
  ASSERT_TRUE(folder.has_value());
  EXPECT_NE(folder->attributes & os::kFileAttributeDirectory, 0u);
}

}  // namespace
}  // namespace contract
