// The grid and free-form rules and the snapping pass over plain item lists.
#include <qlxrapi/LayoutRules.h>
#include <qlxrapi/vRect.h>

#include <cstdlib>
#include <vector>

#include "LayoutTesting.h"

using namespace layouttest;
using namespace quellor::win;

namespace {

int NoStretch(HWND) {
  return 0;
}
// Window 2 stretches both ways; the others not.
int SecondStretches(HWND window) {
  return reinterpret_cast<long>(window) == 2 ? vRect::kStretchX | vRect::kStretchY : 0;
}

TEST(GridRule, UnevenItemsFlowAndWrapUnderTheTallestOfTheLine) {
  Owned o{MakeList({{0, 0, 30, 10}, {0, 0, 50, 40}, {0, 0, 20, 25}, {0, 0, 60, 5}})};
  GridLayout(o.list, 100, 0, 0);
  // 30 + 50 = 80; 80 + 20 = 100 reaches the width, so the third wraps under
  // the 40-high line.
  EXPECT_EQ((std::vector<Box>{{0, 0, 30, 10}, {30, 0, 50, 40}, {0, 40, 20, 25}, {20, 40, 60, 5}}),
            Boxes(o.list));
}

TEST(GridRule, SpacingSurroundsItemsAndAnItemExactlyAsWideAsTheRestWraps) {
  Owned o{MakeList({{0, 0, 40, 10}, {0, 0, 45, 20}, {0, 0, 44, 7}})};
  GridLayout(o.list, 100, 5, 3);
  // x = 5 + 40 + 5 = 50; 50 + 45 = 95 < 100 fits; next x = 100, wraps.
  EXPECT_EQ((std::vector<Box>{{5, 3, 40, 10}, {50, 3, 45, 20}, {5, 26, 44, 7}}), Boxes(o.list));
  Owned exact{MakeList({{0, 0, 50, 10}, {0, 0, 50, 10}})};
  GridLayout(exact.list, 100, 0, 0);  // 50 + 50 = 100: wraps
  EXPECT_EQ((std::vector<Box>{{0, 0, 50, 10}, {0, 10, 50, 10}}), Boxes(exact.list));
}

TEST(GridRule, WithSpacingAnItemTooWideForTheLineWrapsEvenFirst) {
  Owned o{MakeList({{0, 0, 120, 10}, {0, 0, 10, 10}})};
  GridLayout(o.list, 100, 4, 6);
  // The first item leaves an empty line (one spacing of gap) above it.
  EXPECT_EQ((std::vector<Box>{{4, 12, 120, 10}, {4, 28, 10, 10}}), Boxes(o.list));
  Owned none{MakeList({{0, 0, 120, 10}})};
  GridLayout(none.list, 100, 0, 0);  // without spacing x is 0: no wrap
  EXPECT_EQ((std::vector<Box>{{0, 0, 120, 10}}), Boxes(none.list));
}

TEST(GridDrop, DropGoesBeforeOrAfterTheNearestMiddleOrLastBelowEverything) {
  // Three 20x20 items on a line: 0, 20, 40.
  auto drop = [](long x, long y) {
    Owned o{GridDropPlacement(200, x, y, MakeList({{0, 0, 20, 20}, {0, 0, 20, 20}, {0, 0, 20, 20}}),
                              MakeList({{0, 0, 20, 20}}, 9), 0, 0)};
    return Ids(o.list);
  };
  EXPECT_EQ((std::vector<long>{9, 1, 2, 3}), drop(1, 10));   // at the first's left middle
  EXPECT_EQ((std::vector<long>{1, 9, 2, 3}), drop(18, 10));  // the first's right middle
  EXPECT_EQ((std::vector<long>{1, 2, 9, 3}), drop(41, 10));  // the third's left middle
  EXPECT_EQ((std::vector<long>{1, 2, 3, 9}), drop(59, 10));
  EXPECT_EQ((std::vector<long>{1, 2, 3, 9}), drop(0, 21));  // below every item
}

TEST(GridDrop, PlacedItemsFlowInTheirNewOrder) {
  Owned o{GridDropPlacement(100, 0, 5, MakeList({{0, 0, 30, 10}, {0, 0, 30, 10}}),
                            MakeList({{70, 70, 50, 10}, {0, 0, 10, 10}}, 9), 0, 0)};
  EXPECT_EQ((std::vector<long>{9, 10, 1, 2}), Ids(o.list));
  EXPECT_EQ((std::vector<Box>{{0, 0, 50, 10}, {50, 0, 10, 10}, {60, 0, 30, 10}, {0, 10, 30, 10}}),
            Boxes(o.list));
  Owned alone{GridDropPlacement(100, 0, 0, nullptr, MakeList({{7, 7, 10, 10}}), 2, 2)};
  EXPECT_EQ((std::vector<Box>{{2, 2, 10, 10}}), Boxes(alone.list));
}

TEST(FreeFormDrop, ADroppedItemSevenPixelsFromAnEdgeSnapsEightDoesNot) {
  // An existing item at 100..150; a dropped one whose left edge is 7 or 8
  // pixels right of the existing right edge.
  auto dropAt = [](long x) {
    Owned o{FreeFormDropPlacement(400, 300, MakeList({{100, 100, 50, 50}}),
                                  MakeList({{x, 100, 30, 30}}, 9), false, 7, &NoStretch)};
    return Boxes(o.list).front();
  };
  EXPECT_EQ((Box{150, 100, 30, 30}), dropAt(157));
  EXPECT_EQ((Box{158, 100, 30, 30}), dropAt(158));
  EXPECT_EQ((Box{150, 100, 30, 30}), dropAt(143));  // overlapping by 7 also snaps
  // The window's own edges pull too.
  Owned edge{
      FreeFormDropPlacement(400, 300, nullptr, MakeList({{5, 266, 30, 30}}), false, 7, &NoStretch)};
  EXPECT_EQ((Box{0, 270, 30, 30}), Boxes(edge.list).front());
}

TEST(FreeFormDrop, DroppedItemsComeFirstAndExistingOnesDoNotMove) {
  Owned o{FreeFormDropPlacement(400, 300, MakeList({{100, 100, 50, 50}, {200, 20, 10, 10}}),
                                MakeList({{153, 40, 20, 20}}, 9), false, 7, &NoStretch)};
  EXPECT_EQ((std::vector<long>{9, 1, 2}), Ids(o.list));
  // Nothing lies within 7 pixels of it (the item above is 40 pixels away).
  EXPECT_EQ((std::vector<Box>{{153, 40, 20, 20}, {100, 100, 50, 50}, {200, 20, 10, 10}}),
            Boxes(o.list));
}

TEST(FreeFormDrop, ResizingAStretchingItemKeepsItsFarEdgeWhenSizeOnly) {
  // A stretching item resized so its right edge lies 5 pixels short of the
  // window's: with sizeOnly its left edge stays; without, it moves along.
  auto drop = [](bool sizeOnly) {
    Owned o{FreeFormDropPlacement(200, 200, nullptr, MakeList({{50, 50, 145, 40}}, 2), sizeOnly, 7,
                                  &SecondStretches)};
    return Boxes(o.list).front();
  };
  EXPECT_EQ((Box{50, 50, 150, 40}), drop(true));
  EXPECT_EQ((Box{55, 50, 145, 40}), drop(false));
}

TEST(FreeFormRule, AChildTouchingTheRightEdgeStillTouchesItAfterAResize) {
  Owned o{MakeList({{150, 10, 50, 20}, {10, 10, 40, 20}})};
  FreeFormLayout(o.list, 300, 100, 200, 100, &NoStretch);
  // The right one follows the window's right edge; the other keeps its size
  // with its centre scaled: (10 + 20) * 300 / 200 = 45, left 25.
  EXPECT_EQ((std::vector<Box>{{250, 10, 50, 20}, {25, 10, 40, 20}}), Boxes(o.list));
}

TEST(FreeFormRule, AStretchingChildThatTouchedBothEdgesGrowsWithTheWindow) {
  Owned o{MakeList({{0, 0, 10, 10}, {0, 30, 200, 20}}, 1)};
  FreeFormLayout(o.list, 320, 100, 200, 100, &SecondStretches);
  EXPECT_EQ((Box{0, 30, 320, 20}), Boxes(o.list)[1]);
  EXPECT_EQ((Box{0, 0, 10, 10}), Boxes(o.list)[0]);
}

TEST(FreeFormRule, GluedNeighboursStayGlued) {
  // Two children side by side, the second touching the window's right edge.
  Owned o{MakeList({{60, 0, 40, 10}, {100, 0, 100, 10}})};
  FreeFormLayout(o.list, 400, 10, 200, 10, &NoStretch);
  EXPECT_EQ((std::vector<Box>{{260, 0, 40, 10}, {300, 0, 100, 10}}), Boxes(o.list));
}

TEST(FreeFormRule, SameSizeOrAnEmptyWindowLeavesEverythingWhereItIs) {
  Owned o{MakeList({{13, 17, 20, 20}})};
  FreeFormLayout(o.list, 200, 100, 200, 100, &NoStretch);
  FreeFormLayout(o.list, 0, 100, 200, 100, &NoStretch);
  FreeFormLayout(o.list, 300, 0, 200, 100, &NoStretch);
  EXPECT_EQ((Box{13, 17, 20, 20}), Boxes(o.list).front());
  // From a last size of 0 nothing is scaled.
  FreeFormLayout(o.list, 300, 300, 0, 0, &NoStretch);
  EXPECT_EQ((Box{13, 17, 20, 20}), Boxes(o.list).front());
}

TEST(Snapping, AStretchingRectangleMovesOneEdgeOnlyWhenItsOppositeIsPlaced) {
  vRect q = vRect::Make(0, 0, 100, 100, vRect::kFixed, 0, nullptr);
  q.newRight = 120;
  vRect p = vRect::Make(40, 0, 100, 10, vRect::kLeft, vRect::kStretchX, nullptr);
  p.Snap_right_with_right(q, false);
  EXPECT_EQ(40, p.newLeft);
  EXPECT_EQ(120, p.newRight);
  vRect free = vRect::Make(40, 0, 100, 10, 0, vRect::kStretchX, nullptr);
  free.Snap_right_with_right(q, false);
  EXPECT_EQ(60, free.newLeft);  // moved along, size kept
  EXPECT_EQ(vRect::kRight, free.placed);
  vRect rigid = vRect::Make(40, 0, 100, 10, 0, 0, nullptr);
  rigid.Snap_right_with_right(q, true);
  EXPECT_EQ(60, rigid.newLeft);
  EXPECT_EQ(vRect::kLeft | vRect::kRight, rigid.placed);
}

TEST(Snapping, ChainsPropagateAndRectanglesApartVerticallyDoNotPull) {
  tList<vRect> rects;
  vRect window = vRect::Make(0, 0, 100, 100, vRect::kFixed, 0, nullptr);
  window.newRight = 150;
  rects.AddItem(window);
  // a touches the window's right edge; b touches a's left edge; c lies at
  // a's left edge too but far below the window's band of a (no overlap).
  rects.AddItem(vRect::Make(80, 10, 100, 20, 0, 0, nullptr));
  rects.AddItem(vRect::Make(60, 10, 80, 20, 0, 0, nullptr));
  rects.AddItem(vRect::Make(60, 200, 80, 210, 0, 0, nullptr));
  SnapItems(rects, 0, false);
  EXPECT_EQ(130, rects[1].newLeft);
  EXPECT_EQ(110, rects[2].newLeft);
  EXPECT_EQ(60, rects[3].newLeft);
  for (std::uint32_t i = 0; i < rects.GetNoItems(); ++i)
    EXPECT_EQ(vRect::kFixed, rects[i].placed) << i;
}

// The snapping pass said as plainly as possible: every rectangle's placed
// edges against every rectangle with an edge free, pass after pass, through
// the public snaps. The library's pass looks only at the rectangles that can
// take part and must come to the same places.
// p's edge e snapped to q's edge f (0 left, 1 right, 2 top, 3 bottom; the
// two of one direction).
void SnapEdge(vRect& p, int e, const vRect& q, int f, bool keep) {
  switch (e * 4 + f) {
    case 0:
      p.Snap_left_with_left(q, keep);
      break;
    case 1:
      p.Snap_left_with_right(q, keep);
      break;
    case 4:
      p.Snap_right_with_left(q, keep);
      break;
    case 5:
      p.Snap_right_with_right(q, keep);
      break;
    case 10:
      p.Snap_top_with_top(q, keep);
      break;
    case 11:
      p.Snap_top_with_bottom(q, keep);
      break;
    case 14:
      p.Snap_bottom_with_top(q, keep);
      break;
    case 15:
      p.Snap_bottom_with_bottom(q, keep);
      break;
    default:
      ADD_FAILURE() << "edges of two directions: " << e << " " << f;
  }
}

void PlainSnap(std::vector<vRect>& rects, int threshold, bool keep) {
  struct Side {
    int vRect::*before;
    int bit;
    int stretch;
  };
  const Side sides[4] = {{&vRect::left, vRect::kLeft, vRect::kStretchX},
                         {&vRect::right, vRect::kRight, vRect::kStretchX},
                         {&vRect::top, vRect::kTop, vRect::kStretchY},
                         {&vRect::bottom, vRect::kBottom, vRect::kStretchY}};
  auto pass = [&]() {
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < rects.size(); ++i)
      if (rects[i].placed != vRect::kFixed) open.push_back(i);
    bool changed = false;
    for (std::size_t qi = 0; qi < rects.size(); ++qi)
      for (int f = 0; f < 4; ++f) {
        if ((rects[qi].placed & sides[f].bit) == 0) continue;
        const bool vertical = f < 2;
        for (std::size_t pi : open) {
          if (pi == qi) continue;
          vRect& p = rects[pi];
          const vRect& q = rects[qi];
          const bool overlap = vertical
                                   ? p.top - q.bottom <= threshold && q.top - p.bottom <= threshold
                                   : p.left - q.right <= threshold && q.left - p.right <= threshold;
          if (!overlap) continue;
          for (int e : {vertical ? 0 : 2, vertical ? 1 : 3}) {
            if ((p.placed & sides[e].bit) != 0) continue;
            if (std::abs(p.*(sides[e].before) - q.*(sides[f].before)) > threshold) continue;
            SnapEdge(p, e, q, f, keep);
            changed = true;
          }
        }
      }
    return changed;
  };
  auto placeFirst = [&]() {
    for (vRect& r : rects)
      for (const Side& e : sides) {
        if ((r.placed & e.bit) != 0 || (r.stretch & e.stretch) != 0) continue;
        r.placed |= e.bit;
        return true;
      }
    return false;
  };
  do {
    while (pass()) {
    }
  } while (placeFirst());
}

TEST(Snapping, OnlyRectanglesThatCanSnapAreLookedAtAndThePlacesStayTheSame) {
  std::uint32_t seed = 99;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) % static_cast<std::uint32_t>(range));
  };
  for (int round = 0; round < 400; ++round) {
    std::vector<vRect> rects;
    // A grid of fixed items (as under a drag) or a loose scatter, and a few
    // with free edges, some stretching, among them.
    const bool grid = round % 2 == 0;
    const int count = 2 + next(60);
    for (int i = 0; i < count; ++i) {
      int l = grid ? (i % 8) * 20 : next(160), t = grid ? (i / 8) * 20 : next(160);
      int w = grid ? 20 : 5 + next(40), h = grid ? 20 : 5 + next(40);
      const int kind = next(10);
      const int placed = kind < 6 ? vRect::kFixed : kind < 9 ? 0 : next(16);
      const int stretch = next(5) == 0 ? 1 + next(3) : 0;
      if (placed != vRect::kFixed && grid) {
        l += next(9) - 4;
        t += next(9) - 4;
      }
      vRect r = vRect::Make(l, t, l + w, t + h, placed, stretch, nullptr);
      if (i == 0) r.newRight += next(30);  // the window, grown
      rects.push_back(r);
    }
    const int threshold = next(9);
    const bool keep = next(2) == 1;
    std::vector<vRect> expected = rects;
    PlainSnap(expected, threshold, keep);
    SnapItems(rects.data(), static_cast<std::uint32_t>(rects.size()), threshold, keep);
    for (std::size_t i = 0; i < rects.size(); ++i) {
      ASSERT_EQ(expected[i].newLeft, rects[i].newLeft) << round << " " << i;
      ASSERT_EQ(expected[i].newTop, rects[i].newTop) << round << " " << i;
      ASSERT_EQ(expected[i].newRight, rects[i].newRight) << round << " " << i;
      ASSERT_EQ(expected[i].newBottom, rects[i].newBottom) << round << " " << i;
      ASSERT_EQ(expected[i].placed, rects[i].placed) << round << " " << i;
    }
  }
}

TEST(ItemPool, FreedItemsAreReusedAndComeBackCleared) {
  WindowLayout_Item* list = MakeList({{1, 2, 3, 4}, {5, 6, 7, 8}});
  const long before = WindowLayout::PooledItems();
  WindowLayout::FreeLayout(list);
  EXPECT_EQ(before + 2, WindowLayout::PooledItems());
  WindowLayout_Item* again = WindowLayout::NewChild();
  EXPECT_EQ(before + 1, WindowLayout::PooledItems());
  EXPECT_EQ(0, again->x);
  EXPECT_EQ(nullptr, again->next);
  EXPECT_EQ(nullptr, again->window);
  WindowLayout::DeleteChild(again);
  Owned two{MakeList({{}, {}})};
  EXPECT_EQ(2, WindowLayout::Count(two.list));
}

}  // namespace
