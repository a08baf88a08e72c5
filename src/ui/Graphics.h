// Colours, fonts, bitmaps and the canvas that controls paint through. A canvas is an
// interface: the Win32 back end draws on a device context, the tests record the calls.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Classes.h"

namespace ui {

// A colour: 0x00BBGGRR for a plain colour, or 0x80000000 plus a system colour index
// (COLOR_WINDOW and so on) for a colour the system chooses.
using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

// No colour at all (a clear brush, for instance).
inline constexpr TColor clNone = 0x1FFFFFFF;

inline constexpr TColor kSystemColorFlag = 0x80000000u;
inline constexpr TColor clWindow = kSystemColorFlag | 5;
inline constexpr TColor clWindowText = kSystemColorFlag | 8;
inline constexpr TColor clHighlight = kSystemColorFlag | 13;
inline constexpr TColor clHighlightText = kSystemColorFlag | 14;
inline constexpr TColor clBtnFace = kSystemColorFlag | 15;
inline constexpr TColor clBtnShadow = kSystemColorFlag | 16;
inline constexpr TColor clGrayText = kSystemColorFlag | 17;
inline constexpr TColor clBtnText = kSystemColorFlag | 18;
inline constexpr TColor clBtnHighlight = kSystemColorFlag | 20;
inline constexpr TColor cl3DDkShadow = kSystemColorFlag | 21;
inline constexpr TColor cl3DLight = kSystemColorFlag | 22;

constexpr bool IsSystemColor(TColor color) {
  return (color & kSystemColorFlag) != 0;
}
constexpr int SystemColorIndex(TColor color) {
  return static_cast<int>(color & 0xFF);
}
constexpr TColor MakeColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return r | (g << 8) | (static_cast<TColor>(b) << 16);
}

// The colour named by an identifier such as "clNavy" or "clBtnFace"; nothing when unknown.
std::optional<TColor> ColorFromName(std::string_view name);

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
  TRect Inflate(int dx, int dy) const { return {Left - dx, Top - dy, Right + dx, Bottom + dy}; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Bounds(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}

enum TFontStyle : std::uint8_t {
  fsBold = 1,
  fsItalic = 2,
  fsUnderline = 4,
  fsStrikeOut = 8,
};
using TFontStyles = std::uint8_t;

// A logical font. Height is in pixels: negative for the character height (the em), positive
// for the cell height, as Windows takes it. The default is the system's dialog font, 8 points
// at 96 pixels per inch.
struct TFont {
  std::string Name = "MS Shell Dlg";
  int Height = -11;
  TFontStyles Style = 0;
  TColor Color = clWindowText;

  int Size() const { return (-Height * 72 + 48) / 96; }
  void SetSize(int points) { Height = -(points * 96 + 36) / 72; }
  friend bool operator==(const TFont&, const TFont&) = default;
};

enum class TBrushStyle { Solid, Clear };

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::Solid;
};

struct TPen {
  TColor Color = clBlack;
};

// A picture of 32-bit pixels, 0x00BBGGRR, stored top row first. Loaded from the usual
// uncompressed bitmap formats (1, 4, 8, 24 and 32 bits per pixel).
class TBitmap : public TObject {
 public:
  TBitmap() = default;
  TBitmap(int width, int height, TColor fill = clBlack);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  TColor Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  void SetPixel(int x, int y, TColor color);
  std::span<const TColor> Pixels() const { return pixels_; }
  // The colour drawn as see-through by transparent drawing: the bottom-left pixel's.
  TColor BottomLeftColor() const { return Empty() ? clBlack : Pixel(0, height_ - 1); }

  // A bitmap file; the quiet error when it cannot be read or is not a bitmap it knows.
  void LoadFromFile(std::string_view path);
  // The bytes of a bitmap file (with its file header); the quiet error when not readable.
  void LoadFromFileBytes(std::span<const std::uint8_t> bytes);
  // A bitmap resource of the program's module. Like LoadBitmap: false, and an empty bitmap,
  // when the resource is missing or damaged.
  bool LoadFromResourceName(std::string_view name);
  void Assign(const TBitmap& other);
  void Clear();

  // Told after every change of the picture (the image control repaints).
  std::function<void()> OnChange;

  // Identity of the picture's current content; the Win32 canvas caches by it.
  std::uint64_t Generation() const { return generation_; }

 private:
  bool Decode(std::span<const std::uint8_t> dib, std::optional<size_t> rowsAt);
  void Changed();

  int width_ = 0;
  int height_ = 0;
  std::vector<TColor> pixels_;
  std::uint64_t generation_ = 0;
};

// The RT_BITMAP resource type as FindResource takes it by name.
inline constexpr std::string_view kBitmapResourceType = "#2";

// DrawText flags, with the values of the Windows call.
inline constexpr unsigned kDtTop = 0x0;
inline constexpr unsigned kDtLeft = 0x0;
inline constexpr unsigned kDtCenter = 0x1;
inline constexpr unsigned kDtRight = 0x2;
inline constexpr unsigned kDtVCenter = 0x4;
inline constexpr unsigned kDtBottom = 0x8;
inline constexpr unsigned kDtWordBreak = 0x10;
inline constexpr unsigned kDtSingleLine = 0x20;
inline constexpr unsigned kDtExpandTabs = 0x40;
inline constexpr unsigned kDtNoClip = 0x100;
inline constexpr unsigned kDtCalcRect = 0x400;
inline constexpr unsigned kDtNoPrefix = 0x800;

// A surface to paint on. Brush, Font and Pen are read at the moment of each call, as on a
// device context. Coordinates are relative to the current origin (see PushClip).
class TCanvas {
 public:
  virtual ~TCanvas() = default;

  TBrush Brush;
  TFont Font;
  TPen Pen;

  virtual void FillRect(const TRect& rect) = 0;
  virtual void MoveTo(int x, int y) = 0;
  // A line in the pen's colour, not including the end point.
  virtual void LineTo(int x, int y) = 0;
  // The picture at its own size with its top-left corner at (x, y).
  virtual void Draw(int x, int y, const TBitmap& bitmap) = 0;
  // As Draw, but every pixel of the colour `transparent` shows the brush's colour instead.
  virtual void DrawTransparent(int x, int y, const TBitmap& bitmap, TColor transparent) = 0;
  virtual void StretchDraw(const TRect& rect, const TBitmap& bitmap) = 0;
  // Text in the font's colour; the background is the brush's colour unless the brush is
  // clear. Gives the height of the text; with kDtCalcRect draws nothing and sets the
  // rectangle's right and bottom edges to fit the text.
  virtual int DrawText(std::string_view text, TRect& rect, unsigned flags) = 0;
  virtual void TextOut(int x, int y, std::string_view text) = 0;
  virtual TSize TextExtent(std::string_view text) = 0;
  int TextHeight(std::string_view text) { return TextExtent(text).cy; }
  int TextWidth(std::string_view text) { return TextExtent(text).cx; }
  virtual void DrawFocusRect(const TRect& rect) = 0;
  // Moves the origin to the top-left of `rect` (in current coordinates) and clips to it,
  // until the matching PopClip.
  virtual void PushClip(const TRect& rect) = 0;
  virtual void PopClip() = 0;

  // A rectangle framed in two colours: top and left edges in `topLeft`, bottom and right
  // in `bottomRight`, one pixel wide.
  void Frame3D(const TRect& rect, TColor topLeft, TColor bottomRight);
};

}  // namespace ui
