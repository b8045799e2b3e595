// What a window device context draws into: the top-level window's surface, the
// offset of the window (or its client area) within it, and the visible region
// in surface coordinates (clipped by ancestors, siblings and children as the
// window styles ask, and by window shapes). Provided by the window manager.
#pragma once

#include <cstdint>
#include <memory>

#include "PixelBuffer.h"
#include "Region.h"

namespace quellor::win32 {

struct WindowDrawArea {
  std::shared_ptr<PixelBuffer> surface;
  POINT origin{0, 0};
  Region visible;
};

// The generation changes whenever any window's geometry, visibility, shape or
// z-order changes, so that a device context can keep its area until then.
uint64_t WindowLayoutGeneration();
// Changes whenever anything on screen may have changed (drawing through a
// window context, or any layout change): a presenter recomposes only then.
uint64_t ScreenVersion();
void NoteScreenDrawing();
// False when the window no longer exists.
bool QueryWindowDrawArea(HWND hwnd, bool clientArea, WindowDrawArea& area);

}  // namespace quellor::win32
