// The pixels behind a bitmap, a DIB section or a top-level window: 32-bit BGRA
// (blue, green, red, alpha bytes), 24-bit BGR or 8-bit indices into a colour
// table. Rows are addressed top-down whatever the memory order; a bottom-up DIB
// keeps its last visual row first in memory, as Win32 programs expect.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "win32/gdi.h"

namespace quellor::win32 {

class PixelBuffer {
 public:
  // Allocates zeroed storage; nullptr when the size is invalid or too large.
  static std::shared_ptr<PixelBuffer> Create(int width, int height, int bitsPerPixel,
                                             bool bottomUp);
  // A view of pixels owned by the caller (a DIB handed to SetDIBitsToDevice or
  // StretchDIBits); rows are DWORD aligned. nullptr for invalid sizes.
  static std::shared_ptr<PixelBuffer> Wrap(uint8_t* bits, int width, int height, int bitsPerPixel,
                                           bool bottomUp);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bitsPerPixel_; }
  bool BottomUp() const { return bottomUp_; }
  // Bytes per row in memory: DWORD aligned, as DIBs are.
  size_t Stride() const { return stride_; }
  uint8_t* Bits() { return bits_; }
  size_t SizeBytes() const { return stride_ * size_t(height_); }
  uint8_t* Row(int y) { return bits_ + size_t(bottomUp_ ? height_ - 1 - y : y) * stride_; }
  uint32_t* Row32(int y) { return reinterpret_cast<uint32_t*>(Row(y)); }

  // The colour table of an 8-bit buffer: 256 entries, blue-green-red-reserved.
  std::vector<RGBQUAD>& ColorTable() { return colorTable_; }
  // Pixel (x, y) as 0x00RRGGBB-ordered BGRA word, whatever the depth.
  uint32_t ReadBgra(int x, int y);

  // Held while pixels are read or written, so that the screen composer on one
  // thread never races the painting thread.
  std::mutex& Mutex() { return mutex_; }

  // What was drawn into a window surface since a presenter last took it, as
  // one bounding rectangle in surface coordinates. A fresh buffer counts as
  // drawn whole, so that a new or resized window is shown complete.
  void NoteDamage(const RECT& area);
  RECT TakeDamage();

  static size_t StrideFor(int width, int bitsPerPixel) {
    return ((size_t(width) * size_t(bitsPerPixel) + 31) / 32) * 4;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  int bitsPerPixel_ = 32;
  bool bottomUp_ = false;
  size_t stride_ = 0;
  uint8_t* bits_ = nullptr;
  std::vector<uint8_t> storage_;
  std::vector<RGBQUAD> colorTable_;
  std::mutex mutex_;
  // Its own lock: damage is noted while the pixel lock may be held for
  // another surface (a blit between two windows).
  std::mutex damageMutex_;
  RECT damage_{0, 0, 0, 0};
};

// Converts a COLORREF (0x00BBGGRR) to a BGRA pixel word as GDI writes it into
// 32-bit surfaces: alpha 0.
inline uint32_t ColorRefToPixel(COLORREF c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline COLORREF PixelToColorRef(uint32_t p) {
  return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}

}  // namespace quellor::win32
