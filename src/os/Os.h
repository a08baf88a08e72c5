// The operating-system port. Every call the setup makes to Windows goes through this one
// interface: Win32Os forwards to the real system, SimOs is an in-memory Windows machine for
// the native tests. Calls keep the shape and the failure behaviour of the Windows calls they
// stand for, so that the units above can be written exactly as they would be against Win32.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "os/Types.h"

namespace os {

class Os {
 public:
  virtual ~Os() = default;

  // ---- Process and module --------------------------------------------------------------
  // Restricts the library search of the process to the system folder (first act at start).
  virtual void RestrictDllSearch() = 0;
  // A resource of the program's own module by name and named type (FindResourceA,
  // SizeofResource, LoadResource, LockResource). Nothing when it is missing.
  virtual std::optional<std::span<const std::uint8_t>> FindResource(std::string_view name,
                                                                    std::string_view type) = 0;
  // The raw command line of the process, as GetCommandLineA gives it.
  virtual std::string CommandLine() = 0;
  // Ends the process at once. SimOs records the code and throws os::ProcessExit.
  [[noreturn]] virtual void ExitProcess(std::uint32_t code) = 0;
  virtual void OleInitialize() = 0;
  virtual void OleUninitialize() = 0;
  // LoadLibraryA restricted to the system folder; 0 when the library cannot be loaded.
  virtual LibraryHandle LoadSystemLibrary(std::string_view name) = 0;
  // GetProcAddress; 0 when the library does not export the name.
  virtual ProcAddress GetProcAddress(LibraryHandle library, std::string_view name) = 0;
  // Calls a SHGetFolderPathA entry point found by GetProcAddress with owner 0, no token and
  // flags 0. Gives its HRESULT; on 0 (S_OK) `path` holds the buffer up to its first zero.
  virtual std::int32_t CallFolderPathA(ProcAddress function, int csidl, std::string& path) = 0;
  // WinExec; gives its result (greater than 31 on success).
  virtual std::uint32_t WinExec(std::string_view commandLine, int show) = 0;

  // ---- Message boxes ---------------------------------------------------------------------
  virtual int MessageBoxExW(WindowHandle owner, std::u16string_view text,
                            std::u16string_view caption, std::uint32_t style,
                            std::uint16_t language) = 0;
  // MessageBoxA; a missing caption lets the system use its default one.
  virtual int MessageBoxA(WindowHandle owner, std::string_view text,
                          std::optional<std::string_view> caption, std::uint32_t style) = 0;

  // ---- Text ------------------------------------------------------------------------------
  virtual std::uint32_t AnsiCodePage() = 0;
  // MultiByteToWideChar with the given code page (0 = CP_ACP) and MB_PRECOMPOSED.
  virtual std::u16string MultiByteToWide(std::uint32_t codePage, std::string_view text) = 0;
  // WideCharToMultiByte to the ANSI code page, unmappable characters as '?'.
  virtual std::string WideToAnsi(std::u16string_view text) = 0;
  // CharUpperBuffA / CharLowerBuffA over the whole text, in place.
  virtual void CharUpperBuffA(std::string& text) = 0;
  virtual void CharLowerBuffA(std::string& text) = 0;
  // CompareStringA with LOCALE_USER_DEFAULT; gives 1 (less), 2 (equal) or 3 (greater).
  virtual int CompareStringA(std::uint32_t flags, std::string_view a, std::string_view b) = 0;
  // Whether the ANSI code page is a double-byte one, and its lead bytes.
  virtual bool IsDbcsCodePage() = 0;
  virtual bool IsDbcsLeadByte(std::uint8_t byte) = 0;

  // ---- Clock -----------------------------------------------------------------------------
  virtual SystemTime GetLocalTime() = 0;
  virtual bool FileTimeToLocalFileTime(FileTime utc, FileTime& local) = 0;
  virtual bool LocalFileTimeToFileTime(FileTime local, FileTime& utc) = 0;
  virtual bool FileTimeToDosDateTime(FileTime time, std::uint16_t& date,
                                     std::uint16_t& dosTime) = 0;
  virtual bool DosDateTimeToFileTime(std::uint16_t date, std::uint16_t dosTime, FileTime& time) = 0;

  // ---- Files and folders -----------------------------------------------------------------
  virtual Handle CreateFileW(std::u16string_view path, std::uint32_t access, std::uint32_t share,
                             std::uint32_t disposition, std::uint32_t flagsAndAttributes) = 0;
  // WriteFile; `written` gets the count written.
  virtual bool WriteFile(Handle file, const void* data, std::uint32_t size,
                         std::uint32_t& written) = 0;
  // ReadFile; `read` gets the count read (0 at the end of the file).
  virtual bool ReadFile(Handle file, void* buffer, std::uint32_t size, std::uint32_t& read) = 0;
  virtual bool GetFileSize(Handle file, std::uint64_t& size) = 0;
  // SetFileTime with only the last-write time given.
  virtual bool SetFileLastWriteTime(Handle file, FileTime lastWrite) = 0;
  virtual bool CloseHandle(Handle handle) = 0;
  virtual bool DeleteFileW(std::u16string_view path) = 0;
  virtual bool CreateDirectoryW(std::u16string_view path) = 0;
  virtual bool RemoveDirectoryW(std::u16string_view path) = 0;
  // FindFirstFileA; kInvalidHandle when nothing matches. `onlyDirectories` asks for
  // FindExSearchLimitToDirectories, a hint the system may ignore.
  virtual Handle FindFirstFileA(std::string_view pattern, FindData& data,
                                bool onlyDirectories = false) = 0;
  virtual bool FindNextFileA(Handle search, FindData& data) = 0;
  virtual bool FindClose(Handle search) = 0;
  // GetCurrentDirectoryA; nothing when the system cannot report it.
  virtual std::optional<std::string> GetCurrentDirectoryA() = 0;
  virtual bool SetCurrentDirectoryA(std::string_view path) = 0;
  // GetTempPathA; empty text on failure.
  virtual std::string GetTempPathA() = 0;

  // ---- Drives ----------------------------------------------------------------------------
  virtual std::uint32_t GetLogicalDrives() = 0;
  virtual std::uint32_t GetDriveTypeA(std::string_view root) = 0;
  // GetVolumeInformationA; the name is filled only when `wantName` is true.
  virtual std::optional<VolumeInfo> GetVolumeInformationA(std::string_view root, bool wantName) = 0;
  virtual std::uint32_t SetErrorMode(std::uint32_t mode) = 0;
  // IOCTL_STORAGE_QUERY_PROPERTY with StorageDeviceProperty on a volume handle opened with
  // CreateFileW; nothing when the query fails.
  virtual std::optional<StorageDeviceInfo> QueryStorageDevice(Handle volume) = 0;
  // WNetGetConnectionA for a local name such as "Z:"; nothing on any error.
  virtual std::optional<std::string> WNetGetConnectionA(std::string_view localName) = 0;

  // ---- Registry under HKEY_CURRENT_USER ---------------------------------------------------
  // RegCreateKeyExA with KEY_ALL_ACCESS; nothing on failure.
  virtual std::optional<KeyHandle> RegCreateKeyCurrentUser(std::string_view path) = 0;
  virtual std::optional<RegistryValue> RegQueryValueExA(KeyHandle key, std::string_view name) = 0;
  virtual bool RegSetValueExA(KeyHandle key, std::string_view name, std::uint32_t type,
                              std::span<const std::uint8_t> data) = 0;
  virtual bool RegCloseKey(KeyHandle key) = 0;

  // ---- Windows of the desktop -------------------------------------------------------------
  // EnumWindows: calls `visit` for each top-level window until it returns false.
  virtual void EnumWindows(const std::function<bool(WindowHandle)>& visit) = 0;
  // GetPropA: the property's value, 0 when the window does not carry it.
  virtual std::uintptr_t GetPropA(WindowHandle window, std::string_view name) = 0;
};

// Thrown by SimOs::ExitProcess so that a test regains control; never thrown by Win32Os.
struct ProcessExit {
  std::uint32_t code;
};

}  // namespace os
