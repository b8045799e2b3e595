#include "ScratchPicture.h"

#include <algorithm>

#include "qlxrapi/WindowBitmap.h"

namespace quellor::win {

WindowBitmap* ScratchPicture(unsigned long width, unsigned long height) {
  static WindowBitmap scratch;  // freed when the library unloads
  const unsigned long w = std::max(scratch.GetWidth(), width);
  const unsigned long h = std::max(scratch.GetHeight(), height);
  return scratch.Resize(w, h) ? &scratch : nullptr;
}

}  // namespace quellor::win
