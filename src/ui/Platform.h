// The window system behind the class library. The controls keep their state in their own
// objects; a platform gives them real windows (Win32) or stand-ins without any (headless,
// for the native tests). Everything the class library needs of a window system is asked
// here, and everything a window system reports comes back through the controls' Wm*
// entry points.
#pragma once

#include <exception>
#include <memory>
#include <string_view>

#include "os/Types.h"
#include "ui/Graphics.h"

namespace ui {

class TWinControl;
class TForm;

// The hidden top-level window of the application object; its title and icon are what the
// task bar shows while one of the program's windows is visible.
class ApplicationPeer {
 public:
  virtual ~ApplicationPeer() = default;
  virtual os::WindowHandle Handle() const = 0;
  virtual void SetText(std::string_view text) = 0;
  // Loads the icon group resource `id` at the large size and sends it as the big icon.
  virtual void SetBigIcon(int id) = 0;
};

// What changed in a control, for its window to follow. The peer reads the new state from
// the control itself.
enum class Mirror {
  Bounds,
  Visible,
  Enabled,
  Text,
  Font,
  Color,
  Checked,
  Items,
  ItemIndex,
  ItemHeight,
  ButtonStyle,  // default button or not
  ReadOnly,
};

// The kind of window a windowed control is made as.
enum class WindowKind {
  Form,
  Container,  // panel, page container, page: a plain window that paints itself
  Button,
  CheckBox,
  Edit,
  Memo,
  ListBox,   // owner-drawn, fixed item height
  ComboBox,  // drop-down list, owner-drawn, fixed item height
};

// The window of one windowed control.
class ControlPeer {
 public:
  virtual ~ControlPeer() = default;
  virtual os::WindowHandle Handle() const = 0;
  virtual void Update(Mirror what) = 0;
  // Paints the window again (its graphic children with it).
  virtual void Invalidate() = 0;
  // The window takes the keyboard focus.
  virtual void Focus() = 0;
  // A window timer: WM_TIMER with `id` every `interval` milliseconds.
  virtual bool SetTimer(unsigned id, unsigned interval) = 0;
  virtual void KillTimer(unsigned id) = 0;
};

// Widths of a form's frame around its client area.
struct FrameExtents {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;
  // Initialises the common controls for all their classes.
  virtual void InitCommonControls() = 0;
  virtual std::unique_ptr<ApplicationPeer> CreateApplicationPeer() = 0;
  // Makes the window of a control whose parent (if any) has its window already.
  virtual std::unique_ptr<ControlPeer> CreatePeer(TWinControl& control) = 0;

  // The modal loop of a form: BeginModal disables the program's other windows and shows
  // the form; HandleNextMessage waits for the next message (or user step) and handles it;
  // EndModal enables the other windows again and hides the form.
  virtual void BeginModal(TForm& form) = 0;
  virtual void HandleNextMessage(TForm& form) = 0;
  virtual void EndModal(TForm& form) = 0;

  // A canvas on which text can be measured with the screen's fonts.
  virtual TCanvas& MeasureCanvas() = 0;
  virtual TSize ScreenSize() = 0;
  virtual FrameExtents FormFrame(const TForm& form) = 0;
  // Whether windows are drawn with visual styles.
  virtual bool ThemesActive() = 0;

  // Errors that no message handler may swallow: those with which a test harness stops the
  // program. The end of a simulated process (os::ProcessExit) always passes.
  virtual bool PassesThrough(const std::exception_ptr&) { return false; }
  // Shows the system's wait cursor; the window system decides when the pointer returns to
  // its normal shape.
  virtual void ShowWaitCursor() = 0;
};

}  // namespace ui
