// Folder searches by 8-bit pattern: which entries a pattern matches, the "." and ".."
// entries of a folder, and what a search of a missing path gives.
#include <string>
#include <vector>

#include "contract/ContractEnv.h"

namespace contract {
namespace {

using Names = std::vector<std::string>;

class FindFilesContract : public ContractTest {
 protected:
  void SetUp() override {
    ContractTest::SetUp();
    ASSERT_TRUE(MakeFile(At("a.txt"), "alpha"));
    ASSERT_TRUE(MakeFile(At("b.TXT"), "be"));
    ASSERT_TRUE(MakeFile(At("noext")));
    ASSERT_TRUE(MakeFolder(At("Sub")));
    ASSERT_TRUE(MakeFile(At("Sub\\inner.dat"), "1234567"));
    ASSERT_TRUE(MakeFolder(At("Empty")));
  }
};

TEST_F(FindFilesContract, PatternsMatchWithoutRegardToCase) {
  struct Case {
    std::string pattern;
    Names names;
  };
  const Case cases[] = {
      {"*", {".", "..", "Empty", "Sub", "a.txt", "b.TXT", "noext"}},
      {"*.*", {".", "..", "Empty", "Sub", "a.txt", "b.TXT", "noext"}},
      {"*.txt", {"a.txt", "b.TXT"}},
      {"?.TXT", {"a.txt", "b.TXT"}},
      {"A*", {"a.txt"}},
      {"*ext", {"noext"}},
      {"sub", {"Sub"}},
      {"Sub\\*", {".", "..", "inner.dat"}},
      {"Empty\\*.*", {".", ".."}},
      {"*.dat", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(FindNames(At(c.pattern)), c.names);
  }
}

TEST_F(FindFilesContract, EntriesCarryTheirKindSizeAndStoredName) {
  for (const os::FindData& entry : FindAll(At("*"))) {
    SCOPED_TRACE(entry.name);
    bool folder =
        entry.name == "." || entry.name == ".." || entry.name == "Sub" || entry.name == "Empty";
    EXPECT_EQ((entry.attributes & os::kFileAttributeDirectory) != 0, folder);
    EXPECT_EQ(entry.attributes & os::kFileAttributeReparsePoint, 0u);
  }

  // A name without wildcards finds the one entry, under the name it is stored with.
  std::optional<os::FindData> file = FindOne(At("A.TXT"));
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->name, "a.txt");
  EXPECT_EQ(file->size, 5u);
  EXPECT_EQ(file->attributes & os::kFileAttributeDirectory, 0u);

  std::optional<os::FindData> inner = FindOne(At("sub\\INNER.DAT"));
  ASSERT_TRUE(inner.has_value());
  EXPECT_EQ(inner->name, "inner.dat");
  EXPECT_EQ(inner->size, 7u);

  std::optional<os::FindData> folder = FindOne(At("Sub"));
  ASSERT_TRUE(folder.has_value());
  EXPECT_NE(folder->attributes & os::kFileAttributeDirectory, 0u);
}

TEST_F(FindFilesContract, MissingPathsGiveAnInvalidHandle) {
  const std::string patterns[] = {
      At("missing.txt"), At("missing\\*"), At("missing\\a.txt"),
      At("Sub\\"),     // a folder named with its final backslash
      At("a.txt\\*"),  // a file taken for a folder
  };
  for (const std::string& pattern : patterns) {
    SCOPED_TRACE(pattern);
    os::FindData data;
    data.name = "untouched";
    EXPECT_EQ(os().FindFirstFileA(pattern, data), os::kInvalidHandle);
  }
}

TEST_F(FindFilesContract, SearchEndsAndStaysEnded) {
  os::FindData data;
  os::Handle search = os().FindFirstFileA(At("Sub\\*.dat"), data);
  ASSERT_NE(search, os::kInvalidHandle);
  EXPECT_EQ(data.name, "inner.dat");
  EXPECT_FALSE(os().FindNextFileA(search, data));
  EXPECT_FALSE(os().FindNextFileA(search, data));
  EXPECT_TRUE(os().FindClose(search));
}

TEST_F(FindFilesContract, DriveRootHasNoDotEntries) {
  Names root = FindNames(scratch().substr(0, 3) + "*");
  EXPECT_FALSE(root.empty());
  EXPECT_EQ(std::count(root.begin(), root.end(), "."), 0);
  EXPECT_EQ(std::count(root.begin(), root.end(), ".."), 0);
}

TEST_F(FindFilesContract, DirectoryHintStillGivesEveryFolder) {
  // The hint may be ignored, so files may come too; the folders must all be there.
  Names names = FindNames(At("*"), true);
  for (const char* folder : {".", "..", "Empty", "Sub"}) {
    EXPECT_EQ(std::count(names.begin(), names.end(), folder), 1) << folder;
  }
}

}  // namespace
}  // namespace contract
