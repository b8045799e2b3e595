// Conversions Windows makes between clipboard formats, and the freeing of the
// data the clipboard owns.
#pragma once

#include "win32/types.h"

namespace quellor::win32 {

// A packed DIB (BITMAPINFOHEADER, colour table, bits) in global memory made
// from a bitmap: 32 bits per pixel, bottom-up. Null on failure.
HANDLE BitmapToPackedDib(HANDLE bitmap);
// A device-dependent bitmap made from a packed DIB in global memory.
HANDLE PackedDibToBitmap(HANDLE global);
// Frees clipboard data of a format: global memory, a bitmap, a metafile.
void FreeClipboardData(UINT format, HANDLE data);

}  // namespace quellor::win32
