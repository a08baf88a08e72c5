// Panels, bevels and images.
#pragma once

#include <string_view>

#include "ui/Controls.h"
#include "ui/StdControls.h"

namespace ui {

enum class TPanelBevel { None, Lowered, Raised, Space };

// A container that paints its colour, up to two bevels and its caption in the middle.
class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* owner);
  std::string_view ClassName() const override { return "TPanel"; }

  TPanelBevel BevelInner() const { return bevelInner_; }
  void SetBevelInner(TPanelBevel bevel);
  TPanelBevel BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TPanelBevel bevel);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int width);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int width);
  // Kept for the description; the panel always paints its own colour, visual styles or not.
  bool ParentBackground() const { return parentBackground_; }
  void SetParentBackground(bool value) { parentBackground_ = value; }
  TAlignment Alignment() const { return alignment_; }

  void Paint(TCanvas& canvas) override;
  // Aligned children stay inside the bevels and the border.
  TRect AlignRect() const override;

 protected:
  bool ApplyProperty(std::string_view name, const PropertyValue& value) override;
  void TextChanged() override { Invalidate(); }

 private:
  TPanelBevel bevelInner_ = TPanelBevel::None;
  TPanelBevel bevelOuter_ = TPanelBevel::Raised;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  bool parentBackground_ = true;
  TAlignment alignment_ = TAlignment::Center;
};

enum class TBevelShape { Box, Frame, TopLine, BottomLine, LeftLine, RightLine, Spacer };
enum class TBevelStyle { Lowered, Raised };

// An etched box, frame or line, painted by its parent.
class TBevel : public TControl {
 public:
  explicit TBevel(TComponent* owner);
  std::string_view ClassName() const override { return "TBevel"; }

  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape shape);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle style);

  void Paint(TCanvas& canvas) override;

 protected:
  bool ApplyProperty(std::string_view name, const PropertyValue& value) override;

 private:
  TBevelShape shape_ = TBevelShape::Box;
  TBevelStyle style_ = TBevelStyle::Lowered;
};

// A picture, painted by its parent: at its own size from the top-left corner, centred, or
// stretched over the control.
class TImage : public TControl {
 public:
  explicit TImage(TComponent* owner);
  std::string_view ClassName() const override { return "TImage"; }

  // The picture; loading it repaints the image.
  TBitmap& Picture() { return picture_; }
  const TBitmap& Picture() const { return picture_; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool Center() const { return center_; }
  void SetCenter(bool value);
  // Pixels of the picture's bottom-left colour let the background show.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);

  void Paint(TCanvas& canvas) override;

 protected:
  bool ApplyProperty(std::string_view name, const PropertyValue& value) override;

 private:
  TBitmap picture_;
  bool stretch_ = false;
  bool center_ = false;
  bool transparent_ = false;
};

}  // namespace ui
