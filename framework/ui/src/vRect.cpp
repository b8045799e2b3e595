// The snapping pass of the free-form layout.
#include "qlxrapi/vRect.h"

#include <cstdlib>

namespace {

// One edge: its place before the pass, its place being computed, its placed
// bit, the opposite edge of the same direction and the stretch bit of that
// direction.
struct Edge {
  int vRect::*before;
  int vRect::*now;
  int bit;
  int vRect::*oppositeNow;
  int oppositeBit;
  int stretchBit;
};

constexpr Edge kLeftEdge{&vRect::left,     &vRect::newLeft, vRect::kLeft,
                         &vRect::newRight, vRect::kRight,   vRect::kStretchX};
constexpr Edge kRightEdge{&vRect::right,   &vRect::newRight, vRect::kRight,
                          &vRect::newLeft, vRect::kLeft,     vRect::kStretchX};
constexpr Edge kTopEdge{&vRect::top,       &vRect::newTop, vRect::kTop,
                        &vRect::newBottom, vRect::kBottom, vRect::kStretchY};
constexpr Edge kBottomEdge{&vRect::bottom, &vRect::newBottom, vRect::kBottom,
                           &vRect::newTop, vRect::kTop,       vRect::kStretchY};

void Snap(vRect& p, const Edge& e, const vRect& q, const Edge& f, bool keep) {
  const int d = q.*(f.now) - p.*(e.now);
  if ((p.stretch & e.stretchBit) != 0) {
    p.*(e.now) = q.*(f.now);
    if (!keep && (p.placed & e.oppositeBit) == 0) p.*(e.oppositeNow) += d;
    p.placed |= e.bit;
  } else {
    p.*(e.now) += d;
    p.*(e.oppositeNow) += d;
    p.placed |= e.bit | e.oppositeBit;
  }
}

// The edges of one direction overlap within threshold (before coordinates):
// for a vertical edge the rectangles must overlap vertically, and so on.
bool Overlap(const vRect& p, const vRect& q, bool verticalEdge, int threshold) {
  if (verticalEdge) return p.top - q.bottom <= threshold && q.top - p.bottom <= threshold;
  return p.left - q.right <= threshold && q.left - p.right <= threshold;
}

// Q's edge f pulls P's edges of its kind (first the same kind, then the
// opposite); true when one snapped.
bool Pull(vRect& p, const vRect& q, const Edge& f, const Edge& same, const Edge& opposite,
          int threshold, bool keep) {
  bool changed = false;
  for (const Edge* e : {&same, &opposite}) {
    if ((p.placed & e->bit) != 0) continue;
    if (std::abs(p.*(e->before) - q.*(f.before)) > threshold) continue;
    Snap(p, *e, q, f, keep);
    changed = true;
  }
  return changed;
}

bool Pass(tList<vRect>& rects, int threshold, bool keep) {
  bool changed = false;
  const std::uint32_t count = rects.GetNoItems();
  for (std::uint32_t qi = 0; qi < count; ++qi) {
    for (const Edge* f : {&kLeftEdge, &kRightEdge, &kTopEdge, &kBottomEdge}) {
      if ((rects[qi].placed & f->bit) == 0) continue;
      const bool vertical = f->stretchBit == vRect::kStretchX;
      const Edge& same = vertical ? kLeftEdge : kTopEdge;
      const Edge& opposite = vertical ? kRightEdge : kBottomEdge;
      for (std::uint32_t pi = 0; pi < count; ++pi) {
        if (pi == qi) continue;
        vRect& p = rects[pi];
        const vRect& q = rects[qi];
        if (!Overlap(p, q, vertical, threshold)) continue;
        changed = Pull(p, q, *f, same, opposite, threshold, keep) || changed;
      }
    }
  }
  return changed;
}

// Places the first free edge where it is; false when none is left. An edge
// of a stretching direction is never free: it waits to be pulled.
bool PlaceFirstFreeEdge(tList<vRect>& rects) {
  for (std::uint32_t i = 0; i < rects.GetNoItems(); ++i) {
    vRect& r = rects[i];
    for (const Edge* e : {&kLeftEdge, &kRightEdge, &kTopEdge, &kBottomEdge}) {
      if ((r.placed & e->bit) != 0 || (r.stretch & e->stretchBit) != 0) continue;
      r.placed |= e->bit;
      return true;
    }
  }
  return false;
}

}  // namespace

vRect vRect::Make(int l, int t, int r, int b, int placedFlags, int stretchFlags,
                  WindowLayout_Item* forItem) {
  return vRect{l, t, r, b, l, t, r, b, stretchFlags, placedFlags, forItem};
}

void vRect::Snap_left_with_left(const vRect& o, bool keep) {
  Snap(*this, kLeftEdge, o, kLeftEdge, keep);
}
void vRect::Snap_left_with_right(const vRect& o, bool keep) {
  Snap(*this, kLeftEdge, o, kRightEdge, keep);
}
void vRect::Snap_right_with_left(const vRect& o, bool keep) {
  Snap(*this, kRightEdge, o, kLeftEdge, keep);
}
void vRect::Snap_right_with_right(const vRect& o, bool keep) {
  Snap(*this, kRightEdge, o, kRightEdge, keep);
}
void vRect::Snap_top_with_top(const vRect& o, bool keep) {
  Snap(*this, kTopEdge, o, kTopEdge, keep);
}
void vRect::Snap_top_with_bottom(const vRect& o, bool keep) {
  Snap(*this, kTopEdge, o, kBottomEdge, keep);
}
void vRect::Snap_bottom_with_top(const vRect& o, bool keep) {
  Snap(*this, kBottomEdge, o, kTopEdge, keep);
}
void vRect::Snap_bottom_with_bottom(const vRect& o, bool keep) {
  Snap(*this, kBottomEdge, o, kBottomEdge, keep);
}

void SnapItems(tList<vRect>& rects, int threshold, bool keep) {
  if (threshold < 0) threshold = 0;
  do {
    while (Pass(rects, threshold, keep)) {
    }
  } while (PlaceFirstFreeEdge(rects));
}
