// e2edriver: runs a scenario script against a GUI program, the way a user would drive it,
// and reports every step on stdout. Exit code 0: every command passed; 1: a command failed
// (the log names it and shows the windows that existed then); 2: the script is invalid.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "script.h"
#include "winui.h"

namespace e2e {
namespace {

struct Failure {
  std::wstring message;
};

[[noreturn]] void Fail(const std::wstring& message) {
  throw Failure{message};
}

std::wstring Seconds(ULONGLONG ms) {
  wchar_t b[32];
  swprintf(b, 32, L"%.2f s", static_cast<double>(ms) / 1000.0);
  return b;
}

std::wstring Lower(std::wstring s) {
  for (auto& c : s)
    c = static_cast<wchar_t>(towlower(c));
  return s;
}

std::vector<std::wstring> Split(const std::wstring& s, wchar_t sep) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  while (true) {
    size_t p = s.find(sep, start);
    parts.push_back(s.substr(start, p == std::wstring::npos ? std::wstring::npos : p - start));
    if (p == std::wstring::npos) break;
    start = p + 1;
  }
  return parts;
}

const std::map<std::wstring, UINT>& MessageNames() {
  static const std::map<std::wstring, UINT> names = {
      {L"WM_NULL", WM_NULL},
      {L"WM_CLOSE", WM_CLOSE},
      {L"WM_QUIT", WM_QUIT},
      {L"WM_QUERYENDSESSION", WM_QUERYENDSESSION},
      {L"WM_ENDSESSION", WM_ENDSESSION},
      {L"WM_ACTIVATEAPP", WM_ACTIVATEAPP},
      {L"WM_KEYDOWN", WM_KEYDOWN},
      {L"WM_KEYUP", WM_KEYUP},
      {L"WM_CHAR", WM_CHAR},
      {L"WM_COMMAND", WM_COMMAND},
      {L"WM_SYSCOMMAND", WM_SYSCOMMAND},
      {L"WM_TIMER", WM_TIMER},
      {L"WM_DEVICECHANGE", WM_DEVICECHANGE},
      {L"WM_POWERBROADCAST", WM_POWERBROADCAST},
  };
  return names;
}

// Named values for wParam and lParam.
const std::map<std::wstring, unsigned long> ValueNames() {
  return {
      {L"TRUE", 1},
      {L"FALSE", 0},
      {L"SC_CLOSE", SC_CLOSE},
      {L"ENDSESSION_LOGOFF", 0x80000000ul},
      {L"ENDSESSION_CLOSEAPP", 0x00000001ul},
      {L"ENDSESSION_CRITICAL", 0x40000000ul},
      {L"DBT_DEVICEARRIVAL", 0x8000},
      {L"DBT_DEVICEREMOVECOMPLETE", 0x8004},
  };
}

const std::map<std::wstring, WORD>& KeyNames() {
  static const std::map<std::wstring, WORD> keys = {
      {L"escape", VK_ESCAPE}, {L"esc", VK_ESCAPE},    {L"enter", VK_RETURN}, {L"return", VK_RETURN},
      {L"tab", VK_TAB},       {L"space", VK_SPACE},   {L"up", VK_UP},        {L"down", VK_DOWN},
      {L"left", VK_LEFT},     {L"right", VK_RIGHT},   {L"home", VK_HOME},    {L"end", VK_END},
      {L"back", VK_BACK},     {L"delete", VK_DELETE}, {L"f1", VK_F1},        {L"f4", VK_F4},
      {L"f5", VK_F5},
  };
  return keys;
}

class Driver {
 public:
  int Run(const std::vector<Command>& script) {
    const ULONGLONG begin = GetTickCount64();
    for (const Command& cmd : script) {
      Out(L"[" + std::to_wstring(cmd.line) + L"] " + cmd.source);
      const ULONGLONG t0 = GetTickCount64();
      try {
        Execute(cmd);
      } catch (const Failure& f) {
        Out(L"FAIL at line " + std::to_wstring(cmd.line) + L": " + cmd.source);
        for (const auto& part : Split(f.message, L'\n'))
          Out(L"  " + part);
        Out(L"windows now:");
        DumpWindows(pid_);
        ReportProgram();
        SaveScreen(L"failure.bmp");
        KillAll();
        return 1;
      }
      ULONGLONG spent = GetTickCount64() - t0;
      if (spent >= 200) Out(L"    (" + Seconds(spent) + L")");
    }
    if (Running()) {
      Out(L"FAIL at end of script: the program is still running (end with expect-exit, "
          L"wait-exit or kill)");
      Out(L"windows now:");
      DumpWindows(pid_);
      KillAll();
      return 1;
    }
    std::wstring program;
    if (Started()) program = L", program exit code " + CodeText(ExitCode());
    Out(L"PASS: " + std::to_wstring(script.size()) + L" commands in " +
        Seconds(GetTickCount64() - begin) + program);
    return 0;
  }

 private:
  // The whole screen, for the log of a failed run; written to the current folder.
  static void SaveScreen(const wchar_t* file) {
    RECT r = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    std::vector<uint32_t> px;
    if (CaptureScreen(r, px) && WriteBmp24(file, r.right, r.bottom, px))
      Out(L"screen saved as " + std::wstring(file));
  }

  // ---- program ------------------------------------------------------------------------
  bool Started() const { return process_ != nullptr; }
  bool Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
  DWORD ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
  }
  static std::wstring CodeText(DWORD code) {
    wchar_t b[48];
    swprintf(b, 48, L"%lu (0x%lx)", static_cast<unsigned long>(code),
             static_cast<unsigned long>(code));
    return b;
  }
  void ReportProgram() {
    if (!Started()) return;
    if (Running()) {
      Out(L"program: still running (pid " + std::to_wstring(pid_) + L")");
    } else {
      Out(L"program: exited with code " + CodeText(ExitCode()));
    }
  }
  void KillAll() {
    for (HANDLE h : all_processes_) {
      if (WaitForSingleObject(h, 0) == WAIT_TIMEOUT) {
        TerminateProcess(h, 0xDEAD);
        WaitForSingleObject(h, 5000);
      }
    }
  }
  // Fails at once when a wait can no longer succeed because the program has ended.
  void FailIfProgramEnded(bool only_started, const std::wstring& what) {
    if (only_started && Started() && !Running()) {
      Fail(L"the program exited with code " + CodeText(ExitCode()) + L" while waiting for " + what);
    }
  }

  // ---- timing -------------------------------------------------------------------------
  DWORD TimeoutOf(const Command& c) const {
    return c.Has(L"timeout") ? static_cast<DWORD>(*ParseNumber(c.Opt(L"timeout")))
                             : default_timeout_;
  }
  template <class Pred>
  bool WaitUntil(DWORD timeout_ms, Pred&& pred) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    while (true) {
      if (pred()) return true;
      if (GetTickCount64() >= deadline) return false;
      Sleep(40);
    }
  }

  // ---- windows ------------------------------------------------------------------------
  bool OnlyStarted(const Command& c) const {
    std::wstring p = c.Opt(L"process", Started() ? L"started" : L"any");
    if (p != L"started" && p != L"any") Fail(L"process= takes 'started' or 'any'");
    if (p == L"started" && !Started()) Fail(L"process=started, but no program was started");
    return p == L"started";
  }
  void Push(HWND w) { current_.push_back(w); }
  HWND Current() {
    while (!current_.empty() && !Alive(current_.back()))
      current_.pop_back();
    if (current_.empty()) Fail(L"no window to work on: wait for one with wait-window first");
    return current_.back();
  }
  HWND Named(const std::wstring& name) {
    if (name == L"current") return Current();
    auto it = names_.find(name);
    if (it == names_.end()) {
      std::wstring known;
      for (const auto& [k, v] : names_)
        known += (known.empty() ? L"" : L", ") + k;
      Fail(L"no window is called '" + name + L"' (named so far: " +
           (known.empty() ? L"none" : known) + L")");
    }
    if (!Alive(it->second)) {
      Fail(L"window '" + name + L"' (" + Hex(reinterpret_cast<uintptr_t>(it->second)) +
           L") no longer exists");
    }
    return it->second;
  }
  HWND Within(const Command& c) { return c.Has(L"in") ? Named(c.Opt(L"in")) : Current(); }
  void Bind(const Command& c, HWND w) {
    if (c.Has(L"as")) names_[c.Opt(L"as")] = w;
    Push(w);
  }

  // Finds a control of `top` by selector: id:N, class:Name[:k], text:Caption or Caption;
  // "self" is the window itself. Among several matches a visible one wins.
  HWND FindControl(HWND top, const std::wstring& sel) {
    if (sel == L"self") return top;
    std::vector<HWND> all = Descendants(top);
    std::vector<HWND> found;
    if (sel.rfind(L"id:", 0) == 0) {
      auto id = ParseNumber(sel.substr(3));
      if (!id) Fail(L"bad control id in '" + sel + L"'");
      for (HWND w : all)
        if (GetDlgCtrlID(w) == static_cast<int>(*id)) found.push_back(w);
    } else if (sel.rfind(L"class:", 0) == 0) {
      std::wstring cls = sel.substr(6);
      long long index = 0;
      size_t colon = cls.rfind(L':');
      if (colon != std::wstring::npos) {
        auto n = ParseNumber(cls.substr(colon + 1));
        if (!n) Fail(L"bad index in '" + sel + L"'");
        index = *n;
        cls = cls.substr(0, colon);
      }
      long long k = 0;
      for (HWND w : all) {
        if (Lower(ClassOf(w)) == Lower(cls) && k++ == index) return w;
      }
      return nullptr;
    } else {
      std::wstring caption = sel.rfind(L"text:", 0) == 0 ? sel.substr(5) : sel;
      caption = StripAccelerator(caption);
      for (HWND w : all)
        if (StripAccelerator(TextOf(w)) == caption) found.push_back(w);
    }
    for (HWND w : found)
      if (IsWindowVisible(w)) return w;
    return found.empty() ? nullptr : found.front();
  }
  HWND Control(const Command& c, const std::wstring& sel) {
    HWND top = Within(c);
    HWND ctl = nullptr;
    WaitUntil(TimeoutOf(c), [&] { return Alive(top) && (ctl = FindControl(top, sel)); });
    if (!ctl) {
      Fail(L"no control '" + sel + L"' in " + Describe(top) + L" after " +
           std::to_wstring(TimeoutOf(c)) + L" ms");
    }
    return ctl;
  }
  // Waits until a control can take input: visible and enabled.
  void Usable(const Command& c, HWND ctl, const std::wstring& sel) {
    if (!WaitUntil(TimeoutOf(c), [&] { return Visible(ctl) && IsWindowEnabled(ctl); })) {
      Fail(L"control '" + sel + L"' is " +
           (Visible(ctl) ? L"disabled" : (Alive(ctl) ? L"hidden" : L"gone")) + L": " +
           Describe(ctl));
    }
  }
  static void Notify(HWND ctl, WORD code) {
    PostMessageW(GetParent(ctl), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(ctl), code),
                 reinterpret_cast<LPARAM>(ctl));
  }
  void PressButton(HWND ctl, const std::wstring& via) {
    // Posted, never sent: the click may open a modal box, and the driver must go on.
    if (via == L"command") {
      Notify(ctl, BN_CLICKED);
    } else {
      PostMessageW(ctl, BM_CLICK, 0, 0);
    }
  }
  static void PostKey(HWND target, WORD vk) {
    UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
    LPARAM up = down | (1L << 30) | (1L << 31);
    PostMessageW(target, WM_KEYDOWN, vk, down);
    PostMessageW(target, WM_KEYUP, vk, up);
  }
  // Keys go where the user's keystrokes would: the focused control of that window.
  static HWND KeyTarget(HWND top) {
    HWND f = FocusOf(top);
    if (f && (f == top || IsChild(top, f))) return f;
    return top;
  }

  HWND FindMessageBox(bool only_started, const Command& c) {
    for (HWND w : TopLevelWindows()) {
      if (!IsWindowVisible(w) || !IsMessageBox(w)) continue;
      if (only_started && ProcessOf(w) != pid_) continue;
      if (c.Has(L"caption") && TextOf(w) != c.Opt(L"caption")) continue;
      if (c.Has(L"text") || c.Has(L"text~")) {
        std::wstring text = ReadMessageBox(w).text;
        if (c.Has(L"text") && text != c.Opt(L"text")) continue;
        if (c.Has(L"text~") && text.find(c.Opt(L"text~")) == std::wstring::npos) continue;
      }
      return w;
    }
    return nullptr;
  }
  static std::wstring DescribeBox(const MessageBoxInfo& m) {
    std::wstring b;
    for (int id : m.buttons)
      b += (b.empty() ? L"" : L",") + ButtonName(id);
    return L"caption=" + Quoted(m.caption) + L" text=" + Quoted(m.text) + L" buttons=" + b +
           L" icon=" + m.icon;
  }
  HWND WaitMessageBox(const Command& c, bool filtered) {
    bool only = OnlyStarted(c);
    Command filter = c;
    if (!filtered) filter.options.clear();
    HWND box = nullptr;
    WaitUntil(TimeoutOf(c), [&] {
      box = FindMessageBox(only, filter);
      if (!box) FailIfProgramEnded(only, L"a message box");
      return box != nullptr;
    });
    if (!box) {
      std::wstring what = L"no message box";
      for (const auto& [k, v] : filter.options)
        if (k != L"timeout" && k != L"as" && k != L"process") what += L" " + k + L"=" + Quoted(v);
      Fail(what + L" after " + std::to_wstring(TimeoutOf(c)) + L" ms");
    }
    names_[L"msgbox"] = box;
    Push(box);
    if (c.Has(L"as")) names_[c.Opt(L"as")] = box;
    return box;
  }
  HWND CurrentMessageBox(const Command& c) {
    auto it = names_.find(L"msgbox");
    if (it != names_.end() && Visible(it->second)) return it->second;
    return WaitMessageBox(c, false);
  }

  // ---- commands -----------------------------------------------------------------------
  void Execute(const Command& c) {
    const std::wstring& n = c.name;
    if (n == L"set") return Set(c);
    if (n == L"start") return Start(c);
    if (n == L"wait-window") return WaitWindow(c);
    if (n == L"wait-msgbox") {
      HWND box = WaitMessageBox(c, true);
      Out(L"    -> " + DescribeBox(ReadMessageBox(box)));
      return;
    }
    if (n == L"expect-msgbox") return ExpectMessageBox(c);
    if (n == L"expect-no-msgbox") return ExpectNoMessageBox(c);
    if (n == L"answer-msgbox") return AnswerMessageBox(c);
    if (n == L"wait-gone") return WaitGone(c);
    if (n == L"use") return Push(Named(c.args[0]));
    if (n == L"click") return Click(c);
    if (n == L"check" || n == L"uncheck") return Check(c, n == L"check");
    if (n == L"type") return Type(c);
    if (n == L"select") return Select(c);
    if (n == L"expect-text") return ExpectText(c);
    if (n == L"expect-state") return ExpectState(c);
    if (n == L"expect-items") return ExpectItems(c);
    if (n == L"read-texts") {
      if (c.args.empty() && current_.empty()) return DumpWindows(pid_);
      return DumpTree(c.args.empty() ? Current() : Named(c.args[0]), 0);
    }
    if (n == L"close") {
      HWND w = c.args.empty() ? Current() : Named(c.args[0]);
      PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
      return;
    }
    if (n == L"key") return Key(c);
    if (n == L"send-message" || n == L"post-message") return Message(c, n == L"post-message");
    if (n == L"wait-exit") return WaitExit(c);
    if (n == L"expect-exit") return ExpectExit(c);
    if (n == L"kill") return Kill();
    if (n == L"screenshot") return Screenshot(c);
    if (n == L"expect-acp") return ExpectAcp(c);
    if (n == L"expect-file" || n == L"expect-no-file") return ExpectFile(c, n == L"expect-file");
    if (n == L"expect-reg" || n == L"expect-no-reg") return ExpectReg(c, n == L"expect-reg");
    if (n == L"sleep") {
      auto ms = ParseNumber(c.args[0]);
      if (!ms || *ms < 0) Fail(L"sleep needs milliseconds");
      Sleep(static_cast<DWORD>(*ms));
      return;
    }
    if (n == L"echo") {
      std::wstring text;
      for (const auto& a : c.args)
        text += (text.empty() ? L"" : L" ") + a;
      Out(L"    " + text);
      return;
    }
    Fail(L"command '" + n + L"' is not implemented");
  }

  void Set(const Command& c) {
    if (c.args[0] != L"timeout") Fail(L"set knows only 'timeout'");
    auto ms = ParseNumber(c.args[1]);
    if (!ms || *ms <= 0) Fail(L"set timeout needs milliseconds");
    default_timeout_ = static_cast<DWORD>(*ms);
  }

  void Start(const Command& c) {
    const std::wstring& program = c.args[0];
    std::wstring cmdline = c.rest;
    bool is_path = program.find_first_of(L"\\/:") != std::wstring::npos;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring cwd = c.Opt(L"cwd");
    if (!CreateProcessW(is_path ? program.c_str() : nullptr, cmdline.data(), nullptr, nullptr,
                        FALSE, 0, nullptr, cwd.empty() ? nullptr : cwd.c_str(), &si, &pi)) {
      Fail(L"cannot start " + Quoted(program) + L" (error " + std::to_wstring(GetLastError()) +
           L"), command line " + Quoted(cmdline));
    }
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    all_processes_.push_back(pi.hProcess);
    current_.clear();
    Out(L"    -> pid " + std::to_wstring(pid_) + L", command line " + Quoted(cmdline));
    // Wine's own start (its services, the desktop) is paid here, under load it can take
    // longer than any wait of the scenario; so wait, bounded, until the program first
    // waits for input. A program that is not there yet is not a failure of this line.
    DWORD startup = c.Has(L"timeout") ? TimeoutOf(c) : 30000;
    if (WaitForInputIdle(process_, startup) == WAIT_TIMEOUT)
      Out(L"    (the program was not waiting for input after " + std::to_wstring(startup) +
          L" ms)");
  }

  void WaitWindow(const Command& c) {
    bool only = OnlyStarted(c);
    std::wstring visible = c.Opt(L"visible", L"yes");
    if (visible != L"yes" && visible != L"no" && visible != L"any")
      Fail(L"visible= takes yes, no or any");
    std::wstring what = L"window";
    for (const auto& [k, v] : c.options)
      if (k == L"class" || k == L"title" || k == L"title~") what += L" " + k + L"=" + Quoted(v);
    HWND found = nullptr;
    WaitUntil(TimeoutOf(c), [&] {
      for (HWND w : TopLevelWindows()) {
        if (only && ProcessOf(w) != pid_) continue;
        if (!only && ProcessOf(w) == GetCurrentProcessId()) continue;
        bool vis = IsWindowVisible(w) != 0;
        if ((visible == L"yes" && !vis) || (visible == L"no" && vis)) continue;
        if (c.Has(L"class") && ClassOf(w) != c.Opt(L"class")) continue;
        if (c.Has(L"title") || c.Has(L"title~")) {
          std::wstring t = TextOf(w);
          if (c.Has(L"title") && t != c.Opt(L"title")) continue;
          if (c.Has(L"title~") && t.find(c.Opt(L"title~")) == std::wstring::npos) continue;
        }
        found = w;
        return true;
      }
      FailIfProgramEnded(only, what);
      return false;
    });
    if (!found) Fail(L"no " + what + L" after " + std::to_wstring(TimeoutOf(c)) + L" ms");
    Bind(c, found);
    Out(L"    -> " + Describe(found));
  }

  void WaitGone(const Command& c) {
    HWND w = c.args.empty() ? Current() : Named(c.args[0]);
    if (!WaitUntil(TimeoutOf(c), [&] { return !Visible(w); }))
      Fail(L"window still shown after " + std::to_wstring(TimeoutOf(c)) + L" ms: " + Describe(w));
  }

  void ExpectMessageBox(const Command& c) {
    HWND box = CurrentMessageBox(c);
    std::vector<int> want_buttons;
    if (c.Has(L"buttons")) {
      for (const auto& b : Split(c.Opt(L"buttons"), L',')) {
        int id = ButtonId(b);
        if (!id) Fail(L"unknown button '" + b + L"'");
        want_buttons.push_back(id);
      }
      std::sort(want_buttons.begin(), want_buttons.end());
    }
    MessageBoxInfo m;
    std::wstring mismatch;
    bool ok = WaitUntil(TimeoutOf(c), [&] {
      if (!Alive(box)) return false;
      m = ReadMessageBox(box);
      mismatch.clear();
      if (c.Has(L"caption") && m.caption != c.Opt(L"caption"))
        mismatch += L"\ncaption: expected " + Quoted(c.Opt(L"caption"));
      if (c.Has(L"text") && m.text != c.Opt(L"text"))
        mismatch += L"\ntext: expected " + Quoted(c.Opt(L"text"));
      if (c.Has(L"text~") && m.text.find(c.Opt(L"text~")) == std::wstring::npos)
        mismatch += L"\ntext: expected to contain " + Quoted(c.Opt(L"text~"));
      if (c.Has(L"buttons") && m.buttons != want_buttons)
        mismatch += L"\nbuttons: expected " + c.Opt(L"buttons");
      if (c.Has(L"icon") && m.icon != Lower(c.Opt(L"icon")))
        mismatch += L"\nicon: expected " + c.Opt(L"icon");
      return mismatch.empty();
    });
    if (!ok) {
      if (!Alive(box)) Fail(L"the message box closed before it was checked");
      Fail(L"message box differs:" + mismatch + L"\nfound: " + DescribeBox(m));
    }
    Out(L"    -> " + DescribeBox(m));
  }

  // No message box may show up during the whole period (default one second).
  void ExpectNoMessageBox(const Command& c) {
    bool only = OnlyStarted(c);
    DWORD period = c.Has(L"timeout") ? TimeoutOf(c) : 1000;
    HWND box = nullptr;
    WaitUntil(period, [&] { return (box = FindMessageBox(only, Command{})) != nullptr; });
    if (box) Fail(L"a message box appeared: " + DescribeBox(ReadMessageBox(box)));
  }

  void AnswerMessageBox(const Command& c) {
    HWND box = CurrentMessageBox(c);
    std::wstring answer = Lower(c.args[0]);
    if (answer == L"escape" || answer == L"esc") {
      PostKey(KeyTarget(box), VK_ESCAPE);
    } else if (answer == L"close") {
      PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
      int id = ButtonId(answer);
      if (!id)
        Fail(L"unknown answer '" + c.args[0] +
             L"' (ok, cancel, abort, retry, ignore, "
             L"yes, no, escape, close)");
      HWND button = nullptr;
      for (HWND ch = GetWindow(box, GW_CHILD); ch; ch = GetWindow(ch, GW_HWNDNEXT))
        if (IsButtonClass(ch) && GetDlgCtrlID(ch) == id && IsWindowVisible(ch)) button = ch;
      if (!button)
        Fail(L"the message box has no " + ButtonName(id) + L" button: " +
             DescribeBox(ReadMessageBox(box)));
      PressButton(button, L"click");
    }
    if (!WaitUntil(TimeoutOf(c), [&] { return !Visible(box); }))
      Fail(L"the message box did not close after " + answer + L": " +
           DescribeBox(ReadMessageBox(box)));
    names_.erase(L"msgbox");
  }

  void Click(const Command& c) {
    HWND ctl = Control(c, c.args[0]);
    Usable(c, ctl, c.args[0]);
    std::wstring via = c.Opt(L"via", L"click");
    if (via != L"click" && via != L"command") Fail(L"via= takes click or command");
    if (!IsButtonClass(ctl) && via == L"click")
      Fail(L"'" + c.args[0] + L"' is not a button (use select, type or via=command): " +
           Describe(ctl));
    PressButton(ctl, via);
  }

  void Check(const Command& c, bool checked) {
    HWND ctl = Control(c, c.args[0]);
    Usable(c, ctl, c.args[0]);
    int want = checked ? BST_CHECKED : BST_UNCHECKED;
    int state = CheckState(ctl);
    if (state < 0) Fail(L"'" + c.args[0] + L"' is not a check box: " + Describe(ctl));
    if (state != want) PressButton(ctl, L"click");
    if (!WaitUntil(TimeoutOf(c), [&] { return CheckState(ctl) == want; }))
      Fail(L"'" + c.args[0] + L"' did not become " + (checked ? L"checked" : L"unchecked") + L": " +
           Describe(ctl));
  }

  void Type(const Command& c) {
    HWND ctl = Control(c, c.args[0]);
    Usable(c, ctl, c.args[0]);
    const std::wstring& text = c.args[1];
    std::wstring by = c.Opt(L"by", L"settext");
    if (by == L"chars") {
      // Keystrokes replace what is there, as after selecting all of it.
      PostMessageW(ctl, EM_SETSEL, 0, -1);
      for (wchar_t ch : text)
        PostMessageW(ctl, WM_CHAR, ch, 1);
    } else if (by == L"settext") {
      DWORD_PTR r = 0;
      // Sent with a bound: a change handler that opens a box must not stop the driver.
      if (!SendMessageTimeoutW(ctl, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_NORMAL, 5000, &r)) {
        Out(L"    (the program did not finish handling the new text within 5 s)");
      }
    } else {
      Fail(L"by= takes settext or chars");
    }
  }

  void Select(const Command& c) {
    HWND ctl = Control(c, c.args[0]);
    Usable(c, ctl, c.args[0]);
    bool list = IsListBox(ctl);
    if (!list && !IsComboBox(ctl))
      Fail(L"'" + c.args[0] + L"' is neither a list box nor a combo box: " + Describe(ctl));
    Items items = ListItems(ctl);
    int index = -1;
    if (c.Has(L"index")) {
      index = static_cast<int>(*ParseNumber(c.Opt(L"index")));
    } else if (c.args.size() == 2) {
      for (size_t i = 0; i < items.texts.size(); ++i)
        if (items.texts[i] == c.args[1]) index = static_cast<int>(i);
    } else {
      Fail(L"select needs an item text or index=");
    }
    if (index < 0 || index >= static_cast<int>(items.texts.size()))
      Fail(L"no such item in " + Describe(ctl));
    DWORD_PTR r = 0;
    SendMessageTimeoutW(ctl, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(index), 0,
                        SMTO_NORMAL, 2000, &r);
    Notify(ctl, list ? LBN_SELCHANGE : CBN_SELCHANGE);
  }

  void ExpectText(const Command& c) {
    HWND ctl = Control(c, c.args[0]);
    if (c.args.size() < 2 && !c.Has(L"text~")) Fail(L"expect-text needs a text or text~=");
    std::wstring seen;
    bool ok = WaitUntil(TimeoutOf(c), [&] {
      seen = TextOf(ctl);
      if (c.args.size() == 2 && seen != c.args[1]) return false;
      if (c.Has(L"text~") && seen.find(c.Opt(L"text~")) == std::wstring::npos) return false;
      return true;
    });
    if (!ok) {
      std::wstring want =
          c.args.size() == 2 ? Quoted(c.args[1]) : L"to contain " + Quoted(c.Opt(L"text~"));
      Fail(L"text of '" + c.args[0] + L"': expected " + want + L"\n          found " +
           Quoted(seen) + L"\ncontrol: " + Describe(ctl));
    }
  }

  bool StateHolds(HWND ctl, const std::wstring& s) {
    if (s == L"visible") return Visible(ctl);
    if (s == L"hidden") return !Visible(ctl);
    if (s == L"enabled") return IsWindowEnabled(ctl) != 0;
    if (s == L"disabled") return !IsWindowEnabled(ctl);
    if (s == L"checked") return CheckState(ctl) == BST_CHECKED;
    if (s == L"unchecked") return CheckState(ctl) == BST_UNCHECKED;
    HWND top = GetAncestor(ctl, GA_ROOT);
    if (s == L"focused") return FocusOf(top) == ctl;
    if (s == L"unfocused") return FocusOf(top) != ctl;
    Fail(L"unknown state '" + s +
         L"' (visible, hidden, enabled, disabled, checked, unchecked, focused, unfocused)");
  }
  void ExpectState(const Command& c) {
    HWND ctl = Control(c, c.args[0]);
    std::vector<std::wstring> states = Split(Lower(c.args[1]), L',');
    std::wstring wrong;
    bool ok = WaitUntil(TimeoutOf(c), [&] {
      wrong.clear();
      for (const auto& s : states)
        if (!StateHolds(ctl, s)) wrong += (wrong.empty() ? L"" : L",") + s;
      return wrong.empty();
    });
    if (!ok) Fail(L"'" + c.args[0] + L"' is not " + wrong + L": " + Describe(ctl));
  }

  void ExpectItems(const Command& c) {
    HWND ctl = Control(c, c.args[0]);
    std::vector<std::wstring> want = Split(c.args[1], L'|');
    int want_sel = -2;
    for (size_t i = 0; i < want.size(); ++i) {
      if (!want[i].empty() && want[i][0] == L'*') {
        want[i] = want[i].substr(1);
        want_sel = static_cast<int>(i);
      }
    }
    if (c.args[1].empty()) want.clear();
    Items items;
    bool ok = WaitUntil(TimeoutOf(c), [&] {
      items = ListItems(ctl);
      return items.ok && items.texts == want && (want_sel == -2 || items.selected == want_sel);
    });
    if (!ok)
      Fail(L"items of '" + c.args[0] + L"' differ from " + Quoted(c.args[1]) + L": " +
           Describe(ctl));
  }

  void Key(const Command& c) {
    HWND target;
    std::wstring name;
    if (c.args.size() == 2) {
      target = Control(c, c.args[0]);
      name = c.args[1];
    } else {
      target = KeyTarget(Within(c));
      name = c.args[0];
    }
    WORD vk = 0;
    auto it = KeyNames().find(Lower(name));
    if (it != KeyNames().end()) {
      vk = it->second;
    } else if (auto v = ParseNumber(name)) {
      vk = static_cast<WORD>(*v);
    } else {
      Fail(L"unknown key '" + name + L"'");
    }
    PostKey(target, vk);
  }

  static unsigned long Value(const std::wstring& s) {
    auto names = ValueNames();
    auto it = names.find(s);
    if (it != names.end()) return it->second;
    auto v = ParseNumber(s);
    if (!v) Fail(L"'" + s + L"' is neither a number nor a known value name");
    return static_cast<unsigned long>(*v);
  }
  void Message(const Command& c, bool post) {
    HWND w = Named(c.args[0]);
    UINT msg;
    auto it = MessageNames().find(c.args[1]);
    if (it != MessageNames().end()) {
      msg = it->second;
    } else {
      msg = static_cast<UINT>(Value(c.args[1]));
    }
    WPARAM wp = Value(c.args[2]);
    LPARAM lp = static_cast<LPARAM>(Value(c.args[3]));
    if (post) {
      if (!PostMessageW(w, msg, wp, lp))
        Fail(L"PostMessage failed (error " + std::to_wstring(GetLastError()) + L")");
      return;
    }
    DWORD_PTR result = 0;
    DWORD timeout = TimeoutOf(c);
    if (!SendMessageTimeoutW(w, msg, wp, lp, SMTO_NORMAL, timeout, &result)) {
      DWORD err = GetLastError();
      // A program may end inside the handler (log-off): that is an answer too.
      if (Started() && WaitForSingleObject(process_, 2000) == WAIT_OBJECT_0) {
        Out(L"    -> the program ended while handling the message, exit code " +
            CodeText(ExitCode()));
        if (c.Has(L"expect")) Fail(L"no result: the program ended while handling the message");
        return;
      }
      Fail(L"no answer within " + std::to_wstring(timeout) + L" ms (error " + std::to_wstring(err) +
           L")");
    }
    Out(L"    -> result " + std::to_wstring(static_cast<long long>(result)));
    if (c.Has(L"expect") && static_cast<unsigned long>(result) != Value(c.Opt(L"expect")))
      Fail(L"result " + std::to_wstring(static_cast<long long>(result)) + L", expected " +
           c.Opt(L"expect"));
  }

  void WaitExit(const Command& c) {
    if (!Started()) Fail(L"no program was started");
    DWORD timeout = TimeoutOf(c);
    if (WaitForSingleObject(process_, timeout) != WAIT_OBJECT_0)
      Fail(L"the program still runs after " + std::to_wstring(timeout) + L" ms");
    Out(L"    -> program exited with code " + CodeText(ExitCode()));
  }
  void ExpectExit(const Command& c) {
    auto want = ParseNumber(c.args[0]);
    if (!want) Fail(L"expect-exit needs a number");
    WaitExit(c);
    if (ExitCode() != static_cast<DWORD>(*want))
      Fail(L"exit code " + CodeText(ExitCode()) + L", expected " + c.args[0]);
  }
  void Kill() {
    if (!Running()) Fail(L"no program is running");
    TerminateProcess(process_, 0xDEAD);
    WaitForSingleObject(process_, 5000);
    Out(L"    -> killed");
  }

  void Screenshot(const Command& c) {
    std::wstring file = c.args.back();
    RECT r{};
    if (c.args.size() == 2 && c.args[0] == L"screen") {
      r = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    } else {
      HWND w = c.args.size() == 2 ? Named(c.args[0]) : Current();
      GetWindowRect(w, &r);
      // Give a window that has just changed a moment to paint.
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
      Sleep(100);
    }
    std::vector<uint32_t> px;
    if (!CaptureScreen(r, px)) Fail(L"cannot read the screen");
    if (!WriteBmp24(file, r.right - r.left, r.bottom - r.top, px))
      Fail(L"cannot write " + Quoted(file) + L" (error " + std::to_wstring(GetLastError()) + L")");
    Out(L"    -> " + file + L" " + std::to_wstring(r.right - r.left) + L"x" +
        std::to_wstring(r.bottom - r.top));
  }

  void ExpectAcp(const Command& c) {
    auto want = ParseNumber(c.args[0]);
    UINT acp = GetACP();
    Out(L"    -> ANSI code page " + std::to_wstring(acp) + L", OEM " + std::to_wstring(GetOEMCP()));
    if (!want || acp != static_cast<UINT>(*want))
      Fail(L"ANSI code page " + std::to_wstring(acp) + L", expected " + c.args[0]);
  }

  void ExpectFile(const Command& c, bool present) {
    const std::wstring& path = c.args[0];
    WIN32_FILE_ATTRIBUTE_DATA data{};
    bool exists = GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) &&
                  !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    if (!present) {
      if (exists) Fail(L"the file exists: " + Quoted(path));
      return;
    }
    if (!exists) Fail(L"no file " + Quoted(path));
    unsigned long long size =
        (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    Out(L"    -> " + std::to_wstring(size) + L" bytes, last written " +
        LocalTimeText(data.ftLastWriteTime));
    if (c.Has(L"size") && size != static_cast<unsigned long long>(*ParseNumber(c.Opt(L"size"))))
      Fail(L"size " + std::to_wstring(size) + L", expected " + c.Opt(L"size"));
    if (c.Has(L"mtime")) {
      std::wstring seen = LocalTimeText(data.ftLastWriteTime);
      if (seen != c.Opt(L"mtime"))
        Fail(L"last written " + seen + L" (local time), expected " + c.Opt(L"mtime"));
    }
    if (c.Has(L"text")) {
      HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
      if (f == INVALID_HANDLE_VALUE) Fail(L"cannot open " + Quoted(path));
      std::string bytes(static_cast<size_t>(size), '\0');
      DWORD got = 0;
      ReadFile(f, bytes.data(), static_cast<DWORD>(size), &got, nullptr);
      CloseHandle(f);
      if (bytes != Utf8(c.Opt(L"text")))
        Fail(L"content " + Quoted(FromUtf8(bytes)) + L", expected " + Quoted(c.Opt(L"text")));
    }
  }

  // "YYYY-MM-DD hh:mm:ss.mmm" in local time, the way the program under test sees it.
  static std::wstring LocalTimeText(const FILETIME& utc) {
    FILETIME local{};
    SYSTEMTIME st{};
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &st);
    wchar_t b[40];
    swprintf(b, 40, L"%04u-%02u-%02u %02u:%02u:%02u.%03u", st.wYear, st.wMonth, st.wDay, st.wHour,
             st.wMinute, st.wSecond, st.wMilliseconds);
    return b;
  }

  void ExpectReg(const Command& c, bool present) {
    std::wstring key = c.args[0];
    HKEY root = nullptr;
    const std::pair<const wchar_t*, HKEY> roots[] = {{L"HKCU\\", HKEY_CURRENT_USER},
                                                     {L"HKEY_CURRENT_USER\\", HKEY_CURRENT_USER},
                                                     {L"HKLM\\", HKEY_LOCAL_MACHINE},
                                                     {L"HKEY_LOCAL_MACHINE\\", HKEY_LOCAL_MACHINE}};
    for (const auto& [prefix, h] : roots) {
      size_t len = wcslen(prefix);
      if (Lower(key.substr(0, len)) == Lower(prefix)) {
        root = h;
        key = key.substr(len);
        break;
      }
    }
    if (!root) Fail(L"the key must start with HKCU\\ or HKLM\\");
    std::wstring name = c.args[1] == L"@" ? L"" : c.args[1];
    HKEY h = nullptr;
    DWORD type = 0, size = 0;
    bool exists =
        RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) == ERROR_SUCCESS &&
        RegQueryValueExW(h, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
    std::vector<BYTE> data(size + 2, 0);
    if (exists) RegQueryValueExW(h, name.c_str(), nullptr, &type, data.data(), &size);
    if (h) RegCloseKey(h);
    if (!present) {
      if (exists) Fail(L"the value exists: " + c.args[0] + L" " + Quoted(c.args[1]));
      return;
    }
    if (!exists) Fail(L"no value " + Quoted(c.args[1]) + L" in " + c.args[0]);
    std::wstring seen;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
      seen.assign(reinterpret_cast<const wchar_t*>(data.data()));
    } else if (type == REG_DWORD) {
      DWORD v = *reinterpret_cast<const DWORD*>(data.data());
      seen = std::to_wstring(v);
      auto want = ParseNumber(c.args[2]);
      if (want && static_cast<DWORD>(*want) == v) seen = c.args[2];
    } else {
      for (DWORD i = 0; i < size; ++i) {
        wchar_t b[4];
        swprintf(b, 4, L"%02x", data[i]);
        seen += b;
      }
    }
    Out(L"    -> type " + std::to_wstring(type) + L", " + Quoted(seen));
    if (seen != c.args[2]) Fail(L"value " + Quoted(seen) + L", expected " + Quoted(c.args[2]));
  }

  DWORD default_timeout_ = 10000;
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  std::vector<HANDLE> all_processes_;
  std::map<std::wstring, HWND> names_;
  std::vector<HWND> current_;
};

bool ReadScript(const wchar_t* path, std::wstring& text) {
  std::string bytes;
  if (wcscmp(path, L"-") == 0) {
    char buf[4096];
    DWORD got = 0;
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    while (ReadFile(in, buf, sizeof buf, &got, nullptr) && got)
      bytes.append(buf, got);
  } else {
    HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got)
      bytes.append(buf, got);
    CloseHandle(f);
  }
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  text = FromUtf8(bytes);
  return true;
}

std::optional<std::wstring> Environment(const std::wstring& name) {
  DWORD n = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
  if (!n) return std::nullopt;
  std::wstring v(n, L'\0');
  n = GetEnvironmentVariableW(name.c_str(), v.data(), n);
  v.resize(n);
  return v;
}

}  // namespace
}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
  using namespace e2e;
  bool check_only = argc == 3 && wcscmp(argv[1], L"--check") == 0;
  if (argc != 2 && !check_only) {
    Out(L"usage: e2edriver [--check] <script file | ->");
    return 2;
  }
  const wchar_t* path = argv[argc - 1];
  std::wstring text;
  if (!ReadScript(path, text)) {
    Out(L"cannot read the script " + Quoted(path) + L" (error " + std::to_wstring(GetLastError()) +
        L")");
    return 2;
  }
  std::vector<Command> commands;
  std::vector<ParseError> errors;
  if (!ParseScript(text, Environment, commands, errors)) {
    for (const auto& e : errors)
      Out(L"script error at line " + std::to_wstring(e.line) + L": " + e.message);
    return 2;
  }
  if (check_only) {
    Out(L"script ok: " + std::to_wstring(commands.size()) + L" commands");
    return 0;
  }
  Driver driver;
  return driver.Run(commands);
}
