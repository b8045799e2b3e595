// Small helpers on RECT and POINT used throughout the window system. A RECT is
// half-open: left and top inside, right and bottom outside.
#pragma once

#include <algorithm>

#include "win32/windef.h"

namespace quellor::win32 {

inline RECT MakeRect(LONG left, LONG top, LONG right, LONG bottom) {
  return RECT{left, top, right, bottom};
}
inline bool IsEmpty(const RECT& r) {
  return r.right <= r.left || r.bottom <= r.top;
}
inline LONG Width(const RECT& r) {
  return r.right - r.left;
}
inline LONG Height(const RECT& r) {
  return r.bottom - r.top;
}
inline RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (IsEmpty(r)) return RECT{0, 0, 0, 0};
  return r;
}
inline RECT Offset(RECT r, LONG dx, LONG dy) {
  r.left += dx;
  r.right += dx;
  r.top += dy;
  r.bottom += dy;
  return r;
}
inline bool Contains(const RECT& r, LONG x, LONG y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
// Win32 lets callers pass rectangles with swapped edges to the region and
// shape functions; those are normalised first.
inline RECT Normalised(RECT r) {
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return r;
}

}  // namespace quellor::win32
