// Placement of a w x h picture in a rectangle by the screen-object alignment
// flags: stretching, right/bottom/centre anchors and tiling.
#pragma once

#include <quellor/Export.h>

#include <windows.h>

#include <functional>

namespace quellor::win {

enum AlignmentFlags : unsigned long {
  kStretchHorizontal = 1,
  kStretchVertical = 2,
  kAlignRight = 8,
  kAlignBottom = 32,
  kCentreHorizontal = 64,
  kCentreVertical = 128,
  kTileHorizontal = 256,
  kTileVertical = 512,
};

// One copy to draw: its position and size (the size differs from the
// picture's where the copy is stretched). Returns false to stop.
using PlaceCopy = std::function<bool(long x, long y, long width, long height)>;

// Calls copy for every copy of a width x height picture placed in rectangle
// by flags, in drawing order. False when a copy failed; nothing is placed
// (and true returned) for an empty picture.
QUELLOR_EXPORT bool PlaceInRectangle(long width, long height, const RECT& rectangle,
                                     unsigned long flags, const PlaceCopy& copy);

}  // namespace quellor::win
