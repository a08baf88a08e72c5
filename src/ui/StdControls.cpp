#include "ui/StdControls.h"

#include "ui/Application.h"
#include "ui/Form.h"

namespace ui {

namespace {

using V = const PropertyValue&;
using N = std::string_view;

TAlignment AlignmentValue(V v, N n) {
  return v.AsEnum<TAlignment>(n, {{"taLeftJustify", TAlignment::LeftJustify},
                                  {"taRightJustify", TAlignment::RightJustify},
                                  {"taCenter", TAlignment::Center}});
}

// The canvas to measure text on, or nullptr while there is no application (and so no
// screen) to measure with.
TCanvas* MeasureCanvas() {
  Application* app = TheApplication();
  return app != nullptr ? &app->GetPlatform().MeasureCanvas() : nullptr;
}

}  // namespace

// ---- TLabel --------------------------------------------------------------------------------

TLabel::TLabel(TComponent* owner) : TControl(owner) {
  width_ = 65;
  height_ = 13;
}

void TLabel::SetAutoSize(bool value) {
  autoSize_ = value;
  AdjustSize();
}

void TLabel::SetWordWrap(bool value) {
  wordWrap_ = value;
  AdjustSize();
  Invalidate();
}

void TLabel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Invalidate();
}

void TLabel::SetShowAccelChar(bool value) {
  showAccelChar_ = value;
  AdjustSize();
  Invalidate();
}

void TLabel::SetTransparent(bool value) {
  transparent_ = value;
  Invalidate();
}

unsigned TLabel::TextFlags() const {
  unsigned flags = kDtExpandTabs;
  if (wordWrap_) flags |= kDtWordBreak;
  if (alignment_ == TAlignment::RightJustify) flags |= kDtRight;
  if (alignment_ == TAlignment::Center) flags |= kDtCenter;
  if (!showAccelChar_) flags |= kDtNoPrefix;
  return flags;
}

// A label that sizes itself takes the size of its text as the screen measures it: its width
// too unless it wraps, in which case the width stays and the height follows. An empty
// caption keeps the height of one line.
void TLabel::AdjustSize() {
  if (!autoSize_) return;
  TCanvas* canvas = MeasureCanvas();
  if (canvas == nullptr) return;
  canvas->Font = Font();
  TRect r{0, 0, wordWrap_ ? width_ : 0, 0};
  const std::string text = Caption().empty() ? " " : Caption();
  canvas->DrawText(text, r, TextFlags() | kDtCalcRect);
  const int width = wordWrap_ ? width_ : r.Width();
  const int left = alignment_ == TAlignment::RightJustify ? left_ + width_ - width : left_;
  SetBounds(left, top_, width, r.Height());
}

void TLabel::FontChanged() {
  TControl::FontChanged();
  AdjustSize();
}

void TLabel::Paint(TCanvas& canvas) {
  TRect r = ClientRect();
  if (!transparent_) {
    canvas.Brush.Color = Color();
    canvas.Brush.Style = TBrushStyle::Solid;
    canvas.FillRect(r);
  }
  canvas.Brush.Style = TBrushStyle::Clear;
  canvas.Font = Font();
  if (!EnabledInTree()) canvas.Font.Color = clGrayText;
  canvas.DrawText(Caption(), r, TextFlags());
  canvas.Brush.Style = TBrushStyle::Solid;
}

void TLabel::Notification(TComponent& removed) {
  if (&removed == focusControl_) focusControl_ = nullptr;
}

bool TLabel::DialogChar(char key) {
  if (focusControl_ == nullptr || !showAccelChar_ || Accelerator() != key || !EnabledInTree() ||
      !focusControl_->CanFocus()) {
    return false;
  }
  focusControl_->SetFocus();
  return true;
}

bool TLabel::ApplyProperty(std::string_view name, const PropertyValue& value) {
  using C = TLabel;
  static const PropertyTable<C> table = {
      {"AutoSize", [](C& c, V v, N n) { c.SetAutoSize(v.AsBoolean(n)); }},
      {"WordWrap", [](C& c, V v, N n) { c.SetWordWrap(v.AsBoolean(n)); }},
      {"Alignment", [](C& c, V v, N n) { c.SetAlignment(AlignmentValue(v, n)); }},
      {"ShowAccelChar", [](C& c, V v, N n) { c.SetShowAccelChar(v.AsBoolean(n)); }},
      {"Transparent", [](C& c, V v, N n) { c.SetTransparent(v.AsBoolean(n)); }},
      {"FocusControl",
       [](C& c, V v, N n) {
         c.DeferReference(v.AsIdentifier(n), [&c](TComponent& target) {
           auto* control = dynamic_cast<TWinControl*>(&target);
           if (control == nullptr) {
             throw EFormError("FocusControl " + target.Name() + " cannot take the focus");
           }
           c.SetFocusControl(control);
         });
       }},
  };
  return table.Apply(*this, name, value) || TControl::ApplyProperty(name, value);
}

// ---- TButton -------------------------------------------------------------------------------

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  width_ = 75;
  height_ = 25;
  SetTabStop(true);
}

void TButton::SetDefault(bool value) {
  default_ = value;
  if (TForm* form = ParentForm()) {
    form->UpdateDefaultButtons();
  } else {
    SetActiveDefault(value);
  }
}

void TButton::SetActiveDefault(bool value) {
  if (value == activeDefault_) return;
  activeDefault_ = value;
  Changed(Mirror::ButtonStyle);
}

void TButton::Click() {
  if (modalResult_ != mrNone) {
    if (TForm* form = ParentForm()) form->SetModalResult(modalResult_);
  }
  TControl::Click();
}

void TButton::WmClicked() {
  HandleMessage([&] { Click(); });
}

bool TButton::DialogChar(char key) {
  if (Accelerator() != key || !CanFocus()) return false;
  Click();
  return true;
}

bool TButton::ApplyProperty(std::string_view name, const PropertyValue& value) {
  using C = TButton;
  static const PropertyTable<C> table = {
      {"Default", [](C& c, V v, N n) { c.SetDefault(v.AsBoolean(n)); }},
      {"Cancel", [](C& c, V v, N n) { c.SetCancel(v.AsBoolean(n)); }},
      {"ModalResult",
       [](C& c, V v, N n) {
         if (v.IsNumber()) {
           c.SetModalResult(v.AsInt(n));
           return;
         }
         c.SetModalResult(v.AsEnum<int>(n, {{"mrNone", mrNone},
                                            {"mrOk", mrOk},
                                            {"mrCancel", mrCancel},
                                            {"mrAbort", mrAbort},
                                            {"mrRetry", mrRetry},
                                            {"mrIgnore", mrIgnore},
                                            {"mrYes", mrYes},
                                            {"mrNo", mrNo}}));
       }},
  };
  return table.Apply(*this, name, value) || TWinControl::ApplyProperty(name, value);
}

// ---- TCheckBox -----------------------------------------------------------------------------

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  width_ = 97;
  height_ = 17;
  SetTabStop(true);
}

void TCheckBox::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  Changed(Mirror::Checked);
}

void TCheckBox::WmClicked(bool checked) {
  checked_ = checked;
  HandleMessage([&] { Click(); });
}

bool TCheckBox::DialogChar(char key) {
  if (Accelerator() != key || !CanFocus()) return false;
  SetFocus();
  SetChecked(!checked_);
  Click();
  return true;
}

bool TCheckBox::ApplyProperty(std::string_view name, const PropertyValue& value) {
  using C = TCheckBox;
  static const PropertyTable<C> table = {
      {"Checked", [](C& c, V v, N n) { c.SetChecked(v.AsBoolean(n)); }},
      {"State",
       [](C& c, V v, N n) {
         c.SetChecked(v.AsEnum<bool>(n, {{"cbUnchecked", false}, {"cbChecked", true}}));
       }},
      {"Alignment",
       [](C& c, V v, N n) {
         c.alignment_ = AlignmentValue(v, n);
         c.Changed(Mirror::Text);
       }},
  };
  return table.Apply(*this, name, value) || TWinControl::ApplyProperty(name, value);
}

// ---- TEdit ---------------------------------------------------------------------------------

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  width_ = 121;
  height_ = 21;
  SetTabStop(true);
  SetColor(clWindow);
}

void TEdit::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  Changed(Mirror::ReadOnly);
}

void TEdit::Change() {
  if (OnChange) OnChange(this);
}

void TEdit::WmTextChanged(std::string_view text) {
  if (text == Text()) return;
  StoreText(text);
  HandleMessage([&] { Change(); });
}

void TEdit::FontChanged() {
  TWinControl::FontChanged();
  AdjustHeight();
}

// An edit box that sizes itself is as high as a line of its font and its sunken frame.
void TEdit::AdjustHeight() {
  if (!autoSize_) return;
  TCanvas* canvas = MeasureCanvas();
  if (canvas == nullptr) return;
  canvas->Font = Font();
  SetHeight(canvas->TextHeight("0") + 8);
}

bool TEdit::ApplyProperty(std::string_view name, const PropertyValue& value) {
  using C = TEdit;
  static const PropertyTable<C> table = {
      {"ReadOnly", [](C& c, V v, N n) { c.SetReadOnly(v.AsBoolean(n)); }},
      {"MaxLength", [](C& c, V v, N n) { c.SetMaxLength(v.AsInt(n)); }},
      {"AutoSize",
       [](C& c, V v, N n) {
         c.autoSize_ = v.AsBoolean(n);
         c.AdjustHeight();
       }},
      {"OnChange", [](C& c, V v, N n) { c.OnChange = NotifyHandlerFor(c, v, n); }},
  };
  return table.Apply(*this, name, value) || TWinControl::ApplyProperty(name, value);
}

// ---- TMemo ---------------------------------------------------------------------------------

TMemo::TMemo(TComponent* owner) : TWinControl(owner) {
  width_ = 185;
  height_ = 89;
  SetTabStop(true);
  SetColor(clWindow);
  lines_.OnChange = [this] { LinesChanged(); };
}

void TMemo::SetReadOnly(bool value) {
  if (value == readOnly_) return;
  readOnly_ = value;
  Changed(Mirror::ReadOnly);
}

void TMemo::Change() {
  if (OnChange) OnChange(this);
}

// The text is the lines joined by line breaks, without one after the last line.
void TMemo::LinesChanged() {
  if (syncing_) return;
  syncing_ = true;
  std::string text = lines_.Text();
  if (text.size() >= 2) text.resize(text.size() - 2);
  SetText(text);
  syncing_ = false;
}

void TMemo::TextChanged() {
  if (syncing_) return;
  syncing_ = true;
  lines_.SetText(Text());
  syncing_ = false;
}

void TMemo::WmTextChanged(std::string_view text) {
  if (text == Text()) return;
  StoreText(text);
  syncing_ = true;
  lines_.SetText(text);
  syncing_ = false;
  HandleMessage([&] { Change(); });
}

bool TMemo::ApplyProperty(std::string_view name, const PropertyValue& value) {
  using C = TMemo;
  static const PropertyTable<C> table = {
      {"ReadOnly", [](C& c, V v, N n) { c.SetReadOnly(v.AsBoolean(n)); }},
      {"ScrollBars",
       [](C& c, V v, N n) {
         c.SetScrollBars(v.AsEnum<TScrollStyle>(n, {{"ssNone", TScrollStyle::None},
                                                    {"ssHorizontal", TScrollStyle::Horizontal},
                                                    {"ssVertical", TScrollStyle::Vertical},
                                                    {"ssBoth", TScrollStyle::Both}}));
       }},
      {"WordWrap", [](C& c, V v, N n) { c.SetWordWrap(v.AsBoolean(n)); }},
      {"WantReturns", [](C& c, V v, N n) { c.SetWantReturns(v.AsBoolean(n)); }},
      {"OnChange", [](C& c, V v, N n) { c.OnChange = NotifyHandlerFor(c, v, n); }},
  };
  return table.Apply(*this, name, value) || TWinControl::ApplyProperty(name, value);
}

}  // namespace ui
