// SimOs: an in-memory Windows machine behind the OS port, for the native tests.
//
// It answers every call of os::Os the way Windows does for the uses the setup makes of it,
// failures included, and lets a test build the machine it needs in a few lines:
//
//   os::SimOs sim;                                   // the default machine, below
//   sim.AddFile("C:\\Program Files\\Veloquin\\vqd.exe", "MZ");
//   sim.AddDrive('E', {.kind = os::kDriveRemovable, .volumeName = "STICK",
//                      .busType = os::kBusTypeUsb, .removableMedia = true});
//   sim.AnswerNextBox(os::kIdYes);
//   os::MachineScope scope(sim);
//
// The default machine: ANSI code page 1252; drive C: fixed, volume "System", case-preserving
// (FS_CASE_IS_PRESERVED | FS_UNICODE_STORED_ON_DISK), SATA, fixed media; the folders
// C:\Users\User\AppData\Local\Temp, C:\Users\User\Documents, C:\ProgramData,
// C:\Program Files and C:\Windows\System32; current directory C:\; temp path
// C:\Users\User\AppData\Local\Temp\; special folders 5 (documents), 35 (ProgramData) and
// 38 (Program Files); local clock 2024-05-01 12:00:00.000 at UTC+120 minutes; shell32.dll and
// shfolder.dll both export SHGetFolderPathA; error mode 0; no windows, resources or registry
// keys; the command line "C:\Users\User\Downloads\setup.exe" in double quotes.
//
// Text given to and returned by the test hooks below is UTF-8; inside, names are kept as
// UTF-16 with their case and compared upper-cased, and the 8-bit calls of os::Os convert
// through the ANSI code page at the time of the call, as Windows does. Paths given to the
// hooks are full paths ("C:\\a\\b", "\\\\srv\\share\\a"); "/" separates as well as "\".
//
// After ExitProcess every call that would change the machine does nothing, fails, and is
// recorded in IgnoredAfterExit().
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "os/Os.h"

namespace os {

// The properties of a drive letter. Designated initialisers give a drive in one line.
struct DriveSpec {
  std::uint32_t kind = kDriveFixed;                          // as GetDriveTypeA reports it
  std::string volumeName;                                    // UTF-8
  std::uint32_t fileSystemFlags = kFsCaseIsPreserved | 0x4;  // | FS_UNICODE_STORED_ON_DISK
  std::uint32_t busType = kBusTypeSata;
  bool removableMedia = false;  // what the storage-device query reports
  bool present = true;          // a medium is in the drive
  bool canOpenVolume = true;    // CreateFileW("\\.\X:") succeeds
  std::string remoteName;       // network drives: the connection ("\\srv\data"); empty: none
  std::uint32_t maxComponentLength = 255;
};

// One message box as the program asked for it.
struct MessageBoxCall {
  bool wide = true;  // MessageBoxExW; false for MessageBoxA
  WindowHandle owner = 0;
  std::u16string text;                    // as wide text (MessageBoxA: widened by the ANSI page)
  std::string utf8Text;                   // the same, as UTF-8, for readable checks
  std::optional<std::string> ansiText;    // MessageBoxA: the bytes as given
  std::optional<std::u16string> caption;  // none: MessageBoxA without caption
  std::optional<std::string> utf8Caption;
  std::uint32_t style = 0;
  std::uint16_t language = 0;  // MessageBoxA: 0
  int answer = 0;              // filled in once the scripted user has answered
};

// Thrown by a message box that the scripted user has no answer for. It is no std::exception,
// so that the program's own error handling does not catch it and show yet another box.
struct UnexpectedMessageBox {
  std::string text;  // UTF-8
  std::string What() const { return "unexpected message box: " + text; }
};

// Last-error values the simulated calls leave (LastError()).
inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorPathNotFound = 3;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorNoMoreFiles = 18;
inline constexpr std::uint32_t kErrorNotReady = 21;
inline constexpr std::uint32_t kErrorSharingViolation = 32;
inline constexpr std::uint32_t kErrorFileExists = 80;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorInvalidName = 123;
inline constexpr std::uint32_t kErrorModNotFound = 126;
inline constexpr std::uint32_t kErrorProcNotFound = 127;
inline constexpr std::uint32_t kErrorDirNotEmpty = 145;
inline constexpr std::uint32_t kErrorAlreadyExists = 183;
inline constexpr std::uint32_t kErrorFilenameExcedRange = 206;
inline constexpr std::uint32_t kErrorDirectory = 267;
inline constexpr std::uint32_t kErrorBadNetName = 67;
inline constexpr std::uint32_t kErrorNotConnected = 2250;

class SimOs final : public Os {
 public:
  SimOs();
  ~SimOs() override;
  SimOs(const SimOs&) = delete;
  SimOs& operator=(const SimOs&) = delete;

  // ======================================================================================
  // Test hooks: building and inspecting the machine
  // ======================================================================================

  // ---- Text ----------------------------------------------------------------------------
  // Switches the ANSI code page (1252 or 1251; anything else throws std::invalid_argument).
  void SetCodePage(std::uint32_t codePage);

  // ---- Clock ---------------------------------------------------------------------------
  // Sets the local clock; the UTC moment follows from the current offset.
  void SetLocalTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                    int milliseconds = 0);
  // Minutes that local time is ahead of UTC. The UTC moment stays and the local clock moves,
  // as when the time zone of a real machine changes.
  void SetUtcOffset(int minutes);
  void AdvanceClock(std::int64_t milliseconds);
  // The present moment, UTC.
  FileTime Now() const { return now_; }
  int UtcOffset() const { return utcOffsetMinutes_; }
  // Exact conversions between a calendar time and file-time ticks (no time zone involved).
  static FileTime ToFileTime(int year, int month, int day, int hour = 0, int minute = 0,
                             int second = 0, int milliseconds = 0);
  static SystemTime ToSystemTime(FileTime time);

  // ---- Drives and network shares --------------------------------------------------------
  // Adds the drive, or changes the properties of an existing one (its files stay).
  void AddDrive(char letter, DriveSpec spec);
  // The drive disappears with its files; open handles on it stay valid.
  void RemoveDrive(char letter);
  // A medium goes in or out of the drive (DriveSpec::present).
  void SetMediumPresent(char letter, bool present);
  // The properties of a drive; throws std::out_of_range for a letter without a drive.
  DriveSpec& Drive(char letter);
  // A server share "\\srv\share" with its own file tree, reachable by UNC paths; a network
  // drive whose remoteName names it shows the same files.
  void AddShare(std::string_view uncRoot, std::string_view volumeName = "");
  // Every SetErrorMode argument in order, and the error mode in force at each
  // GetVolumeInformationA call.
  const std::vector<std::uint32_t>& ErrorModes() const { return errorModes_; }
  struct VolumeQuery {
    std::string root;  // as asked, UTF-8
    std::uint32_t errorMode = 0;
  };
  const std::vector<VolumeQuery>& VolumeQueries() const { return volumeQueries_; }
  std::uint32_t ErrorMode() const { return errorMode_; }

  // ---- Files and folders -----------------------------------------------------------------
  // Creates the folder and every missing folder above it.
  void AddFolder(std::string_view path);
  // Creates or replaces the file (with missing folders above it); attributes archive, all
  // three times the present moment.
  void AddFile(std::string_view path, std::string_view contents = {});
  void AddFile(std::string_view path, const Bytes& contents);
  // A folder junction at `path` (whose parent must exist) showing the folder `target`.
  void MakeLink(std::string_view path, std::string_view target);
  // Removes a file, folder tree or link whatever its attributes or open handles.
  void Remove(std::string_view path);
  // Attributes of an existing entry; the folder bit of a folder is kept.
  void SetAttributes(std::string_view path, std::uint32_t attributes);
  void SetLastWriteTime(std::string_view path, FileTime utc);
  void SetTimes(std::string_view path, FileTime creation, FileTime lastAccess, FileTime lastWrite);
  // CreateDirectoryW of exactly this folder fails with access denied.
  void FailFolderCreation(std::string_view path);

  bool Exists(std::string_view path) const;
  bool IsFolder(std::string_view path) const;
  bool IsFile(std::string_view path) const;
  bool IsLink(std::string_view path) const;
  std::optional<std::string> FileContents(std::string_view path) const;
  std::optional<std::uint32_t> Attributes(std::string_view path) const;
  std::optional<FileTime> LastWriteTime(std::string_view path) const;
  // The names in a folder as stored (UTF-8), in the order a search gives them; "." and ".."
  // are not included.
  std::vector<std::string> ListFolder(std::string_view path) const;
  // The stored name of the entry, e.g. "Program Files" for "c:\PROGRAM FILES".
  std::optional<std::string> StoredName(std::string_view path) const;

  // Holds a file open "by another program" with no sharing until Unlock or destruction.
  class FileLock {
   public:
    FileLock() = default;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    ~FileLock();
    void Unlock();
    bool Held() const;

   private:
    friend class SimOs;
    SimOs* os_ = nullptr;
    Handle handle_ = 0;
    std::weak_ptr<int> alive_;
  };
  // Throws std::invalid_argument when the path names no file.
  [[nodiscard]] FileLock LockFile(std::string_view path);
  void Unlock(FileLock& lock) { lock.Unlock(); }

  // Handles that the program holds open (files, searches, volumes; not the locks above).
  std::size_t OpenHandleCount() const;
  // GetLastError after the latest call that sets it.
  std::uint32_t LastError() const { return lastError_; }

  // ---- Current directory and temp path ---------------------------------------------------
  std::string CurrentDirectory() const;  // UTF-8, as GetCurrentDirectoryA would report it
  void SetTempPath(std::string_view path);

  // ---- Registry under HKEY_CURRENT_USER ----------------------------------------------------
  // Any type and size; string types take their bytes in the ANSI code page, as
  // RegSetValueExA does. Missing keys are created.
  void SetRegistryValue(std::string_view key, std::string_view name, std::uint32_t type,
                        const Bytes& data);
  // REG_SZ with its terminating zero.
  void SetRegistryString(std::string_view key, std::string_view name, std::string_view text);
  void SetRegistryDword(std::string_view key, std::string_view name, std::uint32_t value);
  // The value as RegQueryValueExA gives it.
  std::optional<RegistryValue> GetRegistryValue(std::string_view key, std::string_view name) const;
  // A REG_SZ value's text up to its first zero, as UTF-8; nothing when missing.
  std::optional<std::string> GetRegistryString(std::string_view key, std::string_view name) const;
  bool KeyExists(std::string_view key) const;
  // RegCreateKeyCurrentUser of this key (any letter case) fails.
  void FailKeyOpening(std::string_view key);
  struct RegistryWrite {
    std::string key;
    std::string name;
    std::uint32_t type = 0;
    Bytes data;
  };
  // Every RegSetValueExA that succeeded, in order.
  const std::vector<RegistryWrite>& RegistryWrites() const { return registryWrites_; }
  std::size_t OpenKeyCount() const { return openKeys_.size(); }

  // ---- Message boxes ------------------------------------------------------------------------
  // The next box is answered with this value / by this function (queued in order).
  void AnswerNextBox(int answer);
  void AnswerNextBox(std::function<int(const MessageBoxCall&)> answer);
  // Answers every box that the queue does not cover; an empty function removes it.
  void SetBoxResponder(std::function<int(const MessageBoxCall&)> responder);
  const std::vector<MessageBoxCall>& MessageBoxes() const { return boxes_; }
  std::size_t PendingAnswers() const { return answers_.size(); }

  // ---- Module, process, libraries ------------------------------------------------------------
  void SetResource(std::string_view name, std::string_view type, Bytes bytes);
  void SetCommandLine(std::string_view commandLine);
  // Whether the library exists in the system folder and whether it exports SHGetFolderPathA.
  void SetLibrary(std::string_view name, bool exists, bool exportsFolderPath);
  const std::vector<std::string>& LibraryRequests() const { return libraryRequests_; }
  // The special folder's path (UTF-8); or, with FailSpecialFolder, the HRESULT it gives.
  void SetSpecialFolder(int csidl, std::string_view path);
  void FailSpecialFolder(int csidl, std::int32_t hresult = static_cast<std::int32_t>(0x80004005));
  int RestrictDllSearchCount() const { return restrictDllSearchCount_; }
  int OleInitializeCount() const { return oleInitializeCount_; }
  int OleUninitializeCount() const { return oleUninitializeCount_; }
  struct WinExecCall {
    std::string commandLine;  // as given
    int show = 0;
  };
  const std::vector<WinExecCall>& WinExecCalls() const { return winExecCalls_; }
  void SetWinExecResult(std::uint32_t result) { winExecResult_ = result; }
  // A journal of the process-level calls in order ("OleInitialize", "LoadSystemLibrary
  // shell32.dll", "GetProcAddress SHGetFolderPathA", "RestrictDllSearch", "WinExec ...",
  // "OleUninitialize", "ExitProcess 0"), for checks of their order.
  const std::vector<std::string>& Journal() const { return journal_; }
  std::optional<std::uint32_t> ExitCode() const { return exitCode_; }
  bool Ended() const { return exitCode_.has_value(); }
  const std::vector<std::string>& IgnoredAfterExit() const { return ignoredAfterExit_; }

  // ---- Windows of the desktop ---------------------------------------------------------------
  // A top-level window with the given properties (names compare case-insensitively).
  WindowHandle AddWindow(const std::map<std::string, std::uintptr_t>& properties = {});
  void RemoveWindow(WindowHandle window);
  void SetWindowProperty(WindowHandle window, std::string_view name, std::uintptr_t value);

  // ======================================================================================
  // os::Os
  // ======================================================================================
  void RestrictDllSearch() override;
  std::optional<std::span<const std::uint8_t>> FindResource(std::string_view name,
                                                            std::string_view type) override;
  std::string CommandLine() override;
  [[noreturn]] void ExitProcess(std::uint32_t code) override;
  void OleInitialize() override;
  void OleUninitialize() override;
  LibraryHandle LoadSystemLibrary(std::string_view name) override;
  ProcAddress GetProcAddress(LibraryHandle library, std::string_view name) override;
  std::int32_t CallFolderPathA(ProcAddress function, int csidl, std::string& path) override;
  std::uint32_t WinExec(std::string_view commandLine, int show) override;

  int MessageBoxExW(WindowHandle owner, std::u16string_view text, std::u16string_view caption,
                    std::uint32_t style, std::uint16_t language) override;
  int MessageBoxA(WindowHandle owner, std::string_view text,
                  std::optional<std::string_view> caption, std::uint32_t style) override;

  std::uint32_t AnsiCodePage() override { return codePage_; }
  std::u16string MultiByteToWide(std::uint32_t codePage, std::string_view text) override;
  std::string WideToAnsi(std::u16string_view text) override;
  void CharUpperBuffA(std::string& text) override;
  void CharLowerBuffA(std::string& text) override;
  int CompareStringA(std::uint32_t flags, std::string_view a, std::string_view b) override;
  bool IsDbcsCodePage() override { return false; }
  bool IsDbcsLeadByte(std::uint8_t) override { return false; }

  SystemTime GetLocalTime() override;
  bool FileTimeToLocalFileTime(FileTime utc, FileTime& local) override;
  bool LocalFileTimeToFileTime(FileTime local, FileTime& utc) override;
  bool FileTimeToDosDateTime(FileTime time, std::uint16_t& date, std::uint16_t& dosTime) override;
  bool DosDateTimeToFileTime(std::uint16_t date, std::uint16_t dosTime, FileTime& time) override;

  Handle CreateFileW(std::u16string_view path, std::uint32_t access, std::uint32_t share,
                     std::uint32_t disposition, std::uint32_t flagsAndAttributes) override;
  bool WriteFile(Handle file, const void* data, std::uint32_t size,
                 std::uint32_t& written) override;
  bool ReadFile(Handle file, void* buffer, std::uint32_t size, std::uint32_t& read) override;
  bool GetFileSize(Handle file, std::uint64_t& size) override;
  bool SetFileLastWriteTime(Handle file, FileTime lastWrite) override;
  bool CloseHandle(Handle handle) override;
  bool DeleteFileW(std::u16string_view path) override;
  bool CreateDirectoryW(std::u16string_view path) override;
  bool RemoveDirectoryW(std::u16string_view path) override;
  Handle FindFirstFileA(std::string_view pattern, FindData& data,
                        bool onlyDirectories = false) override;
  bool FindNextFileA(Handle search, FindData& data) override;
  bool FindClose(Handle search) override;
  std::optional<std::string> GetCurrentDirectoryA() override;
  bool SetCurrentDirectoryA(std::string_view path) override;
  std::string GetTempPathA() override;

  std::uint32_t GetLogicalDrives() override;
  std::uint32_t GetDriveTypeA(std::string_view root) override;
  std::optional<VolumeInfo> GetVolumeInformationA(std::string_view root, bool wantName) override;
  std::uint32_t SetErrorMode(std::uint32_t mode) override;
  std::optional<StorageDeviceInfo> QueryStorageDevice(Handle volume) override;
  std::optional<std::string> WNetGetConnectionA(std::string_view localName) override;

  std::optional<KeyHandle> RegCreateKeyCurrentUser(std::string_view path) override;
  std::optional<RegistryValue> RegQueryValueExA(KeyHandle key, std::string_view name) override;
  bool RegSetValueExA(KeyHandle key, std::string_view name, std::uint32_t type,
                      std::span<const std::uint8_t> data) override;
  bool RegCloseKey(KeyHandle key) override;

  void EnumWindows(const std::function<bool(WindowHandle)>& visit) override;
  std::uintptr_t GetPropA(WindowHandle window, std::string_view name) override;

 private:
  // ---- The file tree ----------------------------------------------------------------------
  struct Node {
    std::u16string name;
    std::uint32_t attributes = 0;
    FileTime created;
    FileTime accessed;
    FileTime written;
    Bytes data;
    // Entries of a folder by upper-cased name, which is also the order a search gives.
    std::map<std::u16string, std::shared_ptr<Node>> children;
    std::u16string linkTarget;  // a junction: the full path it shows
    std::uint32_t reparseTag = 0;
    bool IsFolder() const { return (attributes & kFileAttributeDirectory) != 0; }
    bool IsLink() const { return (attributes & kFileAttributeReparsePoint) != 0; }
  };
  struct DriveEntry {
    DriveSpec spec;
    std::shared_ptr<Node> root;
  };
  struct ShareEntry {
    std::u16string root;  // "\\srv\share" as given
    std::string volumeName;
    std::shared_ptr<Node> tree;
  };

  // A path taken apart: where it starts and its components, "." and ".." resolved.
  struct ParsedPath {
    enum class Kind { kDrive, kShare, kVolume } kind = Kind::kDrive;
    char letter = 0;          // upper case, kDrive and kVolume
    std::u16string shareKey;  // upper-cased "\\SRV\SHARE", kShare
    std::vector<std::u16string> parts;
    bool trailingSeparator = false;
    std::u16string full;  // the full path as GetFullPathName gives it
  };
  // Where a parsed path leads: the folder that holds its last component and that entry.
  struct Place {
    Node* parent = nullptr;  // null for a root
    std::shared_ptr<Node> node;
    std::u16string name;      // the last component as given
    std::uint32_t error = 0;  // set when the path cannot be walked
  };

  // Paths (SimPaths.cpp).
  std::optional<std::u16string> FullPathName(std::u16string_view path) const;
  std::optional<ParsedPath> ParsePath(std::u16string_view path) const;
  std::shared_ptr<Node> RootNode(const ParsedPath& path, std::uint32_t& error) const;
  Place Locate(const ParsedPath& path, int depth = 0) const;
  Place LocateText(std::u16string_view path, std::size_t maxLength = SIZE_MAX) const;
  // Paths without the "\\?\" prefix are limited in length (MAX_PATH, or less for folders
  // to create): a longer one fails with kErrorFilenameExcedRange.
  bool PathTooLong(std::u16string_view given, std::u16string_view full,
                   std::size_t maxLength) const;
  // The folder whose contents a node shows: itself, or a junction's target.
  std::shared_ptr<Node> Follow(const std::shared_ptr<Node>& node, int depth = 0) const;
  std::shared_ptr<Node> FolderAt(std::u16string_view fullPath, int depth) const;
  std::shared_ptr<Node> HookNode(std::string_view path) const;  // UTF-8, throws when missing
  Node& HookParentFolder(std::string_view path, std::u16string& name);
  static bool ValidName(std::u16string_view name);
  std::u16string Key(std::u16string_view name) const;

  std::shared_ptr<Node> NewNode(std::u16string name, std::uint32_t attributes) const;
  // Set the last error and give the failure result of the call.
  bool Fail(std::uint32_t error) const {
    lastError_ = error;
    return false;
  }
  Handle FailHandle(std::uint32_t error) const {
    lastError_ = error;
    return kInvalidHandle;
  }
  bool Ignored(std::string_view call);
  std::u16string Ansi(std::string_view text) const;
  std::string ToAnsi(std::u16string_view text) const;

  // ---- Handles ----------------------------------------------------------------------------
  struct OpenFile {
    std::shared_ptr<Node> node;
    std::uint32_t access = 0;  // kRead | kWrite | kDelete
    std::uint32_t share = 0;
    std::uint64_t position = 0;
    bool writeTimeSet = false;  // SetFileLastWriteTime fixes the time for this handle
    bool external = false;      // a lock of the test
  };
  struct OpenSearch {
    std::vector<FindData> entries;
    std::size_t next = 0;
  };
  struct OpenVolume {
    char letter = 0;
  };
  using OpenObject = std::variant<OpenFile, OpenSearch, OpenVolume>;
  Handle NewHandle(OpenObject object);
  // The open object of the handle when it is of that kind; else null, last error set.
  template <typename T>
  T* HandleAs(Handle handle) {
    const auto found = handles_.find(handle);
    T* object = found != handles_.end() ? std::get_if<T>(&found->second) : nullptr;
    if (object == nullptr) lastError_ = kErrorInvalidHandle;
    return object;
  }
  bool SharingAllows(const Node& node, std::uint32_t access, std::uint32_t share) const;
  bool InUse(const Node& node) const;

  // ---- Registry ---------------------------------------------------------------------------
  // Values keep string data as UTF-16, as Windows does, and convert it for the 8-bit calls.
  struct RegValue {
    std::u16string name;
    std::uint32_t type = 0;
    Bytes data;           // other types
    std::u16string text;  // REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ
  };
  struct RegKey {
    std::u16string name;
    std::map<std::u16string, std::unique_ptr<RegKey>> subkeys;  // by upper-cased name
    std::map<std::u16string, RegValue> values;                  // by upper-cased name
  };
  RegistryValue ToRegistryValue(const RegValue& value) const;
  void StoreValue(RegKey& key, std::u16string_view name, std::uint32_t type,
                  std::span<const std::uint8_t> data);
  RegKey* FindKey(std::u16string_view path) const;
  RegKey& MakeKey(std::u16string_view path);
  static std::vector<std::u16string> KeyParts(std::u16string_view path);

  // ---- State ------------------------------------------------------------------------------
  std::uint32_t codePage_ = 1252;
  FileTime now_;
  int utcOffsetMinutes_ = 120;

  std::map<char, DriveEntry> drives_;
  std::map<std::u16string, ShareEntry> shares_;
  std::set<std::u16string> failingFolders_;  // upper-cased full paths
  std::u16string currentDirectory_ = u"C:\\";
  std::u16string tempPath_;
  std::uint32_t errorMode_ = 0;
  std::vector<std::uint32_t> errorModes_;
  std::vector<VolumeQuery> volumeQueries_;

  std::map<Handle, OpenObject> handles_;
  Handle nextHandle_ = 0x100;
  mutable std::uint32_t lastError_ = 0;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);

  RegKey registry_;
  std::map<KeyHandle, std::u16string> openKeys_;  // the key's path as opened
  KeyHandle nextKey_ = 0x1000;
  std::set<std::u16string> failingKeys_;
  std::vector<RegistryWrite> registryWrites_;

  using Answer = std::variant<int, std::function<int(const MessageBoxCall&)>>;
  std::deque<Answer> answers_;
  std::function<int(const MessageBoxCall&)> responder_;
  std::vector<MessageBoxCall> boxes_;

  struct Resource {
    std::string name;
    std::string type;
    Bytes bytes;
  };
  std::vector<Resource> resources_;
  std::string commandLine_;
  struct Library {
    std::string name;
    bool exists = true;
    bool exportsFolderPath = true;
  };
  std::vector<Library> libraries_;
  std::vector<std::string> libraryRequests_;
  struct SpecialFolder {
    std::u16string path;
    std::int32_t result = 0;
  };
  std::map<int, SpecialFolder> specialFolders_;
  int restrictDllSearchCount_ = 0;
  int oleInitializeCount_ = 0;
  int oleUninitializeCount_ = 0;
  std::vector<WinExecCall> winExecCalls_;
  std::uint32_t winExecResult_ = 33;
  std::vector<std::string> journal_;
  std::optional<std::uint32_t> exitCode_;
  std::vector<std::string> ignoredAfterExit_;

  struct Window {
    WindowHandle handle = 0;
    std::map<std::u16string, std::uintptr_t> properties;  // by upper-cased name
  };
  std::vector<Window> windows_;
  WindowHandle nextWindow_ = 0x10010;
};

}  // namespace os
