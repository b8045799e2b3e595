// The graticule artwork against the levels a broadcast engineer reads off
// it: lines where the monitor's traces of those levels land.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "Graticules.h"
#include "ScopeScales.h"

namespace quellor::graticules {
namespace {

// A solid or dashed line: most of the row's pixels across [x0, x1] are lit.
bool RowIsLine(const Canvas& canvas, int row, int x0, int x1) {
  int lit = 0;
  for (int x = x0; x <= x1; ++x) lit += canvas.At(x, row) != 0;
  return lit * 2 > (x1 - x0 + 1);
}

TEST(GraticuleScales, LevelsLandWhereTheMonitorPlotsThem) {
  // Y 16 -> 192 - 8; Y 235 -> 192 - 117 (the monitor shifts Y right by one).
  EXPECT_EQ(RowOfLuma(16), 184);
  EXPECT_EQ(RowOfLuma(235), 75);
  EXPECT_EQ(RowOfLuma(LumaOfIre(7.5, true)), 184) << "black is the setup line";
  EXPECT_EQ(RowOfLuma(LumaOfIre(0, false)), 184) << "no setup: black is 0 IRE";
  EXPECT_EQ(RowOfLuma(LumaOfIre(100, true)), 75);
  EXPECT_EQ(RowOfLuma(LumaOfIre(100, false)), 75);
  EXPECT_GT(RowOfLuma(LumaOfIre(0, true)), 184) << "0 IRE lies below black with setup";
  EXPECT_EQ(RowOfU(128), 129);
  EXPECT_EQ(RowOfV(128), 128);
  EXPECT_EQ(RowOfRed(191.25), 97) << "75% bars";
}

TEST(GraticuleArt, WaveformHasSetupLineOnlyWithSetup) {
  const Canvas standard = DrawCompositeYc(false);
  const Canvas japanese = DrawCompositeYc(true);
  // Both have a line where black lands and at white.
  EXPECT_TRUE(RowIsLine(standard, 184, 60, 300));
  EXPECT_TRUE(RowIsLine(japanese, 184, 60, 300));
  EXPECT_TRUE(RowIsLine(standard, 75, 60, 300));
  EXPECT_TRUE(RowIsLine(japanese, 75, 60, 300));
  // The standard one also has 0 IRE a few rows under black; the Japanese one
  // has nothing there but the scale's tick.
  const int zero = RowOfLuma(LumaOfIre(0, true));
  EXPECT_TRUE(RowIsLine(standard, zero, 60, 300));
  EXPECT_FALSE(RowIsLine(japanese, zero, 60, 300));
  // Nothing between the 7.5 line and the 10 IRE line in the standard one.
  const int ten = RowOfLuma(LumaOfIre(10, true));
  for (int row = ten + 1; row < 184; ++row) EXPECT_FALSE(RowIsLine(standard, row, 60, 300)) << row;
}

TEST(GraticuleArt, ParadesHaveThreePanels) {
  const Canvas rgb = DrawComponentRgb();
  for (int panel = 0; panel < 3; ++panel) {
    const int x0 = panel * 120 + 10, x1 = panel * 120 + 110;
    EXPECT_TRUE(RowIsLine(rgb, panel == 1 ? RowOfGreen(255) : RowOfRed(255), x0, x1)) << panel;
    EXPECT_TRUE(RowIsLine(rgb, panel == 1 ? RowOfGreen(0) : RowOfRed(0), x0, x1)) << panel;
    EXPECT_TRUE(RowIsLine(rgb, panel == 1 ? RowOfGreen(191.25) : RowOfRed(191.25), x0, x1))
        << panel;
  }
  const Canvas yuv = DrawComponentYuv(false);
  EXPECT_TRUE(RowIsLine(yuv, 184, 10, 110)) << "Y black";
  EXPECT_TRUE(RowIsLine(yuv, RowOfU(128), 130, 230)) << "U zero";
  EXPECT_TRUE(RowIsLine(yuv, RowOfV(128), 250, 350)) << "V zero";
  EXPECT_FALSE(RowIsLine(yuv, RowOfU(128), 10, 110)) << "panels keep their own scales";
}

TEST(GraticuleArt, VectorTargetsSitInClosedFineBoxes) {
  const Canvas scope = DrawVectorScope();
  const auto targets = SeventyFivePercentTargets();
  ASSERT_EQ(targets.size(), 6u);
  // Known angles of 75% bars on a vectorscope (degrees from +B-Y), within
  // the squeeze's small error.
  const double kAngles[] = {103.5, 60.8, 347.1, 283.5, 240.8, 167.1};
  for (std::size_t i = 0; i < targets.size(); ++i) {
    const VectorTarget& t = targets[i];
    EXPECT_NEAR(t.angle, kAngles[i], 1.5) << t.label;
    // The target's own pixel is inside the box: dark at the centre, and a
    // box pixel within a few pixels in each of the four directions.
    const DisplayPoint p = VectorPoint(t.cb, t.cr);
    const int x = int(std::lround(p.x)), y = int(std::lround(p.y));
    EXPECT_EQ(scope.At(x, y), 0) << t.label;
    const int dx[] = {1, -1, 0, 0}, dy[] = {0, 0, 1, -1};
    for (int d = 0; d < 4; ++d) {
      int reach = 1;
      while (reach < 10 && scope.At(x + dx[d] * reach, y + dy[d] * reach) != kTarget) ++reach;
      EXPECT_LT(reach, 10) << t.label << " direction " << d;
    }
  }
}

TEST(GraticuleArt, TargaHeaderAndSize) {
  const std::string path = std::string(std::getenv("QUELLOR_TEST_TMP")) + "/graticule.tga";
  ASSERT_TRUE(WriteTarga(DrawComponentRgb(), path));
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 18u + 360u * 256u * 3u);
  EXPECT_EQ(bytes[2], 2);
  EXPECT_EQ(static_cast<unsigned char>(bytes[12]) | static_cast<unsigned char>(bytes[13]) << 8,
            360);
  EXPECT_EQ(static_cast<unsigned char>(bytes[14]) | static_cast<unsigned char>(bytes[15]) << 8,
            256);
  EXPECT_EQ(bytes[16], 24);
  std::remove(path.c_str());
}

}  // namespace
}  // namespace quellor::graticules
