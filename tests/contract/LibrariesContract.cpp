// Libraries of the system folder and the shell's folder-path function, as the start-up of
// the utilities looks them up and the special-folder lookups call it.
#include <string>

#include "contract/ContractEnv.h"

namespace contract {
namespace {

using LibrariesContract = ContractTest;

TEST_F(LibrariesContract, SystemLibraryAndItsExports) {
  os::LibraryHandle shell = os().LoadSystemLibrary("shell32.dll");
  ASSERT_NE(shell, 0u);
  EXPECT_NE(os().GetProcAddress(shell, "SHGetFolderPathA"), 0u);
  EXPECT_EQ(os().GetProcAddress(shell, "NoSuchExportAnywhere"), 0u);
  EXPECT_EQ(os().LoadSystemLibrary("no-such-library.dll"), 0u);
}

TEST_F(LibrariesContract, FolderPathGivesExistingFoldersWithoutBackslash) {
  os::LibraryHandle shell = os().LoadSystemLibrary("shell32.dll");
  ASSERT_NE(shell, 0u);
  os::ProcAddress folderPath = os().GetProcAddress(shell, "SHGetFolderPathA");
  ASSERT_NE(folderPath, 0u);

  for (int csidl : {os::kCsidlPersonal, os::kCsidlCommonAppData, os::kCsidlProgramFiles}) {
    SCOPED_TRACE(csidl);
    std::string path = "unchanged";
    EXPECT_EQ(os().CallFolderPathA(folderPath, csidl, path), 0);
    ASSERT_GT(path.size(), 3u);
    EXPECT_EQ(path[1], ':');
    EXPECT_NE(path.back(), '\\');
    std::optional<os::FindData> folder = FindOne(path);
    ASSERT_TRUE(folder.has_value());
    EXPECT_NE(folder->attributes & os::kFileAttributeDirectory, 0u);
  }

  // An id the shell does not know fails and leaves the text alone.
  std::string path = "unchanged";
  EXPECT_NE(os().CallFolderPathA(folderPath, 0x7E, path), 0);
  EXPECT_EQ(path, "unchanged");
}

}  // namespace
}  // namespace contract
