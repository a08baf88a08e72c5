// A small window program on which the Wine test harness proves itself: a button that asks
// a Yes/No question, a button that shows the four kinds of message box, an edit box, a list
// box, a combo box, a check box that disables the second button, a button that keeps the
// program busy for three seconds without handling messages, labels that show what the
// program saw (its command line, the ANSI code page, a registry value, the type of drive
// P:), and the log-off messages. Exit codes: 6 after Yes to the question, 1 after
// confirming the close box, 42 when the session ends.
#include <windows.h>

#include <string>

namespace {

enum : int {
  kEdit = 101,
  kList = 102,
  kAsk = 103,
  kRemember = 104,
  kStatus = 105,
  kCmdLine = 106,
  kCodePage = 107,
  kGreeting = 108,
  kCombo = 109,
  kBoxes = 110,
  kDrive = 111,
  kBusy = 112,
};

constexpr wchar_t kTitle[] = L"E2E Sample";
HWND g_status = nullptr;

void SetStatus(const std::wstring& s) {
  SetWindowTextW(g_status, s.c_str());
}

HWND Make(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w,
          int h, int id) {
  HWND c = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  return c;
}

std::wstring RegistryGreeting() {
  wchar_t buf[256] = {};
  DWORD size = sizeof buf - sizeof(wchar_t);
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\E2ESample", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return L"greeting: none";
  LONG r =
      RegQueryValueExW(key, L"Greeting", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(key);
  return r == ERROR_SUCCESS ? std::wstring(L"greeting: ") + buf : L"greeting: none";
}

// Four boxes in a row, one per icon, each with another button set; the answers are listed.
void ShowBoxes(HWND w) {
  struct Box {
    const wchar_t* text;
    UINT style;
  };
  const Box boxes[] = {
      {L"Warning\rwith OK and Cancel", MB_ICONWARNING | MB_OKCANCEL},
      {L"Information\rwith Retry and Cancel", MB_ICONINFORMATION | MB_RETRYCANCEL},
      {L"Question\rwith Yes, No and Cancel", MB_ICONQUESTION | MB_YESNOCANCEL},
      {L"Грешка: error\rwith Abort, Retry and Ignore", MB_ICONERROR | MB_ABORTRETRYIGNORE},
  };
  std::wstring answers = L"answers:";
  for (const Box& b : boxes) {
    int r = MessageBoxExW(w, b.text, kTitle, b.style | MB_TASKMODAL, 1033);
    answers += L" " + std::to_wstring(r);
  }
  SetStatus(answers);
}

LRESULT CALLBACK WndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: {
      Make(w, L"STATIC", L"&Name:", SS_LEFT, 10, 12, 50, 20, 100);
      Make(w, L"EDIT", L"", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 70, 10, 200, 22, kEdit);
      HWND list = Make(w, L"LISTBOX", L"", WS_BORDER | LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP, 10, 40,
                       150, 80, kList);
      for (const wchar_t* item : {L"Alpha", L"Beta", L"Гама"})
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
      HWND combo = Make(w, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 170, 40,
                        100, 120, kCombo);
      for (const wchar_t* item : {L"one", L"two"})
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
      Make(w, L"BUTTON", L"&Remember", BS_AUTOCHECKBOX | WS_TABSTOP, 170, 70, 110, 20, kRemember);
      Make(w, L"BUTTON", L"&Ask", BS_PUSHBUTTON | WS_TABSTOP, 290, 10, 80, 24, kAsk);
      Make(w, L"BUTTON", L"&Boxes", BS_PUSHBUTTON | WS_TABSTOP, 290, 40, 80, 24, kBoxes);
      Make(w, L"BUTTON", L"B&usy", BS_PUSHBUTTON | WS_TABSTOP, 290, 70, 80, 24, kBusy);
      g_status = Make(w, L"STATIC", L"ready", SS_LEFT, 10, 130, 360, 20, kStatus);
      Make(w, L"STATIC", GetCommandLineW(), SS_LEFT | SS_NOPREFIX, 10, 155, 360, 40, kCmdLine);
      Make(w, L"STATIC", (L"acp: " + std::to_wstring(GetACP())).c_str(), SS_LEFT, 10, 200, 100, 20,
           kCodePage);
      Make(w, L"STATIC", RegistryGreeting().c_str(), SS_LEFT, 120, 200, 250, 20, kGreeting);
      Make(w, L"STATIC", (L"drive P: type " + std::to_wstring(GetDriveTypeW(L"P:\\"))).c_str(),
           SS_LEFT, 10, 225, 200, 20, kDrive);
      return 0;
    }
    case WM_COMMAND: {
      int id = LOWORD(wp), code = HIWORD(wp);
      HWND ctl = reinterpret_cast<HWND>(lp);
      if (id == kEdit && code == EN_CHANGE) {
        wchar_t buf[256] = {};
        GetWindowTextW(ctl, buf, 256);
        SetStatus(std::wstring(L"typed: ") + buf);
      } else if (id == kList && code == LBN_SELCHANGE) {
        wchar_t buf[256] = {};
        LRESULT i = SendMessageW(ctl, LB_GETCURSEL, 0, 0);
        SendMessageW(ctl, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
        SetStatus(std::wstring(L"picked: ") + buf);
      } else if (id == kCombo && code == CBN_SELCHANGE) {
        LRESULT i = SendMessageW(ctl, CB_GETCURSEL, 0, 0);
        SetStatus(L"combo: " + std::to_wstring(i));
      } else if (id == kRemember && code == BN_CLICKED) {
        // While "Remember" is ticked the boxes cannot be shown.
        bool on = SendMessageW(ctl, BM_GETCHECK, 0, 0) == BST_CHECKED;
        EnableWindow(GetDlgItem(w, kBoxes), !on);
        SetStatus(on ? L"remember: on" : L"remember: off");
      } else if (id == kAsk && code == BN_CLICKED) {
        int r = MessageBoxW(w, L"Quit the sample?\rYes quits, No goes on.", kTitle,
                            MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL);
        if (r == IDYES) {
          DestroyWindow(w);
          PostQuitMessage(IDYES);
        } else {
          SetStatus(L"answer: " + std::to_wstring(r));
        }
      } else if (id == kBoxes && code == BN_CLICKED) {
        ShowBoxes(w);
      } else if (id == kBusy && code == BN_CLICKED) {
        // Works for a while without handling messages, as a long copy inside a click does.
        SetStatus(L"busy");
        Sleep(3000);
        SetStatus(L"busy: done");
      }
      return 0;
    }
    case WM_CLOSE:
      if (MessageBoxW(w, L"Close the sample?", kTitle, MB_OKCANCEL | MB_ICONWARNING) == IDOK) {
        DestroyWindow(w);
        PostQuitMessage(IDOK);
      }
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wp) ExitProcess(42);
      return 0;
    default:
      return DefWindowProcW(w, msg, wp, lp);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int show) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"E2ESampleWindow";
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(0, wc.lpszClassName, kTitle,
                           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 100, 100, 400,
                           290, nullptr, nullptr, inst, nullptr);
  ShowWindow(w, show);
  UpdateWindow(w);
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(w, &m)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
  }
  return static_cast<int>(m.wParam);
}
