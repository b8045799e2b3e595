// An image header laid over a bitmap's own pixels, when the bitmap is a
// 32-bit top-down DIB section: the display path then reads a clipboard bitmap
// where it lies instead of copying it first (8 MB for a 1920 x 1080 one).
// Valid while the clipboard stays open and the bitmap unchanged.
#pragma once

#include "display/PictureCopy.h"
#include "windows.h"

namespace quellor::clipviewer {

class DibView {
 public:
  DibView() = default;
  ~DibView();
  DibView(const DibView&) = delete;
  DibView& operator=(const DibView&) = delete;

  // True when the bitmap is a 32-bit, uncompressed, top-down DIB section of
  // 1 to kMaxPictureSide pixels a side; the view then covers its pixels.
  bool Attach(HBITMAP bitmap);
  SourcePicture Source() const { return {image_, width_, height_}; }

 private:
  IplImage* image_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace quellor::clipviewer
