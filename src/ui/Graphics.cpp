#include "ui/Graphics.h"

#include <array>
#include <utility>

#include "os/Machine.h"

namespace ui {

std::optional<TColor> ColorFromName(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, TColor>, 27> kNames = {{
      {"clBlack", clBlack},
      {"clMaroon", clMaroon},
      {"clGreen", clGreen},
      {"clOlive", clOlive},
      {"clNavy", clNavy},
      {"clPurple", clPurple},
      {"clTeal", clTeal},
      {"clGray", clGray},
      {"clSilver", clSilver},
      {"clRed", clRed},
      {"clLime", clLime},
      {"clYellow", clYellow},
      {"clBlue", clBlue},
      {"clFuchsia", clFuchsia},
      {"clAqua", clAqua},
      {"clWhite", clWhite},
      {"clWindow", clWindow},
      {"clWindowText", clWindowText},
      {"clHighlight", clHighlight},
      {"clHighlightText", clHighlightText},
      {"clBtnFace", clBtnFace},
      {"clBtnShadow", clBtnShadow},
      {"clGrayText", clGrayText},
      {"clBtnText", clBtnText},
      {"clBtnHighlight", clBtnHighlight},
      {"cl3DDkShadow", cl3DDkShadow},
      {"cl3DLight", cl3DLight},
  }};
  for (const auto& [n, color] : kNames) {
    if (n == name) return color;
  }
  return std::nullopt;
}

void TCanvas::Frame3D(const TRect& rect, TColor topLeft, TColor bottomRight) {
  const TColor saved = Pen.Color;
  Pen.Color = topLeft;
  MoveTo(rect.Left, rect.Bottom - 1);
  LineTo(rect.Left, rect.Top);
  LineTo(rect.Right - 1, rect.Top);
  Pen.Color = bottomRight;
  LineTo(rect.Right - 1, rect.Bottom - 1);
  LineTo(rect.Left - 1, rect.Bottom - 1);
  Pen.Color = saved;
}

// ---- TBitmap -----------------------------------------------------------------------------

namespace {

std::uint32_t Le16(std::span<const std::uint8_t> b, size_t at) {
  return b[at] | (b[at + 1] << 8);
}

std::uint32_t Le32(std::span<const std::uint8_t> b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

constexpr std::uint32_t kBiRgb = 0;
constexpr int kMaxSide = 16384;

}  // namespace

TBitmap::TBitmap(int width, int height, TColor fill)
    : width_(width),
      height_(height),
      pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), fill) {}

void TBitmap::SetPixel(int x, int y, TColor color) {
  pixels_[static_cast<size_t>(y) * width_ + x] = color;
  Changed();
}

// A device-independent bitmap: the info header, the colour table, the rows. Only the
// uncompressed kinds; anything else is refused. `rowsAt` is where the rows begin, when known.
bool TBitmap::Decode(std::span<const std::uint8_t> dib, std::optional<size_t> rowsAt) {
  if (dib.size() < 40) return false;
  const std::uint32_t headerSize = Le32(dib, 0);
  if (headerSize < 40 || headerSize > dib.size()) return false;
  const auto width = static_cast<std::int32_t>(Le32(dib, 4));
  const auto rawHeight = static_cast<std::int32_t>(Le32(dib, 8));
  const std::uint32_t bitCount = Le16(dib, 14);
  const std::uint32_t compression = Le32(dib, 16);
  std::uint32_t colorsUsed = Le32(dib, 32);
  if (compression != kBiRgb) return false;
  if (width <= 0 || width > kMaxSide || rawHeight == 0 || rawHeight < -kMaxSide ||
      rawHeight > kMaxSide) {
    return false;
  }
  const bool bottomUp = rawHeight > 0;
  const int height = bottomUp ? rawHeight : -rawHeight;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) {
    return false;
  }

  std::vector<TColor> palette;
  size_t at = headerSize;
  if (bitCount <= 8) {
    const std::uint32_t maxColors = 1u << bitCount;
    if (colorsUsed == 0 || colorsUsed > maxColors) colorsUsed = maxColors;
    if (dib.size() < at + colorsUsed * 4) return false;
    for (std::uint32_t i = 0; i < colorsUsed; ++i, at += 4) {
      // RGBQUAD: blue, green, red, reserved.
      palette.push_back(MakeColor(dib[at + 2], dib[at + 1], dib[at]));
    }
  }

  // The rows follow the colour table unless the file header places them elsewhere.
  if (rowsAt && *rowsAt >= at) at = *rowsAt;
  const size_t stride = ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
  if (dib.size() < at + stride * static_cast<size_t>(height)) return false;

  std::vector<TColor> pixels(static_cast<size_t>(width) * height);
  for (int row = 0; row < height; ++row) {
    const size_t rowStart = at + stride * static_cast<size_t>(row);
    const int y = bottomUp ? height - 1 - row : row;
    for (int x = 0; x < width; ++x) {
      TColor color = clBlack;
      if (bitCount <= 8) {
        const size_t bit = static_cast<size_t>(x) * bitCount;
        const std::uint8_t byte = dib[rowStart + bit / 8];
        const unsigned shift = 8 - bitCount - (bit % 8);
        const unsigned index = (byte >> shift) & ((1u << bitCount) - 1);
        if (index < palette.size()) color = palette[index];
      } else {
        const size_t p = rowStart + static_cast<size_t>(x) * (bitCount / 8);
        color = MakeColor(dib[p + 2], dib[p + 1], dib[p]);
      }
      pixels[static_cast<size_t>(y) * width + x] = color;
    }
  }
  width_ = width;
  height_ = height;
  pixels_ = std::move(pixels);
  Changed();
  return true;
}

void TBitmap::LoadFromFileBytes(std::span<const std::uint8_t> bytes) {
  // BITMAPFILEHEADER: "BM", file size, two reserved words, offset of the pixel rows.
  if (bytes.size() < 14 + 40 || bytes[0] != 'B' || bytes[1] != 'M') throw EAbort();
  const std::uint32_t offBits = Le32(bytes, 10);
  std::optional<size_t> rowsAt;
  if (offBits > 14 && offBits < bytes.size()) rowsAt = offBits - 14;
  if (!Decode(bytes.subspan(14), rowsAt)) throw EAbort();
}

void TBitmap::LoadFromFile(std::string_view path) {
  TFileStream stream(path, TFileMode::OpenRead);
  const os::Bytes bytes = stream.ReadAll();
  LoadFromFileBytes(bytes);
}

bool TBitmap::LoadFromResourceName(std::string_view name) {
  const auto resource = os::Machine().FindResource(name, kBitmapResourceType);
  if (resource && Decode(*resource, std::nullopt)) return true;
  Clear();
  return false;
}

void TBitmap::Assign(const TBitmap& other) {
  if (&other == this) return;
  width_ = other.width_;
  height_ = other.height_;
  pixels_ = other.pixels_;
  Changed();
}

void TBitmap::Clear() {
  width_ = 0;
  height_ = 0;
  pixels_.clear();
  Changed();
}

void TBitmap::Changed() {
  // A process-wide counter, so that no two contents of any two bitmaps share a number.
  static std::uint64_t counter = 0;
  generation_ = ++counter;
  if (OnChange) OnChange();
}

}  // namespace ui
