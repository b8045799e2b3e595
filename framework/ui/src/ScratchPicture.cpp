#include "ScratchPicture.h"

#include <algorithm>

#include "qlxrapi/WindowBitmap.h"

namespace quellor::win {

WindowBitmap* ScratchPicture(unsigned long width, unsigned long height) {
  thread_local WindowBitmap scratch;  // freed when the thread ends
  const unsigned long w = std::max(scratch.GetWidth(), width);
  const unsigned long h = std::max(scratch.GetHeight(), height);
  return scratch.Resize(w, h) ? &scratch : nullptr;
}

}  // namespace quellor::win
