// A memory device context with a 32-bit top-down DIB section, for pixel tests.
#pragma once

#include <cstdint>

#include "windows.h"

namespace quellor::testing {

class Canvas {
 public:
  Canvas(int width, int height, bool bottomUp = false) : width_(width), height_(height) {
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = bottomUp ? height : -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ =
        CreateDIBSection(dc_, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    bottomUp_ = bottomUp;
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  // Colour bytes as 0x00RRGGBB (alpha masked).
  uint32_t At(int x, int y) const {
    int row = bottomUp_ ? height_ - 1 - y : y;
    return bits_[row * width_ + x] & 0x00FFFFFF;
  }
  uint32_t Raw(int x, int y) const { return bits_[(bottomUp_ ? height_ - 1 - y : y) * width_ + x]; }
  void Fill(uint32_t value) {
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = value;
  }
  int CountOf(uint32_t colour) const {
    int n = 0;
    for (int i = 0; i < width_ * height_; ++i) n += (bits_[i] & 0xFFFFFF) == colour;
    return n;
  }
  uint32_t* bits() { return bits_; }

 private:
  int width_, height_;
  bool bottomUp_ = false;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  uint32_t* bits_ = nullptr;
};

}  // namespace quellor::testing
