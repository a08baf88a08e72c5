#include "os/win32/ForcedRemoval.h"

#include <windows.h>

#include <string>

namespace os::win32 {
namespace {

std::wstring WideOf(std::string_view text) {
  if (text.empty()) return {};
  int count =
      ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(count > 0 ? static_cast<std::size_t>(count) : 0, L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), count);
  return wide;
}

void RemoveTree(const std::wstring& folder) {  // folder ends with a backslash
  WIN32_FIND_DATAW entry;
  HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + name;
      ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      // A link to a folder is removed itself; what it points at is left alone.
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
          !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveTree(path + L"\\");
      } else if (!::DeleteFileW(path.c_str())) {
        ::RemoveDirectoryW(path.c_str());
      }
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
  }
  ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

void RemoveTreeForcibly(std::string_view folder) {
  std::wstring path = WideOf(folder);
  if (path.empty()) return;
  if (path.back() != L'\\') path += L'\\';
  RemoveTree(path);
}

void DeleteCurrentUserKeyTree(std::string_view path) {
  if (path.empty()) return;  // never the whole of HKEY_CURRENT_USER
  ::RegDeleteTreeA(HKEY_CURRENT_USER, std::string(path).c_str());
  ::RegDeleteKeyA(HKEY_CURRENT_USER, std::string(path).c_str());
}

void DeleteEmptyCurrentUserKey(std::string_view path) {
  if (path.empty()) return;
  ::RegDeleteKeyA(HKEY_CURRENT_USER, std::string(path).c_str());
}

}  // namespace os::win32
