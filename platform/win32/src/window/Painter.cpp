#include "Painter.h"

#include <algorithm>
#include <cstring>

#include "PixelRows.h"
#include "Stretch.h"

namespace quellor::win32 {
namespace {

constexpr uint32_t kColourBits = 0x00FFFFFFu;

bool Rop2ReadsDestination(int rop2) {
  return rop2 != R2_BLACK && rop2 != R2_WHITE && rop2 != R2_COPYPEN && rop2 != R2_NOTCOPYPEN;
}

bool Rop3Depends(uint8_t code, int shift) {
  // Compares the table with the operand forced to 0 and to 1.
  uint8_t mask = shift == 1 ? 0x55 : shift == 2 ? 0x33 : 0x0F;
  return ((code >> shift) & mask) != (code & mask);
}

// Pixel widths of the dashes and gaps of the styled cosmetic pens.
const std::vector<int>& DashPattern(UINT style) {
  static const std::vector<int> dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6},
      dashDotDot{9, 3, 3, 3, 3, 3}, solid{};
  switch (style & PS_STYLE_MASK) {
    case PS_DASH:
      return dash;
    case PS_DOT:
      return dot;
    case PS_DASHDOT:
      return dashDot;
    case PS_DASHDOTDOT:
      return dashDotDot;
  }
  return solid;
}

bool DashOn(const std::vector<int>& pattern, int phase) {
  int period = 0;
  for (int v : pattern) period += v;
  int at = phase % period;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (at < pattern[i]) return i % 2 == 0;
    at -= pattern[i];
  }
  return true;
}

void PlotSquare(DrawTarget& t, LONG cx, LONG cy, int width, uint32_t pixel, int rop2) {
  // Surface coordinates; a square of the pen width centred on the point.
  LONG half = (width - 1) / 2;
  RECT r{cx - half, cy - half, cx - half + width, cy - half + width};
  for (const RECT& c : t.clip.Rects()) {
    RECT i = Intersect(c, r);
    for (LONG y = i.top; y < i.bottom; ++y) {
      uint32_t* row = t.pixels->Row32(int(y));
      for (LONG x = i.left; x < i.right; ++x) row[x] = ApplyRop2(rop2, pixel, row[x]);
    }
  }
}

}  // namespace

uint32_t ApplyRop2(int rop2, uint32_t p, uint32_t d) {
  p &= kColourBits;
  uint32_t r;
  switch (rop2) {
    case R2_BLACK:
      r = 0;
      break;
    case R2_NOTMERGEPEN:
      r = ~(d | p);
      break;
    case R2_MASKNOTPEN:
      r = d & ~p;
      break;
    case R2_NOTCOPYPEN:
      r = ~p;
      break;
    case R2_MASKPENNOT:
      r = p & ~d;
      break;
    case R2_NOT:
      r = ~d;
      break;
    case R2_XORPEN:
      r = d ^ p;
      break;
    case R2_NOTMASKPEN:
      r = ~(d & p);
      break;
    case R2_MASKPEN:
      r = d & p;
      break;
    case R2_NOTXORPEN:
      r = ~(d ^ p);
      break;
    case R2_NOP:
      return d;
    case R2_MERGENOTPEN:
      r = d | ~p;
      break;
    case R2_MERGEPENNOT:
      r = p | ~d;
      break;
    case R2_MERGEPEN:
      r = d | p;
      break;
    case R2_WHITE:
      r = kColourBits;
      break;
    default:
      r = p;
      break;  // R2_COPYPEN
  }
  uint32_t alpha = Rop2ReadsDestination(rop2) ? (d & ~kColourBits) : 0;
  return (r & kColourBits) | alpha;
}

uint32_t ApplyRop3(uint8_t code, uint32_t p, uint32_t s, uint32_t d) {
  if (code == 0xCC) return s;
  uint32_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if (!(code & (1 << i))) continue;
    r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  uint32_t alpha = 0;
  if (Rop3Depends(code, 1)) {
    alpha = d & ~kColourBits;
  } else if (Rop3Depends(code, 2)) {
    alpha = s & ~kColourBits;
  }
  return (r & kColourBits) | alpha;
}

void FillLogicalRect(DrawTarget& t, RECT rect, uint32_t pixel, int rop2) {
  rect = Offset(rect, t.dx, t.dy);
  if (IsEmpty(rect)) return;
  if (rop2 == R2_NOP) return;
  FillRowFunction fill = FillRow();
  for (const RECT& c : t.clip.Rects()) {
    RECT i = Intersect(c, rect);
    if (IsEmpty(i)) continue;
    for (LONG y = i.top; y < i.bottom; ++y) {
      uint32_t* row = t.pixels->Row32(int(y)) + i.left;
      int n = int(i.right - i.left);
      if (rop2 == R2_COPYPEN) {
        fill(row, pixel & kColourBits, n);
      } else if (rop2 == R2_XORPEN) {
        XorRow_C(row, pixel & kColourBits, n);
      } else {
        for (int k = 0; k < n; ++k) row[k] = ApplyRop2(rop2, pixel, row[k]);
      }
    }
  }
}

void FillLogicalRegion(DrawTarget& t, const Region& region, uint32_t pixel, int rop2) {
  Region saved = t.clip;
  Region shifted = region;
  shifted.Offset(t.dx, t.dy);
  t.clip = t.clip.Intersected(shifted);
  if (!t.clip.IsEmpty()) FillLogicalRect(t, Offset(t.clip.Bounds(), -t.dx, -t.dy), pixel, rop2);
  t.clip = std::move(saved);
}

void StrokeLine(DrawTarget& t, POINT a, POINT b, const PenStroke& pen, int& phase) {
  if ((pen.style & PS_STYLE_MASK) == PS_NULL) return;
  LONG x0 = a.x + t.dx, y0 = a.y + t.dy, x1 = b.x + t.dx, y1 = b.y + t.dy;
  const std::vector<int>& pattern = DashPattern(pen.style);
  int width = std::max(1, pen.width);
  RECT bounds = t.clip.Bounds();
  LONG dxAbs = std::abs(x1 - x0), dyAbs = std::abs(y1 - y0);
  LONG sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  LONG err = dxAbs - dyAbs;
  LONG steps = std::max(dxAbs, dyAbs);  // the last point is not drawn
  for (LONG k = 0; k < steps; ++k) {
    bool on = pattern.empty() || DashOn(pattern, phase);
    ++phase;
    if (on || pen.opaqueGaps) {
      uint32_t colour = on ? pen.pixel : pen.gapPixel;
      if (width == 1) {
        if (Contains(bounds, x0, y0) && t.clip.Contains(x0, y0)) {
          uint32_t* px = t.pixels->Row32(int(y0)) + x0;
          *px = ApplyRop2(pen.rop2, colour, *px);
        }
      } else {
        PlotSquare(t, x0, y0, width, colour, pen.rop2);
      }
    }
    LONG e2 = 2 * err;
    if (e2 > -dyAbs) {
      err -= dyAbs;
      x0 += sx;
    }
    if (e2 < dxAbs) {
      err += dxAbs;
      y0 += sy;
    }
  }
}

void ReadRowBgra(PixelBuffer& src, int x, int y, int count, uint32_t* out) {
  switch (src.BitsPerPixel()) {
    case 32:
      CopyRow_C(out, src.Row32(y) + x, count);
      return;
    case 24:
      Bgr24ToBgraRow_C(out, src.Row(y) + x * 3, count);
      return;
    case 8: {
      uint32_t table[256];
      const auto& colours = src.ColorTable();
      for (int i = 0; i < 256; ++i) {
        const RGBQUAD& q = colours[size_t(i)];
        table[i] = uint32_t(q.rgbBlue) | (uint32_t(q.rgbGreen) << 8) | (uint32_t(q.rgbRed) << 16);
      }
      LookupRow_C(out, src.Row(y) + x, table, count);
      return;
    }
    default:
      for (int i = 0; i < count; ++i) out[i] = src.ReadBgra(x + i, y);
  }
}

void PutPixels(DrawTarget& t, int x, int y, int w, int h, const uint32_t* pixels, int stride,
               DWORD rop, uint32_t patternPixel) {
  uint8_t code = uint8_t(rop >> 16);
  RECT dst = Offset(RECT{x, y, x + w, y + h}, t.dx, t.dy);
  if (t.pixels->BitsPerPixel() != 32) return;  // GDI drawing targets are 32-bit here
  for (const RECT& c : t.clip.Rects()) {
    RECT i = Intersect(c, dst);
    if (IsEmpty(i)) continue;
    for (LONG row = i.top; row < i.bottom; ++row) {
      const uint32_t* s = pixels + size_t(row - dst.top) * size_t(stride) + (i.left - dst.left);
      uint32_t* d = t.pixels->Row32(int(row)) + i.left;
      int n = int(i.right - i.left);
      if (code == 0xCC) {
        CopyRow_C(d, s, n);
      } else {
        for (int k = 0; k < n; ++k) d[k] = ApplyRop3(code, patternPixel, s[k], d[k]);
      }
    }
  }
}

void BlitBlock(DrawTarget& t, int x, int y, int w, int h, PixelBuffer& src, int sx, int sy,
               DWORD rop, uint32_t patternPixel) {
  // Clip the source block to the source bitmap, moving the destination along.
  if (sx < 0) {
    x -= sx;
    w += sx;
    sx = 0;
  }
  if (sy < 0) {
    y -= sy;
    h += sy;
    sy = 0;
  }
  w = std::min(w, src.Width() - sx);
  h = std::min(h, src.Height() - sy);
  if (w <= 0 || h <= 0) return;
  if (&src != t.pixels.get() && src.BitsPerPixel() == 32 && (rop >> 16) == 0xCC &&
      t.pixels->BitsPerPixel() == 32) {
    // The common case: straight row copies from another 32-bit surface.
    RECT dst = Offset(RECT{x, y, x + w, y + h}, t.dx, t.dy);
    for (const RECT& c : t.clip.Rects()) {
      RECT i = Intersect(c, dst);
      if (IsEmpty(i)) continue;
      for (LONG row = i.top; row < i.bottom; ++row) {
        const uint32_t* s = src.Row32(int(sy + row - dst.top)) + sx + (i.left - dst.left);
        CopyRow_C(t.pixels->Row32(int(row)) + i.left, s, int(i.right - i.left));
      }
    }
    return;
  }
  // A private copy of the block makes overlapping copies within one surface
  // safe and converts every source depth to BGRA once.
  std::vector<uint32_t> block(size_t(w) * size_t(h));
  for (int row = 0; row < h; ++row)
    ReadRowBgra(src, sx, sy + row, w, block.data() + size_t(row) * w);
  PutPixels(t, x, y, w, h, block.data(), w, rop, patternPixel);
}

namespace {

// The part of the destination rectangle (device coordinates) the clip lets
// through, as a bounding box.
RECT PaintedBounds(const Region& clip, const RECT& dst) {
  RECT box{0, 0, 0, 0};
  for (const RECT& c : clip.Rects()) {
    RECT i = Intersect(c, dst);
    if (IsEmpty(i)) continue;
    if (IsEmpty(box)) {
      box = i;
    } else {
      box = RECT{std::min(box.left, i.left), std::min(box.top, i.top), std::max(box.right, i.right),
                 std::max(box.bottom, i.bottom)};
    }
  }
  return box;
}

// Writes one destination row span [left, right) from pixels (which start at
// device column `left`), through every clip rectangle crossing the row.
void PutRow(DrawTarget& t, LONG row, LONG left, LONG right, const uint32_t* pixels, uint8_t code,
            uint32_t patternPixel) {
  uint32_t* d = t.pixels->Row32(int(row));
  for (const RECT& c : t.clip.Rects()) {
    if (row < c.top || row >= c.bottom) continue;
    LONG a = std::max(left, c.left), b = std::min(right, c.right);
    if (a >= b) continue;
    const uint32_t* s = pixels + (a - left);
    if (code == 0xCC) {
      CopyRow_C(d + a, s, int(b - a));
    } else {
      for (LONG k = a; k < b; ++k) d[k] = ApplyRop3(code, patternPixel, s[k - a], d[k]);
    }
  }
}

}  // namespace

void StretchBlock(DrawTarget& t, int x, int y, int w, int h, PixelBuffer& src, int sx, int sy,
                  int sw, int sh, int mode, DWORD rop, uint32_t patternPixel) {
  bool mirrorX = (w < 0) != (sw < 0);
  bool mirrorY = (h < 0) != (sh < 0);
  if (w < 0) {
    x += w;
    w = -w;
  }
  if (h < 0) {
    y += h;
    h = -h;
  }
  if (sw < 0) {
    sx += sw;
    sw = -sw;
  }
  if (sh < 0) {
    sy += sh;
    sh = -sh;
  }
  if (w == 0 || h == 0 || sw == 0 || sh == 0) return;
  if (t.pixels->BitsPerPixel() != 32) return;  // GDI drawing targets are 32-bit here
  const RECT dst = Offset(RECT{x, y, x + w, y + h}, t.dx, t.dy);
  const RECT painted = PaintedBounds(t.clip, dst);
  if (IsEmpty(painted)) return;
  // Only the scaled pixels that land inside the clip are computed.
  const int c0 = int(painted.left - dst.left), c1 = int(painted.right - dst.left);
  const int r0 = int(painted.top - dst.top), r1 = int(painted.bottom - dst.top);
  StretchJob job;
  job.srcWidth = sw;
  job.srcHeight = sh;
  job.dstWidth = w;
  job.dstHeight = h;
  job.filter = mode == HALFTONE;
  job.left = mirrorX ? w - c1 : c0;
  job.right = mirrorX ? w - c0 : c1;
  job.top = mirrorY ? h - r1 : r0;
  job.bottom = mirrorY ? h - r0 : r1;

  // Source pixels outside the bitmap read as black, as they carry no picture.
  auto readBitmap = [&](int row, int column, int count, uint32_t* out) {
    const int yy = sy + row;
    const int x0 = std::clamp(sx + column, 0, src.Width());
    const int x1 = std::clamp(sx + column + count, x0, src.Width());
    if (yy < 0 || yy >= src.Height() || x1 == x0) {
      std::fill(out, out + count, 0u);
      return;
    }
    const int lead = x0 - (sx + column);
    std::fill(out, out + lead, 0u);
    ReadRowBgra(src, x0, yy, x1 - x0, out + lead);
    std::fill(out + lead + (x1 - x0), out + count, 0u);
  };
  // A stretch within one surface reads a private copy of the source, since
  // painted rows may be rows still to be read.
  std::vector<uint32_t> copy;
  if (&src == t.pixels.get()) {
    copy.resize(size_t(sw) * size_t(sh));
    for (int row = 0; row < sh; ++row) readBitmap(row, 0, sw, copy.data() + size_t(row) * sw);
  }
  auto read = [&](int row, int column, int count, uint32_t* out) {
    if (copy.empty()) {
      readBitmap(row, column, count, out);
    } else {
      CopyRow_C(out, copy.data() + size_t(row) * sw + column, count);
    }
  };

  const uint8_t code = uint8_t(rop >> 16);
  std::vector<uint32_t> reversed(size_t(c1 - c0));
  auto write = [&](int row, const uint32_t* pixels) {
    const LONG deviceRow = dst.top + (mirrorY ? h - 1 - row : row);
    if (mirrorX) {
      std::reverse_copy(pixels, pixels + (c1 - c0), reversed.begin());
      pixels = reversed.data();
    }
    PutRow(t, deviceRow, painted.left, painted.right, pixels, code, patternPixel);
  };
  Stretch(job, read, write);
}

}  // namespace quellor::win32
