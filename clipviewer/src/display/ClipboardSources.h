// Drawing each clipboard format into a picture. The clipboard is open when
// these run; each returns false when the clipboard holds nothing usable of
// its format (then the output keeps the frame it has).
#pragma once

#include <memory>

#include "display/PictureBuffer.h"
#include "windows.h"

namespace quellor::clipviewer {

// Text longer than this is cut: a frame holds far less.
inline constexpr std::size_t kMaxClipboardText = 64 * 1024;

// Reads a bitmap's pixels as 32-bit top-down into `temporary`, re-made at
// the bitmap's size when needed (width rounded up to 4; the padding columns
// are black). Bitmaps of no pixels or wider or taller than kMaxPictureSide
// are refused. On success width and height are the bitmap's own.
bool ReadBitmap(HBITMAP bitmap, std::unique_ptr<PictureBuffer>& temporary, int& width, int& height);

// Plays the metafile over the whole picture, after clearing it to black.
bool DrawMetafile(HENHMETAFILE metafile, PictureBuffer& picture);

// White text on black, tabs expanded, word-wrapped, centred both ways. The
// text is read no further than its memory block (or kMaxClipboardText).
bool DrawClipboardText(HANDLE textMemory, PictureBuffer& picture);

}  // namespace quellor::clipviewer
