// Lines, rectangles, pixels and pattern fills.
#include <algorithm>

#include "Painter.h"
#include "metafile/MetafileRecording.h"
#include "win32/errors.h"
#include "win32/kernel.h"
#include "win32/user.h"

using namespace quellor::win32;

namespace {

PenStroke StrokeFor(DeviceContext& dc) {
  auto& s = dc.Attributes();
  PenStroke pen;
  pen.style = s.pen->style;
  pen.width = s.pen->width;
  pen.pixel = ColorRefToPixel(dc.PenColor());
  pen.rop2 = s.rop2;
  pen.opaqueGaps = s.bkMode == OPAQUE;
  pen.gapPixel = ColorRefToPixel(s.bkColor);
  return pen;
}

// Runs a drawing operation on a locked context; false for unknown contexts
// and for contexts that cannot be drawn into.
template <class F>
BOOL WithTarget(HDC hdc, F&& draw) {
  auto dc = FindDC(hdc);
  if (!dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  auto lock = dc->Lock();
  DrawTarget target;
  if (!dc->AcquireTarget(target)) return FALSE;
  if (target.pixels->BitsPerPixel() != 32) return FALSE;
  draw(*dc, target);
  return TRUE;
}

void StrokeRectOutline(DrawTarget& t, RECT r, const PenStroke& pen) {
  int phase = 0;
  POINT corners[5] = {{r.left, r.top},
                      {r.right - 1, r.top},
                      {r.right - 1, r.bottom - 1},
                      {r.left, r.bottom - 1},
                      {r.left, r.top}};
  if (r.right - r.left <= 1 || r.bottom - r.top <= 1) {
    // Degenerate: a single line covering the whole extent.
    FillLogicalRect(t, r, pen.pixel, pen.rop2);
    return;
  }
  for (int i = 0; i < 4; ++i) StrokeLine(t, corners[i], corners[i + 1], pen, phase);
}

}  // namespace

extern "C" {

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  auto lock = dc->Lock();
  if (lppt) *lppt = dc->Attributes().position;
  dc->Attributes().position = POINT{x, y};
  return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
  metafile::RecordLineTo(hdc, x, y);
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  auto lock = dc->Lock();
  DrawTarget t;
  POINT from = dc->Attributes().position;
  dc->Attributes().position = POINT{x, y};
  if (!dc->AcquireTarget(t) || t.pixels->BitsPerPixel() != 32) return FALSE;
  int phase = 0;
  StrokeLine(t, from, POINT{x, y}, StrokeFor(*dc), phase);
  return TRUE;
}

BOOL WINAPI Polyline(HDC hdc, const POINT* apt, int cpt) {
  if (!apt || cpt < 2) return FALSE;
  metafile::RecordPolyline(hdc, apt, cpt);
  return WithTarget(hdc, [&](DeviceContext& dc, DrawTarget& t) {
    PenStroke pen = StrokeFor(dc);
    int phase = 0;
    for (int i = 0; i + 1 < cpt; ++i) StrokeLine(t, apt[i], apt[i + 1], pen, phase);
  });
}

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  RECT r = Normalised(RECT{left, top, right, bottom});
  metafile::RecordRectangle(hdc, r);
  return WithTarget(hdc, [&](DeviceContext& dc, DrawTarget& t) {
    auto& s = dc.Attributes();
    bool noPen = (s.pen->style & PS_STYLE_MASK) == PS_NULL;
    if (noPen) {
      // Without an outline the filled area is one pixel smaller on the right
      // and at the bottom, as on Windows.
      RECT inner{r.left, r.top, r.right - 1, r.bottom - 1};
      if (s.brush->style != BS_NULL)
        FillLogicalRect(t, inner, ColorRefToPixel(dc.BrushColor()), s.rop2);
      return;
    }
    if (s.brush->style != BS_NULL) {
      RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
      FillLogicalRect(t, inner, ColorRefToPixel(dc.BrushColor()), s.rop2);
    }
    StrokeRectOutline(t, r, StrokeFor(dc));
  });
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
  COLORREF result = CLR_INVALID;
  WithTarget(hdc, [&](DeviceContext&, DrawTarget& t) {
    LONG sx = x + t.dx, sy = y + t.dy;
    if (!t.clip.Contains(sx, sy)) return;
    t.pixels->Row32(int(sy))[sx] = ColorRefToPixel(color);
    result = color & 0xFFFFFF;
  });
  return result;
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
  COLORREF result = CLR_INVALID;
  WithTarget(hdc, [&](DeviceContext&, DrawTarget& t) {
    LONG sx = x + t.dx, sy = y + t.dy;
    if (!t.clip.Contains(sx, sy)) return;
    result = PixelToColorRef(t.pixels->Row32(int(sy))[sx]);
  });
  return result;
}

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  auto brush = ResolveBrush(hbr);
  if (!lprc || !brush) return 0;
  metafile::RecordFillRect(hDC, *lprc, hbr);
  return WithTarget(hDC, [&](DeviceContext& dc, DrawTarget& t) {
    if (brush->style == BS_NULL) return;
    COLORREF c = brush->usesDcColor ? dc.Attributes().dcBrushColor : brush->color;
    FillLogicalRect(t, *lprc, ColorRefToPixel(c), R2_COPYPEN);
  });
}

int WINAPI FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  auto brush = ResolveBrush(hbr);
  if (!lprc || !brush) return 0;
  metafile::RecordFrameRect(hDC, *lprc, hbr);
  return WithTarget(hDC, [&](DeviceContext&, DrawTarget& t) {
    const RECT& r = *lprc;
    if (IsEmpty(r) || brush->style == BS_NULL) return;
    uint32_t px = ColorRefToPixel(brush->color);
    FillLogicalRect(t, RECT{r.left, r.top, r.right, r.top + 1}, px, R2_COPYPEN);
    FillLogicalRect(t, RECT{r.left, r.bottom - 1, r.right, r.bottom}, px, R2_COPYPEN);
    FillLogicalRect(t, RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1}, px, R2_COPYPEN);
    FillLogicalRect(t, RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1}, px, R2_COPYPEN);
  });
}

BOOL WINAPI InvertRect(HDC hDC, const RECT* lprc) {
  if (!lprc) return FALSE;
  return WithTarget(hDC,
                    [&](DeviceContext&, DrawTarget& t) { FillLogicalRect(t, *lprc, 0, R2_NOT); });
}

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  RECT r = Normalised(RECT{x, y, x + w, y + h});
  metafile::RecordPatBlt(hdc, x, y, w, h, rop);
  return WithTarget(hdc, [&](DeviceContext& dc, DrawTarget& t) {
    uint32_t pattern = ColorRefToPixel(dc.BrushColor());
    if (dc.Attributes().brush->style == BS_NULL) pattern = 0;
    switch (rop) {
      case PATCOPY:
        FillLogicalRect(t, r, pattern, R2_COPYPEN);
        return;
      case PATINVERT:
        FillLogicalRect(t, r, pattern, R2_XORPEN);
        return;
      case DSTINVERT:
        FillLogicalRect(t, r, 0, R2_NOT);
        return;
      case BLACKNESS:
        FillLogicalRect(t, r, 0, R2_BLACK);
        return;
      case WHITENESS:
        FillLogicalRect(t, r, 0, R2_WHITE);
        return;
    }
    // Any other pattern-and-destination code, pixel by pixel.
    uint8_t code = uint8_t(rop >> 16);
    RECT s = Offset(r, t.dx, t.dy);
    for (const RECT& c : t.clip.Rects()) {
      RECT i = Intersect(c, s);
      for (LONG yy = i.top; yy < i.bottom; ++yy) {
        uint32_t* row = t.pixels->Row32(int(yy));
        for (LONG xx = i.left; xx < i.right; ++xx) row[xx] = ApplyRop3(code, pattern, 0, row[xx]);
      }
    }
  });
}

BOOL WINAPI FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr) {
  auto region = GdiTable::FindAs<RegionObject>(hrgn);
  auto brush = ResolveBrush(hbr);
  if (!region || !brush) return FALSE;
  return WithTarget(hdc, [&](DeviceContext&, DrawTarget& t) {
    if (brush->style != BS_NULL)
      FillLogicalRegion(t, region->region, ColorRefToPixel(brush->color), R2_COPYPEN);
  });
}

BOOL WINAPI PaintRgn(HDC hdc, HRGN hrgn) {
  auto region = GdiTable::FindAs<RegionObject>(hrgn);
  if (!region) return FALSE;
  return WithTarget(hdc, [&](DeviceContext& dc, DrawTarget& t) {
    if (dc.Attributes().brush->style == BS_NULL) return;
    FillLogicalRegion(t, region->region, ColorRefToPixel(dc.BrushColor()), dc.Attributes().rop2);
  });
}

}  // extern "C"
