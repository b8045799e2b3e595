// The bitmap codec on hand-made files: run-length data with its escapes and
// hostile runs, top-down rows, OS/2 headers and arrays, and header checks.
#include <qlxrapi/codecs/ImageCodecs.h>

#include <gtest/gtest.h>

#include <vector>

#include "CodecTestFiles.h"

namespace quellor::codecs {
namespace {

using testing::Picture;
using Bytes = std::vector<std::uint8_t>;

void Le(Bytes& b, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}

// A Windows bitmap: file header, 40-byte information header, palette of
// entries, then data.
Bytes WindowsBitmap(int width, int height, unsigned bits, unsigned compression, unsigned entries,
                    const Bytes& data, unsigned planes = 1) {
  Bytes b = {'B', 'M'};
  const std::uint32_t offset = 14 + 40 + 4 * entries;
  Le(b, offset + data.size(), 4);
  Le(b, 0, 4);
  Le(b, offset, 4);
  Le(b, 40, 4);
  Le(b, std::uint32_t(width), 4);
  Le(b, std::uint32_t(height), 4);
  Le(b, planes, 2);
  Le(b, bits, 2);
  Le(b, compression, 4);
  Le(b, data.size(), 4);
  Le(b, 0, 4);
  Le(b, 0, 4);
  Le(b, entries, 4);
  Le(b, 0, 4);
  for (unsigned i = 0; i < entries; ++i) Le(b, 0x010203u * i, 4);
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

TEST(Bitmap, Rle8RunsLiteralsAndEscapesStayInsideThePicture) {
  // Row 0: run of 2 x 7, literal 3 (padded), end of line; row 1: delta right
  // 1, run of 200 (cut at the row's end), end of bitmap.
  Bytes rle = {2, 7, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 1, 0, 200, 9, 0, 1};
  Picture picture;
  ASSERT_EQ(testing::ReadPicture(WindowsBitmap(6, 3, 8, 1, 16, rle), kFormatBitmap, picture), 0);
  EXPECT_EQ(picture.data,
            (Bytes{7, 7, 1, 2, 3, 0, 0, 0, 0, 9, 9, 9, 9, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(picture.palette[3 * 2 + 2], 6);  // blue of entry 2 (0x020406)
  // Deltas far past the picture end the data safely; a cut file cannot be read.
  Bytes far = {0, 2, 255, 255, 5, 5, 0, 1};
  EXPECT_EQ(testing::ReadPicture(WindowsBitmap(6, 3, 8, 1, 16, far), kFormatBitmap, picture), 0);
  Bytes cut = {2, 7, 0, 5, 1, 2};
  EXPECT_EQ(testing::ReadPicture(WindowsBitmap(6, 3, 8, 1, 16, cut), kFormatBitmap, picture),
            kCodecCannotRead);
}

TEST(Bitmap, Rle4AlternatesNibbles) {
  Bytes rle = {5, 0x12, 0, 3, 0xAB, 0xC0, 0, 1};
  Picture picture;
  ASSERT_EQ(testing::ReadPicture(WindowsBitmap(8, 1, 4, 2, 16, rle), kFormatBitmap, picture), 0);
  EXPECT_EQ(picture.data, (Bytes{0x12, 0x12, 0x1A, 0xBC}));
}

TEST(Bitmap, TopDownRowsAreDeliveredBottomUp) {
  Bytes rows = {1, 0, 0, 0, 2, 0, 0, 0};
  Picture picture;
  ASSERT_EQ(testing::ReadPicture(WindowsBitmap(1, -2, 8, 0, 256, rows), kFormatBitmap, picture), 0);
  EXPECT_EQ(picture.data, (Bytes{2, 0, 0, 0, 1, 0, 0, 0}));
}

TEST(Bitmap, HeaderChecksGiveTheCodecsCodes) {
  Picture picture;
  const Bytes row(4, 0);
  EXPECT_EQ(testing::ReadPicture(WindowsBitmap(1, 1, 8, 0, 2, row, 2), kFormatBitmap, picture),
            300);
  EXPECT_EQ(testing::ReadPicture(WindowsBitmap(1, 1, 16, 0, 0, row), kFormatBitmap, picture), 301);
  EXPECT_EQ(testing::ReadPicture(WindowsBitmap(1, 1, 8, 2, 2, row), kFormatBitmap, picture), 303);
  EXPECT_EQ(testing::ReadPicture(WindowsBitmap(1, 1, 8, 3, 2, row), kFormatBitmap, picture), 303);
  Bytes badSize = WindowsBitmap(1, 1, 8, 0, 2, row);
  badSize[14] = 99;
  EXPECT_EQ(testing::ReadPicture(badSize, kFormatBitmap, picture), 302);
  Bytes badMagic = WindowsBitmap(1, 1, 8, 0, 2, row);
  badMagic[1] = 'X';
  EXPECT_EQ(testing::ReadPicture(badMagic, kFormatBitmap, picture), kCodecBadMagic);
  // Sizes whose product overflows, and zero sizes.
  EXPECT_EQ(testing::ReadPicture(WindowsBitmap(0x40000000, 0x40000000, 24, 0, 0, row),
                                 kFormatBitmap, picture),
            kCodecBadSize);
  EXPECT_EQ(testing::ReadPicture(WindowsBitmap(-5, 1, 24, 0, 0, row), kFormatBitmap, picture),
            kCodecBadSize);
  EXPECT_EQ(testing::ReadPicture(WindowsBitmap(0, 1, 24, 0, 0, row), kFormatBitmap, picture),
            kCodecBadSize);
  // Palette entries counted past 256 read only 256; a truncated file fails.
  EXPECT_EQ(testing::ReadPicture(WindowsBitmap(2, 2, 8, 0, 2, Bytes(7, 0)), kFormatBitmap, picture),
            kCodecCannotRead);
}

TEST(Bitmap, Os2ArraysPickTheBitmapByIndex) {
  Picture first = testing::MakePicture(3, 2, 4, testing::PaletteKind::Colours, 1);
  Picture second = testing::MakePicture(5, 1, 24, testing::PaletteKind::Colours, 2);
  Bytes a, b;
  ASSERT_EQ(testing::WritePicture(first, kFormatBitmap, a, "os2"), 0);
  ASSERT_EQ(testing::WritePicture(second, kFormatBitmap, b), 0);
  // An array: "BA", size, offset of the next entry, display sizes; each entry
  // followed by its bitmap, whose offsets count from its own file header.
  auto entry = [](std::uint32_t next) {
    Bytes e = {'B', 'A'};
    Le(e, 14, 4);
    Le(e, next, 4);
    Le(e, 0, 4);
    return e;
  };
  Bytes file = entry(static_cast<std::uint32_t>(14 + a.size()));
  file.insert(file.end(), a.begin(), a.end());
  Bytes last = entry(0);
  file.insert(file.end(), last.begin(), last.end());
  file.insert(file.end(), b.begin(), b.end());

  Picture read;
  ASSERT_EQ(testing::ReadPicture(file, kFormatBitmap, read), 0);
  EXPECT_EQ(testing::CompareColours(first, read), "");
  ASSERT_EQ(testing::ReadPicture(file, kFormatBitmap, read, "index=1"), 0);
  EXPECT_EQ(testing::CompareColours(second, read), "");
  EXPECT_EQ(testing::ReadPicture(file, kFormatBitmap, read, "index=2"), 304);
  EXPECT_EQ(testing::ReadPicture(a, kFormatBitmap, read, "index=1"), 304);
  EXPECT_EQ(testing::ReadPicture(a, kFormatBitmap, read, "index=z"), kCodecBadOptions);
}

}  // namespace
}  // namespace quellor::codecs
