// The 3 x 3 Gaussian: hand-computed pictures, a plain 2-D reference, the
// fast rows against the plain ones, regions of interest and in-place use.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <random>
#include <vector>

#include "GaussianRows.h"
#include "TestPictures.h"
#include "imaging/ImageLibrary.h"

namespace quellor::imaging::testing {
namespace {

int Clamped(IplImage* image, int x, int y, int channel) {
  return At(image, std::clamp(x, 0, image->width - 1), std::clamp(y, 0, image->height - 1),
            channel);
}

// The filter written from its definition: a vertical then a horizontal
// 1 2 1 pass, each rounded to nearest, edge pixels repeated beyond the
// picture.
int ReferencePixel(IplImage* image, int x, int y, int channel) {
  int column[3];
  for (int dx = -1; dx <= 1; ++dx) {
    column[dx + 1] =
        (Clamped(image, x + dx, y - 1, channel) + 2 * Clamped(image, x + dx, y, channel) +
         Clamped(image, x + dx, y + 1, channel) + 2) >>
        2;
  }
  return (column[0] + 2 * column[1] + column[2] + 2) >> 2;
}

// The exact weighted mean, which the two rounded passes stay within 1 of.
double ExactPixel(IplImage* image, int x, int y, int channel) {
  static const int kWeights[3][3] = {{1, 2, 1}, {2, 4, 2}, {1, 2, 1}};
  int sum = 0;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      sum += kWeights[dy + 1][dx + 1] * Clamped(image, x + dx, y + dy, channel);
  return sum / 16.0;
}

void ExpectFilteredExactly(IplImage* source, IplImage* target) {
  for (int y = 0; y < source->height; ++y)
    for (int x = 0; x < source->width; ++x)
      for (int c = 0; c < source->nChannels; ++c) {
        ASSERT_EQ(At(target, x, y, c), ReferencePixel(source, x, y, c))
            << x << "," << y << " channel " << c << " of " << source->width << "x"
            << source->height;
        ASSERT_LE(std::abs(At(target, x, y, c) - ExactPixel(source, x, y, c)), 1.0);
      }
}

TEST(Gaussian, HandComputedPictures) {
  // An impulse of 160 spreads as 10 20 10 / 20 40 20 / 10 20 10.
  Picture impulse = MakePicture(5, 5, 1);
  At(impulse.get(), 2, 2) = 160;
  Picture blurred = MakePicture(5, 5, 1);
  ASSERT_EQ(iplFixedFilter(impulse.get(), blurred.get(), IPL_GAUSSIAN_3x3), 1);
  const int expected[5][5] = {
      {0, 0, 0, 0, 0}, {0, 10, 20, 10, 0}, {0, 20, 40, 20, 0}, {0, 10, 20, 10, 0}, {0, 0, 0, 0, 0}};
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(At(blurred.get(), x, y), expected[y][x]) << x << "," << y;

  // One row 0 16 32: the row repeats above and below, the ends beside.
  // The columns keep 0 16 32, then (0 + 2 x 0 + 16 + 2) >> 2 = 4, 16 and 28.
  Picture row = MakePicture(3, 1, 1);
  At(row.get(), 1, 0) = 16;
  At(row.get(), 2, 0) = 32;
  Picture out = MakePicture(3, 1, 1);
  iplFixedFilter(row.get(), out.get(), IPL_GAUSSIAN_3x3);
  EXPECT_EQ(At(out.get(), 0, 0), 4);
  EXPECT_EQ(At(out.get(), 1, 0), 16);
  EXPECT_EQ(At(out.get(), 2, 0), 28);

  // A single pixel and a flat picture are left as they are.
  Picture dot = MakePicture(1, 1, 4, 0xC3);
  Picture dotOut = MakePicture(1, 1, 4);
  iplFixedFilter(dot.get(), dotOut.get(), IPL_GAUSSIAN_3x3);
  for (int c = 0; c < 4; ++c) EXPECT_EQ(At(dotOut.get(), 0, 0, c), 0xC3);
}

TEST(Gaussian, MatchesTheDefinitionOnOddSizes) {
  const int sizes[][2] = {{1, 1}, {2, 3}, {3, 2}, {5, 1}, {1, 6}, {17, 5}, {33, 9}, {723, 7}};
  for (const int channels : {1, 3, 4}) {
    for (const auto& size : sizes) {
      Picture source = MakePicture(size[0], size[1], channels);
      FillPattern(source.get(), static_cast<unsigned>(size[0] * 31 + size[1] + channels));
      Picture target = MakePicture(size[0], size[1], channels);
      ASSERT_EQ(iplFixedFilter(source.get(), target.get(), IPL_GAUSSIAN_3x3), 1);
      ExpectFilteredExactly(source.get(), target.get());
    }
  }
}

// Every row function this processor runs, against the plain rows, for every
// count up to a few vectors, every pixel size and every misalignment.
TEST(Gaussian, FastRowsGiveThePlainRowsBytes) {
  struct Rows {
    const char* name;
    bool available;
    GaussianRows rows;
  };
  const Rows variants[] = {
      {"SSE2", GaussianHasSSE2(), {GaussianColumnsRow_SSE2, GaussianAcrossRow_SSE2}},
      {"AVX2", GaussianHasAVX2(), {GaussianColumnsRow_AVX2, GaussianAcrossRow_AVX2}},
      {"chosen", true, ChosenGaussianRows()}};
  std::mt19937 random(11);
  std::vector<std::uint8_t> bytes(3 * 256);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  for (const Rows& variant : variants) {
    if (!variant.available) continue;
    for (int offset = 0; offset < 16; ++offset) {
      for (int count = 0; count <= 100; ++count) {
        std::vector<std::uint8_t> plainRow(128, 0xee), fastRow(128, 0xee);
        const std::uint8_t* above = bytes.data() + offset;
        GaussianColumnsRow_C(above, above + 256, above + 512, plainRow.data() + offset, count);
        variant.rows.columns(above, above + 256, above + 512, fastRow.data() + offset, count);
        ASSERT_EQ(plainRow, fastRow) << variant.name << " columns " << count << "+" << offset;
        for (const int step : {1, 3, 4}) {
          std::vector<std::uint8_t> plain(128, 0xee), fast(128, 0xee);
          GaussianAcrossRow_C(bytes.data() + 8 + offset, plain.data() + offset, count, step);
          variant.rows.across(bytes.data() + 8 + offset, fast.data() + offset, count, step);
          ASSERT_EQ(plain, fast) << variant.name << " across " << count << "+" << offset << " step "
                                 << step;
        }
      }
    }
  }
}

// Tiles filtered through regions of interest read their neighbours from the
// picture, so together they equal the picture filtered whole.
TEST(Gaussian, TilesThroughRegionsEqualTheWholePicture) {
  Picture source = MakePicture(29, 19);
  FillPattern(source.get(), 9);
  Picture whole = MakePicture(29, 19);
  iplFixedFilter(source.get(), whole.get(), IPL_GAUSSIAN_3x3);
  Picture tiled = MakePicture(29, 19);
  const IplROI tiles[] = {
      {0, 0, 0, 13, 8}, {0, 13, 0, 16, 8}, {0, 0, 8, 13, 11}, {0, 13, 8, 16, 11}};
  for (const IplROI& tile : tiles) {
    IplROI from = tile, to = tile;
    source->roi = &from;
    tiled->roi = &to;
    ASSERT_EQ(iplFixedFilter(source.get(), tiled.get(), IPL_GAUSSIAN_3x3), 1);
  }
  source->roi = tiled->roi = nullptr;
  for (int i = 0; i < whole->imageSize; ++i)
    ASSERT_EQ(whole->imageData[i], tiled->imageData[i]) << i;
}

TEST(Gaussian, InPlaceEqualsIntoAnotherPicture) {
  Picture source = MakePicture(31, 11);
  FillPattern(source.get(), 4);
  Picture expected = MakePicture(31, 11);
  iplFixedFilter(source.get(), expected.get(), IPL_GAUSSIAN_3x3);
  ASSERT_EQ(iplFixedFilter(source.get(), source.get(), IPL_GAUSSIAN_3x3), 1);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 31 * 4; ++x)
      ASSERT_EQ(At(source.get(), x / 4, y, x % 4), At(expected.get(), x / 4, y, x % 4));

  // A region filtered into the rows just below it, in the same picture.
  Picture picture = MakePicture(12, 12);
  FillPattern(picture.get(), 8);
  Picture copy = MakePicture(12, 12);
  iplCopy(picture.get(), copy.get());
  IplImage alias = *picture;
  alias.ownsData = 0;
  IplROI top{0, 0, 0, 12, 6}, bottom{0, 0, 6, 12, 6};
  picture->roi = &top;
  alias.roi = &bottom;
  iplFixedFilter(picture.get(), &alias, IPL_GAUSSIAN_3x3);
  picture->roi = nullptr;
  Picture reference = MakePicture(12, 12);
  iplFixedFilter(copy.get(), reference.get(), IPL_GAUSSIAN_3x3);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 12 * 4; ++x)
      ASSERT_EQ(At(picture.get(), x / 4, y + 6, x % 4), At(reference.get(), x / 4, y, x % 4));
}

TEST(Gaussian, UnservedFiltersAndMismatchesAreRefused) {
  Picture source = MakePicture(4, 4);
  Picture target = MakePicture(4, 4, 4, 0x21);
  EXPECT_EQ(iplFixedFilter(source.get(), target.get(), static_cast<IplFilter>(7)), 0);
  EXPECT_EQ(iplGetErrStatus(), IPL_StsUnsupported);
  Picture grey = MakePicture(4, 4, 1);
  EXPECT_EQ(iplFixedFilter(source.get(), grey.get(), IPL_GAUSSIAN_3x3), 0);
  EXPECT_EQ(iplFixedFilter(nullptr, target.get(), IPL_GAUSSIAN_3x3), 0);
  EXPECT_EQ(iplGetErrStatus(), IPL_StsNullPtr);
  for (int i = 0; i < target->imageSize; ++i) ASSERT_EQ(target->imageData[i], 0x21);
}

}  // namespace
}  // namespace quellor::imaging::testing
