#include "InstUtils.h"

#include <limits>
#include <memory>
#include <vector>

#include "DayCount.h"
#include "Setup.h"
#include "os/Machine.h"

bool InstallStarted = false;

namespace {

// The shell's SHGetFolderPathA, found at start; 0 when neither library supplies it.
os::ProcAddress folderPathFunction = 0;

// Folders saved by PushCurrentFolder; made at the first push, released at shut-down.
std::unique_ptr<std::vector<std::string>> folderStack;

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// A search entry that names a link (junction or symbolic link): removed itself, never
// walked into, so that nothing outside the folder being cleared can be reached.
bool IsLink(const os::FindData& entry) {
  return (entry.attributes & os::kFileAttributeReparsePoint) != 0;
}

bool IsFolder(const os::FindData& entry) {
  return (entry.attributes & os::kFileAttributeDirectory) != 0;
}

// Removes one entry found in `folder` (which ends with a backslash).
void DeleteEntry(const std::string& folder, const os::FindData& entry) {
  auto& os = os::Machine();
  const std::string path = folder + entry.name;
  if (IsFolder(entry) && IsLink(entry)) {
    os.RemoveDirectoryW(WidePath(path));
  } else if (IsFolder(entry)) {
    DeleteFolderTree(path);
  } else {
    os.DeleteFileW(WidePath(path));
  }
}

}  // namespace

// ---- Start-up and shut-down -------------------------------------------------------------

void InstUtilsStartup() {
  auto& os = os::Machine();
  InstallStarted = false;
  folderStack.reset();
  os.OleInitialize();
  folderPathFunction = os.GetProcAddress(os.LoadSystemLibrary("shell32.dll"), "SHGetFolderPathA");
  if (folderPathFunction == 0) {
    folderPathFunction =
        os.GetProcAddress(os.LoadSystemLibrary("shfolder.dll"), "SHGetFolderPathA");
  }
}

void InstUtilsShutdown() {
  folderStack.reset();
  os::Machine().OleUninitialize();
}

// ---- Paths ------------------------------------------------------------------------------

void EnsureBackslash(std::string& path) {
  if (path.empty()) return;
  if (IsSeparator(path.back())) {
    path.back() = '\\';
  } else {
    path.push_back('\\');
  }
}

std::string JoinPath(std::string folder, std::string_view name) {
  EnsureBackslash(folder);
  folder.append(name);
  return folder;
}

char LastChar(const std::string& text) {
  return text.empty() ? '\0' : text.back();
}

void DropFirstChar(std::string& text) {
  if (!text.empty()) text.erase(0, 1);
}

void DropLastChar(std::string& text) {
  if (!text.empty()) text.pop_back();
}

bool SamePath(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  auto& os = os::Machine();
  std::string upperA = a;
  std::string upperB = b;
  os.CharUpperBuffA(upperA);
  os.CharUpperBuffA(upperB);
  return upperA == upperB;
}

std::u16string WidePath(std::string_view path) {
  return os::Machine().MultiByteToWide(0, path);
}

// ---- Folders ----------------------------------------------------------------------------

std::string CurrentFolder() {
  std::optional<std::string> folder = os::Machine().GetCurrentDirectoryA();
  if (!folder) return {};
  EnsureBackslash(*folder);
  return *folder;
}

void PushCurrentFolder() {
  if (!folderStack) folderStack = std::make_unique<std::vector<std::string>>();
  folderStack->push_back(CurrentFolder());
}

void PopCurrentFolder() {
  if (!folderStack || folderStack->empty()) return;
  os::Machine().SetCurrentDirectoryA(folderStack->back());
  folderStack->pop_back();
}

bool FolderExists(const std::string& path) {
  PushCurrentFolder();
  std::string candidate = path;
  EnsureBackslash(candidate);
  os::Machine().SetCurrentDirectoryA(candidate);
  const bool exists = SamePath(CurrentFolder(), candidate);
  PopCurrentFolder();
  return exists;
}

std::string TempFolder() {
  std::string folder = os::Machine().GetTempPathA();
  if (const auto zero = folder.find('\0'); zero != std::string::npos) folder.resize(zero);
  if (!FolderExists(folder)) folder = SpecialFolder(os::kCsidlPersonal);
  EnsureBackslash(folder);
  return folder;
}

std::string SpecialFolder(int id) {
  if (folderPathFunction == 0) return {};
  std::string path;
  if (os::Machine().CallFolderPathA(folderPathFunction, id, path) != 0) return {};
  if (const auto zero = path.find('\0'); zero != std::string::npos) path.resize(zero);
  return path;
}

// ---- Files and drives -------------------------------------------------------------------

double FileWriteStamp(const std::string& path) {
  auto& os = os::Machine();
  os::FindData entry;
  const os::Handle search = os.FindFirstFileA(path, entry);
  if (search == os::kInvalidHandle) return DayCountFromSystemTime(os.GetLocalTime());
  os.FindClose(search);

  os::FileTime local;
  std::uint16_t dosDate = 0;
  std::uint16_t dosTime = 0;
  if (!os.FileTimeToLocalFileTime(entry.lastWriteTime, local) ||
      !os.FileTimeToDosDateTime(local, dosDate, dosTime)) {
    // Outside what the DOS format holds: no catalogue stamp can be equal to it.
    return std::numeric_limits<double>::quiet_NaN();
  }
  return DayCountFromDosDateTime(dosDate, dosTime)
      .value_or(std::numeric_limits<double>::quiet_NaN());
}

std::string DrivePart(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    // \\server\share: up to the backslash that follows the share name.
    const auto serverEnd = path.find('\\', 2);
    if (serverEnd == std::string::npos) return path;
    const auto shareEnd = path.find('\\', serverEnd + 1);
    return shareEnd == std::string::npos ? path : path.substr(0, shareEnd);
  }
  return {};
}

std::uint32_t DriveKind(const std::string& path) {
  std::string root = DrivePart(path);
  EnsureBackslash(root);
  return os::Machine().GetDriveTypeA(root);
}

bool IsPortableDrive(const std::string& path) {
  const std::uint32_t kind = DriveKind(path);
  if (kind == os::kDriveRemovable) return true;
  if (kind != os::kDriveFixed) return false;

  auto& os = os::Machine();
  const std::string device = "\\\\.\\" + DrivePart(path);
  const os::Handle volume =
      os.CreateFileW(WidePath(device), os::kGenericRead, os::kFileShareRead | os::kFileShareWrite,
                     os::kOpenExisting, 0);
  if (volume == os::kInvalidHandle) return false;
  const std::optional<os::StorageDeviceInfo> device_info = os.QueryStorageDevice(volume);
  os.CloseHandle(volume);
  return device_info && (device_info->busType == os::kBusType1394 ||
                         device_info->busType == os::kBusTypeUsb || device_info->removableMedia);
}

// ---- Temporary files, folder creation, file writing -------------------------------------

bool FileExists(const std::string& path) {
  auto& os = os::Machine();
  os::FindData entry;
  const os::Handle search = os.FindFirstFileA(path, entry);
  if (search == os::kInvalidHandle) return false;
  os.FindClose(search);
  return !IsFolder(entry);
}

std::string TempFilePrefix() {
  std::string prefix = "~";
  for (const char c : kSetupTitle) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) prefix.push_back(c);
  }
  return prefix;
}

std::string NewTempFileName() {
  const std::string folder = TempFolder();
  const std::string prefix = TempFilePrefix();
  for (std::uint64_t n = 0;; ++n) {
    std::string name = folder + prefix + std::to_string(n) + ".tmp";
    if (!FileExists(name)) return name;
  }
}

void DeleteTempFiles() {
  auto& os = os::Machine();
  const std::string folder = TempFolder();
  const std::string prefix = TempFilePrefix();
  os::FindData entry;
  const os::Handle search = os.FindFirstFileA(folder + "*.*", entry);
  if (search == os::kInvalidHandle) return;
  do {
    if (entry.name.compare(0, prefix.size(), prefix) == 0) DeleteEntry(folder, entry);
  } while (os.FindNextFileA(search, entry));
  os.FindClose(search);
}

void MakeFolders(const std::string& path) {
  if (FolderExists(path)) return;
  std::string parent = path;
  if (LastChar(parent) == '\\') DropLastChar(parent);
  const auto cut = parent.find_last_of("\\:");
  parent = cut == std::string::npos ? std::string() : parent.substr(0, cut + 1);
  if (parent.size() < path.size()) MakeFolders(parent);
  os::Machine().CreateDirectoryW(WidePath(path));
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
  auto& os = os::Machine();
  const os::Handle file =
      os.CreateFileW(WidePath(path), os::kGenericRead | os::kGenericWrite, os::kFileShareRead,
                     os::kCreateAlways, os::kFileAttributeNormal | os::kFileFlagSequentialScan);
  std::uint32_t written = 0;
  os.WriteFile(file, bytes.data(), static_cast<std::uint32_t>(bytes.size()), written);
  os.CloseHandle(file);
}

void DeleteFolderTree(const std::string& path) {
  auto& os = os::Machine();
  std::string folder = path;
  EnsureBackslash(folder);
  os::FindData entry;
  const os::Handle search = os.FindFirstFileA(folder + "*.*", entry);
  if (search != os::kInvalidHandle) {
    do {
      if (entry.name != "." && entry.name != "..") DeleteEntry(folder, entry);
    } while (os.FindNextFileA(search, entry));
    os.FindClose(search);
  }
  os.RemoveDirectoryW(WidePath(folder));
}
