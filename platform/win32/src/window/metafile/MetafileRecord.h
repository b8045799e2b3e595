// What an enhanced metafile holds: one record per drawing call, each with the
// drawing state of the call by value, and the picture frame.
//
// Coordinates are device units of the recording context (pixels of its
// reference device); playing maps the frame onto the destination rectangle.
#pragma once

#include <string>
#include <vector>

#include "win32/gdi.h"

namespace quellor::win32::metafile {

enum class RecordKind {
  Line,       // points[0] to points[1]
  Polyline,   // points
  Rectangle,  // rect, pen outline and brush fill
  FillRect,   // rect, brush
  FrameRect,  // rect, brush
  PatBlt,     // rect (x, y, x + w, y + h, signs kept), rop, brush
  TextOut,    // points[0] is the reference point, text
  DrawText,   // rect, text, format
  Blit,       // rect is the destination, source pixels, rop, brush
};

// The state a call draws with. Pen and brush colours are the resolved ones
// (DC_PEN and DC_BRUSH already replaced by the context's colours).
struct DrawingState {
  LOGPEN pen{PS_SOLID, {0, 0}, RGB(0, 0, 0)};
  LOGBRUSH brush{BS_SOLID, RGB(255, 255, 255), 0};
  LOGFONTA font{};  // lfHeight never 0: the cell height of the default size
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF bkColor = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int stretchMode = BLACKONWHITE;
  UINT textAlign = TA_LEFT | TA_TOP;  // without TA_UPDATECP
};

struct Record {
  RecordKind kind = RecordKind::Line;
  DrawingState state;
  std::vector<POINT> points;
  RECT rect{};
  std::string text;
  UINT format = 0;
  DWORD rop = SRCCOPY;
  // Blits: top-down 0x00RRGGBB-style 32-bit pixels of the source rectangle.
  int sourceWidth = 0;
  int sourceHeight = 0;
  std::vector<uint32_t> sourcePixels;
  RECT bounds{};  // what the call can touch, exclusive right and bottom
};

struct Picture {
  RECT frame{};  // device units of the recording; empty plays nothing
  std::vector<Record> records;
};

}  // namespace quellor::win32::metafile
