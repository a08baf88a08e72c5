// What the driver can see of other programs' windows: texts, states, list items, message
// boxes, pixels. Everything that reads another process goes through a bounded
// SendMessageTimeout, so a busy or hung program never blocks the driver.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// Output: every line goes to stdout as UTF-8 at once, so Cyrillic survives and the log keeps
// its order when the program is killed.
void Out(const std::wstring& line);
std::string Utf8(const std::wstring& s);
std::wstring FromUtf8(const std::string& s);
// Double-quoted, with \r \n \t and quotes escaped, as the scripts write texts.
std::wstring Quoted(const std::wstring& s);
std::wstring Hex(uintptr_t v);

std::wstring ClassOf(HWND w);
std::wstring TextOf(HWND w);
// Caption as the user reads it: a single '&' marks an accelerator and is dropped, "&&" is '&'.
std::wstring StripAccelerator(const std::wstring& s);
DWORD ProcessOf(HWND w);
bool Alive(HWND w);
bool Visible(HWND w);  // the window and every parent up to its top-level window are visible

std::vector<HWND> TopLevelWindows();
std::vector<HWND> Descendants(HWND w);  // depth first, in z order

// Kinds of control, by class name (case-insensitive, also for subclassed controls whose
// class name ends with the standard one, as "TButton").
bool IsButtonClass(HWND w);
bool IsListBox(HWND w);
bool IsComboBox(HWND w);
bool IsEdit(HWND w);
// -1 when the control is not a check box or radio button, else BST_UNCHECKED/CHECKED/...
int CheckState(HWND w);
struct Items {
  bool ok = false;
  std::vector<std::wstring> texts;
  int selected = -1;
};
Items ListItems(HWND w, size_t max_items = 1000);
// The control that has the keyboard focus in the thread of `top`, or nullptr.
HWND FocusOf(HWND top);

// A one-line description of a window: handle, class, id, text, position in its parent's
// client area, visibility, enabled state, check state, list items.
std::wstring Describe(HWND w);
// Prints the visible top-level windows (and the hidden ones of `pid`, when not 0) with all
// their children, indented.
void DumpWindows(DWORD pid);
void DumpTree(HWND w, int depth);

// Message boxes: the standard dialog class with only buttons and static controls.
bool IsMessageBox(HWND w);
struct MessageBoxInfo {
  std::wstring caption;
  std::wstring text;
  std::vector<int> buttons;  // control ids of the visible buttons, in id order
  std::wstring icon;         // error, warning, information, question, none, or unknown(...)
};
MessageBoxInfo ReadMessageBox(HWND w);
std::wstring ButtonName(int id);         // 6 -> "yes"
int ButtonId(const std::wstring& name);  // "yes", "IDYES", "6" -> 6; 0 when unknown

// Pixels of a screen rectangle, 32-bit BGRA rows from the top.
bool CaptureScreen(const RECT& r, std::vector<uint32_t>& pixels);
bool WriteBmp24(const std::wstring& path, int width, int height,
                const std::vector<uint32_t>& pixels);

}  // namespace e2e
