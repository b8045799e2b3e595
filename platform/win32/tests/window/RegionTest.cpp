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

}  // namespace
