// The list box and the combo box (a drop-down list) whose items the control draws itself,
// all of one height: the bases of the drive selector and the folder list. Each item is a
// text and an object reference (a picture) that the item does not own.
#pragma once

#include <cstdint>
#include <string_view>

#include "ui/Controls.h"

namespace ui {

// The state of an item being drawn, with the values of the window system's flags.
using TOwnerDrawState = std::uint32_t;
inline constexpr TOwnerDrawState odSelected = 0x1;
inline constexpr TOwnerDrawState odGrayed = 0x2;
inline constexpr TOwnerDrawState odDisabled = 0x4;
inline constexpr TOwnerDrawState odChecked = 0x8;
inline constexpr TOwnerDrawState odFocused = 0x10;
inline constexpr TOwnerDrawState odDefault = 0x20;
inline constexpr TOwnerDrawState odComboBoxEdit = 0x1000;

// What the two kinds share: the items, the selected index, the item height and the drawing
// of an item through the control's canvas.
class TCustomListControl : public TWinControl {
 public:
  explicit TCustomListControl(TComponent* owner);

  TStrings& Items() { return items_; }
  const TStrings& Items() const { return items_; }
  // The selected item, or -1. Setting it from the program selects without notifying.
  int ItemIndex() const { return itemIndex_; }
  virtual void SetItemIndex(int index);
  int ItemHeight() const { return itemHeight_; }
  virtual void SetItemHeight(int height);

  // The canvas that DrawItem paints on while an item is drawn; at any other time a canvas
  // that measures with the control's font.
  TCanvas& Canvas();

  TNotifyEvent OnChange;
  // Fires OnChange.
  virtual void Change();

  // Draws item `index` in `rect`. The canvas comes prepared: the control's font, a brush of
  // the control's colour, highlight colours for a selected item. The default fills the
  // rectangle and writes the item's text.
  virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
  // The whole drawing of one item as the window system asks for it: prepares the canvas,
  // DrawItem (or a fill for no item, index -1), then the focus rectangle of a focused item.
  void PaintItem(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state);

  // ---- What the window system reports (each runs as a message handler) -------------------
  // The user moved the selection to `index` (a click, the arrow keys): the control's click.
  void WmSelChange(int index);
  void WmDrawItem(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state);

 protected:
  bool ApplyProperty(std::string_view name, const PropertyValue& value) override;
  // The text shown for the selection changed with it (the combo box's own text).
  virtual void SelectionChanged() {}

 private:
  void ItemsEdited(TStrings::Edit edit, int index);

  TStrings items_;
  int itemIndex_ = -1;
  int itemHeight_ = 16;
  TCanvas* paintCanvas_ = nullptr;
};

enum class TListBoxStyle { Standard, OwnerDrawFixed };

// A list box: the selection-change notification is its click (OnClick); a double click
// fires OnDblClick.
class TCustomListBox : public TCustomListControl {
 public:
  explicit TCustomListBox(TComponent* owner);
  std::string_view ClassName() const override { return "TCustomListBox"; }
  WindowKind Kind() const override { return WindowKind::ListBox; }

  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle style) { style_ = style; }
  // Inside the sunken frame.
  TRect ClientRect() const override { return {0, 0, Width() - 4, Height() - 4}; }
  // Where item `index` lies in the client area, the list scrolled to its top.
  TRect ItemRect(int index) const;

  TNotifyEvent OnDblClick;
  void WmDblClick();

 protected:
  bool ApplyProperty(std::string_view name, const PropertyValue& value) override;

 private:
  TListBoxStyle style_ = TListBoxStyle::Standard;
};

enum class TComboBoxStyle { DropDown, DropDownList, OwnerDrawFixed };

// A drop-down list. Its text is the text of the selected item. The selection-change
// notification is its click (OnClick); OnChange fires only where the program calls Change.
class TCustomComboBox : public TCustomListControl {
 public:
  explicit TCustomComboBox(TComponent* owner);
  std::string_view ClassName() const override { return "TCustomComboBox"; }
  WindowKind Kind() const override { return WindowKind::ComboBox; }

  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle style) { style_ = style; }
  int DropDownCount() const { return dropDownCount_; }
  // The height follows the item height: the selection field and its frame.
  void SetItemHeight(int height) override;
  // The selection field of the closed box, and an item of the open list.
  TRect FieldRect() const;
  TRect ItemRect(int index) const;

 protected:
  bool ApplyProperty(std::string_view name, const PropertyValue& value) override;
  void SelectionChanged() override;

 private:
  TComboBoxStyle style_ = TComboBoxStyle::DropDownList;
  int dropDownCount_ = 8;
};

}  // namespace ui
