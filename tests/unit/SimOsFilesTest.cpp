// The simulated machine's file system: path resolution and the current directory, names
// under the Cyrillic code page, sharing and locks of other programs, read-only and hidden
// files, junctions, folder searches and the faults a test can stage.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "os/sim/SimOs.h"

namespace os {
namespace {

constexpr std::uint32_t kReadWrite = kGenericRead | kGenericWrite;
constexpr std::uint32_t kShareAll = kFileShareRead | kFileShareWrite | kFileShareDelete;

class SimOsFilesTest : public ::testing::Test {
 protected:
  Handle Open(std::string_view path, std::uint32_t access, std::uint32_t share,
              std::uint32_t disposition, std::uint32_t attributes = kFileAttributeNormal) {
    return sim.CreateFileW(sim.MultiByteToWide(0, path), access, share, disposition, attributes);
  }

  bool Write(std::string_view path, std::string_view bytes,
             std::uint32_t disposition = kCreateAlways) {
    const Handle file = Open(path, kReadWrite, 0, disposition);
    if (file == kInvalidHandle) return false;
    std::uint32_t written = 0;
    const bool ok =
        sim.WriteFile(file, bytes.data(), static_cast<std::uint32_t>(bytes.size()), written);
    sim.CloseHandle(file);
    return ok;
  }

  std::vector<std::string> Names(std::string_view pattern) {
    std::vector<std::string> names;
    FindData data;
    const Handle search = sim.FindFirstFileA(pattern, data);
    if (search == kInvalidHandle) return names;
    do {
      names.push_back(data.name);
    } while (sim.FindNextFileA(search, data));
    sim.FindClose(search);
    return names;
  }

  std::optional<FindData> Entry(std::string_view path) {
    FindData data;
    const Handle search = sim.FindFirstFileA(path, data);
    if (search == kInvalidHandle) return std::nullopt;
    sim.FindClose(search);
    return data;
  }

  SimOs sim;
};

TEST_F(SimOsFilesTest, CurrentDirectoryReportsTheResolvedPathInTheCaseGiven) {
  sim.AddFolder("C:\\Apps\\Editor");
  struct Case {
    std::string start;
    std::string given;
    std::optional<std::string> reported;  // nothing: refused, the directory stays
  };
  const Case cases[] = {
      {"C:\\", "C:\\Apps\\Editor", "C:\\Apps\\Editor"},
      {"C:\\", "c:\\APPS\\editor\\", "c:\\APPS\\editor"},
      {"C:\\", "C:/Apps/./Editor/../Editor", "C:\\Apps\\Editor"},
      {"C:\\Apps", "Editor", "C:\\Apps\\Editor"},
      {"C:\\Apps\\Editor", "..", "C:\\Apps"},
      {"C:\\Apps\\Editor", "..\\..\\..\\..", "C:\\"},
      {"C:\\Apps\\Editor", "\\Apps", "C:\\Apps"},
      {"C:\\Apps", "C:Editor", "C:\\Apps\\Editor"},
      {"C:\\Apps", "C:", "C:\\Apps"},
      {"C:\\Apps", "C:\\", "C:\\"},
      {"C:\\Apps", "C:\\Apps\\Missing", std::nullopt},
      {"C:\\Apps", "C:\\Apps\\Missing\\..\\Editor", "C:\\Apps\\Editor"},
      {"C:\\Apps", "D:\\Data", std::nullopt},
      {"C:\\Apps", "", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given);
    ASSERT_TRUE(sim.SetCurrentDirectoryA(c.start));
    EXPECT_EQ(sim.SetCurrentDirectoryA(c.given), c.reported.has_value());
    EXPECT_EQ(sim.GetCurrentDirectoryA(), c.reported.value_or(c.start));
  }
}

TEST_F(SimOsFilesTest, ShareAndOtherDrivesResolveOnTheirOwnRoots) {
  sim.AddShare("\\\\srv\\data", "DATA");
  sim.AddFolder("\\\\srv\\data\\Docs");
  sim.AddDrive('Z', {.kind = kDriveRemote, .remoteName = "\\\\srv\\data"});
  sim.AddDrive('E', {.kind = kDriveRemovable});
  sim.AddFolder("E:\\Apps");

  // A mapped drive shows the share's files.
  EXPECT_TRUE(sim.IsFolder("Z:\\Docs"));
  ASSERT_TRUE(sim.SetCurrentDirectoryA("\\\\SRV\\Data\\docs"));
  EXPECT_EQ(sim.GetCurrentDirectoryA(), "\\\\SRV\\Data\\docs");
  ASSERT_TRUE(sim.SetCurrentDirectoryA("\\"));
  EXPECT_EQ(sim.GetCurrentDirectoryA(), "\\\\SRV\\Data\\");
  // A drive-relative path on another drive than the current one starts at its root.
  ASSERT_TRUE(sim.SetCurrentDirectoryA("e:Apps"));
  EXPECT_EQ(sim.GetCurrentDirectoryA(), "e:\\Apps");
  EXPECT_FALSE(sim.SetCurrentDirectoryA("\\\\srv\\other"));
}

TEST_F(SimOsFilesTest, NamesCompareByTheCaseOfTheCodePageCyrillicIncluded) {
  sim.SetCodePage(1251);
  sim.AddFolder("C:\\Users\\Иван\\Документи");
  // "ИВАН\документи" in code page 1251.
  const std::string upper = "C:\\Users\\\xC8\xC2\xC0\xCD\\\xE4\xEE\xEA\xF3\xEC\xE5\xED\xF2\xE8";
  ASSERT_TRUE(sim.SetCurrentDirectoryA(upper));
  EXPECT_EQ(sim.GetCurrentDirectoryA(), upper);
  ASSERT_TRUE(Write("\xF4\xE0\xE9\xEB.txt", "x"));
  EXPECT_EQ(sim.FileContents("C:\\Users\\иван\\ДОКУМЕНТИ\\ФАЙЛ.TXT"), "x");
  EXPECT_EQ(Names("C:\\Users\\*"),
            (std::vector<std::string>{".", "..", "User", "\xC8\xE2\xE0\xED"}));

  // The same names under 1252 cannot be given by the 8-bit calls: they come back as '?'.
  sim.SetCodePage(1252);
  EXPECT_EQ(Names("C:\\Users\\*"), (std::vector<std::string>{".", "..", "User", "????"}));
  EXPECT_FALSE(sim.SetCurrentDirectoryA("C:\\Users\\????"));
}

TEST_F(SimOsFilesTest, SharingViolationsAndTheLockOfAnotherProgram) {
  sim.AddFile("C:\\f.txt", "data");
  {
    SimOs::FileLock lock = sim.LockFile("C:\\f.txt");
    for (std::uint32_t access : {kGenericRead, kGenericWrite, kReadWrite}) {
      EXPECT_EQ(Open("C:\\f.txt", access, kShareAll, kOpenExisting), kInvalidHandle);
      EXPECT_EQ(sim.LastError(), kErrorSharingViolation);
    }
    EXPECT_FALSE(Write("C:\\f.txt", "new"));
    EXPECT_FALSE(sim.DeleteFileW(u"C:\\f.txt"));
    EXPECT_EQ(sim.LastError(), kErrorSharingViolation);
    EXPECT_EQ(sim.OpenHandleCount(), 0u);  // the lock is no handle of the program

    // A box "open" while the file is locked: the user closes the other program.
    sim.AnswerNextBox([&](const MessageBoxCall&) {
      sim.Unlock(lock);
      return kIdRetry;
    });
    EXPECT_EQ(sim.MessageBoxA(0, "Retry?", std::nullopt, kMbRetryCancel), kIdRetry);
    EXPECT_FALSE(lock.Held());
  }
  EXPECT_TRUE(Write("C:\\f.txt", "new"));
  EXPECT_EQ(sim.FileContents("C:\\f.txt"), "new");

  // A lock that goes out of scope lets go as well.
  { const SimOs::FileLock lock = sim.LockFile("C:\\f.txt"); }
  EXPECT_TRUE(sim.DeleteFileW(u"C:\\f.txt"));
}

TEST_F(SimOsFilesTest, ReadOnlyAndHiddenFilesRefuseWhatWindowsRefuses) {
  sim.AddFile("C:\\ro.txt", "fixed");
  sim.SetAttributes("C:\\ro.txt", kFileAttributeReadOnly);
  sim.AddFile("C:\\hidden.txt", "h");
  sim.SetAttributes("C:\\hidden.txt", kFileAttributeHidden);

  EXPECT_EQ(Open("C:\\ro.txt", kGenericWrite, 0, kOpenExisting), kInvalidHandle);
  EXPECT_EQ(sim.LastError(), kErrorAccessDenied);
  EXPECT_EQ(Open("C:\\ro.txt", kReadWrite, 0, kCreateAlways), kInvalidHandle);
  EXPECT_EQ(sim.LastError(), kErrorAccessDenied);
  EXPECT_FALSE(sim.DeleteFileW(u"C:\\ro.txt"));
  EXPECT_EQ(sim.LastError(), kErrorAccessDenied);
  const Handle reader = Open("C:\\ro.txt", kGenericRead, kFileShareRead, kOpenExisting);
  EXPECT_NE(reader, kInvalidHandle);
  sim.CloseHandle(reader);
  EXPECT_EQ(sim.FileContents("C:\\ro.txt"), "fixed");

  // Replacing a hidden file must name the attribute again.
  EXPECT_EQ(Open("C:\\hidden.txt", kReadWrite, 0, kCreateAlways), kInvalidHandle);
  EXPECT_EQ(sim.LastError(), kErrorAccessDenied);
  const Handle again = Open("C:\\hidden.txt", kReadWrite, 0, kCreateAlways, kFileAttributeHidden);
  ASSERT_NE(again, kInvalidHandle);
  EXPECT_EQ(sim.LastError(), kErrorAlreadyExists);
  sim.CloseHandle(again);

  // A folder is no file.
  EXPECT_EQ(Open("C:\\Windows", kReadWrite, 0, kCreateAlways), kInvalidHandle);
  EXPECT_EQ(sim.LastError(), kErrorAccessDenied);
  EXPECT_FALSE(sim.DeleteFileW(u"C:\\Windows"));
}

TEST_F(SimOsFilesTest, WritingStampsTheClockAndAnExplicitTimeSticks) {
  sim.AddFile("C:\\f.txt", "old");
  sim.SetLastWriteTime("C:\\f.txt", SimOs::ToFileTime(2001, 1, 1));
  sim.AdvanceClock(5000);
  ASSERT_TRUE(Write("C:\\f.txt", "new", kOpenExisting));
  EXPECT_EQ(sim.LastWriteTime("C:\\f.txt"), sim.Now());
  EXPECT_EQ(sim.FileContents("C:\\f.txt"), "new");

  const Handle file = Open("C:\\f.txt", kGenericWrite, kFileShareRead, kOpenExisting);
  const FileTime stamp = SimOs::ToFileTime(2013, 4, 6, 19, 31, 14);
  ASSERT_TRUE(sim.SetFileLastWriteTime(file, stamp));
  std::uint32_t written = 0;
  ASSERT_TRUE(sim.WriteFile(file, "N", 1, written));
  sim.CloseHandle(file);
  EXPECT_EQ(sim.LastWriteTime("C:\\f.txt"), stamp);
  EXPECT_EQ(Entry("C:\\f.txt")->lastWriteTime, stamp);

  const Handle reader = Open("C:\\f.txt", kGenericRead, kFileShareRead, kOpenExisting);
  EXPECT_FALSE(sim.SetFileLastWriteTime(reader, stamp));
  sim.CloseHandle(reader);
}

TEST_F(SimOsFilesTest, FoldersAreCreatedAndRemovedByTheRules) {
  sim.FailFolderCreation("C:\\Blocked");
  sim.AddFile("C:\\Full\\f.txt");
  struct Case {
    std::u16string path;
    bool created;
    std::uint32_t error;
  };
  const Case creations[] = {
      {u"C:\\New", true, kErrorSuccess},
      {u"C:\\New\\", false, kErrorAlreadyExists},
      {u"C:\\Missing\\New", false, kErrorPathNotFound},
      {u"C:\\Blocked\\", false, kErrorAccessDenied},
      {u"C:\\Bad?Name", false, kErrorInvalidName},
      {u"Q:\\New", false, kErrorPathNotFound},
  };
  for (const Case& c : creations) {
    SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
    EXPECT_EQ(sim.CreateDirectoryW(c.path), c.created);
    if (!c.created) {
      EXPECT_EQ(sim.LastError(), c.error);
    }
  }

  EXPECT_FALSE(sim.RemoveDirectoryW(u"C:\\Full"));
  EXPECT_EQ(sim.LastError(), kErrorDirNotEmpty);
  EXPECT_FALSE(sim.RemoveDirectoryW(u"C:\\Full\\f.txt"));
  EXPECT_EQ(sim.LastError(), kErrorDirectory);
  ASSERT_TRUE(sim.SetCurrentDirectoryA("C:\\New"));
  EXPECT_FALSE(sim.RemoveDirectoryW(u"C:\\New"));
  EXPECT_EQ(sim.LastError(), kErrorSharingViolation);
  ASSERT_TRUE(sim.SetCurrentDirectoryA("C:\\"));
  EXPECT_TRUE(sim.RemoveDirectoryW(u"C:\\New\\"));
  EXPECT_FALSE(sim.Exists("C:\\New"));
}

TEST_F(SimOsFilesTest, JunctionShowsItsTargetAndGoesAloneWhenRemoved) {
  sim.AddFile("C:\\Target\\keep.txt", "kept");
  sim.AddFolder("C:\\Temp");
  sim.MakeLink("C:\\Temp\\~link", "C:\\Target");

  const auto entry = Entry("C:\\Temp\\~link");
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->attributes, kFileAttributeDirectory | kFileAttributeReparsePoint);
  EXPECT_EQ(entry->reparseTag, kIoReparseTagMountPoint);
  EXPECT_EQ(Names("C:\\Temp\\~link\\*.*"), (std::vector<std::string>{".", "..", "keep.txt"}));
  EXPECT_EQ(sim.FileContents("C:\\Temp\\~link\\keep.txt"), "kept");
  EXPECT_TRUE(sim.SetCurrentDirectoryA("C:\\Temp\\~link"));
  ASSERT_TRUE(sim.SetCurrentDirectoryA("C:\\"));

  // Deleting through the link reaches the target's files; removing the link does not.
  EXPECT_FALSE(sim.DeleteFileW(u"C:\\Temp\\~link"));
  EXPECT_TRUE(sim.RemoveDirectoryW(u"C:\\Temp\\~link"));
  EXPECT_FALSE(sim.Exists("C:\\Temp\\~link"));
  EXPECT_EQ(sim.FileContents("C:\\Target\\keep.txt"), "kept");
}

TEST_F(SimOsFilesTest, SearchPatternsAndTheDotEntries) {
  sim.AddFile("C:\\Dir\\Alpha.txt", "12345");
  sim.AddFile("C:\\Dir\\alpine.dat");
  sim.AddFile("C:\\Dir\\noext");
  sim.AddFolder("C:\\Dir\\Sub");
  struct Case {
    std::string pattern;
    std::vector<std::string> names;  // in the order given: by upper-cased name
  };
  const Case cases[] = {
      {"C:\\Dir\\*.*", {".", "..", "Alpha.txt", "alpine.dat", "noext", "Sub"}},
      {"C:\\Dir\\*", {".", "..", "Alpha.txt", "alpine.dat", "noext", "Sub"}},
      {"C:\\Dir\\AL*", {"Alpha.txt", "alpine.dat"}},
      {"C:\\Dir\\*.TXT", {"Alpha.txt"}},
      {"C:\\Dir\\al?ha.*", {"Alpha.txt"}},
      {"C:\\Dir\\NOEXT", {"noext"}},
      {"C:\\Dir", {"Dir"}},
      {"C:\\*", {"Dir", "Program Files", "ProgramData", "Users", "Windows"}},
      {"C:\\Dir\\missing*", {}},
      {"C:\\Missing\\*", {}},
      {"C:\\Dir\\", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(Names(c.pattern), c.names);
  }
  const auto file = Entry("C:\\Dir\\alpha.txt");
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->size, 5u);
  EXPECT_EQ(file->attributes, kFileAttributeArchive);
  sim.Remove("C:\\Dir\\Sub");
  EXPECT_EQ(sim.OpenHandleCount(), 0u);
}

TEST_F(SimOsFilesTest, PathsBeyondMaxPathFailUnlessPrefixed) {
  // C:\ and a folder name make 247 characters: a folder may just be created there, and a
  // file of twelve characters fits in MAX_PATH beside it, one more does not.
  const std::string folder = "C:\\" + std::string(244, 'f');
  ASSERT_EQ(folder.size(), 247u);
  EXPECT_TRUE(sim.CreateDirectoryW(sim.MultiByteToWide(0, folder)));
  EXPECT_FALSE(sim.CreateDirectoryW(sim.MultiByteToWide(0, folder + "\\x")));
  EXPECT_EQ(sim.LastError(), kErrorFilenameExcedRange);
  EXPECT_TRUE(Write(folder + "\\" + std::string(11, 'n'), "x"));
  EXPECT_FALSE(Write(folder + "\\" + std::string(12, 'n'), "x"));
  EXPECT_EQ(sim.LastError(), kErrorFilenameExcedRange);
  EXPECT_TRUE(sim.CreateDirectoryW(u"\\\\?\\" + sim.MultiByteToWide(0, folder + "\\deep")));
  EXPECT_TRUE(sim.IsFolder(folder + "\\deep"));
  // The current directory keeps room for its final backslash within MAX_PATH.
  sim.AddFolder(folder + "\\" + std::string(10, 'd'));
  sim.AddFolder(folder + "\\" + std::string(11, 'd'));
  EXPECT_TRUE(sim.SetCurrentDirectoryA(folder + "\\" + std::string(10, 'd')));
  EXPECT_FALSE(sim.SetCurrentDirectoryA(folder + "\\" + std::string(11, 'd')));
  EXPECT_EQ(sim.GetCurrentDirectoryA(), folder + "\\" + std::string(10, 'd'));
}

TEST_F(SimOsFilesTest, MediumAndDriveFaults) {
  sim.AddDrive('A', {.kind = kDriveRemovable, .present = false});
  EXPECT_EQ(Open("A:\\f.txt", kReadWrite, 0, kCreateAlways), kInvalidHandle);
  EXPECT_EQ(sim.LastError(), kErrorNotReady);
  EXPECT_FALSE(sim.SetCurrentDirectoryA("A:\\"));
  sim.SetMediumPresent('A', true);
  EXPECT_TRUE(Write("A:\\f.txt", "x"));

  // A handle outlives the drive it was opened on.
  const Handle file = Open("A:\\f.txt", kGenericRead, kFileShareRead, kOpenExisting);
  sim.RemoveDrive('A');
  char buffer[4];
  std::uint32_t read = 0;
  EXPECT_TRUE(sim.ReadFile(file, buffer, sizeof buffer, read));
  EXPECT_EQ(read, 1u);
  EXPECT_TRUE(sim.CloseHandle(file));
  EXPECT_FALSE(sim.CloseHandle(file));
  EXPECT_FALSE(sim.Exists("A:\\f.txt"));
}

TEST_F(SimOsFilesTest, AfterExitProcessNothingChangesAnyMore) {
  sim.AddFile("C:\\f.txt", "kept");
  EXPECT_THROW(sim.ExitProcess(0), ProcessExit);
  EXPECT_EQ(sim.ExitCode(), 0u);
  EXPECT_FALSE(Write("C:\\g.txt", "x"));
  EXPECT_FALSE(sim.DeleteFileW(u"C:\\f.txt"));
  EXPECT_FALSE(sim.CreateDirectoryW(u"C:\\New"));
  EXPECT_EQ(sim.FileContents("C:\\f.txt"), "kept");
  EXPECT_FALSE(sim.Exists("C:\\g.txt"));
  EXPECT_EQ(sim.IgnoredAfterExit().size(), 3u);
}

}  // namespace
}  // namespace os
