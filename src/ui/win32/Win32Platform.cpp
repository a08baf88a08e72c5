#include "ui/win32/Win32Platform.h"

#include "ui/win32/WinHeaders.h"

#include <string>

#include "ui/Form.h"
#include "ui/RecordingCanvas.h"

namespace ui {
namespace {

constexpr char kApplicationClass[] = "TApplication";

LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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

// The hidden application window: a zero-size, untitled-until-told popup that owns the forms.
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

}  // namespace

void Win32Platform::InitCommonControls() {
  INITCOMMONCONTROLSEX init = {};
  init.dwSize = 8;
  init.dwICC = 0xFF;
  InitCommonControlsEx(&init);
}

std::unique_ptr<ApplicationPeer> Win32Platform::CreateApplicationPeer() {
  return std::make_unique<Win32ApplicationPeer>();
}

std::unique_ptr<ControlPeer> Win32Platform::CreatePeer(TWinControl&) {
  throw EInvalidOperation("windows of controls are not available in this build");
}

void Win32Platform::BeginModal(TForm&) {}
void Win32Platform::HandleNextMessage(TForm&) {}
void Win32Platform::EndModal(TForm&) {}

TCanvas& Win32Platform::MeasureCanvas() {
  static RecordingCanvas canvas;
  return canvas;
}

TSize Win32Platform::ScreenSize() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

FrameExtents Win32Platform::FormFrame(const TForm&) {
  return {};
}

}  // namespace ui
