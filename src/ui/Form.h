// A form: a top-level window with its controls, its handlers by name, the keyboard of a
// dialog (Tab, Enter for the default button, Esc for the cancel button, accelerators) and
// a modal loop that ends with a modal result the close query agrees to.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "ui/Controls.h"

namespace ui {

class TButton;

// Modal results, with the values of the message-box answers.
inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrAbort = 3;
inline constexpr int mrRetry = 4;
inline constexpr int mrIgnore = 5;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;

enum class TFormBorderStyle { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };

using TBorderIcons = std::uint8_t;
inline constexpr TBorderIcons biSystemMenu = 1;
inline constexpr TBorderIcons biMinimize = 2;
inline constexpr TBorderIcons biMaximize = 4;
inline constexpr TBorderIcons biHelp = 8;

enum class TPosition { Designed, ScreenCenter };

// The keys a form handles itself.
enum class DialogKey { Enter, Escape, Tab };

// Sender, and whether the form may close (true on entry).
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;

  std::string_view ClassName() const override { return "TForm"; }
  WindowKind Kind() const override { return WindowKind::Form; }

  // Shows the form and runs its message loop until it has a modal result that the close
  // query accepts; hides it again and gives the result. An error of the close query leaves
  // the loop (the form hidden) and reaches the caller.
  int ShowModal();
  bool Modal() const { return modal_; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }
  // Asks the form to close: a modal form gets the modal result Cancel (its loop then asks
  // the close query); another form is hidden when the close query agrees.
  void Close();
  // Whether the form may close now: true unless OnCloseQuery says no.
  virtual bool CloseQuery();
  TCloseQueryEvent OnCloseQuery;

  bool Showing() const override { return Visible(); }
  TRect ClientRect() const override { return {0, 0, clientWidth_, clientHeight_}; }
  void SetClientSize(int width, int height);
  // The outer size follows the client size and the frame of the border style.
  void SetBounds(int left, int top, int width, int height) override;

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TBorderIcons icons) { borderIcons_ = icons; }
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }

  // The control with the keyboard focus (when the form is active), or nullptr.
  TWinControl* ActiveControl() const { return activeControl_; }
  // EInvalidOperation when the control is not on this form or cannot take the focus.
  void SetActiveControl(TWinControl* control);
  // Moves the focus to the next (or previous) control in tab order.
  void SelectNext(bool forward);
  // The button that Enter presses now: the focused button, else the default button.
  TButton* ActiveDefaultButton() const;

  // ---- Handlers by name, for the stored description to connect events to -----------------
  void Publish(std::string name, TNotifyEvent handler);
  void PublishCloseQuery(std::string name, TCloseQueryEvent handler);
  // EFormError when no handler of that name is published.
  TNotifyEvent NotifyHandler(std::string_view name) const;
  TCloseQueryEvent CloseQueryHandler(std::string_view name) const;

  // An owned control by name and kind; EFormError when there is none.
  template <typename T>
  T& Control(std::string_view name) const {
    T* control = dynamic_cast<T*>(FindComponent(name));
    if (control == nullptr) ThrowMissing(name);
    return *control;
  }

  // ---- What the window system reports (each runs as a message handler) -------------------
  // The close box, Alt+F4 or the system menu's Close.
  void WmClose();
  // A key the form handles itself; false when it did nothing with it.
  bool WmDialogKey(DialogKey key, bool shift = false);
  // A letter pressed with Alt (or alone where the focused control takes no typing); false
  // when no control has it as its accelerator.
  bool WmDialogChar(char letter);

 protected:
  bool ApplyProperty(std::string_view name, const PropertyValue& value) override;

 private:
  friend class TControl;
  friend class TWinControl;
  friend class TButton;
  // The focused control went away or can no longer take the focus: the form takes it.
  void CheckActiveControl();
  void UpdateDefaultButtons();
  void UpdateOuterSize();
  [[noreturn]] void ThrowMissing(std::string_view name) const;

  int clientWidth_ = 0;
  int clientHeight_ = 0;
  TFormBorderStyle borderStyle_ = TFormBorderStyle::Sizeable;
  TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
  TPosition position_ = TPosition::Designed;
  TWinControl* activeControl_ = nullptr;
  bool modal_ = false;
  int modalResult_ = mrNone;
  std::map<std::string, TNotifyEvent, std::less<>> notifyHandlers_;
  std::map<std::string, TCloseQueryEvent, std::less<>> closeQueryHandlers_;
};

}  // namespace ui
