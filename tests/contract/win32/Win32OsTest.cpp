// Checks of the real machine that the simulated one has no counterpart for: where libraries
// come from, and calls that only need to reach the system intact.
#include <string>

#include "contract/ContractEnv.h"

namespace contract {
namespace {

// The program file of this process, from the first word of its command line.
std::string ProgramPath(os::Os& machine) {
  std::string line = machine.CommandLine();
  if (!line.empty() && line[0] == '"') return line.substr(1, line.find('"', 1) - 1);
  return line.substr(0, line.find(' '));
}

using Win32OsTest = ContractTest;

TEST_F(Win32OsTest, LibraryBesideTheProgramIsNotLoadedByName) {
  // A module planted in the current directory under a name the system folder lacks. The
  // test program itself serves as the module: it relocates, so it loads as a library.
  std::optional<std::string> image = ReadAll(ProgramPath(os()));
  ASSERT_TRUE(image.has_value());
  ASSERT_TRUE(MakeFile(At("plantedlib.dll"), *image));
  ASSERT_TRUE(os().SetCurrentDirectoryA(scratch()));

  // Before the process restricts its search (no other test does), so that this is the
  // refusal of LoadSystemLibrary itself; then once more after it.
  EXPECT_EQ(os().LoadSystemLibrary("plantedlib.dll"), 0u);
  os().RestrictDllSearch();
  EXPECT_EQ(os().LoadSystemLibrary("plantedlib.dll"), 0u);
  EXPECT_NE(os().LoadSystemLibrary("shfolder.dll"), 0u);
  // Named by its full path, the same file loads: the refusal above was the search.
  EXPECT_NE(os().LoadSystemLibrary(At("plantedlib.dll")), 0u);
}

TEST_F(Win32OsTest, StorageQueryOnTheSystemVolume) {
  std::string device = "\\\\.\\" + scratch().substr(0, 2);
  os::Handle volume =
      os().CreateFileW(Wide(device), os::kGenericRead, os::kFileShareRead | os::kFileShareWrite,
                       os::kOpenExisting, 0);
  if (volume == os::kInvalidHandle) GTEST_SKIP() << "the volume cannot be opened here";
  EXPECT_TRUE(os().QueryStorageDevice(volume).has_value());
  EXPECT_TRUE(os().CloseHandle(volume));
}

TEST_F(Win32OsTest, MissingResourceGivesNothing) {
  EXPECT_FALSE(os().FindResource("FILES", "FILES").has_value());
  EXPECT_FALSE(os().FindResource("TMAINDLGFORM", "#10").has_value());
}

}  // namespace
}  // namespace contract
