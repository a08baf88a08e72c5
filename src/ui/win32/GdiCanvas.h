// A canvas on a Windows device context. Fonts are made once per face, height and style and
// kept for the life of the process; brushes and pens are made per call.
#pragma once

#include <vector>

#include "ui/Graphics.h"
#include "ui/win32/WinHeaders.h"

namespace ui {

// The RGB value of a colour, system colours resolved.
COLORREF ResolveColor(TColor color);
// The font for a logical font, kept for the life of the process.
HFONT FontHandle(const TFont& font);
// A solid brush of a colour, kept for the life of the process.
HBRUSH BrushHandle(TColor color);

class GdiCanvas : public TCanvas {
 public:
  explicit GdiCanvas(HDC dc);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  HDC Dc() const { return dc_; }

  void FillRect(const TRect& rect) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Draw(int x, int y, const TBitmap& bitmap) override;
  void DrawTransparent(int x, int y, const TBitmap& bitmap, TColor transparent) override;
  void StretchDraw(const TRect& rect, const TBitmap& bitmap) override;
  int DrawText(std::string_view text, TRect& rect, unsigned flags) override;
  void TextOut(int x, int y, std::string_view text) override;
  TSize TextExtent(std::string_view text) override;
  void DrawFocusRect(const TRect& rect) override;
  void PushClip(const TRect& rect) override;
  void PopClip() override;

 private:
  // Selects the font and sets the text colours from Font and Brush.
  void PrepareText();
  void Blit(const TRect& dest, const TBitmap& bitmap, const TColor* transparent);

  HDC dc_;
  int saved_;
  int depth_ = 0;
};

}  // namespace ui
