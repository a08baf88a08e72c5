#include "ui/win32/Win32Windows.h"

#include <map>
#include <set>
#include <string>
#include <utility>

#include "ui/Application.h"
#include "ui/ExtControls.h"
#include "ui/Form.h"
#include "ui/ListControls.h"
#include "ui/Pages.h"
#include "ui/StdControls.h"
#include "ui/win32/GdiCanvas.h"
#include "ui/win32/Win32Platform.h"

namespace ui {

namespace {

std::exception_ptr pendingError;

class Win32Peer;

// Peers by window and by control identifier (WM_MEASUREITEM names the control only by its
// identifier, and arrives while the window is still being made).
std::map<HWND, Win32Peer*>& PeersByWindow() {
  static std::map<HWND, Win32Peer*> peers;
  return peers;
}
std::map<UINT, Win32Peer*>& PeersById() {
  static std::map<UINT, Win32Peer*> peers;
  return peers;
}

constexpr char kPeerProperty[] = "UiControlPeer";
UINT nextId = 100;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StandardControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One window class per form class and per container kind, all with the library's own
// window procedure.
std::string RegisterWindowClass(std::string_view name, bool form) {
  static std::set<std::string> registered;
  std::string className(name);
  if (registered.count(className) != 0) return className;
  WNDCLASSA cls = {};
  cls.style = CS_DBLCLKS | (form ? 0 : CS_HREDRAW | CS_VREDRAW);
  cls.lpfnWndProc = WindowProc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  if (form) cls.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
  cls.lpszClassName = className.c_str();
  RegisterClassA(&cls);
  registered.insert(className);
  return className;
}

class Win32Peer final : public ControlPeer {
 public:
  explicit Win32Peer(TWinControl& control);
  ~Win32Peer() override;

  os::WindowHandle Handle() const override { return reinterpret_cast<os::WindowHandle>(window_); }
  void Update(Mirror what) override;
  void Invalidate() override {
    if (window_ != nullptr) InvalidateRect(window_, nullptr, TRUE);
  }
  void Focus() override {
    if (window_ != nullptr) SetFocus(window_);
  }
  bool SetTimer(unsigned id, unsigned interval) override {
    return window_ != nullptr && ::SetTimer(window_, id, interval, nullptr) != 0;
  }
  void KillTimer(unsigned id) override {
    if (window_ != nullptr) ::KillTimer(window_, id);
  }

  // A message to a window of the library's own classes; false for the default handling.
  bool HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // A notification of a child control (WM_COMMAND).
  void Notify(UINT code);

  TWinControl& control_;
  HWND window_ = nullptr;
  WNDPROC original_ = nullptr;  // a standard control's own window procedure
  UINT id_ = 0;

 private:
  void ApplyBounds();
  void ApplyItems();
  void ApplyItemHeight();
  void ShowForm(bool visible);
  int WindowHeight() const;
};

Win32Peer* PeerOf(HWND window) {
  auto& peers = PeersByWindow();
  auto it = peers.find(window);
  return it != peers.end() ? it->second : nullptr;
}

Win32Peer::Win32Peer(TWinControl& control) : control_(control) {
  const WindowKind kind = control.Kind();
  HWND parent = nullptr;
  std::string className;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD exStyle = 0;
  std::string text = control.Text();
  switch (kind) {
    case WindowKind::Form:
      className = RegisterWindowClass(control.ClassName(), true);
      FormStyles(static_cast<const TForm&>(control), style, exStyle);
      if (Application* app = TheApplication()) {
        parent = reinterpret_cast<HWND>(app->Handle());
      }
      break;
    case WindowKind::Container:
      className = RegisterWindowClass(control.ClassName(), false);
      style |= WS_CLIPCHILDREN;
      exStyle |= WS_EX_CONTROLPARENT;
      text.clear();
      break;
    case WindowKind::Button: {
      const auto& button = static_cast<const TButton&>(control);
      className = "BUTTON";
      style |= WS_TABSTOP | (button.ActiveDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      break;
    }
    case WindowKind::CheckBox: {
      const auto& check = static_cast<const TCheckBox&>(control);
      className = "BUTTON";
      style |= WS_TABSTOP | BS_AUTOCHECKBOX;
      if (check.Alignment() == TAlignment::LeftJustify) style |= BS_LEFTTEXT;
      break;
    }
    case WindowKind::Edit: {
      const auto& edit = static_cast<const TEdit&>(control);
      className = "EDIT";
      style |= WS_TABSTOP | ES_AUTOHSCROLL | (edit.ReadOnly() ? ES_READONLY : 0);
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    }
    case WindowKind::Memo: {
      const auto& memo = static_cast<const TMemo&>(control);
      className = "EDIT";
      style |= WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL;
      if (!memo.WordWrap()) style |= ES_AUTOHSCROLL;
      if (memo.ReadOnly()) style |= ES_READONLY;
      if (memo.WantReturns() && !memo.ReadOnly()) style |= ES_WANTRETURN;
      if (memo.ScrollBars() == TScrollStyle::Vertical || memo.ScrollBars() == TScrollStyle::Both) {
        style |= WS_VSCROLL;
      }
      if (memo.ScrollBars() == TScrollStyle::Horizontal ||
          memo.ScrollBars() == TScrollStyle::Both) {
        style |= WS_HSCROLL;
      }
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    }
    case WindowKind::ListBox:
      className = "LISTBOX";
      style |= WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY |
               LBS_NOINTEGRALHEIGHT;
      exStyle |= WS_EX_CLIENTEDGE;
      text.clear();
      break;
    case WindowKind::ComboBox:
      className = "COMBOBOX";
      style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS |
               CBS_AUTOHSCROLL;
      exStyle |= WS_EX_CLIENTEDGE;
      text.clear();
      break;
  }
  if (kind != WindowKind::Form) {
    if (control.Parent() == nullptr) throw EInvalidOperation("A control has no parent window");
    parent = WindowOf(*control.Parent());
    if (control.Visible()) style |= WS_VISIBLE;
    id_ = nextId++;
    PeersById()[id_] = this;
  }
  if (!control.Enabled()) style |= WS_DISABLED;

  const bool ownClass = kind == WindowKind::Form || kind == WindowKind::Container;
  window_ = CreateWindowExA(
      exStyle, className.c_str(), text.c_str(), style, control.Left(), control.Top(),
      control.Width(), WindowHeight(), parent,
      kind == WindowKind::Form ? nullptr : reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id_)),
      GetModuleHandleA(nullptr), ownClass ? this : nullptr);
  if (window_ == nullptr) {
    PeersById().erase(id_);
    throw EInvalidOperation("Error creating window of " + std::string(control.ClassName()));
  }
  PeersByWindow()[window_] = this;
  if (!ownClass) {
    SetPropA(window_, kPeerProperty, this);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StandardControlProc)));
  }

  if (kind != WindowKind::Form) {
    // Above the siblings made before it and below those after it, as in the control list:
    // a window made late (its page was hidden) still takes its place.
    HWND after = HWND_TOP;
    const TWinControl* parentControl = control.Parent();
    bool seen = false;
    for (int i = 0; i < parentControl->ControlCount(); ++i) {
      TControl* sibling = parentControl->Controls(i);
      if (sibling == &control) {
        seen = true;
      } else if (auto* win = dynamic_cast<TWinControl*>(sibling);
                 seen && win != nullptr && win->HandleAllocated()) {
        after = WindowOf(*win);
        break;
      }
    }
    SetWindowPos(window_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(control.Font())), FALSE);
  }
  switch (kind) {
    case WindowKind::CheckBox:
      Update(Mirror::Checked);
      break;
    case WindowKind::ListBox:
    case WindowKind::ComboBox:
      ApplyItemHeight();
      ApplyItems();
      break;
    default:
      break;
  }
}

Win32Peer::~Win32Peer() {
  PeersById().erase(id_);
  if (window_ != nullptr) {
    if (control_.Kind() == WindowKind::Form) ShowForm(false);
    HWND window = window_;
    PeersByWindow().erase(window);
    if (original_ != nullptr) {
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
      RemovePropA(window, kPeerProperty);
    } else {
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
    window_ = nullptr;
    DestroyWindow(window);
  }
}

// A drop-down list's window reaches down over its open list.
int Win32Peer::WindowHeight() const {
  if (const auto* combo = dynamic_cast<const TCustomComboBox*>(&control_)) {
    return combo->ItemHeight() + 6 + combo->DropDownCount() * combo->ItemHeight() + 2;
  }
  return control_.Height();
}

void Win32Peer::ApplyBounds() {
  SetWindowPos(window_, nullptr, control_.Left(), control_.Top(), control_.Width(), WindowHeight(),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Peer::ApplyItems() {
  auto* list = dynamic_cast<TCustomListControl*>(&control_);
  if (list == nullptr || list->Items().Updating()) return;
  const bool listBox = control_.Kind() == WindowKind::ListBox;
  SendMessageA(window_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(window_, listBox ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < list->Items().Count(); ++i) {
    SendMessageA(window_, listBox ? LB_ADDSTRING : CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(list->Items()[i].c_str()));
  }
  SendMessageA(window_, listBox ? LB_SETCURSEL : CB_SETCURSEL,
               static_cast<WPARAM>(list->ItemIndex()), 0);
  SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(window_, nullptr, TRUE);
}

void Win32Peer::ApplyItemHeight() {
  auto* list = dynamic_cast<TCustomListControl*>(&control_);
  if (list == nullptr) return;
  if (control_.Kind() == WindowKind::ListBox) {
    SendMessageA(window_, LB_SETITEMHEIGHT, 0, list->ItemHeight());
  } else {
    SendMessageA(window_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), list->ItemHeight());
    SendMessageA(window_, CB_SETITEMHEIGHT, 0, list->ItemHeight());
    ApplyBounds();
  }
}

// A form is shown with the application window beside it: that window's title and icon are
// what the task bar shows for the program.
void Win32Peer::ShowForm(bool visible) {
  static std::set<HWND> shown;
  Application* app = TheApplication();
  HWND appWindow = app != nullptr ? reinterpret_cast<HWND>(app->Handle()) : nullptr;
  if (visible) {
    shown.insert(window_);
    if (appWindow != nullptr) ShowWindow(appWindow, SW_SHOWNOACTIVATE);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
  } else {
    if (shown.erase(window_) == 0) return;
    ShowWindow(window_, SW_HIDE);
    if (shown.empty() && appWindow != nullptr) ShowWindow(appWindow, SW_HIDE);
  }
}

void Win32Peer::Update(Mirror what) {
  if (window_ == nullptr) return;
  const WindowKind kind = control_.Kind();
  switch (what) {
    case Mirror::Bounds:
      ApplyBounds();
      break;
    case Mirror::Visible:
      if (kind == WindowKind::Form) {
        ShowForm(control_.Visible());
      } else {
        ShowWindow(window_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
      }
      break;
    case Mirror::Enabled:
      EnableWindow(window_, control_.Enabled());
      break;
    case Mirror::Text:
      if (kind == WindowKind::Container || kind == WindowKind::ListBox ||
          kind == WindowKind::ComboBox) {
        Invalidate();
      } else {
        SetWindowTextA(window_, control_.Text().c_str());
      }
      break;
    case Mirror::Font:
      SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(control_.Font())),
                   TRUE);
      Invalidate();
      break;
    case Mirror::Color:
      Invalidate();
      break;
    case Mirror::Checked:
      if (const auto* check = dynamic_cast<const TCheckBox*>(&control_)) {
        SendMessageA(window_, BM_SETCHECK, check->Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      break;
    case Mirror::Items:
      ApplyItems();
      break;
    case Mirror::ItemIndex:
      if (const auto* list = dynamic_cast<const TCustomListControl*>(&control_)) {
        SendMessageA(window_, kind == WindowKind::ListBox ? LB_SETCURSEL : CB_SETCURSEL,
                     static_cast<WPARAM>(list->ItemIndex()), 0);
      }
      break;
    case Mirror::ItemHeight:
      ApplyItemHeight();
      break;
    case Mirror::ButtonStyle:
      if (const auto* button = dynamic_cast<const TButton*>(&control_)) {
        SendMessageA(window_, BM_SETSTYLE,
                     button->ActiveDefault() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
      }
      break;
    case Mirror::ReadOnly:
      if (const auto* edit = dynamic_cast<const TEdit*>(&control_)) {
        SendMessageA(window_, EM_SETREADONLY, edit->ReadOnly(), 0);
      } else if (const auto* memo = dynamic_cast<const TMemo*>(&control_)) {
        SendMessageA(window_, EM_SETREADONLY, memo->ReadOnly(), 0);
      }
      break;
  }
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(got < 0 ? 0 : got));
  return text;
}

void Win32Peer::Notify(UINT code) {
  switch (control_.Kind()) {
    case WindowKind::Button:
      if (code == BN_CLICKED) static_cast<TButton&>(control_).WmClicked();
      break;
    case WindowKind::CheckBox:
      if (code == BN_CLICKED) {
        const bool checked = SendMessageA(window_, BM_GETCHECK, 0, 0) == BST_CHECKED;
        static_cast<TCheckBox&>(control_).WmClicked(checked);
      }
      break;
    case WindowKind::Edit:
      if (code == EN_CHANGE) static_cast<TEdit&>(control_).WmTextChanged(WindowText(window_));
      break;
    case WindowKind::Memo:
      if (code == EN_CHANGE) static_cast<TMemo&>(control_).WmTextChanged(WindowText(window_));
      break;
    case WindowKind::ListBox:
      if (code == LBN_SELCHANGE) {
        const auto index = static_cast<int>(SendMessageA(window_, LB_GETCURSEL, 0, 0));
        static_cast<TCustomListBox&>(control_).WmSelChange(index);
      } else if (code == LBN_DBLCLK) {
        static_cast<TCustomListBox&>(control_).WmDblClick();
      }
      break;
    case WindowKind::ComboBox:
      if (code == CBN_SELCHANGE) {
        const auto index = static_cast<int>(SendMessageA(window_, CB_GETCURSEL, 0, 0));
        static_cast<TCustomComboBox&>(control_).WmSelChange(index);
      }
      break;
    default:
      break;
  }
}

bool Win32Peer::HandleOwnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(window_, &r);
      ::FillRect(reinterpret_cast<HDC>(wParam), &r, BrushHandle(control_.Color()));
      result = 1;
      return true;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window_, &ps);
      {
        GdiCanvas canvas(dc);
        control_.WmPaint(canvas);
      }
      EndPaint(window_, &ps);
      return true;
    }
    case WM_PRINTCLIENT: {
      GdiCanvas canvas(reinterpret_cast<HDC>(wParam));
      control_.WmPaint(canvas);
      return true;
    }
    case WM_COMMAND:
      if (lParam != 0) {
        if (Win32Peer* child = PeerOf(reinterpret_cast<HWND>(lParam)))
          child->Notify(HIWORD(wParam));
        return true;
      }
      return false;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      Win32Peer* child = PeerOf(item->hwndItem);
      auto* list = child != nullptr ? dynamic_cast<TCustomListControl*>(&child->control_) : nullptr;
      if (list == nullptr) return false;
      GdiCanvas canvas(item->hDC);
      const TRect rect{item->rcItem.left, item->rcItem.top, item->rcItem.right,
                       item->rcItem.bottom};
      list->WmDrawItem(canvas, static_cast<int>(item->itemID), rect, item->itemState);
      result = TRUE;
      return true;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      auto it = PeersById().find(item->CtlID);
      if (it == PeersById().end()) return false;
      if (const auto* list = dynamic_cast<const TCustomListControl*>(&it->second->control_)) {
        item->itemHeight = static_cast<UINT>(list->ItemHeight());
        result = TRUE;
        return true;
      }
      return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      Win32Peer* child = PeerOf(reinterpret_cast<HWND>(lParam));
      if (child == nullptr) return false;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, ResolveColor(child->control_.Font().Color));
      SetBkColor(dc, ResolveColor(child->control_.Color()));
      result = reinterpret_cast<LRESULT>(BrushHandle(child->control_.Color()));
      return true;
    }
    case WM_TIMER:
      control_.WmTimer(static_cast<unsigned>(wParam));
      return true;
    case WM_CLOSE:
      if (auto* form = dynamic_cast<TForm*>(&control_)) {
        form->WmClose();
        return true;
      }
      return false;
    case WM_QUERYENDSESSION:
      result = TRUE;  // the application window answers for the program
      return true;
    case WM_SETFOCUS:
      if (auto* form = dynamic_cast<TForm*>(&control_)) {
        if (TWinControl* active = form->ActiveControl();
            active != nullptr && active->HandleAllocated()) {
          SetFocus(WindowOf(*active));
        }
        return true;
      }
      return false;
    default:
      return false;
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* peer = static_cast<Win32Peer*>(create->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(peer));
    if (peer != nullptr) peer->window_ = window;
  }
  auto* peer = reinterpret_cast<Win32Peer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (peer != nullptr) {
    try {
      LRESULT result = 0;
      if (peer->HandleOwnMessage(message, wParam, lParam, result)) return result;
    } catch (...) {
      KeepWindowProcError(std::current_exception());
      return 0;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK StandardControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* peer = static_cast<Win32Peer*>(GetPropA(window, kPeerProperty));
  if (peer == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  WNDPROC original = peer->original_;
  if (message == WM_SETFOCUS) {
    try {
      peer->control_.WmSetFocus();
    } catch (...) {
      KeepWindowProcError(std::current_exception());
    }
  } else if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropA(window, kPeerProperty);
    PeersByWindow().erase(window);
    peer->window_ = nullptr;
  }
  return CallWindowProcA(original, window, message, wParam, lParam);
}

bool IsOpenDropDown(HWND window) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  return lstrcmpiA(name, "ComboBox") == 0 && SendMessageA(window, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

}  // namespace

void FormStyles(const TForm& form, DWORD& style, DWORD& exStyle) {
  style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  exStyle = WS_EX_CONTROLPARENT;
  const TBorderIcons icons = form.BorderIcons();
  switch (form.BorderStyle()) {
    case TFormBorderStyle::None:
      style |= WS_POPUP;
      return;
    case TFormBorderStyle::Single:
      style |= WS_CAPTION | WS_BORDER;
      break;
    case TFormBorderStyle::Sizeable:
      style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case TFormBorderStyle::Dialog:
      style |= WS_POPUP | WS_CAPTION;
      exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case TFormBorderStyle::ToolWindow:
      style |= WS_CAPTION;
      exStyle |= WS_EX_TOOLWINDOW;
      break;
    case TFormBorderStyle::SizeToolWin:
      style |= WS_CAPTION | WS_THICKFRAME;
      exStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if ((icons & biSystemMenu) != 0) {
    style |= WS_SYSMENU;
    const bool dialog = form.BorderStyle() == TFormBorderStyle::Dialog;
    if ((icons & biMinimize) != 0 && !dialog) style |= WS_MINIMIZEBOX;
    if ((icons & biMaximize) != 0 && !dialog) style |= WS_MAXIMIZEBOX;
  }
}

std::unique_ptr<ControlPeer> CreateWin32Peer(TWinControl& control) {
  return std::make_unique<Win32Peer>(control);
}

HWND WindowOf(const TWinControl& control) {
  const ControlPeer* peer = control.Peer();
  return peer != nullptr ? reinterpret_cast<HWND>(peer->Handle()) : nullptr;
}

bool HandleDialogMessage(TForm& form, const MSG& message) {
  HWND formWindow = WindowOf(form);
  if (formWindow == nullptr || (message.hwnd != formWindow && !IsChild(formWindow, message.hwnd))) {
    return false;
  }
  switch (message.message) {
    case WM_KEYDOWN:
      switch (message.wParam) {
        case VK_TAB:
          if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
          return form.WmDialogKey(DialogKey::Tab, GetKeyState(VK_SHIFT) < 0);
        case VK_RETURN:
        case VK_ESCAPE:
          // An open drop-down list takes Enter and Esc for itself.
          if (IsOpenDropDown(GetFocus())) return false;
          return form.WmDialogKey(message.wParam == VK_RETURN ? DialogKey::Enter
                                                              : DialogKey::Escape);
        default:
          return false;
      }
    case WM_SYSCHAR:
      return form.WmDialogChar(static_cast<char>(message.wParam));
    case WM_CHAR: {
      // A button or check box takes no typing: a plain letter is an accelerator there.
      TWinControl* focused = form.ActiveControl();
      if (focused == nullptr ||
          (focused->Kind() != WindowKind::Button && focused->Kind() != WindowKind::CheckBox)) {
        return false;
      }
      const auto c = static_cast<char>(message.wParam);
      if (static_cast<unsigned char>(c) <= ' ') return false;
      return form.WmDialogChar(c);
    }
    default:
      return false;
  }
}

void KeepWindowProcError(std::exception_ptr error) {
  if (!pendingError) pendingError = std::move(error);
}

void RethrowWindowProcError() {
  if (pendingError) {
    std::exception_ptr error = pendingError;
    pendingError = nullptr;
    std::rethrow_exception(error);
  }
}

}  // namespace ui
