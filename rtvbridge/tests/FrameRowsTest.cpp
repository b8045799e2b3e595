// The row helpers against byte-by-byte expectations, at every length around
// the block size the in-place clearing works in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ColourRows.h"
#include "FrameEncoding.h"
#include "FrameRows.h"
#include "board/ColourConversion.h"

namespace quellor::rtvbridge {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ClearTimingCodeBytes, OnlyFFBecomesFEAtEveryPositionAndLength) {
  // Every byte value, repeated so that 0xFF falls at every position of a block
  // and of the tail; the range starts off the block grid as well.
  Bytes source(3 * 256 + 7);
  for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint8_t>(i * 7 + 3);
  for (std::size_t start : {std::size_t{0}, std::size_t{1}, std::size_t{13}}) {
    for (std::size_t count : {0, 1, 63, 64, 65, 127, 128, 200, 700}) {
      Bytes bytes = source;
      ClearTimingCodeBytes(bytes.data() + start, count);
      for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool inside = i >= start && i < start + count;
        const std::uint8_t expected = inside && source[i] == 0xFF ? 0xFE : source[i];
        ASSERT_EQ(bytes[i], expected) << "start " << start << " count " << count << " at " << i;
      }
    }
  }
}

TEST(ClearTimingCodeBytes, AllFFBlockAndTailAreCleared) {
  Bytes bytes(64 * 3 + 5, 0xFF);
  ClearTimingCodeBytes(bytes.data(), bytes.size());
  EXPECT_EQ(bytes, Bytes(64 * 3 + 5, 0xFE));
}

// The streaming copy against the plain one: every length around the 16-byte
// steps, fields aligned and not, sources at any offset; nothing beyond the
// copy is touched.
TEST(CopyToField, FastAndPlainCopiesAgreeAtEveryLengthAndAlignment) {
  Bytes source(300);
  for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint8_t>(i * 5 + 1);
  alignas(64) std::uint8_t plain[320];
  alignas(64) std::uint8_t fast[320];
  for (std::size_t field_offset : {0, 1, 8, 16, 48}) {
    for (std::size_t source_offset : {0, 3, 16}) {
      for (std::size_t bytes : {0, 1, 15, 16, 17, 31, 32, 33, 100, 255}) {
        std::fill(std::begin(plain), std::end(plain), 0xAB);
        std::fill(std::begin(fast), std::end(fast), 0xAB);
        CopyToField_C(plain + field_offset, source.data() + source_offset, bytes);
        CopyToField_Fast(fast + field_offset, source.data() + source_offset, bytes);
        FinishFieldCopies();
        ASSERT_TRUE(std::equal(std::begin(plain), std::end(plain), std::begin(fast)))
            << field_offset << " " << source_offset << " " << bytes;
        ASSERT_TRUE(std::equal(source.begin() + source_offset,
                               source.begin() + source_offset + bytes, plain + field_offset));
      }
    }
  }
}

// Bottom-up BGRA frames of any shape, by every path: every line lands in its
// field as the colour-conversion library converts it alone, nothing beyond
// the fields is touched.
TEST(EncodeBottomUpFrame, EveryLineMatchesItsOwnConversionForOddShapes) {
  std::vector<decltype(&EncodeBottomUpFrame)> paths = {EncodeBottomUpFrame,
                                                       EncodeBottomUpFrame_Bands};
  if (board::ColourAVX2Available()) paths.push_back(EncodeBottomUpFrame_AVX2);
  for (auto encode : paths) {
    for (std::uint32_t width : {1u, 3u, 719u, 720u, 2049u}) {
      for (std::uint32_t lines : {1u, 16u, 17u, 33u}) {
        Bytes picture(std::size_t{width} * lines * 2 * 4);
        for (std::size_t i = 0; i < picture.size(); ++i) {
          picture[i] = static_cast<std::uint8_t>(i * 31 / 7 + width);
        }
        const std::size_t field = std::size_t{width} * lines * 2;
        Bytes fields(2 * field + 8, 0xAB);
        encode(picture.data(), fields.data(), fields.data() + field + 4, width, lines);
        Bytes expected(2 * field + 8, 0xAB);
        for (std::size_t k = 0; k < lines; ++k) {
          encode_bgra_ycbcr8(expected.data() + k * width * 2,
                             picture.data() + (2 * lines - 1 - 2 * k) * width * 4, int(width));
          encode_bgra_ycbcr8(expected.data() + field + 4 + k * width * 2,
                             picture.data() + (2 * lines - 2 - 2 * k) * width * 4, int(width));
        }
        ASSERT_EQ(fields, expected) << width << " x " << lines;
      }
    }
  }
}

}  // namespace
}  // namespace quellor::rtvbridge
