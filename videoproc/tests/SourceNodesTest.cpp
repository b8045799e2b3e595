// The gradient and the luma effect on hand-computed fields.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "../src/VideoRows.h"
#include "VideoTestFields.h"
#include "videoproc/DataStreamPool.h"
#include "videoproc/LumaEffect.h"
#include "videoproc/VideoGradient.h"

namespace {

using quellor::videoproc::testing::TestField;
using quellor::videoproc::testing::TestStream;

std::uint8_t Y0(std::uint32_t word) {
  return static_cast<std::uint8_t>(word >> 8);
}
std::uint8_t U(std::uint32_t word) {
  return static_cast<std::uint8_t>(word);
}
std::uint8_t V(std::uint32_t word) {
  return static_cast<std::uint8_t>(word >> 16);
}

TEST(Gradient, DefaultCornersOnAnNtscField) {
  VideoGradient gradient;
  TestStream fields(1, 720, 240, 0);
  bool abort = false;
  ASSERT_TRUE(gradient.Render(&fields.stream, nullptr, &abort));
  const auto& words = fields.Words(0);
  EXPECT_EQ(words[0], VideoUYVY_Word(128, 0, 128, 0));
  EXPECT_EQ(Y0(words[239 * 360]), 239) << "the edges reach the bottom one line below";
  // Line 0 runs from Y 0 to 240 over 360 words: step 240 x 65536 x 2 / 720.
  const std::int64_t step = std::int64_t{240} * 65536 * 2 / 720;
  EXPECT_EQ(Y0(words[180]), (180 * step) >> 16);
  EXPECT_EQ(Y0(words[359]), (359 * step) >> 16);
  EXPECT_EQ(words[359] >> 24, Y0(words[359])) << "both samples of a pair equal";
  EXPECT_EQ(gradient.GetPreferredLength(), -1.0);
  EXPECT_EQ(gradient.DataStream_StreamsIn(0), nullptr);
  EXPECT_FALSE(gradient.SetConnection_In(&gradient, 0));
}

TEST(Gradient, CornerInterpolationOnASmallField) {
  VideoGradient gradient;
  gradient.SetCorner(VideoGradient_TopLeft, 16, 0, 100);
  gradient.SetCorner(VideoGradient_TopRight, 32, 64, 100);
  gradient.SetCorner(VideoGradient_BottomLeft, 48, 0, 100);
  gradient.SetCorner(VideoGradient_BottomRight, 96, 64, 100);
  TestStream fields(1, 8, 4, 0);
  bool abort = false;
  gradient.Render(&fields.stream, nullptr, &abort);
  const auto& w = fields.Words(0);
  // Line 0: Y 16 -> 32 in steps of (16 x 2 / 8) = 4; U 0 -> 64 by 16.
  EXPECT_EQ(Y0(w[0]), 16);
  EXPECT_EQ(Y0(w[3]), 28);
  EXPECT_EQ(U(w[3]), 48);
  EXPECT_EQ(V(w[2]), 100);
  // Line 2: left Y 16 + 2 x 8 = 32, right 32 + 2 x 16 = 64: steps of 8.
  EXPECT_EQ(Y0(w[2 * 4]), 32);
  EXPECT_EQ(Y0(w[2 * 4 + 1]), 40);
  EXPECT_EQ(Y0(w[3 * 4 + 3]), 40 + 3 * 10);
}

TEST(Gradient, FlatColourAndCornersDifferingOnlyInV) {
  VideoGradient gradient;
  gradient.SetFlatColour(16, 128, 128);
  TestStream black(2, 6, 3, 0);
  bool abort = false;
  gradient.Render(&black.stream, nullptr, &abort);
  for (int f = 0; f < 2; ++f) {
    for (std::uint32_t word : black.Words(f)) ASSERT_EQ(word, kVideoUYVYBlack);
  }
  gradient.SetCorner(VideoGradient_BottomRight, 16, 128, 200);
  TestStream tinted(1, 8, 4, 0);
  gradient.Render(&tinted.stream, nullptr, &abort);
  EXPECT_EQ(tinted.Words(0)[0], kVideoUYVYBlack);
  EXPECT_GT(V(tinted.Words(0)[15]), 128) << "the interpolating path";
}

TEST(Gradient, ZeroSizesAndShortBlocksWriteNothingPastTheData) {
  VideoGradient gradient;
  bool abort = false;
  TestField zeroWidth(4, 2, 0xABABABAB);
  zeroWidth.header.width = 0;
  TestField zeroHeight(4, 2, 0xABABABAB);
  zeroHeight.header.height = 0;
  DataStream stream;
  stream.AddStream(&zeroWidth.item);
  stream.AddStream(&zeroHeight.item);
  EXPECT_TRUE(gradient.Render(&stream, nullptr, &abort));
  for (std::uint32_t word : zeroWidth.words) EXPECT_EQ(word, 0xABABABABu);
  for (std::uint32_t word : zeroHeight.words) EXPECT_EQ(word, 0xABABABABu);

  // A header that claims 100 lines over a block of 2: only 2 are written.
  std::vector<std::uint32_t> guarded(4 + 4, 0xCDCDCDCD);
  TestField liar(4, 2, 0);
  liar.header.height = 100;
  liar.item.SetNonLocalData(guarded.data());
  liar.item.SetDataSize(16);
  DataStream one;
  one.AddStream(&liar.item);
  gradient.Render(&one, nullptr, &abort);
  EXPECT_NE(guarded[0], 0xCDCDCDCDu);
  for (int i = 4; i < 8; ++i) EXPECT_EQ(guarded[i], 0xCDCDCDCDu);
  EXPECT_TRUE(gradient.Render(nullptr, nullptr, &abort));
}

TEST(LumaEffectNode, TakesYFromTheFirstInputAndColourFromTheSecond) {
  VideoGradient luma, chroma;
  luma.SetFlatColour(16, 128, 128);
  chroma.SetFlatColour(200, 90, 240);
  LumaEffect effect;
  EXPECT_STREQ(effect.DataStream_StreamsIn(0), "Luma In");
  EXPECT_STREQ(effect.DataStream_StreamsIn(1), "Chroma In");
  EXPECT_EQ(effect.DataStream_StreamsIn(2), nullptr);
  EXPECT_STREQ(effect.DataStream_StreamsOut(), "Output");
  EXPECT_FALSE(effect.SetConnection_In(&luma, 2));
  EXPECT_EQ(effect.GetPreferredLength(), -1.0);

  TestStream fields(2, 10, 3, 0x11111111);
  bool abort = false;
  ASSERT_TRUE(effect.SetConnection_In(&luma, 0));
  EXPECT_FALSE(effect.Render(&fields.stream, nullptr, &abort)) << "one input only";
  EXPECT_EQ(fields.Words(0)[0], 0x11111111u) << "untouched";

  ASSERT_TRUE(effect.SetConnection_In(&chroma, 1));
  ASSERT_TRUE(effect.Render(&fields.stream, nullptr, &abort));
  for (int f = 0; f < 2; ++f) {
    for (std::uint32_t word : fields.Words(f)) ASSERT_EQ(word, VideoUYVY_Word(90, 16, 240, 16));
  }

  // The second render of the same size takes its private items from the pool:
  // the item handed out next is one the effect gave back.
  ASSERT_TRUE(effect.Render(&fields.stream, nullptr, &abort));
  DataStream_Data* pooled = GetDataStreamData("Probe", sizeof(VideoStream_Header), 10 * 3 * 2);
  ASSERT_NE(pooled, nullptr);
  EXPECT_STREQ(pooled->GetName(), "Probe");
  EXPECT_EQ(pooled->GetDataSize(), 60u);
  ReleaseDataStreamData(pooled);

  // Full-size fields, two a frame, as the board output asks for them.
  TestStream pal(2, 720, 288, 0);
  ASSERT_TRUE(effect.Render(&pal.stream, nullptr, &abort));
  EXPECT_EQ(pal.Words(0)[0], VideoUYVY_Word(90, 16, 240, 16));
  EXPECT_EQ(pal.Words(1)[0], VideoUYVY_Word(90, 16, 240, 16));
  EXPECT_EQ(pal.Words(1).back(), VideoUYVY_Word(90, 16, 240, 16));

  EXPECT_FALSE(luma.SetConnection_In(&effect, 0)) << "a source has no inputs";
  LumaEffect outer;
  ASSERT_TRUE(outer.SetConnection_In(&effect, 1));
  EXPECT_FALSE(effect.SetConnection_In(&outer, 0)) << "would close a cycle";
}

}  // namespace

namespace {

// The fast rows give the plain rows' words, over lengths that leave tails.
TEST(VideoRowsEquality, FastRowsMatchThePlainRows) {
  const auto& fast = quellor::videoproc::VideoRows();
  const auto& plain = quellor::videoproc::VideoRows_C();
  for (std::size_t words : {1u, 8u, 29u, 360u}) {
    std::vector<std::uint32_t> a(words), b(words);
    const quellor::videoproc::GradientLine line{
        37 * 65536 + 1234, 200 * 65536, 5 * 65536, 11111, -22222, 3333};
    fast.gradient(a.data(), line, words);
    plain.gradient(b.data(), line, words);
    EXPECT_EQ(a, b) << words;
    std::vector<std::uint32_t> chroma(words);
    for (std::size_t i = 0; i < words; ++i) {
      a[i] = b[i] = static_cast<std::uint32_t>(i * 2654435761u);
      chroma[i] = static_cast<std::uint32_t>(i * 40503u + 7);
    }
    fast.mergeChroma(a.data(), chroma.data(), words);
    plain.mergeChroma(b.data(), chroma.data(), words);
    EXPECT_EQ(a, b) << words;
    fast.fillWords(a.data(), 0x12345678u, words);
    plain.fillWords(b.data(), 0x12345678u, words);
    EXPECT_EQ(a, b) << words;
  }
}

}  // namespace
