// A 32-bit BGRA picture that GDI and the image library both work on: a DIB
// section selected into its own memory device context, with an image-library
// header (and full-picture region of interest) laid over the same bits.
// Rows are top-down, 4 bytes a pixel, blue green red alpha in memory.
//
// The width is always a multiple of 4 (the requested width rounded up) so
// that rows are 8-byte aligned for the image library. An empty picture
// (0 x 0) has no device context and no pixels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/ImageLibrary.h"
#include "windows.h"

namespace quellor::clipviewer {

// Largest picture side, in pixels, made for a clipboard bitmap or a file
// (16384 x 16384 x 4 bytes is already 1 GiB).
inline constexpr int kMaxPictureSide = 16384;

class PictureBuffer {
 public:
  PictureBuffer() = default;  // empty
  // Throws the creation texts ("Could not allocate 32bpp Windows device
  // context.", "Cannot create iImg header.", "Invalid IntelImg header !",
  // "Cannot get Windows DIB section.", "Cannot get iImg ROI pointer.") after
  // releasing what it made. width and height must be 1 to kMaxPictureSide.
  PictureBuffer(int width, int height);
  ~PictureBuffer();
  PictureBuffer(const PictureBuffer&) = delete;
  PictureBuffer& operator=(const PictureBuffer&) = delete;

  bool Empty() const { return width_ == 0; }
  int Width() const { return width_; }  // multiple of 4
  int Height() const { return height_; }
  HDC Dc() const { return dc_; }
  IplImage* Image() const { return image_; }
  const BITMAPINFOHEADER& Header() const { return header_; }
  std::uint8_t* Bits() const { return bits_; }
  std::size_t RowBytes() const { return static_cast<std::size_t>(width_) * 4; }
  std::uint32_t* Row(int y) const {
    return reinterpret_cast<std::uint32_t*>(bits_ + RowBytes() * static_cast<std::size_t>(y));
  }
  // Every pixel black (0).
  void Clear();

  // Link for the output hub's free and ready lists.
  PictureBuffer* next = nullptr;

 private:
  void Release();

  int width_ = 0;
  int height_ = 0;
  BITMAPINFOHEADER header_ = {};
  HDC dc_ = nullptr;
  HBITMAP section_ = nullptr;
  HGDIOBJ previousBitmap_ = nullptr;
  std::uint8_t* bits_ = nullptr;
  IplImage* image_ = nullptr;
};

// Rounds a width up to the next multiple of 4.
constexpr int RoundedPictureWidth(int width) {
  return (width + 3) & ~3;
}

}  // namespace quellor::clipviewer
