// The process-wide scratch picture of the alpha blends and of the selection
// shading: one picture that grows to the largest area asked of it and is
// never shrunk. Used on the window thread only, by one drawing at a time:
// each fills it, works on it and writes it back before it returns.
#pragma once

class WindowBitmap;

namespace quellor::win {

// The scratch picture, grown to at least width x height (its contents are
// then undefined); null when it cannot grow.
WindowBitmap* ScratchPicture(unsigned long width, unsigned long height);

}  // namespace quellor::win
