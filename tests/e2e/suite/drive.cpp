// e2edrive: adds and removes drive letters of a running Wine prefix, the way Wine's own
// configuration tool does, through the mount manager's device. A scenario uses it to plug
// in and pull out a drive while the setup watches the drives.
//
//   e2edrive define <letter> <folder> [hd|floppy|cdrom|network]
//   e2edrive remove <letter>
//   e2edrive panel <letter> <folder> [type]    a window with "&Define" and "&Remove"
//   e2edrive selftest <letter> <folder>         define, look, remove, look again
//
// <folder> is a Unix path, or a Windows path that Wine can map to one (Z:\tmp\x). Exit code
// 0 on success, 1 on failure with the reason on stderr, 2 for a bad command line. The panel
// lets the scenario driver, which clicks buttons but runs no programs of its own mid-script,
// change the drives at the moment it chooses; its status line says what the machine shows.
#include <windows.h>
#include <winioctl.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The request of Wine's IOCTL_MOUNTMGR_DEFINE_UNIX_DRIVE as Wine 8 lays it out (the copy in
// the mingw headers predates the file-system fields). The Unix mount point follows the
// structure as a zero-terminated byte string; a request without one removes the letter.
struct UnixDriveRequest {
  ULONG size;
  ULONG type;
  ULONG fs_type;
  DWORD serial;
  ULONGLONG unix_dev;
  WCHAR letter;
  USHORT mount_point_offset;
  USHORT device_offset;
  USHORT label_offset;
};
static_assert(offsetof(UnixDriveRequest, unix_dev) == 16);
static_assert(offsetof(UnixDriveRequest, letter) == 24);
static_assert(sizeof(UnixDriveRequest) == 32);

constexpr DWORD kDefineUnixDrive =
    CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
constexpr wchar_t kMountManager[] = L"\\\\.\\MountPointManager";

std::string g_error;

bool Fail(const std::string& what) {
  g_error = what + " (error " + std::to_string(GetLastError()) + ")";
  return false;
}

std::string Narrow(const std::wstring& text, UINT codePage) {
  int n = WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(codePage, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
  return out;
}

// A Unix path as given, or the Unix path behind a Windows one (Wine's own export).
bool UnixPath(const std::wstring& folder, std::string& unixPath) {
  if (!folder.empty() && folder[0] == L'/') {
    unixPath = Narrow(folder, CP_UTF8);
    return true;
  }
  using ToUnix = char*(CDECL*)(const WCHAR*);
  auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (toUnix == nullptr) return Fail("not running under Wine: no wine_get_unix_file_name");
  char* path = toUnix(folder.c_str());
  if (path == nullptr) return Fail("no Unix path for " + Narrow(folder, CP_UTF8));
  unixPath = path;
  HeapFree(GetProcessHeap(), 0, path);
  return true;
}

bool DriveType(const std::wstring& name, ULONG& type) {
  if (name == L"hd") {
    type = DRIVE_FIXED;
  } else if (name == L"floppy") {
    type = DRIVE_REMOVABLE;
  } else if (name == L"cdrom") {
    type = DRIVE_CDROM;
  } else if (name == L"network") {
    type = DRIVE_REMOTE;
  } else {
    g_error = "unknown drive type " + Narrow(name, CP_UTF8) + " (hd, floppy, cdrom, network)";
    return false;
  }
  return true;
}

bool SendRequest(wchar_t letter, ULONG type, const std::string* mountPoint) {
  std::vector<char> buffer(sizeof(UnixDriveRequest) + (mountPoint ? mountPoint->size() + 1 : 0));
  auto* request = reinterpret_cast<UnixDriveRequest*>(buffer.data());
  request->size = static_cast<ULONG>(buffer.size());
  request->type = type;
  request->letter = static_cast<WCHAR>(towlower(letter));
  if (mountPoint != nullptr) {
    request->mount_point_offset = sizeof(UnixDriveRequest);
    std::memcpy(buffer.data() + sizeof(UnixDriveRequest), mountPoint->c_str(),
                mountPoint->size() + 1);
  }
  HANDLE manager =
      CreateFileW(kMountManager, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (manager == INVALID_HANDLE_VALUE) return Fail("cannot open the mount manager");
  DWORD returned = 0;
  BOOL ok = DeviceIoControl(manager, kDefineUnixDrive, buffer.data(),
                            static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
  CloseHandle(manager);
  if (!ok) return Fail("the mount manager refused the request");
  return true;
}

bool ValidLetter(const std::wstring& text, wchar_t& letter) {
  if (text.size() == 1 || (text.size() == 2 && text[1] == L':')) {
    letter = static_cast<wchar_t>(towupper(text[0]));
    if (letter >= L'C' && letter <= L'Y') return true;
  }
  g_error = "a drive letter from C to Y, not " + Narrow(text, CP_UTF8);
  return false;
}

bool Present(wchar_t letter) {
  return (GetLogicalDrives() >> (letter - L'A')) & 1;
}

bool Define(wchar_t letter, const std::wstring& folder, const std::wstring& typeName) {
  ULONG type = 0;
  std::string mountPoint;
  if (!DriveType(typeName, type) || !UnixPath(folder, mountPoint)) return false;
  return SendRequest(letter, type, &mountPoint);
}

bool Remove(wchar_t letter) {
  return SendRequest(letter, DRIVE_NO_ROOT_DIR, nullptr);
}

std::wstring Root(wchar_t letter) {
  return std::wstring(1, letter) + L":\\";
}

// What the machine now shows of the letter, as one line.
std::wstring Status(wchar_t letter) {
  std::wstring root = Root(letter);
  if (!Present(letter)) return L"drive " + root.substr(0, 2) + L" absent";
  return L"drive " + root.substr(0, 2) + L" present, type " +
         std::to_wstring(GetDriveTypeW(root.c_str()));
}

// Defines the drive on a folder with a marker file, checks that every process sees it as the
// type asked for with the file on it, removes it and checks that it is gone.
int SelfTest(wchar_t letter, const std::wstring& folder) {
  int failures = 0;
  auto check = [&](bool ok, const std::string& what) {
    std::printf("%s  %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) ++failures;
  };
  const std::string name = std::string(1, static_cast<char>(letter)) + ":";
  if (Present(letter)) {
    std::printf("FAIL  %s is in use before the test\n", name.c_str());
    return 1;
  }
  bool defined = Define(letter, folder, L"floppy");
  check(defined, "define " + name + " as a removable drive" + (defined ? "" : ": " + g_error));
  if (!defined) return 1;
  check(Present(letter), "GetLogicalDrives lists " + name);
  std::wstring root = Root(letter);
  UINT type = GetDriveTypeW(root.c_str());
  check(type == DRIVE_REMOVABLE, "GetDriveType of " + name + "\\ is " + std::to_string(type) +
                                     ", removable is " + std::to_string(DRIVE_REMOVABLE));
  DWORD attributes = GetFileAttributesW((root + L"marker.txt").c_str());
  check(attributes != INVALID_FILE_ATTRIBUTES,
        "the folder's marker.txt shows as " + name + "\\marker.txt");
  bool removed = Remove(letter);
  check(removed, "remove " + name + (removed ? "" : ": " + g_error));
  check(!Present(letter), "GetLogicalDrives no longer lists " + name);
  check(GetDriveTypeW(root.c_str()) == DRIVE_NO_ROOT_DIR, name + "\\ has no root any more");
  std::printf("%d failures\n", failures);
  return failures == 0 ? 0 : 1;
}

// ---- the panel ------------------------------------------------------------------------

enum : int { kDefineButton = 101, kRemoveButton = 102, kStatusLine = 103 };

struct Panel {
  wchar_t letter;
  std::wstring folder;
  std::wstring type;
  HWND status;
};
Panel g_panel;

void ShowStatus(const std::wstring& outcome) {
  std::wstring text = Status(g_panel.letter);
  if (!outcome.empty()) text = outcome + L": " + text;
  SetWindowTextW(g_panel.status, text.c_str());
}

std::wstring Widen(const std::string& text) {
  int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), n);
  return out;
}

HWND MakeChild(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y,
               int w, int h, int id) {
  HWND child = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  return child;
}

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      MakeChild(window, L"BUTTON", L"&Define", BS_PUSHBUTTON, 10, 10, 90, 24, kDefineButton);
      MakeChild(window, L"BUTTON", L"&Remove", BS_PUSHBUTTON, 110, 10, 90, 24, kRemoveButton);
      g_panel.status = MakeChild(window, L"STATIC", L"", SS_LEFT, 10, 44, 380, 20, kStatusLine);
      ShowStatus(L"");
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kDefineButton) {
        bool ok = Define(g_panel.letter, g_panel.folder, g_panel.type);
        ShowStatus(ok ? L"defined" : L"define failed (" + Widen(g_error) + L")");
      } else if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kRemoveButton) {
        bool ok = Remove(g_panel.letter);
        ShowStatus(ok ? L"removed" : L"remove failed (" + Widen(g_error) + L")");
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

int RunPanel(wchar_t letter, const std::wstring& folder, const std::wstring& type) {
  ULONG unused = 0;
  if (!DriveType(type, unused)) return 2;
  g_panel = {letter, folder, type, nullptr};
  WNDCLASSW cls = {};
  cls.lpfnWndProc = PanelProc;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = L"E2EDrivePanel";
  RegisterClassW(&cls);
  std::wstring title = L"E2E Drive " + std::wstring(1, letter) + L":";
  HWND window =
      CreateWindowExW(0, cls.lpszClassName, title.c_str(), WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                      0, 0, 420, 110, nullptr, nullptr, cls.hInstance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, SW_SHOWNOACTIVATE);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: e2edrive define <letter> <folder> [hd|floppy|cdrom|network]\n"
               "       e2edrive remove <letter>\n"
               "       e2edrive panel <letter> <folder> [type]\n"
               "       e2edrive selftest <letter> <folder>\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  const std::wstring command = argv[1];
  wchar_t letter = 0;
  if (!ValidLetter(argv[2], letter)) {
    std::fprintf(stderr, "%s\n", g_error.c_str());
    return 2;
  }
  const std::wstring type = argc > 4 ? argv[4] : L"floppy";
  bool ok = false;
  if (command == L"define" && (argc == 4 || argc == 5)) {
    ok = Define(letter, argv[3], type);
  } else if (command == L"remove" && argc == 3) {
    ok = Remove(letter);
  } else if (command == L"panel" && (argc == 4 || argc == 5)) {
    return RunPanel(letter, argv[3], type);
  } else if (command == L"selftest" && argc == 4) {
    return SelfTest(letter, argv[3]);
  } else {
    return Usage();
  }
  if (!ok) {
    std::fprintf(stderr, "e2edrive: %s\n", g_error.c_str());
    return 1;
  }
  std::printf("%ls\n", Status(letter).c_str());
  return 0;
}
