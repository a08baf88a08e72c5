// A stand-in for the host word processor, for the Wine tests of the setup: a top-level window
// that carries the host's window property while it runs, and a record of its start. The
// setup looks for that property to refuse to install under a running host, and starts the
// host at the end when asked to; the record lets a scenario see that start.
//
// On start it writes, beside itself:
//  - vqd-started.txt: the command line it was given (UTF-8), one line per start, appended;
//  - vqd-records.txt: what it finds of the setup's records under the machine-wide
//    application-data folder, as a host reads them: "stamp: " and the size of the install
//    stamp (or "stamp: none"), then the update log's bytes (or "log: none") with the
//    separator made from that stamp written as "*STAMP", so that a test can compare the
//    whole log, and see that log and stamp agree, although the stamp is the moment of the
//    installation.
// It ends on WM_CLOSE (the close box) with exit code 0.
#include <windows.h>

#include <shlobj.h>

#include <optional>
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

// The program's own folder, with its final backslash.
std::wstring OwnFolder() {
  wchar_t path[MAX_PATH * 2] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  std::wstring folder(path, length);
  folder.resize(folder.find_last_of(L'\\') + 1);
  return folder;
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

void WriteWholeFile(const std::wstring& path, const std::string& bytes, bool append) {
  HANDLE file =
      CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                  append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
  }
  return hex;
}

// The install stamp and the update log, as vqd-records.txt describes them.
void RecordSetupRecords() {
  wchar_t data[MAX_PATH] = {};
  if (SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, data) != S_OK) return;
  const std::wstring base = std::wstring(data) + L"\\Veloquin\\";
  std::string report;
  const auto stamp = ReadWholeFile(base + L"Hidden\\install_stamp");
  std::string separator;
  if (!stamp) {
    report += "stamp: none\r\n";
  } else {
    report += "stamp: " + std::to_string(stamp->size()) + " bytes\r\n";
    if (stamp->size() == 8) separator.append("*").append(Hex(*stamp));
  }
  const auto log = ReadWholeFile(base + L"Update.log");
  if (!log) {
    report += "log: none\r\n";
  } else {
    std::string text = *log;
    for (size_t at = 0; !separator.empty() && (at = text.find(separator, at)) != std::string::npos;)
      text.replace(at, separator.size(), "*STAMP");
    report += text;
  }
  WriteWholeFile(OwnFolder() + L"vqd-records.txt", report, false);
}

// Appends the command line to vqd-started.txt in the program's own folder.
void RecordStart() {
  WriteWholeFile(OwnFolder() + L"vqd-started.txt", Utf8(GetCommandLineW()) + "\r\n", true);
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
  RecordSetupRecords();

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
