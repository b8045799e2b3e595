// The host-side conversions between pictures, field-ordered frames and the
// three formats agree with one another.
#include <gtest/gtest.h>

#include <cstring>

#include "HostFormats.h"

namespace quellor::edithost {
namespace {

constexpr std::uint32_t kWidth = 8;
constexpr std::uint32_t kHeight = 4;

Pixels Fields() {
  Pixels fields(std::size_t{kWidth} * kHeight * 2);
  for (std::size_t i = 0; i < fields.size(); ++i) fields[i] = std::uint8_t(16 + (i * 11) % 200);
  return fields;
}

TEST(HostFormats, NamesGuidsAndSizes) {
  EXPECT_EQ(ParseHostFormat("422"), HostFormat::k422);
  EXPECT_EQ(ParseHostFormat("444"), HostFormat::k444);
  EXPECT_EQ(ParseHostFormat("rgba"), HostFormat::kRgba);
  EXPECT_FALSE(ParseHostFormat("RGBA"));
  EXPECT_STREQ(HostFormatGuid(HostFormat::k444), "C7E25A13-6F0B-11d2-94D6-00805F3B1A4E");
  EXPECT_EQ(HostFrameBytes(HostFormat::k422, 720, 576), 829444u);
  EXPECT_EQ(HostFrameBytes(HostFormat::kRgba, 720, 480), 1382400u);
}

TEST(HostFormats, FieldsGiveTheSamePictureInEveryFormat) {
  const Pixels fields = Fields();
  const Pixels via422 = FrameToPicture(
      HostFormat::k422, FieldsToFrame(HostFormat::k422, fields.data(), kWidth, kHeight).data(),
      kWidth, kHeight);
  for (HostFormat format : {HostFormat::k444, HostFormat::kRgba}) {
    const Pixels frame = FieldsToFrame(format, fields.data(), kWidth, kHeight);
    EXPECT_EQ(FrameToPicture(format, frame.data(), kWidth, kHeight), via422);
  }
  // The 4:2:2 frame is the fields and the field size behind them.
  const Pixels frame = FieldsToFrame(HostFormat::k422, fields.data(), kWidth, kHeight);
  EXPECT_TRUE(std::equal(fields.begin(), fields.end(), frame.begin()));
  std::uint32_t trailer;
  std::memcpy(&trailer, frame.data() + fields.size(), 4);
  EXPECT_EQ(trailer, kWidth * kHeight);
}

TEST(HostFormats, RgbaFramesAreThePictureUpsideDown) {
  Pixels picture(std::size_t{kWidth} * kHeight * 4);
  for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = std::uint8_t(i);
  const Pixels frame = PictureToFrame(HostFormat::kRgba, picture.data(), kWidth, kHeight);
  EXPECT_EQ(std::memcmp(frame.data(), picture.data() + (kHeight - 1) * kWidth * 4, kWidth * 4), 0);
  EXPECT_EQ(FrameToPicture(HostFormat::kRgba, frame.data(), kWidth, kHeight), picture);
}

TEST(HostFormats, PicturesEncodeAlikeIn422And444) {
  Pixels picture(std::size_t{kWidth} * kHeight * 4);
  for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = std::uint8_t(i * 7);
  const Pixels f422 = PictureToFrame(HostFormat::k422, picture.data(), kWidth, kHeight);
  const Pixels f444 = PictureToFrame(HostFormat::k444, picture.data(), kWidth, kHeight);
  EXPECT_EQ(FrameToPicture(HostFormat::k422, f422.data(), kWidth, kHeight),
            FrameToPicture(HostFormat::k444, f444.data(), kWidth, kHeight));
}

}  // namespace
}  // namespace quellor::edithost
