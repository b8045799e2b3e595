// Grey and pixel maps: header parsing with comments, scaled intensities, and
// the maximum intensity checks.
#include <qlxrapi/codecs/ImageCodecs.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CodecTestFiles.h"

namespace quellor::codecs {
namespace {

using testing::Picture;
using Bytes = std::vector<std::uint8_t>;

Bytes Text(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

TEST(PortableMap, HeadersWithCommentsAndScaledIntensities) {
  Bytes grey = Text("P5\n# made by hand\n2 # width\n1\n15\n");
  grey.push_back(15);
  grey.push_back(5);
  Picture picture;
  ASSERT_EQ(testing::ReadPicture(grey, kFormatGreymap, picture), 0);
  EXPECT_EQ(picture.record.bitsPerPixel, 8);
  EXPECT_EQ(picture.data[0], 255);
  EXPECT_EQ(picture.data[1], 85);
  EXPECT_EQ(picture.palette[3 * 85 + 2], 85);

  Bytes pixels = Text("P6 1 1 255\n");
  pixels.insert(pixels.end(), {10, 20, 30});  // red, green, blue
  ASSERT_EQ(testing::ReadPicture(pixels, kFormatPixmap, picture), 0);
  EXPECT_EQ(Bytes(picture.data.begin(), picture.data.begin() + 3), (Bytes{30, 20, 10}));
}

TEST(PortableMap, BadHeadersGiveTheirCodes) {
  Picture picture;
  EXPECT_EQ(testing::ReadPicture(Text("P5 1 1 0\nx"), kFormatGreymap, picture), 100);
  EXPECT_EQ(testing::ReadPicture(Text("P5 1 1 65535\nxx"), kFormatGreymap, picture), 100);
  EXPECT_EQ(testing::ReadPicture(Text("P6 1 1 256\nxxx"), kFormatPixmap, picture), 200);
  EXPECT_EQ(testing::ReadPicture(Text("P6 1 1 255\nxxx"), kFormatGreymap, picture), kCodecBadMagic);
  EXPECT_EQ(testing::ReadPicture(Text("P5 0 1 255\n"), kFormatGreymap, picture), kCodecBadSize);
  EXPECT_EQ(testing::ReadPicture(Text("P5 99999999999 1 255\n"), kFormatGreymap, picture),
            kCodecBadSize);
  EXPECT_EQ(testing::ReadPicture(Text("P5 65536 65536 255\n"), kFormatGreymap, picture),
            kCodecBadSize);
  EXPECT_EQ(testing::ReadPicture(Text("P5 3 3 255\nabc"), kFormatGreymap, picture),
            kCodecCannotRead);
  EXPECT_EQ(testing::ReadPicture(Text("P5 3"), kFormatGreymap, picture), kCodecBadSize);
  EXPECT_STREQ(ImageCodecErrorText(100), "bad maximum pixel intensity");
}

}  // namespace
}  // namespace quellor::codecs
