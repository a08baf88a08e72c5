// A window system without windows, for the native tests. Controls keep all their state in
// their own objects, so a test reads captions, states, items, selection and focus from them
// directly; this platform adds what a user and the system would do: clicks, typing, picks,
// keys, the close box, timer ticks, painting, the end of the session, and the script of user
// steps that a modal loop works through.
#pragma once

#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "Errors.h"
#include "ui/Form.h"
#include "ui/ListControls.h"
#include "ui/Platform.h"
#include "ui/RecordingCanvas.h"
#include "ui/StdControls.h"

namespace ui {

// A script that cannot go on: a step that no user could do (a hidden or disabled control, a
// form that is not the modal one) or a modal loop with no step left. It passes through every
// message handler, so it ends the test loudly instead of becoming an error box; so does a
// message box that the simulated machine's scripted user has no answer for.
class EHeadlessScript : public ESetupError {
 public:
  using ESetupError::ESetupError;
  std::string_view KindName() const override { return "EHeadlessScript"; }
};

class HeadlessPlatform : public Platform {
 public:
  HeadlessPlatform() = default;
  ~HeadlessPlatform() override;

  // ---- Platform --------------------------------------------------------------------------
  void InitCommonControls() override { ++commonControlsInitialised; }
  std::unique_ptr<ApplicationPeer> CreateApplicationPeer() override;
  std::unique_ptr<ControlPeer> CreatePeer(TWinControl& control) override;
  void BeginModal(TForm& form) override;
  // Runs the next step of the script; EHeadlessScript when there is none.
  void HandleNextMessage(TForm& form) override;
  void EndModal(TForm& form) override;
  TCanvas& MeasureCanvas() override;
  TSize ScreenSize() override { return screenSize; }
  FrameExtents FormFrame(const TForm& form) override;
  bool ThemesActive() override { return themesActive; }
  bool PassesThrough(const std::exception_ptr& error) override;
  void ShowWaitCursor() override { ++waitCursorShown; }

  // ---- The user's script -------------------------------------------------------------------
  // Each modal loop takes one step per turn and then looks at the modal result (and asks
  // the close query when there is one). A step may add further steps.
  void Script(std::function<void()> step);
  void Script(std::initializer_list<std::function<void()>> steps);
  size_t PendingSteps() const { return steps_.size(); }

  // ---- What a user does. Each checks first that a user could: the control is showing and
  // enabled, on the modal form when one is open; EHeadlessScript otherwise. ----------------
  // A button is clicked (and takes the focus), a check box toggled, another control clicked.
  void Click(TControl& control);
  // Replaces the text of an edit box as typing would (OnChange fires).
  void Type(TEdit& edit, std::string_view text);
  // Selects an item of a list box or of a drop-down list (the control's click follows).
  void Pick(TCustomListControl& list, int index);
  void DoubleClick(TCustomListBox& list);
  // Moves the focus into a control, as a click into it would.
  void Focus(TWinControl& control);
  // A key to the modal form (Enter, Esc, Tab, Shift+Tab); gives whether the form used it.
  bool PressKey(DialogKey key, bool shift = false);
  // Alt and a letter to the modal form; gives whether a control had it as accelerator.
  bool PressAlt(char letter);
  // The close box of the modal form.
  void PressCloseBox();

  // ---- The system ------------------------------------------------------------------------
  // One WM_TIMER for every running timer, through the message handling. Call it from a
  // scripted message box to let the timer tick while the box is open.
  void TickTimers();
  bool TimerRunning(const TWinControl& control, unsigned id) const;
  unsigned TimerInterval(const TWinControl& control, unsigned id) const;
  // WM_QUERYENDSESSION to the application window, then WM_ENDSESSION with its answer. Gives
  // the answer when the process goes on (with the default handler a yes ends the process).
  bool EndSession();
  // WM_PAINT of a windowed control (its plain children painted with it).
  void Paint(TWinControl& control, TCanvas& canvas);
  // WM_DRAWITEM for every item of a list box, each in its ItemRect; the selected item as
  // selected (and focused when the list has the focus).
  void PaintItems(TCustomListBox& list, TCanvas& canvas);
  // WM_DRAWITEM for the selection field of a closed drop-down list.
  void PaintField(TCustomComboBox& combo, TCanvas& canvas);
  // WM_DRAWITEM for every item of the open drop-down list.
  void PaintDropDown(TCustomComboBox& combo, TCanvas& canvas);

  // ---- What the program asked of the system ---------------------------------------------
  int commonControlsInitialised = 0;
  // How often the wait cursor was asked for.
  int waitCursorShown = 0;
  // What the application window shows; kept after the window is gone.
  std::string applicationText;
  int applicationBigIcon = 0;
  bool applicationWindowExists = false;
  // The application window is shown (at zero size) while a form is visible.
  bool applicationWindowVisible = false;
  // Modal loops running now, and entered so far.
  int modalDepth = 0;
  int modalLoopsEntered = 0;

  // ---- Settings of the simulated screen --------------------------------------------------
  TSize screenSize{1024, 768};
  bool themesActive = true;

 private:
  friend class HeadlessControlPeer;
  struct Timer {
    const TWinControl* control;
    unsigned id;
    unsigned interval;
  };
  void RequireReachable(const TControl& control, std::string_view action) const;
  void FormVisibilityChanged();
  TForm& RequireModalForm(std::string_view action) const;

  std::deque<std::function<void()>> steps_;
  std::vector<Timer> timers_;
  std::vector<const TForm*> forms_;  // forms with a window
  RecordingCanvas measure_;
  os::WindowHandle nextHandle_ = 0x20000;
};

}  // namespace ui
