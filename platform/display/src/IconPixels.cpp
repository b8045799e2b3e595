#include "IconPixels.h"

#include <algorithm>

namespace quellor::display {

std::vector<uint32_t> IconOnBackground(HICON icon, int side, uint32_t background) {
  std::vector<uint32_t> out;
  if (!icon || side <= 0) return out;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = side;
  info.bmiHeader.biHeight = -side;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = dc ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    auto* pixels = static_cast<uint32_t*>(bits);
    std::fill(pixels, pixels + size_t(side) * size_t(side), background);
    if (DrawIcon(dc, 0, 0, icon)) out.assign(pixels, pixels + size_t(side) * size_t(side));
    SelectObject(dc, old);
  }
  if (bitmap) DeleteObject(bitmap);
  if (dc) DeleteDC(dc);
  return out;
}

}  // namespace quellor::display
