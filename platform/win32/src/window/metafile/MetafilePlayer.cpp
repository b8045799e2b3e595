// Playback redraws every record with the ordinary drawing functions of the
// destination context: coordinates, pen widths and font sizes are scaled, so
// lines and text come out sharp at any size; only blits stretch pixels.
// Each record runs between SaveDC and RestoreDC, leaving the destination's
// own state as it was.
#include "MetafilePlayer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "win32/user.h"

namespace quellor::win32::metafile {
namespace {

// Maps frame coordinates onto the destination rectangle.
class Mapping {
 public:
  Mapping(const RECT& frame, const RECT& into)
      : frame_(frame),
        into_(into),
        sx_(double(into.right - into.left) / double(frame.right - frame.left)),
        sy_(double(into.bottom - into.top) / double(frame.bottom - frame.top)) {}

  int X(LONG x) const { return int(into_.left + std::lround(double(x - frame_.left) * sx_)); }
  int Y(LONG y) const { return int(into_.top + std::lround(double(y - frame_.top) * sy_)); }
  POINT Point(POINT p) const { return POINT{X(p.x), Y(p.y)}; }
  RECT Rect(const RECT& r) const { return RECT{X(r.left), Y(r.top), X(r.right), Y(r.bottom)}; }
  // Pen widths follow the mean scale; 0 (one pixel at any scale) stays 0.
  int PenWidth(int width) const {
    if (width <= 0) return width;
    return std::max(1, int(std::lround(width * (sx_ + sy_) / 2)));
  }
  LONG FontHeight(LONG height) const { return ScaledNonZero(height, sy_); }
  LONG FontWidth(LONG width) const { return width == 0 ? 0 : ScaledNonZero(width, sx_); }

 private:
  static LONG ScaledNonZero(LONG v, double scale) {
    LONG s = LONG(std::lround(double(v) * scale));
    if (s == 0) s = v < 0 ? -1 : 1;
    return s;
  }
  RECT frame_;
  RECT into_;
  double sx_;
  double sy_;
};

// Selects the record's objects and modes into the destination; the objects
// are deleted after the record has been drawn and the context restored.
class StateScope {
 public:
  StateScope(HDC hdc, const DrawingState& s, const Mapping& map) : hdc_(hdc) {
    saved_ = SaveDC(hdc);
    LOGPEN pen = s.pen;
    pen.lopnWidth.x = map.PenWidth(pen.lopnWidth.x);
    LOGFONTA font = s.font;
    font.lfHeight = map.FontHeight(font.lfHeight);
    font.lfWidth = map.FontWidth(font.lfWidth);
    pen_ = CreatePenIndirect(&pen);
    brush_ = CreateBrushIndirect(&s.brush);
    font_ = CreateFontIndirectA(&font);
    if (pen_) SelectObject(hdc, pen_);
    if (brush_) SelectObject(hdc, brush_);
    if (font_) SelectObject(hdc, font_);
    SetTextColor(hdc, s.textColor);
    SetBkColor(hdc, s.bkColor);
    SetBkMode(hdc, s.bkMode);
    SetROP2(hdc, s.rop2);
    SetStretchBltMode(hdc, s.stretchMode);
    SetTextAlign(hdc, s.textAlign);
  }
  ~StateScope() {
    RestoreDC(hdc_, saved_);
    if (pen_) DeleteObject(pen_);
    if (brush_) DeleteObject(brush_);
    if (font_) DeleteObject(font_);
  }
  HBRUSH Brush() const { return brush_; }
  StateScope(const StateScope&) = delete;
  StateScope& operator=(const StateScope&) = delete;

 private:
  HDC hdc_;
  int saved_ = 0;
  HPEN pen_ = nullptr;
  HBRUSH brush_ = nullptr;
  HFONT font_ = nullptr;
};

void PlayBlit(HDC hdc, const Record& r, const Mapping& map) {
  HDC mem = CreateCompatibleDC(hdc);
  if (!mem) return;
  BITMAPINFO bmi{};
  bmi.bmiHeader = BITMAPINFOHEADER{
      sizeof(BITMAPINFOHEADER), r.sourceWidth, -r.sourceHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(mem, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) {
    DeleteDC(mem);
    return;
  }
  std::memcpy(bits, r.sourcePixels.data(), r.sourcePixels.size() * sizeof(uint32_t));
  HGDIOBJ previous = SelectObject(mem, bitmap);
  RECT d = map.Rect(r.rect);
  StretchBlt(hdc, d.left, d.top, d.right - d.left, d.bottom - d.top, mem, 0, 0, r.sourceWidth,
             r.sourceHeight, r.rop);
  SelectObject(mem, previous);
  DeleteObject(bitmap);
  DeleteDC(mem);
}

void PlayRecord(HDC hdc, const Record& r, const Mapping& map) {
  StateScope scope(hdc, r.state, map);
  switch (r.kind) {
    case RecordKind::Line: {
      POINT a = map.Point(r.points[0]), b = map.Point(r.points[1]);
      MoveToEx(hdc, a.x, a.y, nullptr);
      LineTo(hdc, b.x, b.y);
      return;
    }
    case RecordKind::Polyline: {
      std::vector<POINT> points;
      points.reserve(r.points.size());
      for (const POINT& p : r.points) points.push_back(map.Point(p));
      Polyline(hdc, points.data(), int(points.size()));
      return;
    }
    case RecordKind::Rectangle: {
      RECT d = map.Rect(r.rect);
      Rectangle(hdc, d.left, d.top, d.right, d.bottom);
      return;
    }
    case RecordKind::FillRect: {
      RECT d = map.Rect(r.rect);
      FillRect(hdc, &d, scope.Brush());
      return;
    }
    case RecordKind::FrameRect: {
      RECT d = map.Rect(r.rect);
      FrameRect(hdc, &d, scope.Brush());
      return;
    }
    case RecordKind::PatBlt: {
      RECT d = map.Rect(r.rect);
      PatBlt(hdc, d.left, d.top, d.right - d.left, d.bottom - d.top, r.rop);
      return;
    }
    case RecordKind::TextOut: {
      POINT p = map.Point(r.points[0]);
      TextOutA(hdc, p.x, p.y, r.text.data(), int(r.text.size()));
      return;
    }
    case RecordKind::DrawText: {
      RECT d = map.Rect(r.rect);
      DrawTextA(hdc, r.text.data(), int(r.text.size()), &d, r.format);
      return;
    }
    case RecordKind::Blit:
      PlayBlit(hdc, r, map);
      return;
  }
}

}  // namespace

void Play(HDC hdc, const Picture& picture, const RECT& into) {
  Mapping map(picture.frame, into);
  for (const Record& r : picture.records) PlayRecord(hdc, r, map);
}

}  // namespace quellor::win32::metafile
