#include "ui/ListControls.h"

namespace ui {

namespace {
using V = const PropertyValue&;
using N = std::string_view;
}  // namespace

// ---- TCustomListControl --------------------------------------------------------------------

TCustomListControl::TCustomListControl(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
  SetColor(clWindow);
  items_.OnChange = [this] { Changed(Mirror::Items); };
  items_.OnEdit = [this](TStrings::Edit edit, int index) { ItemsEdited(edit, index); };
}

// The selection stays on the same item while others come and go, as in the window's list;
// it is lost with its item and when all items are replaced.
void TCustomListControl::ItemsEdited(TStrings::Edit edit, int index) {
  const int before = itemIndex_;
  switch (edit) {
    case TStrings::Edit::Replaced:
      itemIndex_ = -1;
      break;
    case TStrings::Edit::Inserted:
      if (itemIndex_ >= index) ++itemIndex_;
      break;
    case TStrings::Edit::Deleted:
      if (itemIndex_ == index) {
        itemIndex_ = -1;
      } else if (itemIndex_ > index) {
        --itemIndex_;
      }
      break;
  }
  if (itemIndex_ != before) SelectionChanged();
}

void TCustomListControl::SetItemIndex(int index) {
  if (index < -1 || index >= items_.Count()) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  SelectionChanged();
  Changed(Mirror::ItemIndex);
}

void TCustomListControl::SetItemHeight(int height) {
  if (height <= 0 || height == itemHeight_) return;
  itemHeight_ = height;
  Changed(Mirror::ItemHeight);
}

TCanvas& TCustomListControl::Canvas() {
  if (paintCanvas_ != nullptr) return *paintCanvas_;
  TCanvas& canvas = CurrentPlatform().MeasureCanvas();
  canvas.Font = Font();
  return canvas;
}

void TCustomListControl::Change() {
  if (OnChange) OnChange(this);
}

void TCustomListControl::DrawItem(int index, const TRect& rect, TOwnerDrawState /*state*/) {
  TCanvas& canvas = Canvas();
  canvas.FillRect(rect);
  canvas.TextOut(rect.Left + 2, rect.Top, items_[index]);
}

void TCustomListControl::PaintItem(TCanvas& canvas, int index, const TRect& rect,
                                   TOwnerDrawState state) {
  canvas.Font = Font();
  canvas.Brush.Color = Color();
  canvas.Brush.Style = TBrushStyle::Solid;
  const bool item = index >= 0 && index < items_.Count();
  if (item && (state & odSelected) != 0) {
    canvas.Brush.Color = clHighlight;
    canvas.Font.Color = clHighlightText;
  }
  TCanvas* saved = paintCanvas_;
  paintCanvas_ = &canvas;
  try {
    if (item) {
      DrawItem(index, rect, state);
    } else {
      canvas.FillRect(rect);
    }
  } catch (...) {
    paintCanvas_ = saved;
    throw;
  }
  paintCanvas_ = saved;
  if ((state & odFocused) != 0) canvas.DrawFocusRect(rect);
}

void TCustomListControl::WmSelChange(int index) {
  itemIndex_ = index >= 0 && index < items_.Count() ? index : -1;
  SelectionChanged();
  HandleMessage([&] { Click(); });
}

void TCustomListControl::WmDrawItem(TCanvas& canvas, int index, const TRect& rect,
                                    TOwnerDrawState state) {
  HandleMessage([&] { PaintItem(canvas, index, rect, state); });
}

bool TCustomListControl::ApplyProperty(std::string_view name, const PropertyValue& value) {
  using C = TCustomListControl;
  static const PropertyTable<C> table = {
      {"ItemHeight", [](C& c, V v, N n) { c.SetItemHeight(v.AsInt(n)); }},
      {"OnChange", [](C& c, V v, N n) { c.OnChange = NotifyHandlerFor(c, v, n); }},
  };
  return table.Apply(*this, name, value) || TWinControl::ApplyProperty(name, value);
}

// ---- TCustomListBox ------------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* owner) : TCustomListControl(owner) {
  width_ = 121;
  height_ = 97;
  SetItemHeight(13);
}

TRect TCustomListBox::ItemRect(int index) const {
  return {0, index * ItemHeight(), ClientWidth(), (index + 1) * ItemHeight()};
}

void TCustomListBox::WmDblClick() {
  HandleMessage([&] {
    if (OnDblClick) OnDblClick(this);
  });
}

bool TCustomListBox::ApplyProperty(std::string_view name, const PropertyValue& value) {
  using C = TCustomListBox;
  static const PropertyTable<C> table = {
      {"Style",
       [](C& c, V v, N n) {
         c.SetStyle(
             v.AsEnum<TListBoxStyle>(n, {{"lbStandard", TListBoxStyle::Standard},
                                         {"lbOwnerDrawFixed", TListBoxStyle::OwnerDrawFixed}}));
       }},
      {"OnDblClick", [](C& c, V v, N n) { c.OnDblClick = NotifyHandlerFor(c, v, n); }},
  };
  return table.Apply(*this, name, value) || TCustomListControl::ApplyProperty(name, value);
}

// ---- TCustomComboBox -----------------------------------------------------------------------

TCustomComboBox::TCustomComboBox(TComponent* owner) : TCustomListControl(owner) {
  width_ = 145;
  TCustomComboBox::SetItemHeight(15);
}

void TCustomComboBox::SetItemHeight(int height) {
  TCustomListControl::SetItemHeight(height);
  SetHeight(ItemHeight() + 6);
}

TRect TCustomComboBox::FieldRect() const {
  return {3, 3, Width() - 3 - 17, Height() - 3};
}

TRect TCustomComboBox::ItemRect(int index) const {
  return {0, index * ItemHeight(), Width() - 2, (index + 1) * ItemHeight()};
}

void TCustomComboBox::SelectionChanged() {
  StoreText(ItemIndex() >= 0 ? Items()[ItemIndex()] : std::string());
}

bool TCustomComboBox::ApplyProperty(std::string_view name, const PropertyValue& value) {
  using C = TCustomComboBox;
  static const PropertyTable<C> table = {
      {"Style",
       [](C& c, V v, N n) {
         c.SetStyle(
             v.AsEnum<TComboBoxStyle>(n, {{"csDropDown", TComboBoxStyle::DropDown},
                                          {"csDropDownList", TComboBoxStyle::DropDownList},
                                          {"csOwnerDrawFixed", TComboBoxStyle::OwnerDrawFixed}}));
       }},
      {"DropDownCount", [](C& c, V v, N n) { c.dropDownCount_ = v.AsInt(n); }},
  };
  return table.Apply(*this, name, value) || TCustomListControl::ApplyProperty(name, value);
}

}  // namespace ui
