// e2ehold: another program that has a file open without sharing it, for the scenarios in
// which the setup cannot write one of its files.
//
//   e2ehold <file> [seconds]
//
// Opens (creating it when missing, with its folder) the file for reading and writing with
// no sharing, and shows a window "E2E Hold" whose status line reads "holding <file>". The
// "&Release" button closes the file ("released <file>"); closing the window ends the
// program. After the given seconds (default 120) the file is released and the program ends
// on its own, so a scenario that stops half-way never leaves it behind. Exit code 0, or 1
// when the file cannot be opened (the window then says why).
#include <windows.h>

#include <string>

namespace {

enum : int { kReleaseButton = 101, kStatusLine = 102, kDeadlineTimer = 1 };

HANDLE g_file = INVALID_HANDLE_VALUE;
std::wstring g_path;
HWND g_status = nullptr;
HWND g_release = nullptr;

void MakeParentFolders(const std::wstring& path) {
  for (size_t i = path.find(L'\\', 3); i != std::wstring::npos; i = path.find(L'\\', i + 1)) {
    CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
  }
}

void Release() {
  if (g_file == INVALID_HANDLE_VALUE) return;
  CloseHandle(g_file);
  g_file = INVALID_HANDLE_VALUE;
  SetWindowTextW(g_status, (L"released " + g_path).c_str());
  EnableWindow(g_release, FALSE);
}

HWND MakeChild(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y,
               int w, int h, int id) {
  HWND child = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  return child;
}

LRESULT CALLBACK HoldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      g_release =
          MakeChild(window, L"BUTTON", L"&Release", BS_PUSHBUTTON, 10, 10, 90, 24, kReleaseButton);
      g_status =
          MakeChild(window, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 10, 44, 560, 20, kStatusLine);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kReleaseButton) Release();
      return 0;
    case WM_TIMER:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      Release();
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2 || argc > 3) {
    MessageBoxW(nullptr, L"usage: e2ehold <file> [seconds]", L"E2E Hold", MB_OK);
    return 2;
  }
  g_path = argv[1];
  const long seconds = argc == 3 ? wcstol(argv[2], nullptr, 10) : 120;

  WNDCLASSW cls = {};
  cls.lpfnWndProc = HoldProc;
  cls.hInstance = GetModuleHandleW(nullptr);
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = L"E2EHoldWindow";
  RegisterClassW(&cls);
  HWND window =
      CreateWindowExW(0, cls.lpszClassName, L"E2E Hold", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0,
                      120, 600, 110, nullptr, nullptr, cls.hInstance, nullptr);
  if (window == nullptr) return 1;

  MakeParentFolders(g_path);
  g_file = CreateFileW(g_path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  int code = 0;
  if (g_file == INVALID_HANDLE_VALUE) {
    SetWindowTextW(
        g_status,
        (L"cannot open " + g_path + L" (error " + std::to_wstring(GetLastError()) + L")").c_str());
    EnableWindow(g_release, FALSE);
    code = 1;
  } else {
    SetWindowTextW(g_status, (L"holding " + g_path).c_str());
  }
  SetTimer(window, kDeadlineTimer, static_cast<UINT>(seconds > 0 ? seconds : 120) * 1000, nullptr);
  ShowWindow(window, SW_SHOWNOACTIVATE);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return code;
}
