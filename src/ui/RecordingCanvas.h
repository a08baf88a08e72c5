// A canvas that paints nothing and records each call with the colours and font in force, in
// the coordinates of the outermost origin. Text is measured with fixed metrics, so that the
// same text gives the same sizes on every host: a line is the font's character height plus
// 15 per cent (13 pixels for the dialog font), a character half the character height,
// rounded up (6 pixels for the dialog font), one more when bold.
#pragma once

#include <string>
#include <vector>

#include "ui/Graphics.h"

namespace ui {

struct CanvasCall {
  enum class Op {
    FillRect,
    Line,
    Draw,
    DrawTransparent,
    StretchDraw,
    DrawText,
    TextOut,
    DrawFocusRect,
  };
  Op op;
  TRect rect;          // the area touched; for a line its two end points
  std::string text;    // DrawText and TextOut
  unsigned flags = 0;  // DrawText
  TColor brush = 0;    // the brush's colour, or clNone when it was clear
  TColor pen = 0;      // Line
  TFont font;          // DrawText and TextOut
  const TBitmap* bitmap = nullptr;
  TColor transparent = 0;  // DrawTransparent

  std::string Describe() const;
};

class RecordingCanvas : public TCanvas {
 public:
  std::vector<CanvasCall> calls;

  // The calls of one kind, in order.
  std::vector<CanvasCall> Calls(CanvasCall::Op op) const;
  std::string Describe() const;

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

  static int LineHeight(const TFont& font);
  static int CharWidth(const TFont& font);

 private:
  CanvasCall Record(CanvasCall::Op op, const TRect& rect);

  TPoint origin_;
  std::vector<TPoint> saved_;
  TPoint pen_;
};

// The lines that DrawText shows for `text` in a rectangle `width` wide with `flags`: line
// breaks split lines (unless single-line), a word break wraps at spaces, and "&" prefixes
// are taken out (unless kDtNoPrefix). Shared by the fixed metrics above.
std::vector<std::string> LayoutText(std::string_view text, int width, unsigned flags,
                                    int charWidth);

}  // namespace ui
