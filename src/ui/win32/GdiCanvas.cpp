#include "ui/win32/GdiCanvas.h"

#include <map>
#include <string>
#include <tuple>

namespace ui {

COLORREF ResolveColor(TColor color) {
  if (IsSystemColor(color)) return GetSysColor(SystemColorIndex(color));
  return color & 0xFFFFFF;
}

HFONT FontHandle(const TFont& font) {
  using Key = std::tuple<std::string, int, int>;
  static std::map<Key, HFONT> fonts;
  const Key key{font.Name, font.Height, font.Style};
  auto it = fonts.find(key);
  if (it != fonts.end()) return it->second;
  // DEFAULT_CHARSET: the face in the character set of the system's code page, so that
  // Cyrillic names on a Bulgarian system show as they are.
  HFONT handle = CreateFontA(font.Height, 0, 0, 0, (font.Style & fsBold) != 0 ? FW_BOLD : FW_NORMAL,
                             (font.Style & fsItalic) != 0, (font.Style & fsUnderline) != 0,
                             (font.Style & fsStrikeOut) != 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             font.Name.c_str());
  if (handle == nullptr) handle = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  fonts.emplace(key, handle);
  return handle;
}

HBRUSH BrushHandle(TColor color) {
  static std::map<TColor, HBRUSH> brushes;
  auto it = brushes.find(color);
  if (it != brushes.end()) return it->second;
  HBRUSH brush = IsSystemColor(color) ? GetSysColorBrush(SystemColorIndex(color))
                                      : CreateSolidBrush(ResolveColor(color));
  brushes.emplace(color, brush);
  return brush;
}

GdiCanvas::GdiCanvas(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}

GdiCanvas::~GdiCanvas() {
  RestoreDC(dc_, saved_);
}

void GdiCanvas::FillRect(const TRect& rect) {
  if (Brush.Style == TBrushStyle::Clear) return;
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  HBRUSH brush = CreateSolidBrush(ResolveColor(Brush.Color));
  ::FillRect(dc_, &r, brush);
  DeleteObject(brush);
}

void GdiCanvas::MoveTo(int x, int y) {
  MoveToEx(dc_, x, y, nullptr);
}

void GdiCanvas::LineTo(int x, int y) {
  HPEN pen = CreatePen(PS_SOLID, 1, ResolveColor(Pen.Color));
  HGDIOBJ old = SelectObject(dc_, pen);
  ::LineTo(dc_, x, y);
  SelectObject(dc_, old);
  DeleteObject(pen);
}

// The pixels go to the device as a top-down 32-bit DIB; transparent pixels take the
// brush's colour first.
void GdiCanvas::Blit(const TRect& dest, const TBitmap& bitmap, const TColor* transparent) {
  if (bitmap.Empty()) return;
  std::vector<std::uint32_t> bgra(bitmap.Pixels().size());
  const COLORREF background = ResolveColor(Brush.Color);
  for (size_t i = 0; i < bgra.size(); ++i) {
    TColor c = bitmap.Pixels()[i];
    if (transparent != nullptr && c == *transparent) c = background;
    bgra[i] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  }
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = bitmap.Width();
  info.bmiHeader.biHeight = -bitmap.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(dc_, COLORONCOLOR);
  StretchDIBits(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), 0, 0, bitmap.Width(),
                bitmap.Height(), bgra.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void GdiCanvas::Draw(int x, int y, const TBitmap& bitmap) {
  Blit(Bounds(x, y, bitmap.Width(), bitmap.Height()), bitmap, nullptr);
}

void GdiCanvas::DrawTransparent(int x, int y, const TBitmap& bitmap, TColor transparent) {
  Blit(Bounds(x, y, bitmap.Width(), bitmap.Height()), bitmap, &transparent);
}

void GdiCanvas::StretchDraw(const TRect& rect, const TBitmap& bitmap) {
  Blit(rect, bitmap, nullptr);
}

void GdiCanvas::PrepareText() {
  SelectObject(dc_, FontHandle(Font));
  SetTextColor(dc_, ResolveColor(Font.Color));
  if (Brush.Style == TBrushStyle::Clear) {
    SetBkMode(dc_, TRANSPARENT);
  } else {
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, ResolveColor(Brush.Color));
  }
}

int GdiCanvas::DrawText(std::string_view text, TRect& rect, unsigned flags) {
  PrepareText();
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  const int height = ::DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &r, flags);
  if ((flags & kDtCalcRect) != 0) rect = {r.left, r.top, r.right, r.bottom};
  return height;
}

void GdiCanvas::TextOut(int x, int y, std::string_view text) {
  PrepareText();
  ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
}

TSize GdiCanvas::TextExtent(std::string_view text) {
  SelectObject(dc_, FontHandle(Font));
  SIZE size = {};
  GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
  return {size.cx, size.cy};
}

void GdiCanvas::DrawFocusRect(const TRect& rect) {
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  SetTextColor(dc_, RGB(0, 0, 0));
  SetBkColor(dc_, RGB(255, 255, 255));
  ::DrawFocusRect(dc_, &r);
}

void GdiCanvas::PushClip(const TRect& rect) {
  SaveDC(dc_);
  ++depth_;
  OffsetViewportOrgEx(dc_, rect.Left, rect.Top, nullptr);
  IntersectClipRect(dc_, 0, 0, rect.Width(), rect.Height());
}

void GdiCanvas::PopClip() {
  if (depth_ == 0) return;
  --depth_;
  RestoreDC(dc_, -1);
}

}  // namespace ui
