#include "ui/win32/Win32Platform.h"

#include <string>

#include "os/Machine.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/Win32Windows.h"
#include "ui/win32/WinHeaders.h"

namespace ui {
namespace {

constexpr char kApplicationClass[] = "TApplication";

// The application window answers for the program when Windows ends the session.
LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Application* app = TheApplication();
  if (app != nullptr && reinterpret_cast<HWND>(app->Handle()) == window) {
    try {
      switch (message) {
        case WM_QUERYENDSESSION:
          return app->QueryEndSession() ? TRUE : FALSE;
        case WM_ENDSESSION:
          app->EndSession(wParam != 0);
          return 0;
        default:
          break;
      }
    } catch (...) {
      KeepWindowProcError(std::current_exception());
      return 0;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterApplicationClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA cls = {};
  cls.lpfnWndProc = ApplicationWindowProc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = kApplicationClass;
  RegisterClassA(&cls);
  registered = true;
}

// The hidden application window: a zero-size popup that owns the forms. It is shown while a
// form is, so that its title and icon stand for the program in the task bar.
class Win32ApplicationPeer : public ApplicationPeer {
 public:
  Win32ApplicationPeer() {
    RegisterApplicationClass();
    window_ = CreateWindowExA(0, kApplicationClass, "",
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2,
                              0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  ~Win32ApplicationPeer() override {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  os::WindowHandle Handle() const override { return reinterpret_cast<os::WindowHandle>(window_); }
  void SetText(std::string_view text) override {
    SetWindowTextA(window_, std::string(text).c_str());
  }
  void SetBigIcon(int id) override {
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  }

 private:
  HWND window_ = nullptr;
};

struct ModalCollect {
  HWND form;
  std::vector<os::WindowHandle> windows;
};

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM data) {
  auto* collect = reinterpret_cast<ModalCollect*>(data);
  if (window != collect->form && IsWindowEnabled(window)) {
    collect->windows.push_back(reinterpret_cast<os::WindowHandle>(window));
  }
  return TRUE;
}

}  // namespace

Win32Platform::Win32Platform() = default;

Win32Platform::~Win32Platform() {
  measure_.reset();
  if (measureDc_ != 0) DeleteDC(reinterpret_cast<HDC>(measureDc_));
}

void Win32Platform::ShowWaitCursor() {
  SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

void Win32Platform::InitCommonControls() {
  // comctl32.dll is none of the system's known DLLs: imported, it would be looked for beside
  // setup.exe first. Loaded by name from the system folder, it still comes in the version
  // that the manifest asks for, from the side-by-side store.
  using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  os::Os& machine = os::Machine();
  const os::LibraryHandle comctl32 = machine.LoadSystemLibrary("comctl32.dll");
  if (comctl32 == 0) return;
  const auto initCommonControlsEx = reinterpret_cast<InitCommonControlsExFn>(
      reinterpret_cast<void*>(machine.GetProcAddress(comctl32, "InitCommonControlsEx")));
  if (initCommonControlsEx == nullptr) return;
  INITCOMMONCONTROLSEX init = {};
  init.dwSize = 8;
  init.dwICC = 0xFF;
  initCommonControlsEx(&init);
}

std::unique_ptr<ApplicationPeer> Win32Platform::CreateApplicationPeer() {
  return std::make_unique<Win32ApplicationPeer>();
}

std::unique_ptr<ControlPeer> Win32Platform::CreatePeer(TWinControl& control) {
  return CreateWin32Peer(control);
}

// Every other enabled top-level window of the program takes no input while the form is
// modal: the application window and any other form.
void Win32Platform::BeginModal(TForm& form) {
  ModalCollect collect{WindowOf(form), {}};
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&collect));
  for (os::WindowHandle window : collect.windows) {
    EnableWindow(reinterpret_cast<HWND>(window), FALSE);
  }
  disabled_.push_back(std::move(collect.windows));
}

void Win32Platform::EndModal(TForm& /*form*/) {
  if (disabled_.empty()) return;
  for (os::WindowHandle window : disabled_.back()) {
    if (IsWindow(reinterpret_cast<HWND>(window)))
      EnableWindow(reinterpret_cast<HWND>(window), TRUE);
  }
  disabled_.pop_back();
}

// One message: the keys of the dialog first, the rest to its window. WM_QUIT ends the loop
// with Cancel and is posted again for the loop outside.
void Win32Platform::HandleNextMessage(TForm& form) {
  MSG message;
  const BOOL got = GetMessageA(&message, nullptr, 0, 0);
  if (got == 0) {
    PostQuitMessage(static_cast<int>(message.wParam));
    form.SetModalResult(mrCancel);
    return;
  }
  if (got < 0) return;
  if (!HandleDialogMessage(form, message)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  RethrowWindowProcError();
}

TCanvas& Win32Platform::MeasureCanvas() {
  if (!measure_) {
    HDC dc = CreateCompatibleDC(nullptr);
    measureDc_ = reinterpret_cast<std::uintptr_t>(dc);
    measure_ = std::make_unique<GdiCanvas>(dc);
  }
  return *measure_;
}

TSize Win32Platform::ScreenSize() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

FrameExtents Win32Platform::FormFrame(const TForm& form) {
  DWORD style = 0;
  DWORD exStyle = 0;
  FormStyles(form, style, exStyle);
  RECT r = {0, 0, 0, 0};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return {-r.left, -r.top, r.right, r.bottom};
}

// Visual styles are on when the manifest brought version 6 of the common controls and the
// user's theme is active; the theme library is then loaded already.
bool Win32Platform::ThemesActive() {
  HMODULE theme = GetModuleHandleA("uxtheme.dll");
  if (theme == nullptr) return false;
  using IsAppThemedFn = BOOL(WINAPI*)();
  auto isAppThemed = reinterpret_cast<IsAppThemedFn>(
      reinterpret_cast<void*>(GetProcAddress(theme, "IsAppThemed")));
  return isAppThemed != nullptr && isAppThemed() != FALSE;
}

}  // namespace ui
