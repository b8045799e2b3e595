// Pixel operations of GDI on a locked, clipped surface (DrawTarget). All
// coordinates are logical (the DrawTarget offset is applied here); every
// operation writes only inside the clip.
#pragma once

#include <vector>

#include "DeviceContext.h"

namespace quellor::win32 {

// Applies a binary raster operation (R2_ value) of pen colour p to pixel d.
// Operations that read the destination keep its alpha; the others write
// alpha 0, as GDI does on 32-bit surfaces.
uint32_t ApplyRop2(int rop2, uint32_t p, uint32_t d);
// Applies a ternary raster operation code (the high byte of a ROP3 such as
// SRCCOPY) to pattern, source and destination.
uint32_t ApplyRop3(uint8_t code, uint32_t p, uint32_t s, uint32_t d);

void FillLogicalRect(DrawTarget& target, RECT rect, uint32_t pixel, int rop2);
void FillLogicalRegion(DrawTarget& target, const Region& region, uint32_t pixel, int rop2);

struct PenStroke {
  UINT style = PS_SOLID;
  int width = 1;
  uint32_t pixel = 0;
  int rop2 = R2_COPYPEN;
  bool opaqueGaps = true;  // OPAQUE background mode fills the gaps of styled pens
  uint32_t gapPixel = 0xFFFFFF;
};
// Draws from a to b, leaving out the last point, as LineTo does. The dash
// phase runs on across calls through `phase`.
void StrokeLine(DrawTarget& target, POINT a, POINT b, const PenStroke& pen, int& phase);

// Reads count pixels of row y from x as BGRA words, whatever the depth.
void ReadRowBgra(PixelBuffer& src, int x, int y, int count, uint32_t* out);

// Copies (or combines by ROP3) the w by h block at (sx, sy) of src to the
// logical rectangle at (x, y). src may be the target's own pixels.
void BlitBlock(DrawTarget& target, int x, int y, int w, int h, PixelBuffer& src, int sx, int sy,
               DWORD rop, uint32_t patternPixel);

// Scales the sw by sh block at (sx, sy) of src onto the logical rectangle
// (x, y, w, h); negative sizes mirror. HALFTONE filters; the other modes take
// the nearest pixel.
void StretchBlock(DrawTarget& target, int x, int y, int w, int h, PixelBuffer& src, int sx, int sy,
                  int sw, int sh, int mode, DWORD rop, uint32_t patternPixel);

// Writes a BGRA picture of w x h (row stride in pixels) at logical (x, y).
void PutPixels(DrawTarget& target, int x, int y, int w, int h, const uint32_t* pixels, int stride,
               DWORD rop, uint32_t patternPixel);

}  // namespace quellor::win32
