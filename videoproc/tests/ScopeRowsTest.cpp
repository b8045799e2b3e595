// The scopes' passes against pictures worked out by hand: where 75% bars,
// flat grey and black must land, and how traces accumulate.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <set>
#include <vector>

#include "ScopeRows.h"
#include "ScopeTestFields.h"

namespace quellor::videoproc {
namespace {

using testing::BarLines;
using testing::FlatLines;
using testing::kBars75;

struct Scope {
  std::vector<std::uint8_t> display = std::vector<std::uint8_t>(kScopeBytes, 0);
  std::vector<std::uint32_t> map = std::vector<std::uint32_t>(65536);
  std::vector<std::uint8_t> scratch = std::vector<std::uint8_t>(720 * 4);
  Scope() { BuildVectorScopeMap(map.data()); }
  void Draw(int mode, const std::vector<std::uint8_t>& field,
            const std::uint8_t* graticule = nullptr, std::uint32_t lines = 0) {
    if (lines == 0) lines = static_cast<std::uint32_t>(field.size() / kScopeLineBytes);
    DrawScope(mode, graticule, field.data(), lines, map.data(), scratch.data(), display.data());
  }
  std::uint8_t At(int row, int column) const { return display[row * kScopeWidth + column]; }
  // The rows lit in a column.
  std::set<int> LitRows(int column) const {
    std::set<int> rows;
    for (int row = 0; row < kScopeHeight; ++row) {
      if (At(row, column) != 0) rows.insert(row);
    }
    return rows;
  }
};

TEST(ScopeLuma, SeventyFivePercentBarsGiveTheirIreLevels) {
  Scope scope;
  scope.Draw(kScopeLuma, BarLines());
  // The standard levels of 75% bars with setup, in IRE.
  const double kIre[8] = {77, 69, 56, 48, 36, 28, 15, 7.5};
  for (int bar = 0; bar < 8; ++bar) {
    for (int column = bar * 45; column < bar * 45 + 45; ++column) {
      const std::set<int> rows = scope.LitRows(column);
      ASSERT_EQ(rows.size(), 1u) << kBars75[bar].name << " column " << column;
      const int row = *rows.begin();
      EXPECT_EQ(row, 192 - (kBars75[bar].y >> 1)) << kBars75[bar].name;
      // Back through the graticule's scale: 2 rows a luma step of 2.
      EXPECT_NEAR(testing::IreWithSetup((192 - row) * 2.0), kIre[bar], 1.0) << kBars75[bar].name;
      // 240 plots of 10 stop at the first value of 245 or more.
      EXPECT_EQ(scope.At(row, column), 250);
    }
  }
}

TEST(ScopeLuma, FlatGreyIsOneLineAndBlackSitsOnTheSetupRow) {
  Scope grey;
  grey.Draw(kScopeLuma, FlatLines(126, 128, 128));
  for (int column = 0; column < kScopeWidth; ++column) {
    EXPECT_EQ(grey.LitRows(column), std::set<int>{192 - 63}) << column;
  }
  Scope black;
  black.Draw(kScopeLuma, FlatLines(16, 128, 128, 1));
  // One kept line adds 10 twice to row 184 in every column.
  for (int column = 0; column < kScopeWidth; ++column) {
    EXPECT_EQ(black.LitRows(column), std::set<int>{184});
    EXPECT_EQ(black.At(184, column), 20);
  }
}

TEST(ScopeAccumulation, StopsAtTheLimitWithoutWrapping) {
  std::vector<std::uint8_t> graticule(kScopeBytes, 0);
  graticule[183 * kScopeWidth] = 244;  // where black lands in composite
  Scope scope;
  scope.Draw(kScopeComposite, FlatLines(16, 128, 128, 1), graticule.data());
  EXPECT_EQ(scope.At(183, 0), 251) << "244 + 7, then no more";
  scope.Draw(kScopeComposite, FlatLines(16, 128, 128, 3), graticule.data());
  EXPECT_EQ(scope.At(183, 0), 251);
  // The vectorscope has its own limit, 250.
  std::vector<std::uint8_t> bright(kScopeBytes, 0);
  bright[128 * kScopeWidth + 180] = 248;
  scope.Draw(kScopeVector, FlatLines(16, 128, 128, 2), bright.data());
  EXPECT_EQ(scope.At(128, 180), 253);
}

TEST(ScopeAccumulation, GraticuleIsCopiedFirstAndUnknownModesDrawOnlyIt) {
  std::vector<std::uint8_t> graticule(kScopeBytes, 7);
  Scope scope;
  scope.Draw(9, BarLines(), graticule.data());
  EXPECT_EQ(scope.display, graticule);
  scope.Draw(kScopeLuma, FlatLines(126, 128, 128), graticule.data());
  EXPECT_EQ(scope.At(0, 0), 7);
  EXPECT_EQ(scope.At(129, 0), 7 + 240) << "7 + 24 plots of 10, then 247 takes no more";
}

TEST(ScopeAccumulation, AtMost144LinesAreDrawn) {
  // Grey in the first 144 lines, black after them.
  auto field = FlatLines(126, 128, 128, 200);
  const auto black = FlatLines(16, 128, 128, 56);
  std::copy(black.begin(), black.end(), field.begin() + 144 * kScopeLineBytes);
  Scope scope;
  scope.Draw(kScopeLuma, field, nullptr, 200);
  EXPECT_EQ(scope.LitRows(0), std::set<int>{129}) << "the black lines past 144 are not drawn";
  scope.Draw(kScopeLuma, field, nullptr, 145);
  EXPECT_EQ(scope.LitRows(0), std::set<int>{129});
}

TEST(ScopeChroma, EnvelopeSwingsAroundNoColour) {
  Scope scope;
  scope.Draw(kScopeChroma, FlatLines(100, 128, 128, 1));
  for (int column = 0; column < kScopeWidth; ++column) {
    // 255 - 128/2 on even pairs, 255 - 127/2 on the complemented odd ones.
    EXPECT_EQ(scope.LitRows(column), std::set<int>{column % 2 == 0 ? 191 : 192}) << column;
  }
  Scope red;
  red.Draw(kScopeChroma, FlatLines(65, 100, 212, 1));
  EXPECT_EQ(red.LitRows(0), (std::set<int>{255 - 50, 255 - 106}));
  EXPECT_EQ(red.LitRows(1), (std::set<int>{255 - 77, 255 - 21}));
}

TEST(ScopeComposite, YellowSwingsAboveAndBelowItsLuma) {
  Scope scope;
  scope.Draw(kScopeComposite, FlatLines(162, 44, 142, 1));
  EXPECT_EQ(scope.LitRows(0), (std::set<int>{255 - (162 + 142) / 2, 255 - (162 + 44) / 2}));
  EXPECT_EQ(scope.LitRows(1),
            (std::set<int>{255 - (162 - 142 + 256) / 2, 255 - (162 - 44 + 256) / 2}));
}

TEST(ScopeParades, YuvPanelsAndTheLightFourthSample) {
  Scope scope;
  scope.Draw(kScopeYuvParade, FlatLines(180, 44, 212, 1));
  for (int g = 0; g < 120; ++g) {
    EXPECT_EQ(scope.LitRows(g), std::set<int>{192 - 90});
    EXPECT_EQ(scope.At(192 - 90, g), 5 * 5 + 2);
    EXPECT_EQ(scope.LitRows(120 + g), std::set<int>{193 - 22});
    EXPECT_EQ(scope.At(193 - 22, 120 + g), 15);
    EXPECT_EQ(scope.LitRows(240 + g), std::set<int>{192 - 106});
  }
}

TEST(ScopeParades, RgbOfSeventyFivePercentBars) {
  Scope scope;
  scope.Draw(kScopeRgbParade, BarLines(1));
  for (int bar = 0; bar < 8; ++bar) {
    // The groups wholly inside the bar (a bar is 15 groups of six pixels).
    for (int g = bar * 15 + 1; g < bar * 15 + 14; ++g) {
      const double levels[3] = {kBars75[bar].r, kBars75[bar].g, kBars75[bar].b};
      for (int panel = 0; panel < 3; ++panel) {
        const std::set<int> rows = scope.LitRows(panel * 120 + g);
        ASSERT_EQ(rows.size(), 1u) << kBars75[bar].name << " panel " << panel;
        const int base = panel == 1 ? 193 : 192;
        const double expected = base - levels[panel] * 255.0 / 2.0;
        EXPECT_NEAR(*rows.begin(), expected, 1.5) << kBars75[bar].name << " panel " << panel;
      }
    }
  }
}

// Degrees and length of a dot in the display's plane (x squeezed by 0.7).
struct Polar {
  double degrees, radius;
};
Polar PolarOf(double x, double y) {
  double degrees = std::atan2(128.0 - y, x - 180.0) * 180.0 / std::numbers::pi;
  if (degrees < 0) degrees += 360;
  return {degrees, std::hypot(x - 180.0, 128.0 - y)};
}

TEST(ScopeVector, BarsLandInsideTheirTargetBoxes) {
  Scope scope;
  scope.Draw(kScopeVector, BarLines());
  std::set<std::pair<int, int>> lit;
  for (int row = 0; row < kScopeHeight; ++row) {
    for (int column = 0; column < kScopeWidth; ++column) {
      if (scope.At(row, column) != 0) lit.insert({row, column});
    }
  }
  EXPECT_EQ(lit.size(), 7u) << "six colours and the centre (white and black)";
  EXPECT_TRUE(lit.count({128, 180}));
  // Hand-computed targets: BT.601 colour differences of the R'G'B' of each
  // bar, scaled to studio range, with the display's 0.7 squeeze.
  for (int bar = 1; bar <= 6; ++bar) {
    const auto& c = kBars75[bar];
    const double y = 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
    const double cb = 224 * (c.b - y) / 1.772, cr = 224 * (c.r - y) / 1.402;
    const Polar target = PolarOf(180 + 0.7 * cb, 128 - cr);
    const ScopePoint dot = VectorScopePosition(c.u, c.v);
    ASSERT_TRUE(lit.count({dot.row, dot.column})) << c.name;
    const Polar seen = PolarOf(dot.column, dot.row);
    EXPECT_NEAR(seen.degrees, target.degrees, 3.0) << c.name << ": inside the 3 degree box";
    EXPECT_NEAR(seen.radius, target.radius, target.radius * 0.05) << c.name << ": and 5 %";
  }
}

TEST(ScopeVector, MapFollowsTheFormulaAndClipsToThePicture) {
  EXPECT_EQ(VectorScopePosition(128, 128).row, 128);
  EXPECT_EQ(VectorScopePosition(128, 128).column, 180);
  EXPECT_EQ(VectorScopePosition(128, 0).row, 256) << "outside the picture";
  std::vector<std::uint32_t> map(65536);
  BuildVectorScopeMap(map.data());
  EXPECT_EQ(map[128 * 256 + 0], 255u * kScopeWidth + 180) << "clipped to the last row";
  EXPECT_EQ(map[128 * 256 + 128], 128u * kScopeWidth + 180);
  for (std::uint32_t offset : map) ASSERT_LT(offset, kScopeBytes);
  // +U goes right, +V goes up.
  EXPECT_GT(VectorScopePosition(200, 128).column, 180);
  EXPECT_LT(VectorScopePosition(128, 200).row, 128);
}

}  // namespace
}  // namespace quellor::videoproc
