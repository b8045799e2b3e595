// Stretched copies of pictures kept from one draw to the next. A skin
// stretched over a whole panel costs a filtered stretch of every pixel of the
// panel, and nearly every repaint draws the same picture at the same size
// again. A copy serves only while the picture's pixels are byte for byte the
// ones it was made from: the program may change them at any time through
// GetPixels, without telling anyone.
#pragma once

#include <memory>

#include "qlxrapi/WindowBitmap.h"

namespace quellor::win {

// picture stretched (halftone) to width x height, both above 0; null when it
// cannot be made.
std::shared_ptr<WindowBitmap> StretchedCopy(WindowBitmap& picture, long width, long height);

// Drops the copies made from picture: called as its pixels go away, so a new
// picture at the same address never meets them.
void ForgetStretchedCopies(const WindowBitmap* picture);

}  // namespace quellor::win
