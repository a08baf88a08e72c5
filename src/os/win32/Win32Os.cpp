#include "os/win32/Win32Os.h"

#include <ole2.h>
#include <windows.h>
#include <winioctl.h>
#include <winnetwk.h>

#include <cstring>
#include <vector>

// windows.h maps FindResource to FindResourceA; the port's method keeps its own name.
#undef FindResource

namespace os {
namespace {

// The Win32 calls want zero-terminated text; the port passes views.
std::string Z(std::string_view text) {
  return std::string(text);
}

std::wstring Z(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

HANDLE ToHandle(Handle handle) {
  return reinterpret_cast<HANDLE>(handle);
}
Handle FromHandle(HANDLE handle) {
  return reinterpret_cast<Handle>(handle);
}
HWND ToWindow(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}
HKEY ToKey(KeyHandle key) {
  return reinterpret_cast<HKEY>(key);
}

FILETIME ToFiletime(FileTime time) {
  FILETIME result;
  result.dwLowDateTime = static_cast<DWORD>(time.ticks);
  result.dwHighDateTime = static_cast<DWORD>(time.ticks >> 32);
  return result;
}

FileTime FromFiletime(const FILETIME& time) {
  return FileTime{(std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime};
}

void CopyFindData(const WIN32_FIND_DATAA& from, FindData& to) {
  to.attributes = from.dwFileAttributes;
  to.creationTime = FromFiletime(from.ftCreationTime);
  to.lastAccessTime = FromFiletime(from.ftLastAccessTime);
  to.lastWriteTime = FromFiletime(from.ftLastWriteTime);
  to.size = (std::uint64_t{from.nFileSizeHigh} << 32) | from.nFileSizeLow;
  to.reparseTag =
      (from.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? from.dwReserved0 : 0;
  to.name = from.cFileName;
}

// The answer of IOCTL_STORAGE_QUERY_PROPERTY: the fixed head of the descriptor followed by
// room for the raw device properties, 548 bytes in all.
constexpr DWORD kDeviceAnswerSize = 548;
union DeviceAnswer {
  STORAGE_DEVICE_DESCRIPTOR descriptor;
  BYTE bytes[kDeviceAnswerSize];
};
static_assert(sizeof(STORAGE_PROPERTY_QUERY) == 12);
static_assert(sizeof(DeviceAnswer) == kDeviceAnswerSize);

BOOL CALLBACK VisitWindow(HWND window, LPARAM context) {
  const auto& visit = *reinterpret_cast<const std::function<bool(WindowHandle)>*>(context);
  return visit(reinterpret_cast<WindowHandle>(window)) ? TRUE : FALSE;
}

}  // namespace

// ---- Process and module ----------------------------------------------------------------

void Win32Os::RestrictDllSearch() {
  // SetDefaultDllDirectories appeared with an update of Windows 7; without it the system
  // offers nothing better and the process keeps the standard search order.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return;
  auto set = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (set != nullptr) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

std::optional<std::span<const std::uint8_t>> Win32Os::FindResource(std::string_view name,
                                                                   std::string_view type) {
  HMODULE self = ::GetModuleHandleA(nullptr);
  HRSRC info = ::FindResourceA(self, Z(name).c_str(), Z(type).c_str());
  if (info == nullptr) return std::nullopt;
  DWORD size = ::SizeofResource(self, info);
  HGLOBAL loaded = ::LoadResource(self, info);
  if (loaded == nullptr) return std::nullopt;
  const void* bytes = ::LockResource(loaded);
  if (bytes == nullptr) return std::nullopt;
  return std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(bytes), size);
}

std::string Win32Os::CommandLine() {
  const char* line = ::GetCommandLineA();
  return line != nullptr ? line : "";
}

void Win32Os::ExitProcess(std::uint32_t code) {
  ::ExitProcess(code);
}

void Win32Os::OleInitialize() {
  ::OleInitialize(nullptr);
}

void Win32Os::OleUninitialize() {
  ::OleUninitialize();
}

LibraryHandle Win32Os::LoadSystemLibrary(std::string_view name) {
  std::string file = Z(name);
  HMODULE module = ::LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr && ::GetLastError() == ERROR_INVALID_PARAMETER) {
    // A system without the search flags: name the file in the system folder outright, so
    // that neither the program's folder nor the current directory is searched for it.
    char folder[MAX_PATH + 1] = {};
    UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length > MAX_PATH) return 0;
    std::string path(folder, length);
    if (path.back() != '\\') path += '\\';
    path += file;
    module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  return reinterpret_cast<LibraryHandle>(module);
}

ProcAddress Win32Os::GetProcAddress(LibraryHandle library, std::string_view name) {
  FARPROC address = ::GetProcAddress(reinterpret_cast<HMODULE>(library), Z(name).c_str());
  return reinterpret_cast<ProcAddress>(reinterpret_cast<void*>(address));
}

std::int32_t Win32Os::CallFolderPathA(ProcAddress function, int csidl, std::string& path) {
  using FolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
  auto folderPath = reinterpret_cast<FolderPathFn>(function);
  char buffer[MAX_PATH] = {};
  HRESULT result = folderPath(nullptr, csidl, nullptr, 0, buffer);
  if (result == S_OK) path.assign(buffer, ::strnlen(buffer, MAX_PATH));
  return static_cast<std::int32_t>(result);
}

std::uint32_t Win32Os::WinExec(std::string_view commandLine, int show) {
  return ::WinExec(Z(commandLine).c_str(), static_cast<UINT>(show));
}

// ---- Message boxes ---------------------------------------------------------------------

int Win32Os::MessageBoxExW(WindowHandle owner, std::u16string_view text,
                           std::u16string_view caption, std::uint32_t style,
                           std::uint16_t language) {
  return ::MessageBoxExW(ToWindow(owner), Z(text).c_str(), Z(caption).c_str(), style, language);
}

int Win32Os::MessageBoxA(WindowHandle owner, std::string_view text,
                         std::optional<std::string_view> caption, std::uint32_t style) {
  std::string captionText = caption ? Z(*caption) : std::string();
  return ::MessageBoxA(ToWindow(owner), Z(text).c_str(), caption ? captionText.c_str() : nullptr,
                       style);
}

// ---- Text ------------------------------------------------------------------------------

std::uint32_t Win32Os::AnsiCodePage() {
  return ::GetACP();
}

std::u16string Win32Os::MultiByteToWide(std::uint32_t codePage, std::string_view text) {
  if (text.empty()) return {};
  int count = ::MultiByteToWideChar(codePage, MB_PRECOMPOSED, text.data(),
                                    static_cast<int>(text.size()), nullptr, 0);
  if (count <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(count), L'\0');
  count = ::MultiByteToWideChar(codePage, MB_PRECOMPOSED, text.data(),
                                static_cast<int>(text.size()), wide.data(), count);
  wide.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
  return std::u16string(wide.begin(), wide.end());
}

std::string Win32Os::WideToAnsi(std::u16string_view text) {
  if (text.empty()) return {};
  std::wstring wide = Z(text);
  int count = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  if (count <= 0) return {};
  std::string narrow(static_cast<std::size_t>(count), '\0');
  count = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                narrow.data(), count, nullptr, nullptr);
  narrow.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
  return narrow;
}

void Win32Os::CharUpperBuffA(std::string& text) {
  if (!text.empty()) ::CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
}

void Win32Os::CharLowerBuffA(std::string& text) {
  if (!text.empty()) ::CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
}

int Win32Os::CompareStringA(std::uint32_t flags, std::string_view a, std::string_view b) {
  // An empty view may carry no pointer at all; the system wants one even for no characters.
  return ::CompareStringA(LOCALE_USER_DEFAULT, flags, a.empty() ? "" : a.data(),
                          static_cast<int>(a.size()), b.empty() ? "" : b.data(),
                          static_cast<int>(b.size()));
}

bool Win32Os::IsDbcsCodePage() {
  CPINFO info = {};
  return ::GetCPInfo(CP_ACP, &info) && info.MaxCharSize > 1;
}

bool Win32Os::IsDbcsLeadByte(std::uint8_t byte) {
  return ::IsDBCSLeadByte(byte) != FALSE;
}

// ---- Clock -----------------------------------------------------------------------------

SystemTime Win32Os::GetLocalTime() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return SystemTime{now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                    now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
}

bool Win32Os::FileTimeToLocalFileTime(FileTime utc, FileTime& local) {
  FILETIME in = ToFiletime(utc), out;
  if (!::FileTimeToLocalFileTime(&in, &out)) return false;
  local = FromFiletime(out);
  return true;
}

bool Win32Os::LocalFileTimeToFileTime(FileTime local, FileTime& utc) {
  FILETIME in = ToFiletime(local), out;
  if (!::LocalFileTimeToFileTime(&in, &out)) return false;
  utc = FromFiletime(out);
  return true;
}

bool Win32Os::FileTimeToDosDateTime(FileTime time, std::uint16_t& date, std::uint16_t& dosTime) {
  FILETIME in = ToFiletime(time);
  WORD outDate = 0, outTime = 0;
  if (!::FileTimeToDosDateTime(&in, &outDate, &outTime)) return false;
  date = outDate;
  dosTime = outTime;
  return true;
}

bool Win32Os::DosDateTimeToFileTime(std::uint16_t date, std::uint16_t dosTime, FileTime& time) {
  FILETIME out;
  if (!::DosDateTimeToFileTime(date, dosTime, &out)) return false;
  time = FromFiletime(out);
  return true;
}

// ---- Files and folders -----------------------------------------------------------------

Handle Win32Os::CreateFileW(std::u16string_view path, std::uint32_t access, std::uint32_t share,
                            std::uint32_t disposition, std::uint32_t flagsAndAttributes) {
  return FromHandle(::CreateFileW(Z(path).c_str(), access, share, nullptr, disposition,
                                  flagsAndAttributes, nullptr));
}

bool Win32Os::WriteFile(Handle file, const void* data, std::uint32_t size, std::uint32_t& written) {
  static const char kNothing = 0;
  DWORD count = 0;
  BOOL ok = ::WriteFile(ToHandle(file), data != nullptr ? data : &kNothing, size, &count, nullptr);
  written = count;
  return ok != FALSE;
}

bool Win32Os::ReadFile(Handle file, void* buffer, std::uint32_t size, std::uint32_t& read) {
  char spare = 0;
  DWORD count = 0;
  BOOL ok = ::ReadFile(ToHandle(file), buffer != nullptr ? buffer : &spare, size, &count, nullptr);
  read = count;
  return ok != FALSE;
}

bool Win32Os::GetFileSize(Handle file, std::uint64_t& size) {
  LARGE_INTEGER value;
  if (!::GetFileSizeEx(ToHandle(file), &value)) return false;
  size = static_cast<std::uint64_t>(value.QuadPart);
  return true;
}

bool Win32Os::SetFileLastWriteTime(Handle file, FileTime lastWrite) {
  FILETIME time = ToFiletime(lastWrite);
  return ::SetFileTime(ToHandle(file), nullptr, nullptr, &time) != FALSE;
}

bool Win32Os::CloseHandle(Handle handle) {
  return ::CloseHandle(ToHandle(handle)) != FALSE;
}

bool Win32Os::DeleteFileW(std::u16string_view path) {
  return ::DeleteFileW(Z(path).c_str()) != FALSE;
}

bool Win32Os::CreateDirectoryW(std::u16string_view path) {
  return ::CreateDirectoryW(Z(path).c_str(), nullptr) != FALSE;
}

bool Win32Os::RemoveDirectoryW(std::u16string_view path) {
  return ::RemoveDirectoryW(Z(path).c_str()) != FALSE;
}

Handle Win32Os::FindFirstFileA(std::string_view pattern, FindData& data, bool onlyDirectories) {
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileExA(
      Z(pattern).c_str(), FindExInfoStandard, &found,
      onlyDirectories ? FindExSearchLimitToDirectories : FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return kInvalidHandle;
  CopyFindData(found, data);
  return FromHandle(search);
}

bool Win32Os::FindNextFileA(Handle search, FindData& data) {
  WIN32_FIND_DATAA found;
  if (!::FindNextFileA(ToHandle(search), &found)) return false;
  CopyFindData(found, data);
  return true;
}

bool Win32Os::FindClose(Handle search) {
  return ::FindClose(ToHandle(search)) != FALSE;
}

std::optional<std::string> Win32Os::GetCurrentDirectoryA() {
  DWORD needed = ::GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return std::nullopt;
  std::vector<char> buffer(needed + 1, '\0');
  DWORD length = ::GetCurrentDirectoryA(needed, buffer.data());
  if (length == 0 || length >= needed) return std::nullopt;
  return std::string(buffer.data(), length);
}

bool Win32Os::SetCurrentDirectoryA(std::string_view path) {
  return ::SetCurrentDirectoryA(Z(path).c_str()) != FALSE;
}

std::string Win32Os::GetTempPathA() {
  DWORD needed = ::GetTempPathA(0, nullptr);
  if (needed == 0) return {};
  std::vector<char> buffer(needed + 1, '\0');
  if (::GetTempPathA(needed, buffer.data()) == 0) return {};
  return std::string(buffer.data());  // up to the first zero
}

// ---- Drives ----------------------------------------------------------------------------

std::uint32_t Win32Os::GetLogicalDrives() {
  return ::GetLogicalDrives();
}

std::uint32_t Win32Os::GetDriveTypeA(std::string_view root) {
  return ::GetDriveTypeA(Z(root).c_str());
}

std::optional<VolumeInfo> Win32Os::GetVolumeInformationA(std::string_view root, bool wantName) {
  char name[261] = {};
  DWORD maxComponent = 0, flags = 0;
  if (!::GetVolumeInformationA(Z(root).c_str(), wantName ? name : nullptr,
                               wantName ? sizeof name : 0, nullptr, &maxComponent, &flags, nullptr,
                               0)) {
    return std::nullopt;
  }
  VolumeInfo info;
  if (wantName) info.name.assign(name, ::strnlen(name, sizeof name));
  info.maxComponentLength = maxComponent;
  info.fileSystemFlags = flags;
  return info;
}

std::uint32_t Win32Os::SetErrorMode(std::uint32_t mode) {
  return ::SetErrorMode(mode);
}

std::optional<StorageDeviceInfo> Win32Os::QueryStorageDevice(Handle volume) {
  STORAGE_PROPERTY_QUERY query = {};
  query.PropertyId = StorageDeviceProperty;
  query.QueryType = PropertyStandardQuery;
  DeviceAnswer answer = {};
  answer.descriptor.Size = kDeviceAnswerSize;
  DWORD returned = 0;
  if (!::DeviceIoControl(ToHandle(volume), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query,
                         &answer, kDeviceAnswerSize, &returned, nullptr)) {
    return std::nullopt;
  }
  return StorageDeviceInfo{static_cast<std::uint32_t>(answer.descriptor.BusType),
                           answer.descriptor.RemovableMedia != 0};
}

std::optional<std::string> Win32Os::WNetGetConnectionA(std::string_view localName) {
  // mpr.dll is none of the system's known DLLs: imported, it would be looked for beside
  // setup.exe first (a downloads folder), before the process could restrict its DLL search.
  // So it is loaded from the system folder when first needed.
  using WNetGetConnectionFn = DWORD(WINAPI*)(LPCSTR, LPSTR, LPDWORD);
  static const auto function = [this] {
    const LibraryHandle mpr = LoadSystemLibrary("mpr.dll");
    return mpr == 0 ? nullptr
                    : reinterpret_cast<WNetGetConnectionFn>(
                          reinterpret_cast<void*>(GetProcAddress(mpr, "WNetGetConnectionA")));
  }();
  if (function == nullptr) return std::nullopt;
  char remote[261] = {};
  DWORD length = sizeof remote;
  if (function(Z(localName).c_str(), remote, &length) != NO_ERROR) return std::nullopt;
  return std::string(remote, ::strnlen(remote, sizeof remote));
}

// ---- Registry under HKEY_CURRENT_USER ---------------------------------------------------

std::optional<KeyHandle> Win32Os::RegCreateKeyCurrentUser(std::string_view path) {
  HKEY key = nullptr;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, Z(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return reinterpret_cast<KeyHandle>(key);
}

std::optional<RegistryValue> Win32Os::RegQueryValueExA(KeyHandle key, std::string_view name) {
  std::string valueName = Z(name);
  DWORD type = 0, size = 0;
  if (::RegQueryValueExA(ToKey(key), valueName.c_str(), nullptr, &type, nullptr, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  RegistryValue value;
  value.data.resize(size);
  // The value may grow between the two calls; ask again with the new size then.
  LONG result = ERROR_MORE_DATA;
  for (int attempt = 0; attempt < 4 && result == ERROR_MORE_DATA; ++attempt) {
    size = static_cast<DWORD>(value.data.size());
    result = ::RegQueryValueExA(ToKey(key), valueName.c_str(), nullptr, &type,
                                value.data.empty() ? nullptr : value.data.data(), &size);
    if (result == ERROR_MORE_DATA) value.data.resize(size);
  }
  if (result != ERROR_SUCCESS) return std::nullopt;
  value.data.resize(size);
  value.type = type;
  return value;
}

bool Win32Os::RegSetValueExA(KeyHandle key, std::string_view name, std::uint32_t type,
                             std::span<const std::uint8_t> data) {
  return ::RegSetValueExA(ToKey(key), Z(name).c_str(), 0, type, data.data(),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool Win32Os::RegCloseKey(KeyHandle key) {
  return ::RegCloseKey(ToKey(key)) == ERROR_SUCCESS;
}

// ---- Windows of the desktop -------------------------------------------------------------

void Win32Os::EnumWindows(const std::function<bool(WindowHandle)>& visit) {
  ::EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&visit));
}

std::uintptr_t Win32Os::GetPropA(WindowHandle window, std::string_view name) {
  return reinterpret_cast<std::uintptr_t>(::GetPropA(ToWindow(window), Z(name).c_str()));
}

}  // namespace os
