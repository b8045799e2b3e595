#include "cliplib/clip/RtvFormat.h"

#include <gtest/gtest.h>

#include <cstring>

#include "ClipTestSupport.h"

namespace quellor::clip {
namespace {

using testing::Bytes;

TEST(RtvFormat, FileHeaderBytesAreLittleEndianAtTheirOffsets) {
  RtvFileHeader header{kRtvMagic, 1, 512, 2, 691200, 59.940052f};
  std::uint8_t bytes[kRtvFileHeaderSize];
  WriteRtvFileHeader(header, bytes);
  EXPECT_EQ(0, std::memcmp(bytes, "FMTR", 4));
  const Bytes b(bytes, bytes + sizeof bytes);
  EXPECT_EQ(testing::GetU32(b, 4), 1u);
  EXPECT_EQ(testing::GetU32(b, 8), 512u);
  EXPECT_EQ(testing::GetU32(b, 12), 2u);
  EXPECT_EQ((Bytes{b[16], b[17], b[18], b[19]}), (Bytes{0x00, 0x8C, 0x0A, 0x00}));  // 691200
  EXPECT_EQ(testing::GetF32(b, 20), 59.940052f);

  const RtvFileHeader back = ReadRtvFileHeader(bytes);
  EXPECT_EQ(back.magic, 0x52544D46u);
  EXPECT_EQ(back.frame_set_size, 691200u);
  EXPECT_EQ(back.field_rate, 59.940052f);
}

TEST(RtvFormat, StreamHeaderBytesAreLittleEndianAtTheirOffsets) {
  RtvStreamHeader header{1, 8, 345600, 485904, 1716, 1440, 240};
  std::uint8_t bytes[kRtvStreamHeaderSize];
  WriteRtvStreamHeader(header, bytes);
  const Bytes b(bytes, bytes + sizeof bytes);
  EXPECT_EQ((Bytes{b[0], b[1], b[2], b[3]}), (Bytes{1, 0, 8, 0}));
  EXPECT_EQ(testing::GetU32(b, 4), 345600u);
  EXPECT_EQ(testing::GetU32(b, 8), 485904u);
  EXPECT_EQ(testing::GetU32(b, 12), 1716u);
  EXPECT_EQ(testing::GetU32(b, 16), 1440u);
  EXPECT_EQ(testing::GetU32(b, 20), 240u);

  const RtvStreamHeader back = ReadRtvStreamHeader(bytes);
  EXPECT_EQ(back.kind, 1);
  EXPECT_EQ(back.subtype, 8);
  EXPECT_EQ(back.raster_offset, 485904u);
  EXPECT_EQ(back.lines, 240u);
}

TEST(RtvFormat, RasterStandardFollowsLinesPerField) {
  EXPECT_EQ(RtvRasterFor(240).raster_line_length, 1716u);
  EXPECT_EQ(RtvRasterFor(100).first_field_raster_offset, 34596u);
  EXPECT_EQ(RtvRasterFor(241).raster_line_length, 1728u);
  EXPECT_EQ(RtvRasterFor(288).second_field_raster_offset, 579168u);
  EXPECT_EQ(kRtvNtscRaster.second_field_raster_offset, 485904u);
  EXPECT_EQ(kRtvPalRaster.first_field_raster_offset, 38304u);
}

}  // namespace
}  // namespace quellor::clip
