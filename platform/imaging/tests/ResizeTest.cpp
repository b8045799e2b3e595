// The bilinear resize: small hand-computed cases, a plain reference
// bilinear, factors, clipping and regions of interest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "ScaleRows.h"
#include "TestPictures.h"
#include "imaging/ImageLibrary.h"

namespace quellor::imaging::testing {
namespace {

// Where destination pixel i samples the source, in source pixels: pixel
// centres meet when shrinking, the edge pixels meet when enlarging.
double SourcePosition(int i, int sourceSide, int targetSide) {
  if (targetSide <= sourceSide) {
    const double position = (i + 0.5) * sourceSide / targetSide - 0.5;
    return std::clamp(position, 0.0, sourceSide - 1.0);
  }
  if (targetSide == 1) return 0.0;
  return static_cast<double>(i) * (sourceSide - 1) / (targetSide - 1);
}

// Plain bilinear sample of the source at (x, y).
double ReferenceSample(IplImage* source, double x, double y, int channel) {
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const int x1 = std::min(x0 + 1, source->width - 1), y1 = std::min(y0 + 1, source->height - 1);
  const double fx = x - x0, fy = y - y0;
  const double top = At(source, x0, y0, channel) * (1 - fx) + At(source, x1, y0, channel) * fx;
  const double bottom = At(source, x0, y1, channel) * (1 - fx) + At(source, x1, y1, channel) * fx;
  return top * (1 - fy) + bottom * fy;
}

// Largest difference between the library's resize and the reference.
int LargestDifference(IplImage* source, IplImage* target) {
  int largest = 0;
  for (int y = 0; y < target->height; ++y) {
    const double sy = SourcePosition(y, source->height, target->height);
    for (int x = 0; x < target->width; ++x) {
      const double sx = SourcePosition(x, source->width, target->width);
      for (int c = 0; c < target->nChannels; ++c) {
        const double expected = ReferenceSample(source, sx, sy, c);
        largest = std::max(largest,
                           static_cast<int>(std::lround(std::abs(At(target, x, y, c) - expected))));
      }
    }
  }
  return largest;
}

void Stretch(IplImage* source, IplImage* target) {
  iplResize(source, target, target->width, source->width, target->height, source->height,
            IPL_INTER_LINEAR);
}

// A smooth picture: real pictures are mostly gradients.
void FillSmooth(IplImage* image) {
  for (int y = 0; y < image->height; ++y) {
    for (int x = 0; x < image->width; ++x) {
      for (int c = 0; c < image->nChannels; ++c) {
        At(image, x, y, c) = static_cast<std::uint8_t>(
            127.5 + 127 * std::sin(0.3 * x + 0.2 * y + c) * std::cos(0.17 * y - 0.05 * x));
      }
    }
  }
}

TEST(Resize, SameSizeIsAnExactCopy) {
  Picture source = MakePicture(13, 7);
  FillPattern(source.get(), 1);
  Picture target = MakePicture(13, 7);
  Stretch(source.get(), target.get());
  EXPECT_EQ(iplGetErrStatus(), IPL_StsOk);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13 * 4; ++x)
      ASSERT_EQ(At(target.get(), x / 4, y, x % 4), At(source.get(), x / 4, y, x % 4));
}

TEST(Resize, HandComputedCases) {
  // Halving: each pixel is the mean of a 2 x 2 block.
  Picture source = MakePicture(4, 2, 1);
  const std::uint8_t values[2][4] = {{0, 40, 200, 100}, {20, 60, 0, 20}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) At(source.get(), x, y) = values[y][x];
  Picture half = MakePicture(2, 1, 1);
  Stretch(source.get(), half.get());
  EXPECT_NEAR(At(half.get(), 0, 0), 30, 1);  // (0 + 40 + 20 + 60) / 4
  EXPECT_NEAR(At(half.get(), 1, 0), 80, 1);  // (200 + 100 + 0 + 20) / 4

  // Enlarging 0 .. 255 from 2 to 4 pixels: the edges stay, thirds between.
  Picture ramp = MakePicture(2, 1, 4);
  for (int c = 0; c < 4; ++c) At(ramp.get(), 1, 0, c) = 255;
  Picture wide = MakePicture(4, 1, 4);
  Stretch(ramp.get(), wide.get());
  const int expected[] = {0, 85, 170, 255};
  for (int x = 0; x < 4; ++x) {
    for (int c = 0; c < 4; ++c) EXPECT_EQ(At(wide.get(), x, 0, c), expected[x]) << x;
  }
}

// A flat picture keeps its exact value at any size, white included (a
// column filter whose weights do not add up to one darkens it).
TEST(Resize, FlatPicturesStayExactlyFlat) {
  const int sizes[][4] = {{5, 3, 17, 11}, {97, 53, 40, 31}, {1920, 1080, 720, 480}, {1, 1, 9, 2}};
  for (const auto& size : sizes) {
    for (const int value : {0x5A, 0xFF}) {
      Picture flat = MakePicture(size[0], size[1], 4, value);
      Picture target = MakePicture(size[2], size[3], 4);
      Stretch(flat.get(), target.get());
      for (int y = 0; y < size[3]; ++y)
        for (int x = 0; x < size[2] * 4; ++x)
          ASSERT_EQ(At(target.get(), x / 4, y, x % 4), value) << size[0] << " to " << size[2];
    }
  }
}

// The vector column filter against the plain one: every count up to a few
// vectors, shrinking and enlarging taps, unaligned rows.
TEST(Resize, VectorColumnsGiveThePlainColumnsBytes) {
  if (!ScaleHasSSE2()) GTEST_SKIP() << "no vector columns on this processor";
  std::vector<std::uint8_t> source(4 * 64 + 16);
  for (std::size_t i = 0; i < source.size(); ++i)
    source[i] = static_cast<std::uint8_t>(i * 37 + 11);
  for (const int sourceWidth : {2, 3, 17, 64}) {
    for (const int targetWidth : {1, 2, 5, 19, 40}) {
      const ColumnTaps taps = MakeColumnTaps(targetWidth, sourceWidth, targetWidth, true);
      for (int offset = 0; offset < 4; ++offset) {
        for (int count = 0; count <= targetWidth; ++count) {
          std::vector<std::uint8_t> plain(4 * 48, 0xEE), fast(4 * 48, 0xEE);
          const std::uint8_t* row = source.data() + offset * 3;
          FilterColumnsRow_C(row, plain.data() + offset, count, 4, taps.x.data(),
                             taps.fraction.data());
          FilterColumnsRow4_SSE2(row, fast.data() + offset, count, taps.x.data(),
                                 taps.fraction.data(), taps.weights.data());
          ASSERT_EQ(plain, fast) << sourceWidth << " to " << targetWidth << ", " << count;
        }
      }
    }
  }
}

TEST(Resize, MatchesAPlainBilinear) {
  const struct {
    int sourceWidth, sourceHeight, targetWidth, targetHeight, channels;
  } cases[] = {{97, 53, 40, 31, 4}, {37, 23, 100, 61, 4}, {192, 108, 72, 48, 4},
               {31, 40, 60, 17, 4}, {45, 29, 20, 70, 1},  {8, 8, 8, 3, 1}};
  for (const auto& c : cases) {
    Picture source = MakePicture(c.sourceWidth, c.sourceHeight, c.channels);
    FillSmooth(source.get());
    Picture target = MakePicture(c.targetWidth, c.targetHeight, c.channels);
    Stretch(source.get(), target.get());
    EXPECT_LE(LargestDifference(source.get(), target.get()), 1)
        << c.sourceWidth << "x" << c.sourceHeight << " to " << c.targetWidth << "x"
        << c.targetHeight;
    // Noise has the steepest slopes: the 1/256 steps show most there.
    FillPattern(source.get(), 5);
    Stretch(source.get(), target.get());
    EXPECT_LE(LargestDifference(source.get(), target.get()), 1);
  }
}

TEST(Resize, FactorsScaleTheSourceRegionAndClipToTheTarget) {
  Picture source = MakePicture(10, 10);
  FillSmooth(source.get());

  // Twice the size into a larger target: only 20 x 20 is written.
  Picture target = MakePicture(30, 30, 4, 0x33);
  iplResize(source.get(), target.get(), 2, 1, 2, 1, IPL_INTER_LINEAR);
  Picture exact = MakePicture(20, 20);
  Stretch(source.get(), exact.get());
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 30; ++x) {
      const int expected = x < 20 && y < 20 ? At(exact.get(), x, y, 1) : 0x33;
      ASSERT_EQ(At(target.get(), x, y, 1), expected) << x << "," << y;
    }
  }

  // Four times into the same target: the top-left 30 x 30 of the 40 x 40.
  iplResize(source.get(), target.get(), 4, 1, 4, 1, IPL_INTER_LINEAR);
  Picture whole = MakePicture(40, 40);
  Stretch(source.get(), whole.get());
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) ASSERT_EQ(At(target.get(), x, y, 2), At(whole.get(), x, y, 2));
}

TEST(Resize, WorksBetweenRegionsOfInterest) {
  Picture source = MakePicture(12, 12);
  FillSmooth(source.get());
  Picture target = MakePicture(20, 20, 4, 0x44);
  IplROI from{0, 2, 3, 6, 4}, to{0, 5, 6, 9, 8};
  source->roi = &from;
  target->roi = &to;
  iplResize(source.get(), target.get(), 9, 6, 8, 4, IPL_INTER_LINEAR);
  source->roi = target->roi = nullptr;
  EXPECT_EQ(iplGetErrStatus(), IPL_StsOk);

  Picture part = MakePicture(6, 4);
  source->roi = &from;
  iplCopy(source.get(), part.get());
  source->roi = nullptr;
  Picture expected = MakePicture(9, 8);
  Stretch(part.get(), expected.get());
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      const bool inside = x >= 5 && x < 14 && y >= 6 && y < 14;
      ASSERT_EQ(At(target.get(), x, y, 0), inside ? At(expected.get(), x - 5, y - 6, 0) : 0x44);
    }
  }
}

TEST(Resize, NearestRepeatsAndSkipsWholePixels) {
  Picture source = MakePicture(3, 2, 1);
  const std::uint8_t values[2][3] = {{10, 20, 30}, {40, 50, 60}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) At(source.get(), x, y) = values[y][x];
  Picture twice = MakePicture(6, 4, 1);
  iplResize(source.get(), twice.get(), 2, 1, 2, 1, IPL_INTER_NN);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(At(twice.get(), x, y), values[y / 2][x / 2]) << x << "," << y;
  Picture third = MakePicture(1, 1, 1);
  iplResize(source.get(), third.get(), 1, 3, 1, 2, IPL_INTER_NN);
  EXPECT_EQ(At(third.get(), 0, 0), 50);  // the pixel under the centre
}

TEST(Resize, BadArgumentsLeaveTheTargetAlone) {
  Picture source = MakePicture(8, 8, 4, 0x10);
  Picture target = MakePicture(4, 4, 4, 0x77);
  iplResize(source.get(), target.get(), 0, 1, 1, 1, IPL_INTER_LINEAR);
  EXPECT_EQ(iplGetErrStatus(), IPL_StsBadArg);
  iplResize(source.get(), target.get(), 1, -2, 1, 1, IPL_INTER_LINEAR);
  EXPECT_EQ(iplGetErrStatus(), IPL_StsBadArg);
  iplResize(source.get(), target.get(), 1, 2, 1, 2, 7);
  EXPECT_EQ(iplGetErrStatus(), IPL_StsUnsupported);
  iplResize(source.get(), target.get(), 100000, 1, 1, 1, IPL_INTER_LINEAR);
  EXPECT_EQ(iplGetErrStatus(), IPL_StsBadArg);
  Picture three = MakePicture(8, 8, 3);
  iplResize(three.get(), target.get(), 1, 2, 1, 2, IPL_INTER_LINEAR);
  EXPECT_EQ(iplGetErrStatus(), IPL_StsUnsupported);
  for (int i = 0; i < target->imageSize; ++i) ASSERT_EQ(target->imageData[i], 0x77);
}

}  // namespace
}  // namespace quellor::imaging::testing
