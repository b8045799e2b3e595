// The row helpers against byte-by-byte expectations, at every length around
// the block size the in-place clearing works in.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "FrameRows.h"

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

}  // namespace
}  // namespace quellor::rtvbridge
