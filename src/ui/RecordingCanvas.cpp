#include "ui/RecordingCanvas.h"

#include <algorithm>
#include <cstdio>

namespace ui {

namespace {

std::string ColorText(TColor color) {
  if (color == clNone) return "none";
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, IsSystemColor(color) ? "sys%u" : "#%06X",
                IsSystemColor(color) ? SystemColorIndex(color) : color);
  return buffer;
}

std::string RectText(const TRect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) +
         "," + std::to_string(r.Bottom);
}

// The text as shown: "&x" shows x, "&&" shows one "&".
std::string StripPrefixes(std::string_view text) {
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return shown;
}

}  // namespace

std::vector<std::string> LayoutText(std::string_view text, int width, unsigned flags,
                                    int charWidth) {
  const std::string shown = (flags & kDtNoPrefix) != 0 ? std::string(text) : StripPrefixes(text);
  std::vector<std::string> paragraphs;
  if ((flags & kDtSingleLine) != 0) {
    paragraphs.push_back(shown);
  } else {
    size_t start = 0;
    for (size_t i = 0; i <= shown.size(); ++i) {
      if (i == shown.size() || shown[i] == '\r' || shown[i] == '\n') {
        paragraphs.push_back(shown.substr(start, i - start));
        if (i < shown.size() && shown[i] == '\r' && i + 1 < shown.size() && shown[i + 1] == '\n') {
          ++i;
        }
        start = i + 1;
      }
    }
  }
  if ((flags & kDtWordBreak) == 0 || (flags & kDtSingleLine) != 0 || width <= 0) {
    return paragraphs;
  }
  const size_t fit = static_cast<size_t>(std::max(width / std::max(charWidth, 1), 1));
  std::vector<std::string> lines;
  for (const std::string& paragraph : paragraphs) {
    std::string line;
    size_t i = 0;
    bool any = false;
    while (i < paragraph.size()) {
      const size_t space = paragraph.find(' ', i);
      const std::string word =
          paragraph.substr(i, space == std::string::npos ? std::string::npos : space - i);
      i = space == std::string::npos ? paragraph.size() : space + 1;
      const std::string joined = line.empty() ? word : line + " " + word;
      if (!line.empty() && joined.size() > fit) {
        lines.push_back(line);
        line = word;
      } else {
        line = joined;
      }
      any = true;
    }
    if (any || paragraph.empty()) lines.push_back(line);
  }
  return lines;
}

int RecordingCanvas::LineHeight(const TFont& font) {
  const int em = font.Height < 0 ? -font.Height : font.Height * 100 / 115;
  return (em * 115 + 50) / 100;
}

int RecordingCanvas::CharWidth(const TFont& font) {
  const int em = font.Height < 0 ? -font.Height : font.Height * 100 / 115;
  return (em + 1) / 2 + ((font.Style & fsBold) != 0 ? 1 : 0);
}

CanvasCall RecordingCanvas::Record(CanvasCall::Op op, const TRect& rect) {
  CanvasCall call{op, rect.Offset(origin_.X, origin_.Y)};
  call.brush = Brush.Style == TBrushStyle::Clear ? clNone : Brush.Color;
  call.pen = Pen.Color;
  call.font = Font;
  return call;
}

void RecordingCanvas::FillRect(const TRect& rect) {
  calls.push_back(Record(CanvasCall::Op::FillRect, rect));
}

void RecordingCanvas::MoveTo(int x, int y) {
  pen_ = {x, y};
}

void RecordingCanvas::LineTo(int x, int y) {
  calls.push_back(Record(CanvasCall::Op::Line, {pen_.X, pen_.Y, x, y}));
  pen_ = {x, y};
}

void RecordingCanvas::Draw(int x, int y, const TBitmap& bitmap) {
  CanvasCall call = Record(CanvasCall::Op::Draw, Bounds(x, y, bitmap.Width(), bitmap.Height()));
  call.bitmap = &bitmap;
  calls.push_back(call);
}

void RecordingCanvas::DrawTransparent(int x, int y, const TBitmap& bitmap, TColor transparent) {
  CanvasCall call =
      Record(CanvasCall::Op::DrawTransparent, Bounds(x, y, bitmap.Width(), bitmap.Height()));
  call.bitmap = &bitmap;
  call.transparent = transparent;
  calls.push_back(call);
}

void RecordingCanvas::StretchDraw(const TRect& rect, const TBitmap& bitmap) {
  CanvasCall call = Record(CanvasCall::Op::StretchDraw, rect);
  call.bitmap = &bitmap;
  calls.push_back(call);
}

int RecordingCanvas::DrawText(std::string_view text, TRect& rect, unsigned flags) {
  const int charWidth = CharWidth(Font);
  const auto lines = LayoutText(text, rect.Width(), flags, charWidth);
  int widest = 0;
  for (const auto& line : lines)
    widest = std::max(widest, static_cast<int>(line.size()));
  const int height = static_cast<int>(lines.size()) * LineHeight(Font);
  if ((flags & kDtCalcRect) != 0) {
    rect.Right = rect.Left + widest * charWidth;
    rect.Bottom = rect.Top + height;
    return height;
  }
  CanvasCall call = Record(CanvasCall::Op::DrawText, rect);
  call.text = text;
  call.flags = flags;
  calls.push_back(call);
  return height;
}

void RecordingCanvas::TextOut(int x, int y, std::string_view text) {
  const TSize size = TextExtent(text);
  CanvasCall call = Record(CanvasCall::Op::TextOut, Bounds(x, y, size.cx, size.cy));
  call.text = text;
  calls.push_back(call);
}

TSize RecordingCanvas::TextExtent(std::string_view text) {
  return {static_cast<int>(text.size()) * CharWidth(Font), LineHeight(Font)};
}

void RecordingCanvas::DrawFocusRect(const TRect& rect) {
  calls.push_back(Record(CanvasCall::Op::DrawFocusRect, rect));
}

void RecordingCanvas::PushClip(const TRect& rect) {
  saved_.push_back(origin_);
  origin_ = {origin_.X + rect.Left, origin_.Y + rect.Top};
}

void RecordingCanvas::PopClip() {
  if (saved_.empty()) return;
  origin_ = saved_.back();
  saved_.pop_back();
}

std::vector<CanvasCall> RecordingCanvas::Calls(CanvasCall::Op op) const {
  std::vector<CanvasCall> list;
  for (const auto& call : calls) {
    if (call.op == op) list.push_back(call);
  }
  return list;
}

std::string CanvasCall::Describe() const {
  static constexpr const char* kNames[] = {"FillRect",    "Line",     "Draw",    "DrawTransparent",
                                           "StretchDraw", "DrawText", "TextOut", "DrawFocusRect"};
  std::string s = std::string(kNames[static_cast<int>(op)]) + " " + RectText(rect);
  switch (op) {
    case Op::Line:
      s += " pen " + ColorText(pen);
      break;
    case Op::DrawText:
    case Op::TextOut:
      s += " '" + text + "' font " + ColorText(font.Color) + " brush " + ColorText(brush);
      break;
    case Op::DrawTransparent:
      s += " transparent " + ColorText(transparent) + " brush " + ColorText(brush);
      break;
    default:
      s += " brush " + ColorText(brush);
      break;
  }
  return s;
}

std::string RecordingCanvas::Describe() const {
  std::string s;
  for (const auto& call : calls)
    s += call.Describe() + "\n";
  return s;
}

}  // namespace ui
