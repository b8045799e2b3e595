// A set of pixels made of non-overlapping rectangles in y-x bands: rectangles
// are sorted by top, then left; every rectangle of a band shares top and bottom,
// and bands never overlap. This is the model of GDI regions, clip regions,
// update regions and window shapes.
#pragma once

#include <vector>

#include "Geometry.h"

namespace quellor::win32 {

class Region {
 public:
  enum class Op { And, Or, Xor, Diff };

  Region() = default;
  explicit Region(const RECT& rect);
  static Region FromRects(const std::vector<RECT>& rects);

  static Region Combine(const Region& a, const Region& b, Op op);
  Region Intersected(const Region& other) const { return Combine(*this, other, Op::And); }
  Region Intersected(const RECT& rect) const { return Combine(*this, Region(rect), Op::And); }
  Region United(const Region& other) const { return Combine(*this, other, Op::Or); }
  Region Subtracted(const Region& other) const { return Combine(*this, other, Op::Diff); }
  Region Subtracted(const RECT& rect) const { return Combine(*this, Region(rect), Op::Diff); }
  void Offset(LONG dx, LONG dy);

  bool IsEmpty() const { return rects_.empty(); }
  bool Contains(LONG x, LONG y) const;
  bool Intersects(const RECT& rect) const;
  RECT Bounds() const;
  // NULLREGION, SIMPLEREGION or COMPLEXREGION as GDI reports them.
  int Kind() const;
  const std::vector<RECT>& Rects() const { return rects_; }
  bool operator==(const Region& other) const;

 private:
  std::vector<RECT> rects_;
};

}  // namespace quellor::win32
