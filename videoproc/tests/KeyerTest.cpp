// The keying engine and the ChromaKey node on hand-computed pixel pairs.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "../src/KeyRows.h"
#include "VideoTestFields.h"
#include "videoproc/ChromaKey.h"
#include "videoproc/VideoGradient.h"

namespace {

using quellor::videoproc::testing::TestStream;

std::vector<std::uint8_t> Pairs(int count, std::uint8_t u, std::uint8_t y0, std::uint8_t v,
                                std::uint8_t y1) {
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < count; ++i) bytes.insert(bytes.end(), {u, y0, v, y1});
  return bytes;
}

TEST(Keyer, DefaultsGiveTheDocumentedColoursAndCurve) {
  ChromaKeyImplementation key;
  unsigned char y, u, v;
  key.GetColors_YUV(&y, &u, &v);
  EXPECT_EQ(y, 119);
  EXPECT_EQ(u, 101);
  EXPECT_EQ(v, 94);
  key.GetBGColors_YUV(&y, &u, &v);
  EXPECT_EQ(y, 113);
  EXPECT_EQ(u, 72);
  EXPECT_EQ(v, 137);
  EXPECT_EQ(key.GetCurveEntry(0), 7);
  EXPECT_EQ(key.GetCurveEntry(35), 128);
  EXPECT_EQ(key.GetCurveEntry(75), 250);
  EXPECT_EQ(key.GetCurveEntry(76), 255);
  EXPECT_EQ(key.GetCurveEntry(510), 255);
  EXPECT_EQ(key.GetKeyMode(), ChromaKeyMode_Chroma);

  key.SetBGColors_RGB(0, 0, 0);
  key.GetBGColors_YUV(&y, &u, &v);
  EXPECT_EQ(y, 16);
  EXPECT_EQ(u, 128);
  EXPECT_EQ(v, 128);
  key.SetBGColors_RGB(255, 255, 255);
  key.GetBGColors_YUV(&y, nullptr, nullptr);
  EXPECT_EQ(y, 235);
}

TEST(Keyer, OutOfRangeSettingsAreClippedAndSoftnessZeroIsAHardEdge) {
  ChromaKeyImplementation key;
  key.SetToleranceValues(300, 0, 300);
  EXPECT_EQ(key.GetCurveEntry(0), 0);
  EXPECT_EQ(key.GetCurveEntry(254), 0);
  EXPECT_EQ(key.GetCurveEntry(255), 128);
  EXPECT_EQ(key.GetCurveEntry(256), 255);
  EXPECT_EQ(key.GetLowThreshold(), 255);
  EXPECT_EQ(key.GetHighThreshold(), 0);
  key.SetToleranceValues(35, 0, 200);
  EXPECT_EQ(key.GetCurveEntry(34), 0);
  EXPECT_EQ(key.GetCurveEntry(35), 100);
  EXPECT_EQ(key.GetCurveEntry(36), 200);
}

// 21 pairs: the fast rows take 16, the plain tail the rest.
TEST(Keyer, ChromaKeyMixesByTheDistanceOfUAndV) {
  ChromaKeyImplementation key;  // key U 101 V 94; background U 72 Y 113 V 137
  auto match = Pairs(21, 101, 200, 94, 50);
  key.ApplyKey(match.data(), nullptr, 42);
  const std::uint8_t background[4] = {72, 113, 137, 113};
  const std::uint8_t fore[4] = {101, 200, 94, 50};
  for (int i = 0; i < 84; ++i) {
    ASSERT_EQ(match[i], (fore[i % 4] * 7 + background[i % 4] * 248) >> 8) << i;
  }
  auto far = Pairs(21, 200, 180, 200, 1);  // distance 99 + 106
  key.ApplyKey(far.data(), nullptr, 42);
  for (int i = 0; i < 84; i += 4) {
    ASSERT_EQ(far[i], 199);
    ASSERT_EQ(far[i + 1], 179);
    ASSERT_EQ(far[i + 3], 0);  // (1 x 255) >> 8
  }
}

TEST(Keyer, KeyEdgeFollowsTheCurveAtTheTolerance) {
  ChromaKeyImplementation key;
  key.SetColors_YUV(0, 100, 100);
  key.SetBGColors_YUV(16, 128, 128);
  key.SetToleranceValues(10, 0, 255);         // hard edge at distance 10
  auto inside = Pairs(9, 105, 80, 104, 80);   // distance 9: background
  auto edge = Pairs(9, 105, 80, 105, 80);     // distance 10: half
  auto outside = Pairs(9, 106, 80, 105, 80);  // distance 11: foreground (one step darker)
  key.ApplyKey(inside.data(), nullptr, 18);
  key.ApplyKey(edge.data(), nullptr, 18);
  key.ApplyKey(outside.data(), nullptr, 18);
  EXPECT_EQ(inside[1], (16 * 255) >> 8);
  EXPECT_EQ(edge[1], (80 * 128 + 16 * 127) >> 8);
  EXPECT_EQ(outside[1], (80 * 255) >> 8);
  EXPECT_EQ(inside[32], 127);  // last pair, U: the background's
}

TEST(Keyer, ArithmeticAndHardLumaModes) {
  ChromaKeyImplementation key;
  key.SetBGColors_YUV(235, 128, 128);
  key.SetKeyMode(ChromaKeyMode_Add);
  auto add = Pairs(1, 128, 235, 128, 16);
  key.ApplyKey(add.data(), nullptr, 2);
  EXPECT_EQ(add[1], 254);
  EXPECT_EQ(add[3], 235);
  key.SetKeyMode(ChromaKeyMode_Subtract);
  auto subtract = Pairs(1, 128, 16, 128, 235);
  key.ApplyKey(subtract.data(), nullptr, 2);
  EXPECT_EQ(subtract[1], 1);
  EXPECT_EQ(subtract[3], 16);

  key.SetToleranceValues(35, 20, 255);
  key.SetBGColors_YUV(200, 10, 20);
  key.SetKeyMode(ChromaKeyMode_Dark);
  auto dark = Pairs(9, 90, 34, 91, 35);
  key.ApplyKey(dark.data(), nullptr, 18);
  for (int i = 0; i < 36; i += 4) {
    EXPECT_EQ(dark[i], 10);
    EXPECT_EQ(dark[i + 1], 200);
    EXPECT_EQ(dark[i + 2], 20);
    EXPECT_EQ(dark[i + 3], 35) << "Y1 35 is not below the tolerance";
  }
  key.SetKeyMode(ChromaKeyMode_Light);  // high threshold 220
  auto light = Pairs(9, 90, 220, 91, 221);
  key.ApplyKey(light.data(), nullptr, 18);
  EXPECT_EQ(light[1], 220);
  EXPECT_EQ(light[0], 90);
  EXPECT_EQ(light[3], 200);
}

TEST(Keyer, UnknownModesLeaveThePictureAndOddPixelsAreLeftAlone) {
  ChromaKeyImplementation key;
  for (int mode : {0, 11}) {
    key.SetKeyMode(static_cast<ChromaKeyMode>(mode));
    auto picture = Pairs(3, 101, 50, 94, 60);
    const auto before = picture;
    key.ApplyKey(picture.data(), nullptr, 6);
    EXPECT_EQ(picture, before);
  }
  key.SetKeyMode(ChromaKeyMode_Chroma);
  auto five = Pairs(3, 101, 50, 94, 60);
  key.ApplyKey(five.data(), nullptr, 5);
  EXPECT_NE(five[4], 101);
  EXPECT_EQ(five[8], 101) << "the fifth pixel's pair is not touched";
  key.ApplyKey(nullptr, nullptr, 100);  // nothing to key: no crash
}

// Every mode's fast row gives the plain row's bytes, with a background
// picture and with the colour.
TEST(Keyer, FastRowsMatchThePlainRows) {
  std::mt19937 random(7);
  std::vector<std::uint8_t> picture(4 * 37), background(4 * 37);
  for (auto& b : picture) b = static_cast<std::uint8_t>(random());
  for (auto& b : background) b = static_cast<std::uint8_t>(random());
  ChromaKeyImplementation engine;
  engine.SetColors_YUV(0, picture[0], picture[2]);
  engine.SetToleranceValues(60, 40, 230);
  for (int mode = 1; mode <= 10; ++mode) {
    engine.SetKeyMode(static_cast<ChromaKeyMode>(mode));
    ChromaKeySnapshot key;
    engine.Snapshot(key);
    for (int step : {0, 4}) {
      const std::uint8_t* bg = step == 0 ? key.backgroundPair : background.data();
      auto plain = picture, fast = picture;
      quellor::videoproc::KeyRowForMode_C(mode)(plain.data(), bg, step, key, 37);
      quellor::videoproc::KeyRowForMode(mode)(fast.data(), bg, step, key, 37);
      EXPECT_EQ(plain, fast) << "mode " << mode << " step " << step;
    }
  }
}

TEST(Keyer, LinearKeysUseTheBrightness) {
  ChromaKeyImplementation key;
  key.SetBGColors_YUV(16, 128, 128);
  key.SetKeyMode(ChromaKeyMode_LinearDark);  // k = curve[Y0] for all four bytes
  auto dark = Pairs(1, 100, 0, 100, 255);
  key.ApplyKey(dark.data(), nullptr, 2);
  EXPECT_EQ(dark[3], (255 * 7 + 16 * 248) >> 8);
  key.SetKeyMode(ChromaKeyMode_LinearLight);  // k0 = curve[255 - Y0], k1 = curve[255 - Y1]
  auto light = Pairs(1, 100, 0, 100, 255);
  key.ApplyKey(light.data(), nullptr, 2);
  EXPECT_EQ(light[1], 0);                          // k0 = 255: (0 x 255) >> 8
  EXPECT_EQ(light[3], (255 * 7 + 16 * 248) >> 8);  // k1 = curve[0] = 7
}

TEST(ChromaKeyNode, KeysItsInputsFieldsAndRefusesCycles) {
  ChromaKey node;
  TestStream fields(2, 4, 2, VideoUYVY_Word(101, 50, 94, 60));
  bool abort = false;
  EXPECT_FALSE(node.Render(&fields.stream, nullptr, &abort)) << "no input";
  EXPECT_EQ(node.GetPreferredLength(), -1.0);
  EXPECT_STREQ(node.DataStream_StreamsIn(5), "ChromaKey Input");
  EXPECT_STREQ(node.DataStream_StreamsOut(), "ChromaKey Output");
  EXPECT_FALSE(node.SetConnection_In(nullptr, 1));

  VideoGradient source;
  source.SetFlatColour(200, 101, 94);  // exactly the key colour
  ASSERT_TRUE(node.SetConnection_In(&source, 0));
  EXPECT_EQ(node.GetPreferredLength(), -1.0);
  ASSERT_TRUE(node.Render(&fields.stream, nullptr, &abort));
  for (int f = 0; f < 2; ++f) {
    for (std::uint32_t word : fields.Words(f)) {
      EXPECT_EQ(word, VideoUYVY_Word((101 * 7 + 72 * 248) >> 8, (200 * 7 + 113 * 248) >> 8,
                                     (94 * 7 + 137 * 248) >> 8, (200 * 7 + 113 * 248) >> 8));
    }
  }

  ChromaKey second;
  ASSERT_TRUE(second.SetConnection_In(&node, 0));
  EXPECT_FALSE(node.SetConnection_In(&second, 0)) << "would close a cycle";
  EXPECT_FALSE(node.SetConnection_In(&node, 0)) << "itself";
  EXPECT_EQ(node.GetConnection_In(0), &source) << "unchanged by a refusal";
}

}  // namespace
