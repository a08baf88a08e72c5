#include "winui.h"

#include <algorithm>
#include <cwctype>
#include <map>

namespace e2e {
namespace {

constexpr UINT kSendTimeoutMs = 1000;
constexpr ULONGLONG kBusyMemoryMs = 3000;

// Threads that did not answer lately: a program that works without handling messages (a
// long copy inside a click) is not asked again for a while, so listing its forty controls
// does not take forty seconds.
std::map<DWORD, ULONGLONG>& BusyThreads() {
  static std::map<DWORD, ULONGLONG> busy;
  return busy;
}

bool Send(HWND w, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  DWORD tid = GetWindowThreadProcessId(w, nullptr);
  auto it = BusyThreads().find(tid);
  if (it != BusyThreads().end()) {
    if (GetTickCount64() < it->second) return false;
    BusyThreads().erase(it);
  }
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutW(w, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &r)) {
    if (GetLastError() == ERROR_TIMEOUT) BusyThreads()[tid] = GetTickCount64() + kBusyMemoryMs;
    return false;
  }
  result = static_cast<LRESULT>(r);
  return true;
}

std::wstring Lower(std::wstring s) {
  for (auto& c : s)
    c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

bool EndsWith(const std::wstring& s, const std::wstring& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The standard control a window is built on: the real class for superclassed controls,
// else the class name itself.
std::wstring KindOf(HWND w) {
  wchar_t buf[256] = {};
  std::wstring real;
  if (RealGetWindowClassW(w, buf, 256)) real = Lower(buf);
  std::wstring cls = Lower(ClassOf(w));
  return real.empty() ? cls : real + L"|" + cls;
}

bool KindIs(HWND w, const std::wstring& kind) {
  std::wstring k = KindOf(w);
  size_t bar = k.find(L'|');
  if (bar == std::wstring::npos) return EndsWith(k, kind);
  return EndsWith(k.substr(0, bar), kind) || EndsWith(k.substr(bar + 1), kind);
}

std::wstring Escape(const std::wstring& s) {
  std::wstring r;
  for (wchar_t c : s) {
    switch (c) {
      case L'\r':
        r += L"\\r";
        break;
      case L'\n':
        r += L"\\n";
        break;
      case L'\t':
        r += L"\\t";
        break;
      case L'"':
        r += L"\\\"";
        break;
      case L'\\':
        r += L"\\\\";
        break;
      default:
        if (c < 0x20) {
          wchar_t b[8];
          swprintf(b, 8, L"\\x%02x", static_cast<unsigned>(c));
          r += b;
        } else {
          r.push_back(c);
        }
    }
  }
  return r;
}

BOOL CALLBACK CollectTop(HWND w, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
  return TRUE;
}

void CollectChildren(HWND parent, std::vector<HWND>& out) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    out.push_back(c);
    CollectChildren(c, out);
  }
}

// Hidden helper windows that every Wine or Windows thread may own; never interesting.
bool IsPlumbing(HWND w) {
  std::wstring c = ClassOf(w);
  return c == L"IME" || c == L"MSCTFIME UI" || c == L"OleMainThreadWndClass" || c == L"Message" ||
         c == L"__wine_clipboard_manager";
}

}  // namespace

void Out(const std::wstring& line) {
  std::string bytes = Utf8(line);
  bytes.push_back('\n');
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
            &written, nullptr);
}

std::string Utf8(const std::wstring& s) {
  if (s.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr,
                              nullptr);
  std::string r(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), r.data(), n, nullptr,
                      nullptr);
  return r;
}

std::wstring FromUtf8(const std::string& s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring r(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), r.data(), n);
  return r;
}

std::wstring Quoted(const std::wstring& s) {
  return L"\"" + Escape(s) + L"\"";
}

std::wstring Hex(uintptr_t v) {
  wchar_t b[32];
  swprintf(b, 32, L"0x%08lx", static_cast<unsigned long>(v));
  return b;
}

std::wstring ClassOf(HWND w) {
  wchar_t buf[256] = {};
  GetClassNameW(w, buf, 256);
  return buf;
}

std::wstring TextOf(HWND w) {
  LRESULT len = 0;
  if (Send(w, WM_GETTEXTLENGTH, 0, 0, len) && len >= 0) {
    std::wstring buf(static_cast<size_t>(len) + 2, L'\0');
    LRESULT got = 0;
    if (Send(w, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), got)) {
      buf.resize(std::min<size_t>(static_cast<size_t>(got), wcslen(buf.c_str())));
      return buf;
    }
  }
  // The program does not answer: what the window manager keeps of the caption.
  wchar_t buf[1024] = {};
  GetWindowTextW(w, buf, 1024);
  return buf;
}

std::wstring StripAccelerator(const std::wstring& s) {
  std::wstring r;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == L'&') {
      if (i + 1 < s.size() && s[i + 1] == L'&') {
        r.push_back(L'&');
        ++i;
      }
      continue;
    }
    r.push_back(s[i]);
  }
  return r;
}

DWORD ProcessOf(HWND w) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  return pid;
}

bool Alive(HWND w) {
  return w && IsWindow(w);
}
bool Visible(HWND w) {
  return Alive(w) && IsWindowVisible(w);
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> r;
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&r));
  return r;
}

std::vector<HWND> Descendants(HWND w) {
  std::vector<HWND> r;
  CollectChildren(w, r);
  return r;
}

bool IsButtonClass(HWND w) {
  return KindIs(w, L"button") || KindIs(w, L"checkbox");
}
bool IsListBox(HWND w) {
  return KindIs(w, L"listbox");
}
bool IsComboBox(HWND w) {
  return KindIs(w, L"combobox");
}
bool IsEdit(HWND w) {
  return KindIs(w, L"edit") || KindIs(w, L"memo");
}

int CheckState(HWND w) {
  if (!IsButtonClass(w)) return -1;
  LONG type = GetWindowLongW(w, GWL_STYLE) & BS_TYPEMASK;
  switch (type) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      break;
    default:
      return -1;
  }
  LRESULT r = 0;
  if (!Send(w, BM_GETCHECK, 0, 0, r)) return -1;
  return static_cast<int>(r);
}

Items ListItems(HWND w, size_t max_items) {
  Items items;
  bool list = IsListBox(w);
  if (!list && !IsComboBox(w)) return items;
  LONG style = GetWindowLongW(w, GWL_STYLE);
  bool strings =
      list ? (!(style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) || (style & LBS_HASSTRINGS))
           : (!(style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) || (style & CBS_HASSTRINGS));
  LRESULT count = 0, sel = 0;
  if (!Send(w, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0, count) || count < 0) return items;
  Send(w, list ? LB_GETCURSEL : CB_GETCURSEL, 0, 0, sel);
  items.selected = static_cast<int>(sel);
  for (LRESULT i = 0; i < count && static_cast<size_t>(i) < max_items; ++i) {
    std::wstring text = L"?";
    LRESULT len = 0;
    if (strings && Send(w, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, i, 0, len) && len >= 0) {
      std::wstring buf(static_cast<size_t>(len) + 2, L'\0');
      LRESULT got = 0;
      if (Send(w, list ? LB_GETTEXT : CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf.data()), got) &&
          got >= 0) {
        buf.resize(static_cast<size_t>(got));
        text = buf;
      }
    }
    items.texts.push_back(text);
  }
  items.ok = true;
  return items;
}

HWND FocusOf(HWND top) {
  GUITHREADINFO gti{};
  gti.cbSize = sizeof gti;
  DWORD tid = GetWindowThreadProcessId(top, nullptr);
  if (!tid || !GetGUIThreadInfo(tid, &gti)) return nullptr;
  return gti.hwndFocus;
}

std::wstring Describe(HWND w) {
  std::wstring d = Hex(reinterpret_cast<uintptr_t>(w)) + L" " + ClassOf(w);
  LONG style = GetWindowLongW(w, GWL_STYLE);
  HWND parent = (style & WS_CHILD) ? GetParent(w) : nullptr;
  if (parent) d += L" id=" + std::to_wstring(GetDlgCtrlID(w));
  d += L" " + Quoted(TextOf(w));
  RECT r{};
  GetWindowRect(w, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  d += L" at " + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L" size " +
       std::to_wstring(r.right - r.left) + L"x" + std::to_wstring(r.bottom - r.top);
  d += (style & WS_VISIBLE) ? L" visible" : L" hidden";
  d += IsWindowEnabled(w) ? L" enabled" : L" disabled";
  int check = CheckState(w);
  if (check == BST_CHECKED) d += L" checked";
  if (check == BST_UNCHECKED) d += L" unchecked";
  if (check == BST_INDETERMINATE) d += L" indeterminate";
  if (!parent) d += L" pid=" + std::to_wstring(ProcessOf(w));
  Items items = ListItems(w, 20);
  if (items.ok) {
    d += L" items=[";
    for (size_t i = 0; i < items.texts.size(); ++i) {
      if (i) d += L", ";
      if (static_cast<int>(i) == items.selected) d += L"*";
      d += Quoted(items.texts[i]);
    }
    d += L"]";
  }
  return d;
}

void DumpTree(HWND w, int depth) {
  Out(std::wstring(static_cast<size_t>(depth) * 2 + 2, L' ') + Describe(w));
  for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    DumpTree(c, depth + 1);
}

void DumpWindows(DWORD pid) {
  DWORD self = GetCurrentProcessId();
  int shown = 0;
  for (HWND w : TopLevelWindows()) {
    DWORD owner = ProcessOf(w);
    if (owner == self || IsPlumbing(w)) continue;
    if (!IsWindowVisible(w) && !(pid && owner == pid)) continue;
    DumpTree(w, 0);
    ++shown;
  }
  if (!shown) Out(L"  (no visible top-level window)");
}

bool IsMessageBox(HWND w) {
  if (ClassOf(w) != L"#32770") return false;
  bool has_button = false;
  for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (IsButtonClass(c)) {
      int id = GetDlgCtrlID(c);
      if (id < IDOK || id > 11) return false;
      has_button = true;
    } else if (!KindIs(c, L"static")) {
      return false;
    }
  }
  return has_button;
}

std::wstring ButtonName(int id) {
  switch (id) {
    case IDOK:
      return L"ok";
    case IDCANCEL:
      return L"cancel";
    case IDABORT:
      return L"abort";
    case IDRETRY:
      return L"retry";
    case IDIGNORE:
      return L"ignore";
    case IDYES:
      return L"yes";
    case IDNO:
      return L"no";
    case 9:
      return L"help";
    case 10:
      return L"tryagain";
    case 11:
      return L"continue";
    default:
      return L"#" + std::to_wstring(id);
  }
}

int ButtonId(const std::wstring& name) {
  std::wstring n = Lower(name);
  if (n.rfind(L"id", 0) == 0) n = n.substr(2);
  for (int id = IDOK; id <= 11; ++id) {
    if (n == ButtonName(id) || n == std::to_wstring(id)) return id;
  }
  return 0;
}

namespace {

std::wstring ClassifyIcon(HWND icon) {
  RECT r{};
  GetWindowRect(icon, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return L"none";
  std::vector<uint32_t> shot;
  if (!CaptureScreen(r, shot)) return L"unknown(capture failed)";

  struct Candidate {
    const wchar_t* name;
    LPCWSTR id;
  };
  const Candidate candidates[] = {{L"error", IDI_ERROR},
                                  {L"warning", IDI_WARNING},
                                  {L"information", IDI_INFORMATION},
                                  {L"question", IDI_QUESTION}};
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, bmp);
  auto* px = static_cast<uint32_t*>(bits);
  const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);

  std::wstring best = L"none";
  double best_score = 1.0;
  for (const auto& c : candidates) {
    // The corner is background in every standard icon: paint the reference on the same.
    std::fill(px, px + n, shot[0]);
    DrawIconEx(mem, 0, 0, LoadIconW(nullptr, c.id), w, h, 0, nullptr, DI_NORMAL);
    GdiFlush();
    size_t differ = 0;
    for (size_t i = 0; i < n; ++i) {
      uint32_t a = px[i], b = shot[i];
      int dmax = 0;
      for (int s = 0; s < 24; s += 8) {
        int d = std::abs(static_cast<int>((a >> s) & 0xFF) - static_cast<int>((b >> s) & 0xFF));
        dmax = std::max(dmax, d);
      }
      if (dmax > 48) ++differ;
    }
    double score = static_cast<double>(differ) / static_cast<double>(n);
    if (score < best_score) {
      best_score = score;
      best = c.name;
    }
  }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  if (best_score <= 0.10) return best;
  return L"unknown(nearest " + best + L", " + std::to_wstring(static_cast<int>(best_score * 100)) +
         L"% of pixels differ)";
}

}  // namespace

MessageBoxInfo ReadMessageBox(HWND w) {
  MessageBoxInfo info;
  info.caption = TextOf(w);
  info.icon = L"none";
  std::wstring fallback_text;
  for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    int id = GetDlgCtrlID(c);
    if (IsButtonClass(c)) {
      if (IsWindowVisible(c)) info.buttons.push_back(id);
      continue;
    }
    LONG style = GetWindowLongW(c, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON) {
      if (IsWindowVisible(c)) info.icon = ClassifyIcon(c);
      continue;
    }
    // Windows gives the text the id 0xFFFF; other implementations number it otherwise.
    if (id == 0xFFFF || (id & 0xFFFF) == 0xFFFF) {
      info.text = TextOf(c);
    } else if (fallback_text.empty()) {
      fallback_text = TextOf(c);
    }
  }
  if (info.text.empty()) info.text = fallback_text;
  std::sort(info.buttons.begin(), info.buttons.end());
  return info;
}

bool CaptureScreen(const RECT& r, std::vector<uint32_t>& pixels) {
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  HDC screen = GetDC(nullptr);
  if (!screen) return false;
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bmp) {
    HGDIOBJ old = SelectObject(mem, bmp);
    ok = BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY | CAPTUREBLT) != 0;
    GdiFlush();
    if (ok) {
      auto* p = static_cast<uint32_t*>(bits);
      pixels.assign(p, p + static_cast<size_t>(w) * static_cast<size_t>(h));
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
  }
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}

bool WriteBmp24(const std::wstring& path, int width, int height,
                const std::vector<uint32_t>& pixels) {
  const DWORD row = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  const DWORD image = row * static_cast<DWORD>(height);
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  fh.bfType = 0x4D42;  // "BM"
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + image;
  ih.biSize = sizeof ih;
  ih.biWidth = width;
  ih.biHeight = height;  // bottom-up rows
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  ih.biCompression = BI_RGB;
  ih.biSizeImage = image;
  std::vector<unsigned char> data(image, 0);
  for (int y = 0; y < height; ++y) {
    unsigned char* dst = data.data() + static_cast<size_t>(height - 1 - y) * row;
    for (int x = 0; x < width; ++x) {
      uint32_t p =
          pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
      dst[x * 3 + 0] = static_cast<unsigned char>(p & 0xFF);
      dst[x * 3 + 1] = static_cast<unsigned char>((p >> 8) & 0xFF);
      dst[x * 3 + 2] = static_cast<unsigned char>((p >> 16) & 0xFF);
    }
  }
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD n = 0;
  bool ok = WriteFile(f, &fh, sizeof fh, &n, nullptr) &&
            WriteFile(f, &ih, sizeof ih, &n, nullptr) &&
            WriteFile(f, data.data(), image, &n, nullptr);
  CloseHandle(f);
  return ok;
}

}  // namespace e2e
