#include "PixelBuffer.h"

#include <utility>

#include "Geometry.h"

namespace quellor::win32 {

std::shared_ptr<PixelBuffer> PixelBuffer::Create(int width, int height, int bitsPerPixel,
                                                 bool bottomUp) {
  if (width <= 0 || height <= 0) return nullptr;
  if (bitsPerPixel != 32 && bitsPerPixel != 24 && bitsPerPixel != 8 && bitsPerPixel != 1) {
    return nullptr;
  }
  size_t stride = StrideFor(width, bitsPerPixel);
  // 1 GiB is far beyond any picture the system makes; refuse rather than abort.
  if (stride > (size_t(1) << 30) / size_t(height)) return nullptr;
  auto buffer = std::make_shared<PixelBuffer>();
  buffer->width_ = width;
  buffer->height_ = height;
  buffer->bitsPerPixel_ = bitsPerPixel;
  buffer->bottomUp_ = bottomUp;
  buffer->stride_ = stride;
  try {
    buffer->storage_.assign(stride * size_t(height), 0);
    buffer->bits_ = buffer->storage_.data();
    buffer->damage_ = RECT{0, 0, width, height};
    if (bitsPerPixel <= 8)
      buffer->colorTable_.assign(size_t(1) << bitsPerPixel, RGBQUAD{0, 0, 0, 0});
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return buffer;
}

std::shared_ptr<PixelBuffer> PixelBuffer::Wrap(uint8_t* bits, int width, int height,
                                               int bitsPerPixel, bool bottomUp) {
  if (!bits || width <= 0 || height <= 0) return nullptr;
  if (bitsPerPixel != 32 && bitsPerPixel != 24 && bitsPerPixel != 8 && bitsPerPixel != 1) {
    return nullptr;
  }
  auto buffer = std::make_shared<PixelBuffer>();
  buffer->width_ = width;
  buffer->height_ = height;
  buffer->bitsPerPixel_ = bitsPerPixel;
  buffer->bottomUp_ = bottomUp;
  buffer->stride_ = StrideFor(width, bitsPerPixel);
  buffer->bits_ = bits;
  if (bitsPerPixel <= 8) buffer->colorTable_.assign(size_t(1) << bitsPerPixel, RGBQUAD{0, 0, 0, 0});
  return buffer;
}

void PixelBuffer::NoteDamage(const RECT& area) {
  const RECT r = Intersect(area, RECT{0, 0, width_, height_});
  if (IsEmpty(r)) return;
  std::lock_guard<std::mutex> lock(damageMutex_);
  if (IsEmpty(damage_)) {
    damage_ = r;
    return;
  }
  damage_ = RECT{std::min(damage_.left, r.left), std::min(damage_.top, r.top),
                 std::max(damage_.right, r.right), std::max(damage_.bottom, r.bottom)};
}

RECT PixelBuffer::TakeDamage() {
  std::lock_guard<std::mutex> lock(damageMutex_);
  return std::exchange(damage_, RECT{0, 0, 0, 0});
}

uint32_t PixelBuffer::ReadBgra(int x, int y) {
  const uint8_t* row = Row(y);
  switch (bitsPerPixel_) {
    case 32:
      return reinterpret_cast<const uint32_t*>(row)[x];
    case 24: {
      const uint8_t* p = row + x * 3;
      return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
    }
    case 8: {
      const RGBQUAD& q = colorTable_[row[x]];
      return uint32_t(q.rgbBlue) | (uint32_t(q.rgbGreen) << 8) | (uint32_t(q.rgbRed) << 16);
    }
    case 1: {
      int bit = (row[x >> 3] >> (7 - (x & 7))) & 1;
      const RGBQUAD& q = colorTable_[bit];
      return uint32_t(q.rgbBlue) | (uint32_t(q.rgbGreen) << 8) | (uint32_t(q.rgbRed) << 16);
    }
  }
  return 0;
}

}  // namespace quellor::win32
