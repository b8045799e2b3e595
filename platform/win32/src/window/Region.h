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

  // Picks a short path where one side is empty, a single rectangle or lies
  // apart from the other (clips, update areas and window coverage nearly
  // always are), and the band sweep otherwise. Both give the same bands.
  static Region Combine(const Region& a, const Region& b, Op op);
  // The band sweep alone, for any two regions.
  static Region CombineBySweep(const Region& a, const Region& b, Op op);
  Region Intersected(const Region& other) const { return Combine(*this, other, Op::And); }
  Region Intersected(const RECT& rect) const;
  Region United(const Region& other) const { return Combine(*this, other, Op::Or); }
  Region Subtracted(const Region& other) const { return Combine(*this, other, Op::Diff); }
  Region Subtracted(const RECT& rect) const;
  void Offset(LONG dx, LONG dy);

  bool IsEmpty() const { return rects_.empty(); }
  bool Contains(LONG x, LONG y) const;
  bool Intersects(const RECT& rect) const;
  // True when the region is exactly one rectangle.
  bool IsRectangle() const { return rects_.size() == 1; }
  RECT Bounds() const;
  // NULLREGION, SIMPLEREGION or COMPLEXREGION as GDI reports them.
  int Kind() const;
  const std::vector<RECT>& Rects() const { return rects_; }
  bool operator==(const Region& other) const;

 private:
  // The region cut to a rectangle, or with a rectangle taken out of it.
  static Region ClippedTo(const Region& a, const RECT& rect);
  static Region WithoutRect(const Region& a, const RECT& rect);

  std::vector<RECT> rects_;
};

}  // namespace quellor::win32
