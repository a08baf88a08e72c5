// The real machine: every call of the port forwarded to the Win32 function of the same name,
// with the port's plain types converted to the Windows ones and back. Nothing is decided
// here; the units above make every choice. The header stays free of the Windows headers so
// that the program's entry can create the machine without them.
#pragma once

#include "os/Os.h"

namespace os {

class Win32Os final : public Os {
 public:
  Win32Os() = default;

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

  std::uint32_t AnsiCodePage() override;
  std::u16string MultiByteToWide(std::uint32_t codePage, std::string_view text) override;
  std::string WideToAnsi(std::u16string_view text) override;
  void CharUpperBuffA(std::string& text) override;
  void CharLowerBuffA(std::string& text) override;
  int CompareStringA(std::uint32_t flags, std::string_view a, std::string_view b) override;
  bool IsDbcsCodePage() override;
  bool IsDbcsLeadByte(std::uint8_t byte) override;

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
};

}  // namespace os
