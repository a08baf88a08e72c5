// Files and folders through the wide calls: creation dispositions, sharing between open
// handles, read-only files, and what removing and creating folders refuses.
#include <cstdint>
#include <string>

#include "contract/ContractEnv.h"

namespace contract {
namespace {

using os::kFileShareDelete;
using os::kFileShareRead;
using os::kFileShareWrite;
using os::kGenericRead;
using os::kGenericWrite;

constexpr std::uint32_t kShareAll = kFileShareRead | kFileShareWrite | kFileShareDelete;

using FilesContract = ContractTest;

TEST_F(FilesContract, DispositionsCreateOpenAndTruncate) {
  struct Case {
    const char* what;
    bool exists;
    std::uint32_t disposition;
    bool opens;
    std::optional<std::string> after;  // the content afterwards; nothing when missing
  };
  const std::string old = "old content";
  const Case cases[] = {
      {"create new", false, os::kCreateNew, true, ""},
      {"create new over a file", true, os::kCreateNew, false, old},
      {"open missing", false, os::kOpenExisting, false, std::nullopt},
      {"open existing", true, os::kOpenExisting, true, old},
      {"open always, missing", false, os::kOpenAlways, true, ""},
      {"open always, existing", true, os::kOpenAlways, true, old},
      {"create always, missing", false, os::kCreateAlways, true, ""},
      {"create always, existing", true, os::kCreateAlways, true, ""},
      {"truncate existing", true, os::kTruncateExisting, true, ""},
      {"truncate missing", false, os::kTruncateExisting, false, std::nullopt},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string path = At("file" + std::to_string(n++) + ".txt");
    if (c.exists) {
      ASSERT_TRUE(MakeFile(path, old));
    }
    os::Handle file = Open(path, kGenericRead | kGenericWrite, 0, c.disposition);
    EXPECT_EQ(file != os::kInvalidHandle, c.opens);
    if (file != os::kInvalidHandle) os().CloseHandle(file);
    EXPECT_EQ(ReadAll(path), c.after);
  }
}

TEST_F(FilesContract, CreateAlwaysCutsALongerFile) {
  ASSERT_TRUE(MakeFile(At("f.bin"), std::string(100, 'x')));
  ASSERT_TRUE(MakeFile(At("f.bin"), std::string("\0\1\2\3\4\5\6\7", 8)));
  EXPECT_EQ(ReadAll(At("f.bin")), std::string("\0\1\2\3\4\5\6\7", 8));

  os::Handle file = Open(At("f.bin"), kGenericRead, kFileShareRead, os::kOpenExisting);
  ASSERT_NE(file, os::kInvalidHandle);
  std::uint64_t size = 0;
  EXPECT_TRUE(os().GetFileSize(file, size));
  EXPECT_EQ(size, 8u);
  os().CloseHandle(file);

  ASSERT_TRUE(MakeFile(At("f.bin"), ""));
  EXPECT_EQ(ReadAll(At("f.bin")), "");
}

TEST_F(FilesContract, ReadingGivesZeroBytesAtTheEnd) {
  ASSERT_TRUE(MakeFile(At("f.txt"), "abc"));
  os::Handle file = Open(At("f.txt"), kGenericRead, kFileShareRead, os::kOpenExisting);
  ASSERT_NE(file, os::kInvalidHandle);
  char buffer[8] = {};
  std::uint32_t read = 99;
  EXPECT_TRUE(os().ReadFile(file, buffer, sizeof buffer, read));
  EXPECT_EQ(read, 3u);
  EXPECT_EQ(std::string(buffer, read), "abc");
  EXPECT_TRUE(os().ReadFile(file, buffer, sizeof buffer, read));
  EXPECT_EQ(read, 0u);
  os().CloseHandle(file);
}

TEST_F(FilesContract, HandlesOnlyDoWhatTheyWereOpenedFor) {
  ASSERT_TRUE(MakeFile(At("f.txt"), "abc"));
  char buffer[4];
  std::uint32_t count = 99;

  os::Handle reader = Open(At("f.txt"), kGenericRead, kFileShareRead, os::kOpenExisting);
  ASSERT_NE(reader, os::kInvalidHandle);
  EXPECT_FALSE(os().WriteFile(reader, "x", 1, count));
  EXPECT_EQ(count, 0u);
  os().CloseHandle(reader);

  os::Handle writer = Open(At("f.txt"), kGenericWrite, 0, os::kOpenExisting);
  ASSERT_NE(writer, os::kInvalidHandle);
  count = 99;
  EXPECT_FALSE(os().ReadFile(writer, buffer, sizeof buffer, count));
  EXPECT_EQ(count, 0u);
  os().CloseHandle(writer);
  EXPECT_EQ(ReadAll(At("f.txt")), "abc");
}

TEST_F(FilesContract, WideCallsNormaliseThePathLikeTheCurrentDirectory) {
  std::string slashed = At("Slash/");
  EXPECT_TRUE(os().CreateDirectoryW(Wide(slashed)));
  EXPECT_TRUE(os().CreateDirectoryW(Wide(At("Missing\\..\\Dots"))));
  EXPECT_TRUE(MakeFile(At("Slash/f.txt."), "dot"));  // the final dot is dropped
  EXPECT_EQ(FindNames(At("*")), (std::vector<std::string>{".", "..", "Dots", "Slash"}));
  EXPECT_EQ(FindNames(At("Slash/*")), (std::vector<std::string>{".", "..", "f.txt"}));
  EXPECT_EQ(ReadAll(At("slash\\F.TXT")), "dot");
  EXPECT_TRUE(os().DeleteFileW(Wide(At("Slash/f.txt"))));
  EXPECT_TRUE(os().RemoveDirectoryW(Wide(At("Slash/"))));
}

TEST_F(FilesContract, SharingModesOfTwoHandles) {
  struct Case {
    const char* what;
    std::uint32_t firstAccess, firstShare, secondAccess, secondShare;
    bool secondOpens;
  };
  const Case cases[] = {
      {"writer shares nothing", kGenericWrite, 0, kGenericRead, kShareAll, false},
      {"reader shares nothing", kGenericRead, 0, kGenericRead, kShareAll, false},
      {"writer shares reading", kGenericWrite, kFileShareRead, kGenericRead, kShareAll, true},
      {"second reader will not share writing", kGenericWrite, kFileShareRead, kGenericRead,
       kFileShareRead, false},
      {"second writer where only reading is shared", kGenericWrite, kFileShareRead, kGenericWrite,
       kShareAll, false},
      {"two readers", kGenericRead, kFileShareRead, kGenericRead, kFileShareRead, true},
      {"reader and writer sharing all", kGenericRead, kShareAll, kGenericWrite, kShareAll, true},
  };
  ASSERT_TRUE(MakeFile(At("shared.txt"), "data"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    os::Handle first = Open(At("shared.txt"), c.firstAccess, c.firstShare, os::kOpenExisting);
    ASSERT_NE(first, os::kInvalidHandle);
    os::Handle second = Open(At("shared.txt"), c.secondAccess, c.secondShare, os::kOpenExisting);
    EXPECT_EQ(second != os::kInvalidHandle, c.secondOpens);
    if (second != os::kInvalidHandle) os().CloseHandle(second);
    os().CloseHandle(first);
  }
}

TEST_F(FilesContract, FileOpenWithoutSharingCannotBeReplacedUntilClosed) {
  os::Handle file = Open(At("locked.txt"), kGenericWrite, 0, os::kCreateAlways);
  ASSERT_NE(file, os::kInvalidHandle);
  std::uint32_t written = 0;
  ASSERT_TRUE(os().WriteFile(file, "kept", 4, written));

  EXPECT_EQ(Open(At("locked.txt"), kGenericRead | kGenericWrite, kFileShareRead, os::kCreateAlways),
            os::kInvalidHandle);
  EXPECT_EQ(ReadAll(At("locked.txt")), std::nullopt);
  EXPECT_FALSE(os().DeleteFileW(Wide(At("locked.txt"))));

  ASSERT_TRUE(os().CloseHandle(file));
  EXPECT_EQ(ReadAll(At("locked.txt")), "kept");
  EXPECT_TRUE(MakeFile(At("locked.txt"), "new"));
  EXPECT_EQ(ReadAll(At("locked.txt")), "new");
  EXPECT_TRUE(os().DeleteFileW(Wide(At("locked.txt"))));
  EXPECT_FALSE(FindOne(At("locked.txt")).has_value());
}

TEST_F(FilesContract, HiddenAndSystemFilesAreSearchedAndDeletedLikeOthers) {
  ASSERT_TRUE(MakeFile(At("h.tmp"), "h", os::kFileAttributeHidden));
  ASSERT_TRUE(MakeFile(At("s.tmp"), "s", os::kFileAttributeSystem));
  std::vector<os::FindData> found = FindAll(At("*.tmp"));
  ASSERT_EQ(found.size(), 2u);
  for (const os::FindData& entry : found) {
    std::uint32_t expected =
        entry.name == "h.tmp" ? os::kFileAttributeHidden : os::kFileAttributeSystem;
    EXPECT_EQ(entry.attributes & (os::kFileAttributeHidden | os::kFileAttributeSystem), expected)
        << entry.name;
  }
  EXPECT_TRUE(os().DeleteFileW(Wide(At("h.tmp"))));
  EXPECT_TRUE(os().DeleteFileW(Wide(At("s.tmp"))));
  EXPECT_TRUE(FindAll(At("*.tmp")).empty());
}

TEST_F(FilesContract, FileSharedForDeletionGoesOnceClosed) {
  os::Handle file =
      Open(At("d.txt"), kGenericWrite, kFileShareRead | kFileShareDelete, os::kCreateAlways);
  ASSERT_NE(file, os::kInvalidHandle);
  EXPECT_TRUE(os().DeleteFileW(Wide(At("d.txt"))));
  // Whether the name is gone before the close differs between versions of the system.
  EXPECT_TRUE(os().CloseHandle(file));
  EXPECT_FALSE(FindOne(At("d.txt")).has_value());
}

TEST_F(FilesContract, ReadOnlyFileCannotBeDeleted) {
  ASSERT_TRUE(MakeFile(At("ro.txt"), "fixed", os::kFileAttributeReadOnly));
  std::optional<os::FindData> entry = FindOne(At("ro.txt"));
  ASSERT_TRUE(entry.has_value());
  EXPECT_NE(entry->attributes & os::kFileAttributeReadOnly, 0u);

  EXPECT_FALSE(os().DeleteFileW(Wide(At("ro.txt"))));
  EXPECT_EQ(ReadAll(At("ro.txt")), "fixed");
}

TEST_F(FilesContract, ReadOnlyFileCannotBeCreatedAgain) {
  if (!env().readOnlyRefusesWriting) {
    GTEST_SKIP() << "this machine lets a read-only file be opened for writing";
  }
  ASSERT_TRUE(MakeFile(At("ro.txt"), "fixed", os::kFileAttributeReadOnly));
  EXPECT_EQ(Open(At("ro.txt"), kGenericRead | kGenericWrite, kFileShareRead, os::kCreateAlways),
            os::kInvalidHandle);
  EXPECT_EQ(Open(At("ro.txt"), kGenericWrite, kShareAll, os::kOpenExisting), os::kInvalidHandle);
  EXPECT_EQ(ReadAll(At("ro.txt")), "fixed");
}

TEST_F(FilesContract, FolderCreationAndRemoval) {
  // A final backslash is accepted by both calls.
  EXPECT_TRUE(os().CreateDirectoryW(Wide(At("New\\"))));
  EXPECT_NE(FindOne(At("New")).value_or(os::FindData{}).attributes & os::kFileAttributeDirectory,
            0u);
  EXPECT_FALSE(os().CreateDirectoryW(Wide(At("New"))));  // already there
  EXPECT_FALSE(os().CreateDirectoryW(Wide(At("Missing\\Child"))));
  EXPECT_FALSE(FindOne(At("Missing")).has_value());
  EXPECT_TRUE(os().RemoveDirectoryW(Wide(At("New\\"))));
  EXPECT_FALSE(FindOne(At("New")).has_value());
  EXPECT_FALSE(os().RemoveDirectoryW(Wide(At("New"))));  // gone

  // A file in the way of a folder and a folder in the way of a file.
  ASSERT_TRUE(MakeFile(At("plain.txt"), "p"));
  EXPECT_FALSE(os().CreateDirectoryW(Wide(At("plain.txt"))));
  EXPECT_FALSE(os().RemoveDirectoryW(Wide(At("plain.txt"))));
  ASSERT_TRUE(MakeFolder(At("Dir")));
  EXPECT_FALSE(MakeFile(At("Dir"), "x"));
  EXPECT_FALSE(os().DeleteFileW(Wide(At("Dir"))));
  EXPECT_FALSE(os().DeleteFileW(Wide(At("missing.txt"))));
}

TEST_F(FilesContract, NonEmptyFoldersStay) {
  ASSERT_TRUE(MakeFolder(At("Full")));
  ASSERT_TRUE(MakeFile(At("Full\\f.txt"), "f"));
  ASSERT_TRUE(MakeFolder(At("Nested")));
  ASSERT_TRUE(MakeFolder(At("Nested\\Child")));

  EXPECT_FALSE(os().RemoveDirectoryW(Wide(At("Full"))));
  EXPECT_FALSE(os().DeleteFileW(Wide(At("Full"))));
  EXPECT_FALSE(os().RemoveDirectoryW(Wide(At("Nested\\"))));
  EXPECT_EQ(FindNames(At("Full\\*")), (std::vector<std::string>{".", "..", "f.txt"}));

  EXPECT_TRUE(os().DeleteFileW(Wide(At("Full\\f.txt"))));
  EXPECT_TRUE(os().RemoveDirectoryW(Wide(At("Full"))));
  EXPECT_TRUE(os().RemoveDirectoryW(Wide(At("Nested\\Child"))));
  EXPECT_TRUE(os().RemoveDirectoryW(Wide(At("Nested"))));
  EXPECT_EQ(FindNames(At("*")), (std::vector<std::string>{".", ".."}));
}

TEST_F(FilesContract, CurrentDirectoryCannotBeRemoved) {
  ASSERT_TRUE(MakeFolder(At("Here")));
  ASSERT_TRUE(os().SetCurrentDirectoryA(At("Here")));
  EXPECT_FALSE(os().RemoveDirectoryW(Wide(At("Here"))));
  ASSERT_TRUE(os().SetCurrentDirectoryA(scratch()));
  EXPECT_TRUE(os().RemoveDirectoryW(Wide(At("Here"))));
}

}  // namespace
}  // namespace contract
