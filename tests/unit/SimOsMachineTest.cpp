// The simulated machine apart from its files: the clock and DOS dates, code pages, case and
// comparison, the registry, the scripted user of message boxes, drives and volumes,
// libraries and special folders, windows, resources and the process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "os/sim/SimOs.h"

namespace os {
namespace {

Bytes AsBytes(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

// ---- Clock ------------------------------------------------------------------------------

TEST(SimOsClockTest, DefaultClockAndTheUtcOffset) {
  SimOs sim;
  const SystemTime now = sim.GetLocalTime();
  EXPECT_EQ(now.year, 2024);
  EXPECT_EQ(now.month, 5);
  EXPECT_EQ(now.day, 1);
  EXPECT_EQ(now.dayOfWeek, 3);  // a Wednesday
  EXPECT_EQ(now.hour, 12);
  EXPECT_EQ(now.minute, 0);
  EXPECT_EQ(sim.Now(), SimOs::ToFileTime(2024, 5, 1, 10));

  FileTime local;
  ASSERT_TRUE(sim.FileTimeToLocalFileTime(sim.Now(), local));
  EXPECT_EQ(local, SimOs::ToFileTime(2024, 5, 1, 12));
  // The conversions use the offset in force now, whatever the date converted.
  sim.SetUtcOffset(-330);
  FileTime utc;
  ASSERT_TRUE(sim.LocalFileTimeToFileTime(SimOs::ToFileTime(2000, 1, 1), utc));
  EXPECT_EQ(utc, SimOs::ToFileTime(2000, 1, 1, 5, 30));
  EXPECT_EQ(sim.GetLocalTime().hour, 4);  // the UTC moment stayed

  sim.SetLocalTime(2021, 2, 10, 11, 58, 46, 999);
  sim.AdvanceClock(1);
  const SystemTime later = sim.GetLocalTime();
  EXPECT_EQ(later.second, 47);
  EXPECT_EQ(later.milliseconds, 0);
  EXPECT_EQ(SimOs::ToFileTime(1601, 1, 1).ticks, 0u);
  EXPECT_EQ(SimOs::ToFileTime(1970, 1, 1).ticks, 116444736000000000u);
}

TEST(SimOsClockTest, DosDatesHoldEvenSecondsFrom1980To2107) {
  SimOs sim;
  struct Case {
    FileTime time;
    bool converts;
    FileTime back;  // the DOS date turned into a file time again
  };
  const Case cases[] = {
      {SimOs::ToFileTime(1980, 1, 1), true, SimOs::ToFileTime(1980, 1, 1)},
      {SimOs::ToFileTime(2024, 5, 1, 10, 15, 37, 999), true,
       SimOs::ToFileTime(2024, 5, 1, 10, 15, 36)},
      {SimOs::ToFileTime(2107, 12, 31, 23, 59, 59), true,
       SimOs::ToFileTime(2107, 12, 31, 23, 59, 58)},
      {SimOs::ToFileTime(1979, 12, 31, 23, 59, 59), false, {}},
      {SimOs::ToFileTime(2108, 1, 1), false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.time.ticks);
    std::uint16_t date = 0;
    std::uint16_t time = 0;
    ASSERT_EQ(sim.FileTimeToDosDateTime(c.time, date, time), c.converts);
    if (!c.converts) continue;
    FileTime back;
    ASSERT_TRUE(sim.DosDateTimeToFileTime(date, time, back));
    EXPECT_EQ(back, c.back);
  }

  const auto dosDate = [](int year, int month, int day) {
    return static_cast<std::uint16_t>(((year - 1980) << 9) | (month << 5) | day);
  };
  const auto dosTime = [](int hour, int minute, int halfSeconds) {
    return static_cast<std::uint16_t>((hour << 11) | (minute << 5) | halfSeconds);
  };
  struct Fields {
    std::uint16_t date, time;
    bool valid;
  };
  const Fields fields[] = {
      {dosDate(2020, 2, 29), dosTime(23, 59, 29), true},
      {dosDate(2021, 2, 29), dosTime(0, 0, 0), false},
      {dosDate(2021, 0, 1), dosTime(0, 0, 0), false},
      {dosDate(2021, 13, 1), dosTime(0, 0, 0), false},
      {dosDate(2021, 4, 0), dosTime(0, 0, 0), false},
      {dosDate(2021, 4, 31), dosTime(0, 0, 0), false},
      {dosDate(2021, 4, 1), dosTime(24, 0, 0), false},
      {dosDate(2021, 4, 1), dosTime(0, 60, 0), false},
      {dosDate(2021, 4, 1), dosTime(0, 0, 30), false},
  };
  for (const Fields& f : fields) {
    SCOPED_TRACE(testing::Message() << f.date << " " << f.time);
    FileTime time;
    EXPECT_EQ(sim.DosDateTimeToFileTime(f.date, f.time, time), f.valid);
  }
}

// ---- Text -------------------------------------------------------------------------------

TEST(SimOsTextTest, CodePagesWidenAndNarrowByTheirTables) {
  SimOs sim;
  EXPECT_EQ(sim.AnsiCodePage(), 1252u);
  EXPECT_EQ(sim.MultiByteToWide(1252, "\x80\x81\x8A\xE9\xFF"), u"\u20AC\u0081\u0160\u00E9\u00FF");
  EXPECT_EQ(sim.MultiByteToWide(1251, "\xC0\xFF\xA8\xB8\xA5\x88"),
            u"\u0410\u044F\u0401\u0451\u0490\u20AC");
  EXPECT_EQ(sim.MultiByteToWide(0, "\xC0"), u"\u00C0");
  EXPECT_EQ(sim.WideToAnsi(u"\u00E9\u0436\u20AC"), "\xE9?\x80");

  sim.SetCodePage(1251);
  EXPECT_EQ(sim.AnsiCodePage(), 1251u);
  EXPECT_EQ(sim.MultiByteToWide(0, "\xC0"), u"\u0410");
  EXPECT_EQ(sim.MultiByteToWide(1252, "\xC0"), u"\u00C0");
  EXPECT_EQ(sim.WideToAnsi(u"\u00E9\u0436\u20AC"), "?\xE6\x88");
  EXPECT_FALSE(sim.IsDbcsCodePage());
  EXPECT_THROW(sim.SetCodePage(932), std::invalid_argument);
}

TEST(SimOsTextTest, CaseFollowsTheLettersOfTheCodePage) {
  SimOs sim;
  struct Case {
    std::uint32_t codePage;
    std::string lower, upper;
  };
  const Case cases[] = {
      {1252, "abc xyz 09-_", "ABC XYZ 09-_"},
      {1252, "\xE4\xF6\xFC\xE9\xFF\x9A\x9C\x9E", "\xC4\xD6\xDC\xC9\x9F\x8A\x8C\x8E"},
      {1251, "\xE0\xE1\xE2\xFF\xB8\xA2\xB3", "\xC0\xC1\xC2\xDF\xA8\xA1\xB2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.upper);
    sim.SetCodePage(c.codePage);
    std::string text = c.lower;
    sim.CharUpperBuffA(text);
    EXPECT_EQ(text, c.upper);
    sim.CharLowerBuffA(text);
    EXPECT_EQ(text, c.lower);
  }
  // Letters without a partner in the code page stay: sharp s, micro sign.
  sim.SetCodePage(1252);
  std::string text = "\xDF\xB5";
  sim.CharUpperBuffA(text);
  EXPECT_EQ(text, "\xDF\xB5");
}

TEST(SimOsTextTest, CompareStringOrdersLikeALocale) {
  SimOs sim;
  struct Case {
    std::uint32_t flags;
    std::string a, b;
    int result;
  };
  constexpr std::uint32_t kFolderSort = kNormIgnoreCase | kSortStringSort;
  const Case cases[] = {
      {kFolderSort, "apple", "Banana", kCstrLessThan},
      {kFolderSort, "PROGRAM FILES", "program files", kCstrEqual},
      {kFolderSort, "a", "ab", kCstrLessThan},
      {kFolderSort, "a-b", "aa", kCstrLessThan},  // signs before letters
      {kFolderSort, "file10", "file9", kCstrLessThan},
      {kFolderSort, "\xE9t\xE9", "ete", kCstrGreaterThan},  // accents after the letters
      {kFolderSort, "\xE9t\xE9", "etf", kCstrLessThan},
      {0, "abc", "ABC", kCstrLessThan},        // lower case first
      {0, "co-op", "coop", kCstrGreaterThan},  // word sort passes the hyphen over
      {0, "co-op", "cop", kCstrLessThan},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a + " / " + c.b);
    EXPECT_EQ(sim.CompareStringA(c.flags, c.a, c.b), c.result);
  }
  sim.SetCodePage(1251);
  // "Ёж" sorts with "Е", before "Ж"; Cyrillic after Latin.
  EXPECT_EQ(sim.CompareStringA(kFolderSort, "\xA8\xE6", "\xC6"), kCstrLessThan);
  EXPECT_EQ(sim.CompareStringA(kFolderSort, "\xE0\xE1\xE2", "\xC0\xC1\xC2"), kCstrEqual);
  EXPECT_EQ(sim.CompareStringA(kFolderSort, "zebra", "\xE0"), kCstrLessThan);
}

// ---- Registry ----------------------------------------------------------------------------

TEST(SimOsRegistryTest, KeysAndValuesRoundTripWithTypeAndBytes) {
  SimOs sim;
  const auto key = sim.RegCreateKeyCurrentUser("Software\\Veloquin Word Processor\\Install");
  ASSERT_TRUE(key.has_value());
  EXPECT_TRUE(sim.KeyExists("SOFTWARE\\veloquin word processor"));
  EXPECT_FALSE(sim.RegQueryValueExA(*key, "MAINDIR").has_value());
  EXPECT_EQ(sim.LastError(), kErrorFileNotFound);

  const Bytes text = AsBytes(std::string("C:\\VQ\0", 6));
  const Bytes big(1000, 0xAB);
  ASSERT_TRUE(sim.RegSetValueExA(*key, "MAINDIR", kRegSz, text));
  ASSERT_TRUE(sim.RegSetValueExA(*key, "Blob", kRegBinary, big));
  ASSERT_TRUE(sim.RegCloseKey(*key));
  EXPECT_FALSE(sim.RegCloseKey(*key));
  EXPECT_EQ(sim.OpenKeyCount(), 0u);

  const auto again = sim.RegCreateKeyCurrentUser("software\\VELOQUIN WORD PROCESSOR\\install");
  ASSERT_TRUE(again.has_value());
  const auto value = sim.RegQueryValueExA(*again, "maindir");
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->type, kRegSz);
  EXPECT_EQ(value->data, text);
  EXPECT_EQ(sim.RegQueryValueExA(*again, "BLOB")->data, big);
  sim.RegCloseKey(*again);

  EXPECT_EQ(sim.GetRegistryString("Software\\Veloquin Word Processor\\Install", "MainDir"),
            "C:\\VQ");
  ASSERT_EQ(sim.RegistryWrites().size(), 2u);
  EXPECT_EQ(sim.RegistryWrites()[0].name, "MAINDIR");
}

TEST(SimOsRegistryTest, TestHooksSetAnyValueAndMakeOpeningFail) {
  SimOs sim;
  sim.SetCodePage(1251);
  sim.SetRegistryString("Software\\App", "Dir", "C:\\Иван");
  sim.SetRegistryDword("Software\\App", "Launch", 0);
  sim.SetRegistryValue("Software\\App", "Odd", kRegBinary, Bytes{1, 2});
  const auto key = sim.RegCreateKeyCurrentUser("Software\\App");
  ASSERT_TRUE(key.has_value());
  EXPECT_EQ(sim.RegQueryValueExA(*key, "Dir")->data,
            AsBytes(std::string("C:\\\xC8\xE2\xE0\xED\0", 8)));
  EXPECT_EQ(sim.RegQueryValueExA(*key, "Launch")->data, (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(sim.RegQueryValueExA(*key, "Odd")->type, kRegBinary);
  sim.RegCloseKey(*key);

  sim.FailKeyOpening("Software\\App");
  EXPECT_FALSE(sim.RegCreateKeyCurrentUser("SOFTWARE\\APP\\").has_value());
  EXPECT_FALSE(sim.RegSetValueExA(0x1234, "x", kRegDword, Bytes{1, 0, 0, 0}));
  EXPECT_TRUE(sim.RegistryWrites().empty());
}

// ---- Message boxes -----------------------------------------------------------------------

TEST(SimOsMessageBoxTest, EveryBoxIsRecordedAndAnsweredByTheScript) {
  SimOs sim;
  sim.AnswerNextBox(kIdNo);
  sim.AnswerNextBox([](const MessageBoxCall& call) {
    return call.utf8Text.find("retry") != std::string::npos ? kIdRetry : kIdAbort;
  });
  EXPECT_EQ(sim.MessageBoxExW(0x42, u"Leave?\rReally", u"Setup", kMbYesNo | kMbTaskModal, 1033),
            kIdNo);
  EXPECT_EQ(sim.MessageBoxA(0, "Please retry", std::nullopt, kMbAbortRetryIgnore), kIdRetry);
  EXPECT_EQ(sim.PendingAnswers(), 0u);

  ASSERT_EQ(sim.MessageBoxes().size(), 2u);
  const MessageBoxCall& first = sim.MessageBoxes()[0];
  EXPECT_TRUE(first.wide);
  EXPECT_EQ(first.owner, 0x42u);
  EXPECT_EQ(first.text, u"Leave?\rReally");
  EXPECT_EQ(first.utf8Caption, "Setup");
  EXPECT_EQ(first.style, kMbYesNo | kMbTaskModal);
  EXPECT_EQ(first.language, 1033);
  EXPECT_EQ(first.answer, kIdNo);
  const MessageBoxCall& second = sim.MessageBoxes()[1];
  EXPECT_FALSE(second.wide);
  EXPECT_EQ(second.ansiText, "Please retry");
  EXPECT_FALSE(second.caption.has_value());
  EXPECT_EQ(second.answer, kIdRetry);

  // A box nobody scripted fails loudly, naming its text, and is still recorded.
  try {
    sim.MessageBoxA(0, "Exception EAbort", std::nullopt, kMbOk | kMbIconError);
    ADD_FAILURE() << "no UnexpectedMessageBox";
  } catch (const UnexpectedMessageBox& box) {
    EXPECT_EQ(box.text, "Exception EAbort");
  }
  EXPECT_EQ(sim.MessageBoxes().size(), 3u);

  sim.SetBoxResponder([](const MessageBoxCall&) { return kIdOk; });
  EXPECT_EQ(sim.MessageBoxA(0, "any", "cap", kMbOk), kIdOk);
}

TEST(SimOsMessageBoxTest, AnsiTextIsWidenedByTheCodePage) {
  SimOs sim;
  sim.SetCodePage(1251);
  sim.AnswerNextBox(kIdOk);
  sim.MessageBoxA(0, "\xC4\xE0", "\xCE\xEA", kMbOk);
  EXPECT_EQ(sim.MessageBoxes()[0].utf8Text, "Да");
  EXPECT_EQ(sim.MessageBoxes()[0].utf8Caption, "Ок");
}

// ---- Drives ------------------------------------------------------------------------------

TEST(SimOsDrivesTest, KindsMasksAndVolumes) {
  SimOs sim;
  sim.AddDrive('A', {.kind = kDriveRemovable, .present = false});
  sim.AddDrive('D', {.kind = kDriveCdrom, .volumeName = "DISC"});
  sim.AddDrive('E', {.kind = kDriveRemovable,
                     .volumeName = "STICK",
                     .busType = kBusTypeUsb,
                     .removableMedia = true});
  sim.AddShare("\\\\srv\\data", "Share");
  sim.AddDrive('Z', {.kind = kDriveRemote, .remoteName = "\\\\srv\\data"});
  EXPECT_EQ(sim.GetLogicalDrives(), (1u << 0) | (1u << 2) | (1u << 3) | (1u << 4) | (1u << 25));

  struct Case {
    std::string root;
    std::uint32_t kind;
  };
  const Case kinds[] = {
      {"C:\\", kDriveFixed},
      {"c:\\", kDriveFixed},
      {"C:", kDriveFixed},
      {"A:\\", kDriveRemovable},
      {"D:\\", kDriveCdrom},
      {"z:\\", kDriveRemote},
      {"Q:\\", kDriveNoRootDir},
      {"", kDriveNoRootDir},
      {"C:\\Windows\\", kDriveNoRootDir},
      {"\\\\srv\\data\\", kDriveRemote},
      {"\\\\srv\\none\\", kDriveNoRootDir},
  };
  for (const Case& c : kinds) {
    SCOPED_TRACE(c.root);
    EXPECT_EQ(sim.GetDriveTypeA(c.root), c.kind);
  }

  const auto system = sim.GetVolumeInformationA("C:\\", true);
  ASSERT_TRUE(system.has_value());
  EXPECT_EQ(system->name, "System");
  EXPECT_EQ(system->fileSystemFlags, kFsCaseIsPreserved | 0x4u);
  EXPECT_EQ(system->maxComponentLength, 255u);
  EXPECT_EQ(sim.GetVolumeInformationA("C:\\", false)->name, "");
  EXPECT_EQ(sim.GetVolumeInformationA("z:\\", true)->name, "Share");
  EXPECT_FALSE(sim.GetVolumeInformationA("A:\\", true).has_value());
  EXPECT_EQ(sim.LastError(), kErrorNotReady);
  EXPECT_FALSE(sim.GetVolumeInformationA("C:", true).has_value());
  sim.RemoveDrive('D');
  EXPECT_EQ(sim.GetDriveTypeA("D:\\"), kDriveNoRootDir);
}

TEST(SimOsDrivesTest, ErrorModeIsRecordedAroundVolumeQueries) {
  SimOs sim;
  const std::uint32_t before = sim.SetErrorMode(kSemFailCriticalErrors);
  sim.GetVolumeInformationA("C:\\", true);
  sim.SetErrorMode(before);
  sim.GetVolumeInformationA("C:\\", false);
  EXPECT_EQ(sim.ErrorModes(), (std::vector<std::uint32_t>{kSemFailCriticalErrors, 0}));
  ASSERT_EQ(sim.VolumeQueries().size(), 2u);
  EXPECT_EQ(sim.VolumeQueries()[0].errorMode, kSemFailCriticalErrors);
  EXPECT_EQ(sim.VolumeQueries()[1].errorMode, 0u);
  EXPECT_EQ(sim.VolumeQueries()[1].root, "C:\\");
}

TEST(SimOsDrivesTest, VolumeHandlesAnswerTheDeviceQuery) {
  SimOs sim;
  sim.AddDrive('F', {.busType = kBusTypeUsb});
  sim.AddDrive('G', {.canOpenVolume = false});
  const auto open = [&](std::u16string_view device) {
    return sim.CreateFileW(device, kGenericRead, kFileShareRead | kFileShareWrite, kOpenExisting,
                           0);
  };
  const Handle volume = open(u"\\\\.\\F:");
  ASSERT_NE(volume, kInvalidHandle);
  const auto device = sim.QueryStorageDevice(volume);
  ASSERT_TRUE(device.has_value());
  EXPECT_EQ(device->busType, kBusTypeUsb);
  EXPECT_FALSE(device->removableMedia);
  EXPECT_TRUE(sim.CloseHandle(volume));
  EXPECT_EQ(sim.QueryStorageDevice(volume), std::nullopt);

  EXPECT_EQ(open(u"\\\\.\\G:"), kInvalidHandle);
  EXPECT_EQ(open(u"\\\\.\\Q:"), kInvalidHandle);
  const Handle system = open(u"\\\\.\\c:");
  EXPECT_EQ(sim.QueryStorageDevice(system)->busType, kBusTypeSata);
  sim.CloseHandle(system);
  EXPECT_EQ(sim.OpenHandleCount(), 0u);
}

TEST(SimOsDrivesTest, NetworkConnectionsOfDriveLetters) {
  SimOs sim;
  sim.AddDrive('Z', {.kind = kDriveRemote, .remoteName = "\\\\srv\\data"});
  sim.AddDrive('Y', {.kind = kDriveRemote, .volumeName = "Offline"});
  EXPECT_EQ(sim.WNetGetConnectionA("Z:"), "\\\\srv\\data");
  EXPECT_EQ(sim.WNetGetConnectionA("z:"), "\\\\srv\\data");
  EXPECT_EQ(sim.WNetGetConnectionA("Y:"), std::nullopt);
  EXPECT_EQ(sim.WNetGetConnectionA("C:"), std::nullopt);
  EXPECT_EQ(sim.WNetGetConnectionA("Q:"), std::nullopt);
}

// ---- Libraries, process, windows, module ---------------------------------------------------

TEST(SimOsProcessTest, FolderPathFunctionFromEitherLibrary) {
  SimOs sim;
  sim.SetLibrary("shell32.dll", true, false);
  const LibraryHandle shell = sim.LoadSystemLibrary("SHELL32.DLL");
  ASSERT_NE(shell, 0u);
  EXPECT_EQ(sim.GetProcAddress(shell, "SHGetFolderPathA"), 0u);
  const ProcAddress function =
      sim.GetProcAddress(sim.LoadSystemLibrary("shfolder.dll"), "SHGetFolderPathA");
  ASSERT_NE(function, 0u);
  EXPECT_EQ(sim.LibraryRequests(), (std::vector<std::string>{"SHELL32.DLL", "shfolder.dll"}));

  std::string path;
  EXPECT_EQ(sim.CallFolderPathA(function, kCsidlProgramFiles, path), 0);
  EXPECT_EQ(path, "C:\\Program Files");
  EXPECT_EQ(sim.CallFolderPathA(function, kCsidlCommonAppData, path), 0);
  EXPECT_EQ(path, "C:\\ProgramData");
  EXPECT_LT(sim.CallFolderPathA(function, 0x1234, path), 0);
  sim.FailSpecialFolder(kCsidlPersonal, 1);  // S_FALSE
  EXPECT_EQ(sim.CallFolderPathA(function, kCsidlPersonal, path), 1);
  sim.SetSpecialFolder(kCsidlPersonal, "D:\\Docs");
  EXPECT_EQ(sim.CallFolderPathA(function, kCsidlPersonal, path), 0);
  EXPECT_EQ(path, "D:\\Docs");

  sim.SetLibrary("shfolder.dll", false, false);
  EXPECT_EQ(sim.LoadSystemLibrary("shfolder.dll"), 0u);
}

TEST(SimOsProcessTest, ProcessCallsAreJournaledInOrder) {
  SimOs sim;
  sim.RestrictDllSearch();
  sim.OleInitialize();
  sim.LoadSystemLibrary("shell32.dll");
  EXPECT_EQ(sim.WinExec("\"C:\\VQ\\vqd.exe\"", kSwShow), 33u);
  sim.OleUninitialize();
  EXPECT_THROW(sim.ExitProcess(1), ProcessExit);
  EXPECT_EQ(sim.Journal(),
            (std::vector<std::string>{
                "RestrictDllSearch", "OleInitialize", "LoadSystemLibrary shell32.dll",
                "WinExec \"C:\\VQ\\vqd.exe\"", "OleUninitialize", "ExitProcess 1"}));
  ASSERT_EQ(sim.WinExecCalls().size(), 1u);
  EXPECT_EQ(sim.WinExecCalls()[0].show, kSwShow);
  EXPECT_EQ(sim.ExitCode(), 1u);
  EXPECT_EQ(sim.WinExec("again", kSwShow), 0u);
  EXPECT_EQ(sim.WinExecCalls().size(), 1u);
}

TEST(SimOsProcessTest, WindowsPropertiesResourcesAndCommandLine) {
  SimOs sim;
  const WindowHandle plain = sim.AddWindow();
  const WindowHandle host = sim.AddWindow({{"1.x Heron Gate", 1}});
  const WindowHandle last = sim.AddWindow();
  std::vector<WindowHandle> visited;
  sim.EnumWindows([&](WindowHandle w) {
    visited.push_back(w);
    return sim.GetPropA(w, "1.X HERON GATE") == 0;
  });
  EXPECT_EQ(visited, (std::vector<WindowHandle>{plain, host}));
  EXPECT_EQ(sim.GetPropA(last, "1.x Heron Gate"), 0u);
  sim.RemoveWindow(host);
  visited.clear();
  sim.EnumWindows([&](WindowHandle w) {
    visited.push_back(w);
    return true;
  });
  EXPECT_EQ(visited, (std::vector<WindowHandle>{plain, last}));

  sim.SetResource("FILES", "FILES", Bytes{0x78, 0xDA});
  const auto resource = sim.FindResource("files", "Files");
  ASSERT_TRUE(resource.has_value());
  EXPECT_EQ(Bytes(resource->begin(), resource->end()), (Bytes{0x78, 0xDA}));
  EXPECT_FALSE(sim.FindResource("FILES", "RCDATA").has_value());

  EXPECT_EQ(sim.CommandLine(), "\"C:\\Users\\User\\Downloads\\setup.exe\"");
  sim.SetCommandLine("setup.exe -d\"C:\\My Apps\\VQ\"");
  EXPECT_EQ(sim.CommandLine(), "setup.exe -d\"C:\\My Apps\\VQ\"");
}

TEST(SimOsProcessTest, DefaultFoldersAndTempPath) {
  SimOs sim;
  for (const char* folder : {"C:\\Users\\User\\AppData\\Local\\Temp", "C:\\Users\\User\\Documents",
                             "C:\\ProgramData", "C:\\Program Files", "C:\\Windows\\System32"}) {
    EXPECT_TRUE(sim.IsFolder(folder)) << folder;
  }
  EXPECT_EQ(sim.GetCurrentDirectoryA(), "C:\\");
  EXPECT_EQ(sim.GetTempPathA(), "C:\\Users\\User\\AppData\\Local\\Temp\\");
  sim.SetTempPath("C:\\Gone");
  EXPECT_EQ(sim.GetTempPathA(), "C:\\Gone\\");
}

}  // namespace
}  // namespace os
