// The standard controls: label, push button, check box, edit box and multi-line text box.
#pragma once

#include <string>
#include <string_view>

#include "ui/Controls.h"

namespace ui {

enum class TAlignment { LeftJustify, RightJustify, Center };

// Text painted by its parent. A label that sizes itself follows its text; a label of fixed
// size with WordWrap wraps it. "&" marks the accelerator, which focuses FocusControl.
class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* owner);
  std::string_view ClassName() const override { return "TLabel"; }

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* control) { focusControl_ = control; }

  void Paint(TCanvas& canvas) override;
  // The flags with which the caption is drawn (and measured).
  unsigned TextFlags() const;

 protected:
  bool ApplyProperty(std::string_view name, const PropertyValue& value) override;
  void Loaded() override { AdjustSize(); }
  void TextChanged() override { AdjustSize(); }
  void FontChanged() override;
  void Notification(TComponent& removed) override;
  bool DialogChar(char key) override;

 private:
  void AdjustSize();

  bool autoSize_ = true;
  bool wordWrap_ = false;
  TAlignment alignment_ = TAlignment::LeftJustify;
  bool showAccelChar_ = true;
  bool transparent_ = false;
  TWinControl* focusControl_ = nullptr;
};

// A push button. Enter presses the default button (or the focused button), Esc the cancel
// button; a button with a modal result gives it to its form when clicked.
class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner);
  std::string_view ClassName() const override { return "TButton"; }
  WindowKind Kind() const override { return WindowKind::Button; }

  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int value) { modalResult_ = value; }
  // Whether the button is drawn as the one Enter presses.
  bool ActiveDefault() const { return activeDefault_; }

  void Click() override;

  // The window reports a click (the mouse, Space).
  void WmClicked();

 protected:
  bool ApplyProperty(std::string_view name, const PropertyValue& value) override;
  bool DialogChar(char key) override;

 private:
  friend class TForm;
  void SetActiveDefault(bool value);

  bool default_ = false;
  bool cancel_ = false;
  int modalResult_ = 0;
  bool activeDefault_ = false;
};

// A check box with its caption. Setting Checked from the program fires nothing; a click of
// the user toggles it and fires OnClick.
class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner);
  std::string_view ClassName() const override { return "TCheckBox"; }
  WindowKind Kind() const override { return WindowKind::CheckBox; }

  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  // Which side the caption is on: right of the box (RightJustify, the default) or left.
  TAlignment Alignment() const { return alignment_; }

  // The window reports a click that left the box in the state `checked`.
  void WmClicked(bool checked);

 protected:
  bool ApplyProperty(std::string_view name, const PropertyValue& value) override;
  bool DialogChar(char key) override;

 private:
  bool checked_ = false;
  TAlignment alignment_ = TAlignment::RightJustify;
};

// A single-line edit box. OnChange fires when the user changes the text.
class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* owner);
  std::string_view ClassName() const override { return "TEdit"; }
  WindowKind Kind() const override { return WindowKind::Edit; }

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value) { maxLength_ = value; }
  bool AutoSize() const { return autoSize_; }

  TNotifyEvent OnChange;
  virtual void Change();

  // The window reports text typed by the user.
  void WmTextChanged(std::string_view text);

 protected:
  bool ApplyProperty(std::string_view name, const PropertyValue& value) override;
  void FontChanged() override;
  void Loaded() override { AdjustHeight(); }

 private:
  void AdjustHeight();

  bool readOnly_ = false;
  int maxLength_ = 0;
  bool autoSize_ = true;
};

enum class TScrollStyle { None, Horizontal, Vertical, Both };

// A multi-line text box; its text is its lines joined by carriage return and line feed.
class TMemo : public TWinControl {
 public:
  explicit TMemo(TComponent* owner);
  std::string_view ClassName() const override { return "TMemo"; }
  WindowKind Kind() const override { return WindowKind::Memo; }

  TStrings& Lines() { return lines_; }
  const TStrings& Lines() const { return lines_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle value) { scrollBars_ = value; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value) { wordWrap_ = value; }
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool value) { wantReturns_ = value; }
  bool WantsReturns() const override { return wantReturns_; }

  TNotifyEvent OnChange;
  virtual void Change();

  // The window reports text typed by the user.
  void WmTextChanged(std::string_view text);

 protected:
  bool ApplyProperty(std::string_view name, const PropertyValue& value) override;
  void TextChanged() override;

 private:
  void LinesChanged();

  TStrings lines_;
  bool readOnly_ = false;
  TScrollStyle scrollBars_ = TScrollStyle::None;
  bool wordWrap_ = true;
  bool wantReturns_ = true;
  bool syncing_ = false;
};

}  // namespace ui
