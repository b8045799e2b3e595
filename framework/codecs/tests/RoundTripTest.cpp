// Every format writes and reads back every depth its flags claim, pixel for
// pixel, on pictures of awkward widths (row padding, partial bytes).
#include <qlxrapi/codecs/ImageCodecs.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CodecTestFiles.h"

namespace quellor::codecs {
namespace {

using testing::PaletteKind;
using testing::Picture;

struct RoundTrip {
  int format;
  const char* options;
  PaletteKind palette;  // what the format can keep of a palette
};

// Every format with the palette it keeps, some with writer options.
const RoundTrip kRoundTrips[] = {
    {kFormatBitmap, "", PaletteKind::Colours}, {kFormatBitmap, "os2", PaletteKind::Colours},
    {kFormatTarga, "", PaletteKind::Colours},  {kFormatTarga, "ydown", PaletteKind::Colours},
    {kFormatGreymap, "", PaletteKind::Grey},   {kFormatPixmap, "", PaletteKind::Colours},
};

std::string Describe(const RoundTrip& trip, int bits, int width, int height) {
  FormatInfo info{};
  ImageCodecQuery(trip.format, &info);
  return std::string(info.shortName) + " \"" + trip.options + "\" " + std::to_string(bits) +
         " bits " + std::to_string(width) + "x" + std::to_string(height);
}

TEST(RoundTrip, EveryFormatKeepsEveryDepthItClaimsToWrite) {
  const int sizes[][2] = {{1, 1}, {7, 3}, {13, 5}, {32, 2}};
  for (const RoundTrip& trip : kRoundTrips) {
    FormatInfo info{};
    ASSERT_EQ(ImageCodecQuery(trip.format, &info), 0);
    for (int bits : {1, 4, 8, 24}) {
      const unsigned writes = bits == 1   ? kWrites1
                              : bits == 4 ? kWrites4
                              : bits == 8 ? kWrites8
                                          : kWrites24;
      if ((info.flags & writes) == 0) continue;
      for (const auto& size : sizes) {
        const std::string what = Describe(trip, bits, size[0], size[1]);
        Picture original =
            testing::MakePicture(size[0], size[1], bits, trip.palette, bits + size[0]);
        std::vector<std::uint8_t> file;
        ASSERT_EQ(testing::WritePicture(original, trip.format, file, trip.options), 0) << what;
        Picture read;
        ASSERT_EQ(testing::ReadPicture(file, trip.format, read), 0) << what;
        EXPECT_EQ(testing::CompareColours(original, read), "") << what;
      }
    }
  }
}

// A file cut anywhere fails with a code the library can name, never a crash
// or a read past the data (the sanitizer builds check the latter). IAX files
// have no header: any cut at a row's end is a smaller picture.
TEST(RoundTrip, EveryCutOfEveryFormatsFileFailsWithANamedCode) {
  const std::string path = testing::ScratchPath("cut.kps");
  for (const RoundTrip& trip : kRoundTrips) {
    if (trip.format == kFormatIax) continue;
    FormatInfo info{};
    ImageCodecQuery(trip.format, &info);
    const int bits = (info.flags & kWrites8) ? 8 : (info.flags & kWrites24) ? 24 : 1;
    Picture original = testing::MakePicture(13, 6, bits, trip.palette);
    std::vector<std::uint8_t> file;
    ASSERT_EQ(testing::WritePicture(original, trip.format, file, trip.options, path.c_str()), 0);
    for (std::size_t cut = 0; cut < file.size(); ++cut) {
      Picture read;
      const int code = testing::ReadPicture(
          std::vector<std::uint8_t>(file.begin(), file.begin() + static_cast<long>(cut)),
          trip.format, read, "", path.c_str());
      ASSERT_NE(code, 0) << info.shortName << " cut at " << cut << " of " << file.size();
      ASSERT_STRNE(ImageCodecErrorText(code), "general error") << info.shortName << " " << code;
    }
  }
}

// YUV12C shares colour between four pixels: grey groups come back exactly.
TEST(RoundTrip, Yuv12cKeepsGreyGroupsOfFour) {
  Picture original = testing::MakePicture(12, 3, 24);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 12; ++x) {
      std::uint8_t* p = &original.data[static_cast<std::size_t>(y) * 36 + x * 3];
      p[0] = p[1] = p[2] = static_cast<std::uint8_t>(x * 20 + y * 7);
    }
  }
  std::vector<std::uint8_t> file;
  ASSERT_EQ(testing::WritePicture(original, kFormatYuv12c, file), 0);
  Picture read;
  ASSERT_EQ(testing::ReadPicture(file, kFormatYuv12c, read), 0);
  EXPECT_EQ(testing::CompareColours(original, read), "");
  EXPECT_EQ(testing::WritePicture(testing::MakePicture(6, 1, 24), kFormatYuv12c, file), 1000);
}

// Targa writes 24-bit pictures as 32-bit files on request and reads them back
// as 32-bit pictures with opaque pixels.
TEST(RoundTrip, TargaThirtyTwoBitFilesReadBackOpaque) {
  Picture original = testing::MakePicture(9, 4, 24);
  std::vector<std::uint8_t> file;
  ASSERT_EQ(testing::WritePicture(original, kFormatTarga, file, "32"), 0);
  Picture read;
  ASSERT_EQ(testing::ReadPicture(file, kFormatTarga, read), 0);
  EXPECT_EQ(read.record.bitsPerPixel, 32);
  EXPECT_EQ(testing::CompareColours(original, read), "");
}

}  // namespace
}  // namespace quellor::codecs
