// The picture file chosen with "Play ...", shown when the clipboard has
// nothing usable. Empty (width 0) until a picture file is loaded.
#pragma once

#include <memory>

#include "display/PictureBuffer.h"

namespace quellor::clipviewer {

struct LoadedPicture {
  // The picture's width is the file's rounded up to a multiple of 4; the
  // padding columns stay black and are never shown.
  std::unique_ptr<PictureBuffer> picture = std::make_unique<PictureBuffer>();
  int width = 0;  // the file's own width in pixels
  int height = 0;
  bool Empty() const { return width == 0 || picture->Empty(); }
};

}  // namespace quellor::clipviewer
