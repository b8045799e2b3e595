#include "Y4mHeader.h"

#include <gtest/gtest.h>

namespace quellor::rtvtool {

using namespace quellor::tools;  // the YUV4MPEG2 header shared by the tools
namespace {

TEST(Y4mHeader, ParsesEveryParameterAndKeepsDefaults) {
  std::string error;
  auto header = ParseY4mHeader("YUV4MPEG2 W720 H576 F25:1 It A12:11 C422 XYSCSS=422", &error);
  ASSERT_TRUE(header) << error;
  EXPECT_EQ(header->width, 720u);
  EXPECT_EQ(header->height, 576u);
  EXPECT_EQ(header->rate_numerator, 25u);
  EXPECT_EQ(header->rate_denominator, 1u);
  EXPECT_EQ(header->interlace, 't');
  EXPECT_EQ(header->aspect_numerator, 12u);
  EXPECT_EQ(header->chroma, "422");

  header = ParseY4mHeader("YUV4MPEG2 W2 H2 F1:1", &error);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->chroma, "420jpeg");
  EXPECT_EQ(header->interlace, '?');
}

TEST(Y4mHeader, RefusesBrokenHeaders) {
  std::string error;
  EXPECT_FALSE(ParseY4mHeader("YUV4MPEG W2 H2 F1:1", &error));
  EXPECT_EQ(error, "not a YUV4MPEG2 file");
  EXPECT_FALSE(ParseY4mHeader("YUV4MPEG2 W2 H2", &error));
  EXPECT_EQ(error, "the YUV4MPEG2 header lacks its size or frame rate");
  EXPECT_FALSE(ParseY4mHeader("YUV4MPEG2 W2 H2 F1:0", &error));
  EXPECT_FALSE(ParseY4mHeader("YUV4MPEG2 W-2 H2 F1:1", &error));
  EXPECT_EQ(error, "bad YUV4MPEG2 header parameter \"W-2\"");
  EXPECT_FALSE(ParseY4mHeader("YUV4MPEG2 W99999999999 H2 F1:1", &error));
  EXPECT_FALSE(ParseY4mHeader("YUV4MPEG2 W2 H2 F1:1 Itt", &error));
  EXPECT_FALSE(ParseY4mHeader("YUV4MPEG2 W2 H2 F1:1 Q5", &error));
}

TEST(Y4mHeader, FormatsWhatItParses) {
  Y4mHeader header;
  header.width = 720;
  header.height = 480;
  header.rate_numerator = 30000;
  header.rate_denominator = 1001;
  header.interlace = 't';
  header.aspect_numerator = 10;
  header.aspect_denominator = 11;
  header.chroma = "422";
  EXPECT_EQ(FormatY4mHeader(header), "YUV4MPEG2 W720 H480 F30000:1001 It A10:11 C422\n");
}

TEST(Y4mHeader, BroadcastRatesMapExactlyBothWays) {
  std::uint32_t numerator = 0, denominator = 0;
  FrameRateFromFieldRate(59.940052f, &numerator, &denominator);
  EXPECT_EQ(numerator, 30000u);
  EXPECT_EQ(denominator, 1001u);
  FrameRateFromFieldRate(50.0f, &numerator, &denominator);
  EXPECT_EQ(numerator, 25u);
  EXPECT_EQ(denominator, 1u);
  FrameRateFromFieldRate(48.0f, &numerator, &denominator);
  EXPECT_EQ(numerator, 24u);
  EXPECT_EQ(denominator, 1u);
  EXPECT_EQ(FrameRateForClip(30000, 1001), 29.970026f);
  EXPECT_EQ(FrameRateForClip(25, 1), 25.0f);
}

}  // namespace
}  // namespace quellor::rtvtool
