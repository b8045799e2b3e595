// The snapping pass of the free-form layout.
#include "qlxrapi/vRect.h"

#include <cstdlib>
#include <vector>

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

// Whether q can ever pull an edge of p: the two overlap within threshold in
// a direction and an edge of p lies within threshold of an edge of q in it.
// Both read the places before the pass, which never change, so a pair that
// cannot snap now never will.
bool CanPull(const vRect& p, const vRect& q, int threshold) {
  auto near = [threshold](int a, int b) { return std::abs(a - b) <= threshold; };
  if (Overlap(p, q, true, threshold) && (near(p.left, q.left) || near(p.left, q.right) ||
                                         near(p.right, q.left) || near(p.right, q.right)))
    return true;
  return Overlap(p, q, false, threshold) && (near(p.top, q.top) || near(p.top, q.bottom) ||
                                             near(p.bottom, q.top) || near(p.bottom, q.bottom));
}

// The rectangles that start with an edge free (the only ones that can ever
// be pulled or have an edge placed) and, in order, every rectangle that can
// pull one of them. Everything else takes no part in any pass.
struct Players {
  std::vector<std::uint32_t> free;
  std::vector<std::uint32_t> pullers;
};

Players FindPlayers(const vRect* rects, std::uint32_t count, int threshold) {
  Players players;
  for (std::uint32_t i = 0; i < count; ++i)
    if (rects[i].placed != vRect::kFixed) players.free.push_back(i);
  for (std::uint32_t qi = 0; qi < count; ++qi)
    for (std::uint32_t pi : players.free)
      if (pi != qi && CanPull(rects[pi], rects[qi], threshold)) {
        players.pullers.push_back(qi);
        break;
      }
  return players;
}

// Each puller in turn pulls the rectangles with an edge still free. A
// pull reads the puller and changes only the pulled, so for one puller the
// pulled may be taken one after another, each through the four edges in
// their order, as well as edge by edge.
bool Pass(vRect* rects, const Players& players, int threshold, bool keep,
          std::vector<std::uint32_t>& open) {
  open.clear();
  for (std::uint32_t i : players.free)
    if (rects[i].placed != vRect::kFixed) open.push_back(i);
  if (open.empty()) return false;
  bool changed = false;
  for (std::uint32_t qi : players.pullers) {
    const vRect& q = rects[qi];
    for (std::uint32_t pi : open) {
      if (pi == qi) continue;
      vRect& p = rects[pi];
      const bool across = Overlap(p, q, true, threshold);
      const bool down = Overlap(p, q, false, threshold);
      if (!across && !down) continue;
      for (const Edge* f : {&kLeftEdge, &kRightEdge, &kTopEdge, &kBottomEdge}) {
        if ((q.placed & f->bit) == 0) continue;
        const bool vertical = f->stretchBit == vRect::kStretchX;
        if (!(vertical ? across : down)) continue;
        const Edge& same = vertical ? kLeftEdge : kTopEdge;
        const Edge& opposite = vertical ? kRightEdge : kBottomEdge;
        changed = Pull(p, q, *f, same, opposite, threshold, keep) || changed;
      }
    }
  }
  return changed;
}

// Places the first free edge where it is; false when none is left. An edge
// of a stretching direction is never free: it waits to be pulled.
bool PlaceFirstFreeEdge(vRect* rects, const Players& players) {
  for (std::uint32_t i : players.free) {
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
  rects.Lock();
  SnapItems(rects.GetItems(), rects.GetNoItems(), threshold, keep);
  rects.UnLock();
}

void SnapItems(vRect* rects, std::uint32_t count, int threshold, bool keep) {
  if (rects == nullptr || count == 0) return;
  if (threshold < 0) threshold = 0;
  // Among a thousand fixed items only the dropped ones and the few fixed
  // ones near them take part: each pass looks at those alone.
  const Players players = FindPlayers(rects, count, threshold);
  std::vector<std::uint32_t> open;
  do {
    while (Pass(rects, players, threshold, keep, open)) {
    }
  } while (PlaceFirstFreeEdge(rects, players));
}
