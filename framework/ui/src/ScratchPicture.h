// The scratch picture of the alpha blends and of the selection shading: one
// picture that grows to the largest area asked of it and is never shrunk.
// One drawing at a time uses it: each fills it, works on it and writes it
// back before it returns. A process may draw on several window threads (the
// start-up logo has one of its own), so each thread has its own picture; a
// single shared one was overwritten by the other thread's drawing midway.
#pragma once

class WindowBitmap;

namespace quellor::win {

// This thread's scratch picture, grown to at least width x height (its
// contents are then undefined); null when it cannot grow.
WindowBitmap* ScratchPicture(unsigned long width, unsigned long height);

}  // namespace quellor::win
