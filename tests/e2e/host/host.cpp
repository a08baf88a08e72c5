// A stand-in for the host word processor, for the Wine tests of the setup: a top-level window
// that carries the host's window property while it runs, and a record of its start. The
// setup looks for that property to refuse to install under a running host, and starts the
// host at the end when asked to; the record lets a scenario see that start.
//
// On start it writes vqd-started.txt beside itself (UTF-8, the command line it was given,
// one line per start, appended). It ends on WM_CLOSE (the close box) with exit code 0.
#include <windows.h>

#include <string>

namespace {

constexpr wchar_t kClassName[] = L"VeloquinHostStandIn";
constexpr wchar_t kTitle[] = L"Veloquin Word Processor (stand-in)";
// The property by which the setup recognises a running host.
constexpr char kHostProperty[] = "1.x Heron Gate";

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

// Appends the command line to vqd-started.txt in the program's own folder.
void RecordStart() {
  wchar_t path[MAX_PATH * 2] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  if (length == 0) return;
  std::wstring record(path, length);
  record.resize(record.find_last_of(L'\\') + 1);
  record += L"vqd-started.txt";
  HANDLE file = CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string line = Utf8(GetCommandLineW()) + "\r\n";
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      SetPropA(window, kHostProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(1)));
      return 0;
    case WM_CLOSE:
      RemovePropA(window, kHostProperty);
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  RecordStart();

  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  if (RegisterClassExW(&windowClass) == 0) return 1;

  HWND window = CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 400, 200, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
