#include "board/ColourConversion.h"

#include <dlfcn.h>
#include <emmintrin.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "ColourRows.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes RandomBytes(std::size_t count, unsigned seed) {
  std::mt19937 engine(seed);
  Bytes bytes(count);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(engine());
  return bytes;
}

Bytes Bgra(std::initializer_list<std::uint8_t> b_g_r_a) {
  return Bytes(b_g_r_a);
}

TEST(OvTools, ExportsUnmangledEntryPoints) {
  // Hosts bind these by their C names.
  EXPECT_EQ(dlsym(RTLD_DEFAULT, "decode_ycbcr8_bgra"),
            reinterpret_cast<void*>(&decode_ycbcr8_bgra));
  EXPECT_EQ(dlsym(RTLD_DEFAULT, "encode_bgra_ycbcr8"),
            reinterpret_cast<void*>(&encode_bgra_ycbcr8));
}

TEST(EncodeBgraYcbcr8, BlackAndWhiteGiveStudioRangeLimits) {
  const Bytes bgra = Bgra({0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255, 255});
  Bytes uyvy(8, 0xEE);
  encode_bgra_ycbcr8(uyvy.data(), bgra.data(), 4);
  EXPECT_EQ(uyvy, (Bytes{128, 16, 128, 16, 128, 235, 128, 235}));
}

TEST(EncodeBgraYcbcr8, PrimariesFollowBt601) {
  // Pure red, green and blue pairs: the BT.601 studio-range values.
  struct Case {
    Bytes pixel;
    std::uint8_t cb, y, cr;
  } cases[] = {{{0, 0, 255, 255}, 90, 82, 239},
               {{0, 255, 0, 255}, 54, 144, 34},
               {{255, 0, 0, 255}, 239, 41, 110}};
  for (const auto& c : cases) {
    Bytes bgra = c.pixel;
    bgra.insert(bgra.end(), c.pixel.begin(), c.pixel.end());
    Bytes uyvy(4);
    encode_bgra_ycbcr8(uyvy.data(), bgra.data(), 2);
    EXPECT_EQ(uyvy, (Bytes{c.cb, c.y, c.cr, c.y}));
  }
}

TEST(DecodeYcbcr8Bgra, StudioRangeLimitsGiveFullRangeAndOpaqueAlpha) {
  const Bytes uyvy = {128, 16, 128, 235};
  Bytes bgra(8, 0);
  decode_ycbcr8_bgra(bgra.data(), uyvy.data(), 2);
  EXPECT_EQ(bgra, (Bytes{0, 0, 0, 255, 255, 255, 255, 255}));
}

TEST(ColourConversion, RoundTripOfSmoothPictureStaysClose) {
  // A horizontal ramp in every channel: chroma sub-sampling costs little.
  constexpr int kWidth = 720;
  Bytes bgra(kWidth * 4);
  for (int x = 0; x < kWidth; ++x) {
    bgra[x * 4 + 0] = static_cast<std::uint8_t>(40 + x / 4);
    bgra[x * 4 + 1] = static_cast<std::uint8_t>(200 - x / 5);
    bgra[x * 4 + 2] = static_cast<std::uint8_t>(60 + x / 6);
    bgra[x * 4 + 3] = 255;
  }
  Bytes uyvy(kWidth * 2), back(kWidth * 4);
  encode_bgra_ycbcr8(uyvy.data(), bgra.data(), kWidth);
  decode_ycbcr8_bgra(back.data(), uyvy.data(), kWidth);
  int worst = 0;
  for (int i = 0; i < kWidth * 4; ++i) worst = std::max(worst, std::abs(bgra[i] - back[i]));
  // Studio-range quantisation, chroma truncation and the clamped blue gain
  // add up to a few steps.
  EXPECT_LE(worst, 4);
}

TEST(ColourConversion, OddLastPixelOwnsCbAndLumaOnly) {
  // Three pixels: the third is stored as its own Cb and Y, and nothing
  // beyond 6 bytes (4:2:2) or 12 bytes (BGRA) is touched.
  const Bytes bgra = Bgra({0, 0, 0, 255, 0, 0, 0, 255, 255, 0, 0, 255});
  Bytes uyvy(8, 0xEE);
  encode_bgra_ycbcr8(uyvy.data(), bgra.data(), 3);
  EXPECT_EQ(uyvy, (Bytes{128, 16, 128, 16, 239, 41, 0xEE, 0xEE}));

  Bytes decoded(16, 0xEE);
  decode_ycbcr8_bgra(decoded.data(), uyvy.data(), 3);
  // Pure blue decoded with neutral Cr: blue stays strong, red stays low.
  EXPECT_GT(decoded[8], 200);
  EXPECT_EQ(decoded[11], 255);
  EXPECT_EQ(decoded[12], 0xEE);
  EXPECT_EQ(decoded[15], 0xEE);
}

TEST(ColourConversion, ZeroNegativeCountsAndNullBuffersDoNothing) {
  Bytes bytes(8, 0xEE);
  encode_bgra_ycbcr8(bytes.data(), bytes.data(), 0);
  decode_ycbcr8_bgra(bytes.data(), bytes.data(), -5);
  encode_bgra_ycbcr8(nullptr, bytes.data(), 2);
  decode_ycbcr8_bgra(bytes.data(), nullptr, 2);
  EXPECT_EQ(bytes, Bytes(8, 0xEE));
}

// The fast rows must give the plain rows' bytes for every width (odd ones
// included) and any buffer alignment.
class FastAndPlainRows : public testing::TestWithParam<int> {};

TEST_P(FastAndPlainRows, DecodeAgreesOnUnalignedBuffers) {
  const int width = GetParam();
  for (int offset = 0; offset < 4; ++offset) {
    const Bytes source = RandomBytes(width * 2 + offset, 7 + width);
    Bytes plain(width * 4 + 8, 0xAB), fast(width * 4 + 8 + offset, 0xAB);
    quellor::board::UYVYToBGRARow_C(source.data() + offset, plain.data(), width);
    quellor::board::UYVYToBGRARow_Fast(source.data() + offset, fast.data() + offset, width);
    ASSERT_EQ(plain, Bytes(fast.begin() + offset, fast.end())) << "offset " << offset;
  }
}

TEST_P(FastAndPlainRows, EncodeAgreesOnUnalignedBuffers) {
  const int width = GetParam();
  for (int offset = 0; offset < 4; ++offset) {
    const Bytes source = RandomBytes(width * 4 + offset, 11 + width);
    Bytes plain(width * 2 + 8, 0xAB), fast(width * 2 + 8 + offset, 0xAB);
    quellor::board::BGRAToUYVYRow_C(source.data() + offset, plain.data(), width);
    quellor::board::BGRAToUYVYRow_Fast(source.data() + offset, fast.data() + offset, width);
    ASSERT_EQ(plain, Bytes(fast.begin() + offset, fast.end())) << "offset " << offset;
  }
}

// The AVX2 rows, normal and streaming, against the plain row. The streaming
// row streams where its destination is 32-byte aligned and stores normally
// elsewhere: offsets 0 and 32 of an aligned buffer take the first path.
TEST_P(FastAndPlainRows, AVX2EncodeAgreesOnUnalignedBuffers) {
  if (!quellor::board::ColourAVX2Available()) GTEST_SKIP() << "no AVX2";
  const int width = GetParam();
  for (int offset : {0, 1, 2, 3, 5, 16, 32}) {
    const Bytes source = RandomBytes(width * 4 + offset, 13 + width + offset);
    Bytes plain(width * 2 + 8, 0xAB);
    quellor::board::BGRAToUYVYRow_C(source.data() + offset, plain.data(), width);
    for (auto row :
         {quellor::board::BGRAToUYVYRow_AVX2, quellor::board::BGRAToUYVYRowStreaming_AVX2}) {
      struct alignas(64) Block {
        std::uint8_t bytes[64];
      };
      std::vector<Block> aligned((width * 2 + 8 + offset) / 64 + 1);
      std::uint8_t* fast = aligned.front().bytes;
      std::fill(fast, fast + width * 2 + 8 + offset, 0xAB);
      row(source.data() + offset, fast + offset, width);
      _mm_sfence();
      ASSERT_EQ(plain, Bytes(fast + offset, fast + offset + width * 2 + 8)) << "offset " << offset;
    }
  }
}

// Every byte value in every channel and both pixels of a pair, where the
// weighted sums reach their ends: the AVX2 row's 16-bit sums must not wrap.
TEST(ColourConversion, AVX2EncodeCoversEveryChannelValueAtTheExtremes) {
  if (!quellor::board::ColourAVX2Available()) GTEST_SKIP() << "no AVX2";
  Bytes bgra(256 * 4 * 8), plain(256 * 2 * 8), fast(256 * 2 * 8);
  for (int channel = 0; channel < 4; ++channel) {
    for (std::uint8_t rest : {std::uint8_t{0}, std::uint8_t{255}}) {
      for (int v = 0; v < 256 * 8; ++v) {
        for (int c = 0; c < 4; ++c) bgra[4 * v + c] = rest;
        bgra[4 * v + channel] = static_cast<std::uint8_t>(v % 2 == 0 ? v / 8 : 255 - v / 8);
      }
      quellor::board::BGRAToUYVYRow_C(bgra.data(), plain.data(), 256 * 8);
      quellor::board::BGRAToUYVYRow_AVX2(bgra.data(), fast.data(), 256 * 8);
      ASSERT_EQ(plain, fast) << "channel " << channel << " rest " << int{rest};
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, FastAndPlainRows,
                         testing::Values(1, 2, 3, 15, 16, 17, 31, 33, 63, 64, 65, 719, 720, 1441));

TEST(ColourConversion, PlainDecodeCoversEveryCodeLikeTheFastRow) {
  // Every (Cb, Cr) with every Y: 2^24 pixels, compared 256 pixels at a time.
  Bytes uyvy(512), plain(1024), fast(1024);
  for (int cb = 0; cb < 256; cb += 3) {
    for (int cr = 0; cr < 256; ++cr) {
      for (int x = 0; x < 128; ++x) {
        uyvy[4 * x] = static_cast<std::uint8_t>(cb);
        uyvy[4 * x + 1] = static_cast<std::uint8_t>(2 * x);
        uyvy[4 * x + 2] = static_cast<std::uint8_t>(cr);
        uyvy[4 * x + 3] = static_cast<std::uint8_t>(2 * x + 1);
      }
      quellor::board::UYVYToBGRARow_C(uyvy.data(), plain.data(), 256);
      quellor::board::UYVYToBGRARow_Fast(uyvy.data(), fast.data(), 256);
      ASSERT_EQ(plain, fast) << "cb " << cb << " cr " << cr;
    }
  }
}

}  // namespace
