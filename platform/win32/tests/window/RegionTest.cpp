// Regions: combination, banding and the Win32 region functions.
#include <gtest/gtest.h>

#include "Region.h"
#include "windows.h"

using quellor::win32::Region;

namespace {

int Area(const Region& r) {
  int a = 0;
  for (const RECT& x : r.Rects()) a += (x.right - x.left) * (x.bottom - x.top);
  return a;
}

TEST(RegionTest, CombineOperationsGiveExactPixelSets) {
  Region a(RECT{0, 0, 10, 10});
  Region b(RECT{5, 5, 15, 15});
  EXPECT_EQ(Area(Region::Combine(a, b, Region::Op::And)), 25);
  EXPECT_EQ(Area(Region::Combine(a, b, Region::Op::Or)), 175);
  EXPECT_EQ(Area(Region::Combine(a, b, Region::Op::Xor)), 150);
  EXPECT_EQ(Area(Region::Combine(a, b, Region::Op::Diff)), 75);
  Region diff = Region::Combine(a, b, Region::Op::Diff);
  EXPECT_TRUE(diff.Contains(4, 9));
  EXPECT_FALSE(diff.Contains(5, 5));
  EXPECT_FALSE(diff.Contains(10, 0));  // right edge is outside
}

TEST(RegionTest, BandsAreCoalescedAndDisjoint) {
  // Two touching rectangles of equal width merge into one.
  Region r = Region::FromRects({RECT{0, 0, 10, 5}, RECT{0, 5, 10, 10}});
  ASSERT_EQ(r.Rects().size(), 1u);
  EXPECT_EQ(r.Kind(), SIMPLEREGION);
  // A hole leaves four rectangles, none overlapping.
  Region hole = Region(RECT{0, 0, 30, 30}).Subtracted(RECT{10, 10, 20, 20});
  EXPECT_EQ(hole.Kind(), COMPLEXREGION);
  EXPECT_EQ(Area(hole), 900 - 100);
  for (size_t i = 0; i < hole.Rects().size(); ++i) {
    for (size_t j = i + 1; j < hole.Rects().size(); ++j) {
      RECT x;
      EXPECT_FALSE(IntersectRect(&x, &hole.Rects()[i], &hole.Rects()[j]));
    }
  }
}

TEST(RegionTest, ManyRectanglesUnionMatchesPixelCount) {
  std::vector<RECT> rects;
  for (int y = 0; y < 50; ++y) rects.push_back(RECT{y % 7, y, 40 + y % 5, y + 1});
  rects.push_back(RECT{0, 0, 50, 50});
  EXPECT_EQ(Area(Region::FromRects(rects)), 2500);
  EXPECT_EQ(Region().Kind(), NULLREGION);
}

TEST(RegionTest, Win32FunctionsReportKindsAndRejectBadData) {
  HRGN a = CreateRectRgn(0, 0, 10, 10);
  HRGN b = CreateRectRgn(20, 0, 30, 10);
  HRGN dst = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(dst, a, b, RGN_OR), COMPLEXREGION);
  EXPECT_EQ(CombineRgn(dst, a, b, RGN_AND), NULLREGION);
  EXPECT_EQ(CombineRgn(dst, a, nullptr, RGN_COPY), SIMPLEREGION);
  EXPECT_TRUE(PtInRegion(dst, 9, 9));
  EXPECT_FALSE(PtInRegion(dst, 10, 10));
  RECT box;
  EXPECT_EQ(GetRgnBox(dst, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 10);
  EXPECT_EQ(CombineRgn(dst, a, reinterpret_cast<HRGN>(uintptr_t(0x1234)), RGN_OR), ERROR);

  // ExtCreateRegion: header of 32 bytes, type rectangles, count, bounds.
  struct {
    RGNDATAHEADER rdh;
    RECT rects[2];
  } data{{sizeof(RGNDATAHEADER), RDH_RECTANGLES, 2, 0, {0, 0, 100, 100}},
         {{0, 0, 10, 1}, {5, 1, 6, 2}}};
  HRGN ext = ExtCreateRegion(nullptr, sizeof data, reinterpret_cast<RGNDATA*>(&data));
  ASSERT_NE(ext, nullptr);
  EXPECT_TRUE(PtInRegion(ext, 5, 1));
  EXPECT_FALSE(PtInRegion(ext, 6, 1));
  // A count larger than the data given is refused rather than read past.
  EXPECT_EQ(ExtCreateRegion(nullptr, sizeof(RGNDATAHEADER) + 16, reinterpret_cast<RGNDATA*>(&data)),
            nullptr);
  data.rdh.dwSize = 40;
  EXPECT_EQ(ExtCreateRegion(nullptr, sizeof data, reinterpret_cast<RGNDATA*>(&data)), nullptr);
  for (HRGN r : {a, b, dst, ext}) EXPECT_TRUE(DeleteObject(r));
}

TEST(RegionTest, RandomCombinationsMatchAPixelModel) {
  // Every operation on random rectangle sets agrees with the same operation
  // done pixel by pixel on a 40 x 40 grid, and the result stays banded.
  uint32_t seed = 12345;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return int((seed >> 16) % uint32_t(range));
  };
  auto randomRegion = [&](std::vector<bool>& grid) {
    std::vector<RECT> rects;
    grid.assign(1600, false);
    int n = 1 + next(6);
    for (int i = 0; i < n; ++i) {
      int l = next(40), t = next(40);
      RECT r{l, t, l + 1 + next(40 - l), t + 1 + next(40 - t)};
      rects.push_back(r);
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) grid[size_t(y * 40 + x)] = true;
    }
    return Region::FromRects(rects);
  };
  const Region::Op ops[] = {Region::Op::And, Region::Op::Or, Region::Op::Xor, Region::Op::Diff};
  for (int round = 0; round < 200; ++round) {
    std::vector<bool> ga, gb;
    Region a = randomRegion(ga), b = randomRegion(gb);
    for (Region::Op op : ops) {
      Region r = Region::Combine(a, b, op);
      for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
          bool pa = ga[size_t(y * 40 + x)], pb = gb[size_t(y * 40 + x)];
          bool expected = op == Region::Op::And   ? (pa && pb)
                          : op == Region::Op::Or  ? (pa || pb)
                          : op == Region::Op::Xor ? (pa != pb)
                                                  : (pa && !pb);
          ASSERT_EQ(r.Contains(x, y), expected) << round << " " << int(op) << " " << x << "," << y;
        }
      }
      // Banding: sorted by top, then left; no two rectangles overlap.
      const auto& rects = r.Rects();
      for (size_t i = 1; i < rects.size(); ++i) {
        ASSERT_TRUE(rects[i - 1].top < rects[i].top ||
                    (rects[i - 1].top == rects[i].top && rects[i - 1].right <= rects[i].left));
      }
      // Rectangles never overlap, so their areas add up to the pixel count.
      int inside = 0;
      for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) inside += r.Contains(x, y) ? 1 : 0;
      }
      EXPECT_EQ(Area(r), inside);
    }
  }
}

TEST(RegionTest, RectangleShortCutsGiveTheSameBandsAsTheSweep) {
  // Regions against single rectangles, empty regions and regions far apart
  // take short paths; each must give exactly the bands of the full sweep
  // (the same rectangles in the same order, touching bands merged).
  uint32_t seed = 777;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return int((seed >> 16) % uint32_t(range));
  };
  auto randomRect = [&]() {
    int l = next(60) - 10, t = next(60) - 10;
    return RECT{l, t, l + next(30), t + next(30)};  // sometimes empty
  };
  auto randomRegion = [&]() {
    switch (next(4)) {
      case 0:
        return Region();
      case 1:
        return Region(randomRect());
      default: {
        std::vector<RECT> rects;
        for (int i = 0, n = 1 + next(5); i < n; ++i) rects.push_back(randomRect());
        return Region::FromRects(rects);
      }
    }
  };
  const Region::Op ops[] = {Region::Op::And, Region::Op::Or, Region::Op::Xor, Region::Op::Diff};
  for (int round = 0; round < 2000; ++round) {
    Region a = randomRegion(), b = randomRegion();
    if (round % 5 == 0) b.Offset(100, 0);  // apart
    for (Region::Op op : ops) {
      ASSERT_TRUE(Region::Combine(a, b, op) == Region::CombineBySweep(a, b, op))
          << round << " " << int(op);
    }
    const RECT r = randomRect();
    ASSERT_TRUE(a.Intersected(r) == Region::CombineBySweep(a, Region(r), Region::Op::And)) << round;
    ASSERT_TRUE(a.Subtracted(r) == Region::CombineBySweep(a, Region(r), Region::Op::Diff)) << round;
  }
  // A hole's sides merge back with the bands above and below once it is
  // filled again, and cutting a band to nothing leaves no empty rectangle.
  Region frame = Region(RECT{0, 0, 30, 30}).Subtracted(RECT{10, 10, 20, 20});
  EXPECT_TRUE(frame.Intersected(RECT{0, 0, 10, 30}) == Region(RECT{0, 0, 10, 30}));
  EXPECT_TRUE(frame.Subtracted(RECT{0, 0, 30, 10}).Subtracted(RECT{0, 20, 30, 30}) ==
              Region::FromRects({RECT{0, 10, 10, 20}, RECT{20, 10, 30, 20}}));
  EXPECT_TRUE(Region(RECT{0, 0, 5, 5}).Subtracted(RECT{-1, -1, 6, 6}).IsEmpty());
  EXPECT_TRUE(Region(RECT{0, 0, 5, 5}).Intersected(RECT{5, 0, 9, 5}).IsEmpty());
  // Swapped edges are taken as the same rectangle.
  EXPECT_TRUE(Region(RECT{0, 0, 5, 5}).Intersected(RECT{4, 4, 1, 1}) == Region(RECT{1, 1, 4, 4}));
}

}  // namespace
