// Direct access to the 32-bit pixels behind a device context, for pixel code
// that would otherwise copy a block out with BitBlt, change it and copy it
// back: the visible spans of a rectangle are handed over in place, with the
// context's clip, viewport origin and window position applied.
#pragma once

#include <quellor/Export.h>

#include <cstdint>

#include "windef.h"

namespace quellor::win32 {

// One visible run of pixels: `pixels` holds `count` BGRA words, the first of
// them at logical position (x, y) of the context.
using SurfaceSpan = void (*)(void* context, std::uint32_t* pixels, int x, int y, int count);

// Locks the surface behind hdc and calls span for every visible run of the
// logical rectangle `area`, each pixel once. FALSE (and nothing called) when
// the context has no 32-bit surface of its own to hand over: information
// contexts, enhanced-metafile contexts (whose drawing must be recorded),
// 8-bit bitmaps. Callers then take the BitBlt road.
QUELLOR_EXPORT BOOL VisitSurfaceSpans(HDC hdc, const RECT& area, SurfaceSpan span, void* context);

}  // namespace quellor::win32
