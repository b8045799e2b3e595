// The drop shadow a canvas paints under a child: an 8-pixel band to the
// right of the child and below it, starting 16 pixels from its top and left
// edges, darkest next to the child.
#pragma once

#include <windows.h>

#include <cstdint>

#include "qlxrapi/WindowBitmap.h"

namespace quellor::win {

constexpr long kShadowWidth = 8;
constexpr long kShadowInset = 16;

// The darkening factor (out of 256) at (dx, dy) from the shadow's inner
// corner: min(256, 8 x distance + 192).
std::uint16_t ShadowFactor(long dx, long dy);

// Multiplies each colour channel of count pixels by factors[i] / 256.
void DarkenRow_C(WindowPixel* row, const std::uint16_t* factors, long count);

// Shades the shadow of child (in picture coordinates, right and bottom
// exclusive) into picture, clipped to it. Children smaller than 16 x 16 cast
// none.
void CastDropShadow(WindowBitmap* picture, const RECT& child);

}  // namespace quellor::win
