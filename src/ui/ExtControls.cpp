#include "ui/ExtControls.h"

namespace ui {

namespace {

using V = const PropertyValue&;
using N = std::string_view;

TPanelBevel PanelBevelValue(V v, N n) {
  return v.AsEnum<TPanelBevel>(n, {{"bvNone", TPanelBevel::None},
                                   {"bvLowered", TPanelBevel::Lowered},
                                   {"bvRaised", TPanelBevel::Raised},
                                   {"bvSpace", TPanelBevel::Space}});
}

// The two colours of a bevel: top-left and bottom-right edges.
void BevelColors(TPanelBevel bevel, TColor fill, TColor& topLeft, TColor& bottomRight) {
  switch (bevel) {
    case TPanelBevel::Lowered:
      topLeft = clBtnShadow;
      bottomRight = clBtnHighlight;
      break;
    case TPanelBevel::Raised:
      topLeft = clBtnHighlight;
      bottomRight = clBtnShadow;
      break;
    default:
      topLeft = fill;
      bottomRight = fill;
      break;
  }
}

}  // namespace

// ---- TPanel --------------------------------------------------------------------------------

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {
  width_ = 185;
  height_ = 41;
  SetColor(clBtnFace);
}

void TPanel::SetBevelInner(TPanelBevel bevel) {
  bevelInner_ = bevel;
  Realign();
  Invalidate();
}

void TPanel::SetBevelOuter(TPanelBevel bevel) {
  bevelOuter_ = bevel;
  Realign();
  Invalidate();
}

void TPanel::SetBevelWidth(int width) {
  bevelWidth_ = std::max(width, 1);
  Realign();
  Invalidate();
}

void TPanel::SetBorderWidth(int width) {
  borderWidth_ = std::max(width, 0);
  Realign();
  Invalidate();
}

TRect TPanel::AlignRect() const {
  int inset = borderWidth_;
  if (bevelOuter_ != TPanelBevel::None) inset += bevelWidth_;
  if (bevelInner_ != TPanelBevel::None) inset += bevelWidth_;
  return ClientRect().Inflate(-inset, -inset);
}

// The outer bevel, the border in the panel's colour, the inner bevel, then the inside filled
// with the colour and the caption in the middle of it.
void TPanel::Paint(TCanvas& canvas) {
  TRect r = ClientRect();
  const TColor fill = Color();
  canvas.Brush.Color = fill;
  canvas.Brush.Style = TBrushStyle::Solid;
  canvas.FillRect(r);
  auto frame = [&](TPanelBevel bevel) {
    if (bevel == TPanelBevel::None) return;
    TColor topLeft = fill;
    TColor bottomRight = fill;
    BevelColors(bevel, fill, topLeft, bottomRight);
    for (int i = 0; i < bevelWidth_; ++i) {
      canvas.Frame3D(r, topLeft, bottomRight);
      r = r.Inflate(-1, -1);
    }
  };
  frame(bevelOuter_);
  r = r.Inflate(-borderWidth_, -borderWidth_);
  frame(bevelInner_);
  if (!Caption().empty()) {
    canvas.Font = Font();
    canvas.Brush.Style = TBrushStyle::Clear;
    unsigned flags = kDtSingleLine | kDtVCenter | kDtExpandTabs;
    if (alignment_ == TAlignment::Center) flags |= kDtCenter;
    if (alignment_ == TAlignment::RightJustify) flags |= kDtRight;
    canvas.DrawText(Caption(), r, flags);
    canvas.Brush.Style = TBrushStyle::Solid;
  }
}

bool TPanel::ApplyProperty(std::string_view name, const PropertyValue& value) {
  using C = TPanel;
  static const PropertyTable<C> table = {
      {"BevelInner", [](C& c, V v, N n) { c.SetBevelInner(PanelBevelValue(v, n)); }},
      {"BevelOuter", [](C& c, V v, N n) { c.SetBevelOuter(PanelBevelValue(v, n)); }},
      {"BevelWidth", [](C& c, V v, N n) { c.SetBevelWidth(v.AsInt(n)); }},
      {"BorderWidth", [](C& c, V v, N n) { c.SetBorderWidth(v.AsInt(n)); }},
      {"ParentBackground", [](C& c, V v, N n) { c.SetParentBackground(v.AsBoolean(n)); }},
      {"Alignment",
       [](C& c, V v, N n) {
         c.alignment_ = v.AsEnum<TAlignment>(n, {{"taLeftJustify", TAlignment::LeftJustify},
                                                 {"taRightJustify", TAlignment::RightJustify},
                                                 {"taCenter", TAlignment::Center}});
         c.Invalidate();
       }},
  };
  return table.Apply(*this, name, value) || TWinControl::ApplyProperty(name, value);
}

// ---- TBevel --------------------------------------------------------------------------------

TBevel::TBevel(TComponent* owner) : TControl(owner) {
  width_ = 50;
  height_ = 50;
}

void TBevel::SetShape(TBevelShape shape) {
  shape_ = shape;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle style) {
  style_ = style;
  Invalidate();
}

// An etched line is two lines of one pixel: the shadow and, beside it, the highlight (the
// other way round for a raised one).
void TBevel::Paint(TCanvas& canvas) {
  const TColor first = style_ == TBevelStyle::Lowered ? clBtnShadow : clBtnHighlight;
  const TColor second = style_ == TBevelStyle::Lowered ? clBtnHighlight : clBtnShadow;
  const int w = Width();
  const int h = Height();
  auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
    canvas.Pen.Color = color;
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
  };
  switch (shape_) {
    case TBevelShape::Box:
      canvas.Frame3D({0, 0, w, h}, first, second);
      break;
    case TBevelShape::Frame:
      canvas.Frame3D({0, 0, w - 1, h - 1}, first, first);
      canvas.Frame3D({1, 1, w, h}, second, second);
      break;
    case TBevelShape::TopLine:
      line(first, 0, 0, w, 0);
      line(second, 0, 1, w, 1);
      break;
    case TBevelShape::BottomLine:
      line(first, 0, h - 2, w, h - 2);
      line(second, 0, h - 1, w, h - 1);
      break;
    case TBevelShape::LeftLine:
      line(first, 0, 0, 0, h);
      line(second, 1, 0, 1, h);
      break;
    case TBevelShape::RightLine:
      line(first, w - 2, 0, w - 2, h);
      line(second, w - 1, 0, w - 1, h);
      break;
    case TBevelShape::Spacer:
      break;
  }
}

bool TBevel::ApplyProperty(std::string_view name, const PropertyValue& value) {
  using C = TBevel;
  static const PropertyTable<C> table = {
      {"Shape",
       [](C& c, V v, N n) {
         c.SetShape(v.AsEnum<TBevelShape>(n, {{"bsBox", TBevelShape::Box},
                                              {"bsFrame", TBevelShape::Frame},
                                              {"bsTopLine", TBevelShape::TopLine},
                                              {"bsBottomLine", TBevelShape::BottomLine},
                                              {"bsLeftLine", TBevelShape::LeftLine},
                                              {"bsRightLine", TBevelShape::RightLine},
                                              {"bsSpacer", TBevelShape::Spacer}}));
       }},
      {"Style",
       [](C& c, V v, N n) {
         c.SetStyle(v.AsEnum<TBevelStyle>(
             n, {{"bsLowered", TBevelStyle::Lowered}, {"bsRaised", TBevelStyle::Raised}}));
       }},
  };
  return table.Apply(*this, name, value) || TControl::ApplyProperty(name, value);
}

// ---- TImage --------------------------------------------------------------------------------

TImage::TImage(TComponent* owner) : TControl(owner) {
  width_ = 105;
  height_ = 105;
  picture_.OnChange = [this] { Invalidate(); };
}

void TImage::SetStretch(bool value) {
  stretch_ = value;
  Invalidate();
}

void TImage::SetCenter(bool value) {
  center_ = value;
  Invalidate();
}

void TImage::SetTransparent(bool value) {
  transparent_ = value;
  Invalidate();
}

void TImage::Paint(TCanvas& canvas) {
  if (picture_.Empty()) return;
  if (stretch_) {
    canvas.StretchDraw(ClientRect(), picture_);
    return;
  }
  int x = 0;
  int y = 0;
  if (center_) {
    x = (Width() - picture_.Width()) / 2;
    y = (Height() - picture_.Height()) / 2;
  }
  if (transparent_) {
    canvas.Brush.Color = Color();
    canvas.DrawTransparent(x, y, picture_, picture_.BottomLeftColor());
  } else {
    canvas.Draw(x, y, picture_);
  }
}

bool TImage::ApplyProperty(std::string_view name, const PropertyValue& value) {
  using C = TImage;
  static const PropertyTable<C> table = {
      {"Stretch", [](C& c, V v, N n) { c.SetStretch(v.AsBoolean(n)); }},
      {"Center", [](C& c, V v, N n) { c.SetCenter(v.AsBoolean(n)); }},
      {"Transparent", [](C& c, V v, N n) { c.SetTransparent(v.AsBoolean(n)); }},
  };
  return table.Apply(*this, name, value) || TControl::ApplyProperty(name, value);
}

}  // namespace ui
