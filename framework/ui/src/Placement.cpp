#include "qlxrapi/Placement.h"

#include <vector>

namespace quellor::win {

namespace {

// Positions from the anchor stepped by size towards low while a copy still
// reaches past low, then from the anchor onwards while it starts before high.
std::vector<long> Steps(long anchor, long size, long low, long high, bool tile) {
  std::vector<long> at{anchor};
  if (!tile || size <= 0) return at;
  for (long p = anchor - size; p > low - size; p -= size) at.push_back(p);
  for (long p = anchor + size; p < high; p += size) at.push_back(p);
  return at;
}

}  // namespace

bool PlaceInRectangle(long width, long height, const RECT& r, unsigned long flags,
                      const PlaceCopy& copy) {
  if (width <= 0 || height <= 0) return true;
  const long anchorX = (flags & kAlignRight)         ? r.right - width
                       : (flags & kCentreHorizontal) ? (r.left + r.right) / 2 - width / 2
                                                     : r.left;
  const long anchorY = (flags & kAlignBottom)      ? r.bottom - height
                       : (flags & kCentreVertical) ? (r.top + r.bottom) / 2 - height / 2
                                                   : r.top;
  const bool stretchX = flags & kStretchHorizontal, stretchY = flags & kStretchVertical;
  if (stretchX && stretchY) return copy(r.left, r.top, r.right - r.left, r.bottom - r.top);
  if (stretchX) {
    for (long y : Steps(anchorY, height, r.top, r.bottom, flags & kTileVertical))
      if (!copy(r.left, y, r.right - r.left, height)) return false;
    return true;
  }
  if (stretchY) {
    for (long x : Steps(anchorX, width, r.left, r.right, flags & kTileHorizontal))
      if (!copy(x, r.top, width, r.bottom - r.top)) return false;
    return true;
  }
  for (long x : Steps(anchorX, width, r.left, r.right, flags & kTileHorizontal))
    for (long y : Steps(anchorY, height, r.top, r.bottom, flags & kTileVertical))
      if (!copy(x, y, width, height)) return false;
  return true;
}

}  // namespace quellor::win
