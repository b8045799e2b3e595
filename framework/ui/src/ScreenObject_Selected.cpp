#include "qlxrapi/ScreenObject_Selected.h"

#include <cstdint>

#include "AlphaRows.h"
#include "DefaultPictures.h"
#include "ScratchPicture.h"
#include "qlxrapi/WindowBitmap.h"

using namespace quellor::win;

namespace {

// Writes a handle picture at (x, y) of the scratch's top-left width x height,
// clipped to that area; transparent pixels of the handle leave the picture.
void PutHandle(WindowBitmap& scratch, long width, long height, HandleKind kind, long x, long y) {
  const HandlePicture& handle = HandlePictureOf(kind);
  for (int row = 0; row < handle.height; ++row) {
    const long py = y + row;
    if (py < 0 || py >= height) continue;
    for (int column = 0; column < handle.width; ++column) {
      const long px = x + column;
      const std::uint32_t colour = handle.pixels[row * handle.width + column];
      if (px < 0 || px >= width || (colour >> 24) == 0) continue;
      *scratch.GetPixel(static_cast<unsigned long>(px), static_cast<unsigned long>(py)) =
          WindowPixel{static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(colour >> 8),
                      static_cast<std::uint8_t>(colour >> 16), 255};
    }
  }
}

}  // namespace

ScreenObject_Selected::ScreenObject_Selected(unsigned char r, unsigned char g, unsigned char b,
                                             unsigned char alpha, unsigned char r2,
                                             unsigned char g2, unsigned char b2,
                                             unsigned char alpha2)
    : m_tint{b, g, r, alpha}, m_second{b2, g2, r2, alpha2} {}

void ScreenObject_Selected::SetResizerStatus(bool horizontal, bool vertical) {
  m_horizontal = horizontal;
  m_vertical = vertical;
}

bool ScreenObject_Selected::ScreenObject_RAW_DrawItem(RECT* rect, HDC dc, RECT* clip) {
  if (rect == nullptr || dc == nullptr) return false;
  const long width = rect->right - rect->left, height = rect->bottom - rect->top;
  if (width <= 0 || height <= 0) return true;
  ScreenObjectClip clipping(dc, clip);
  // The thread's scratch picture, shared with its blends: nothing else
  // draws on this thread while this draws.
  WindowBitmap* grown =
      ScratchPicture(static_cast<unsigned long>(width), static_cast<unsigned long>(height));
  if (grown == nullptr) return false;
  WindowBitmap& scratch = *grown;
  const int w = static_cast<int>(width), h = static_cast<int>(height);
  if (!BitBlt(scratch.GetHDC(), 0, 0, w, h, dc, static_cast<int>(rect->left),
              static_cast<int>(rect->top), SRCCOPY))
    return false;
  GdiFlush();
  for (int y = 0; y < h; ++y)
    TintRowBGRA(reinterpret_cast<std::uint8_t*>(scratch.GetPixel(0, y)), w, m_tint);
  if (m_horizontal && m_vertical) {
    PutHandle(scratch, width, height, HandleKind::TopLeft, 0, 0);
    PutHandle(scratch, width, height, HandleKind::TopRight, width - 6, 0);
    PutHandle(scratch, width, height, HandleKind::BottomLeft, 0, height - 6);
    PutHandle(scratch, width, height, HandleKind::BottomRight, width - 6, height - 6);
  }
  if (m_horizontal) {
    PutHandle(scratch, width, height, HandleKind::Left, 0, height / 2 - 4);
    PutHandle(scratch, width, height, HandleKind::Right, width - 7, height / 2 - 4);
  }
  if (m_vertical) {
    PutHandle(scratch, width, height, HandleKind::Top, width / 2 - 4, 0);
    PutHandle(scratch, width, height, HandleKind::Bottom, width / 2 - 4, height - 7);
  }
  return BitBlt(dc, static_cast<int>(rect->left), static_cast<int>(rect->top), w, h,
                scratch.GetHDC(), 0, 0, SRCCOPY) != 0;
}
