// Each codec's own codes on small hostile or foreign files made by hand.
#include <qlxrapi/codecs/ImageCodecs.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
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

int Read(const Bytes& file, int format, const char* options = "") {
  Picture picture;
  return testing::ReadPicture(file, format, picture, options);
}

Bytes Written(int format, int bits, const char* options = "") {
  Bytes file;
  EXPECT_EQ(testing::WritePicture(testing::MakePicture(16, 4, bits), format, file, options), 0);
  return file;
}

TEST(FormatCodes, TiffMagicVersionAndIndex) {
  EXPECT_EQ(Read(Bytes{'I', 'I', 41, 0, 8, 0, 0, 0}, kFormatTiff), 800);
  EXPECT_EQ(Read(Bytes{'M', 'M', 0, 41, 0, 0, 0, 8}, kFormatTiff), 800);
  EXPECT_EQ(Read(Text("GIF89a.."), kFormatTiff), kCodecBadMagic);
  Bytes tiff = Written(kFormatTiff, 8);
  EXPECT_EQ(Read(tiff, kFormatTiff), 0);
  EXPECT_EQ(Read(tiff, kFormatTiff, "index=1"), kCodecNotFound);
}

// A colour picture whose last strip lies beyond the end of the file: its
// rows cannot be read, and the read says so rather than handing back the
// picture with those rows left as they were.
TEST(FormatCodes, TiffStripThatCannotBeReadIsCorrupt) {
  Bytes tiff;
  // 400 rows of 48 bytes: three strips of the library's usual 8 KB.
  ASSERT_EQ(testing::WritePicture(testing::MakePicture(16, 400, 24), kFormatTiff, tiff), 0);
  ASSERT_EQ(Read(tiff, kFormatTiff), 0);
  ASSERT_EQ(tiff[0], 'I');  // little-endian, as written on this machine
  auto le32 = [&](std::size_t at) {
    return std::uint32_t{tiff[at]} | std::uint32_t{tiff[at + 1]} << 8 |
           std::uint32_t{tiff[at + 2]} << 16 | std::uint32_t{tiff[at + 3]} << 24;
  };
  const std::size_t directory = le32(4);
  ASSERT_LT(directory + 2, tiff.size());
  const unsigned entries = tiff[directory] | tiff[directory + 1] << 8;
  bool moved = false;
  for (unsigned i = 0; i < entries; ++i) {
    const std::size_t entry = directory + 2 + 12 * i;
    ASSERT_LE(entry + 12, tiff.size());
    const unsigned tag = tiff[entry] | tiff[entry + 1] << 8;
    const unsigned type = tiff[entry + 2] | tiff[entry + 3] << 8;
    const std::uint32_t count = le32(entry + 4);
    if (tag != 273 || type != 4 || count < 2) continue;  // StripOffsets as LONGs
    const std::size_t last = le32(entry + 8) + 4 * (count - 1);
    ASSERT_LE(last + 4, tiff.size());
    const std::uint32_t beyond = 0x10000000;
    for (int b = 0; b < 4; ++b) tiff[last + b] = static_cast<std::uint8_t>(beyond >> (8 * b));
    moved = true;
  }
  ASSERT_TRUE(moved) << "the picture was not written in several strips";
  EXPECT_EQ(Read(tiff, kFormatTiff), 818);
}

TEST(FormatCodes, GifMagicAndImageIndex) {
  Bytes gif = Written(kFormatGif, 4);
  EXPECT_EQ(Read(gif, kFormatGif), 0);
  EXPECT_EQ(Read(gif, kFormatGif, "index=1"), 1101);
  EXPECT_EQ(Read(Text("GIX89a..........."), kFormatGif), kCodecBadMagic);
  // Garbage in the image data.
  Bytes corrupt = gif;
  for (std::size_t i = corrupt.size() - 20; i < corrupt.size() - 2; ++i) corrupt[i] = 0xFF;
  Picture picture;
  const int code = testing::ReadPicture(corrupt, kFormatGif, picture);
  EXPECT_TRUE(code == 1103 || code == kCodecCannotRead) << code;
}

TEST(FormatCodes, PcxVersionEncodingPlanesAndTrailer) {
  Bytes pcx = Written(kFormatPcx, 8);
  Bytes bad = pcx;
  bad[1] = 7;
  EXPECT_EQ(Read(bad, kFormatPcx), 700);
  bad = pcx;
  bad[2] = 0;
  EXPECT_EQ(Read(bad, kFormatPcx), 701);
  bad = pcx;
  bad[65] = 2;  // 8 bits x 2 planes
  EXPECT_EQ(Read(bad, kFormatPcx), 702);
  bad = pcx;
  bad[bad.size() - 769] = 0;  // the palette marker
  EXPECT_EQ(Read(bad, kFormatPcx), 703);
  bad = pcx;
  bad[66] = 1;  // plane lines shorter than the picture
  bad[67] = 0;
  EXPECT_EQ(Read(bad, kFormatPcx), kCodecBadSize);
}

TEST(FormatCodes, IlbmChunks) {
  Bytes ilbm = Written(kFormatIlbm, 4);
  EXPECT_EQ(Read(Text("FARM....ILBM"), kFormatIlbm), 900);
  EXPECT_EQ(Read(Text("FORM....PBM "), kFormatIlbm), 901);
  Bytes bad = ilbm;
  bad[19] = 19;  // BMHD size
  EXPECT_EQ(Read(bad, kFormatIlbm), 904);
  bad = ilbm;
  bad[28] = 9;  // planes
  EXPECT_EQ(Read(bad, kFormatIlbm), 905);
  bad = ilbm;
  bad[30] = 2;  // compression
  EXPECT_EQ(Read(bad, kFormatIlbm), 907);
  bad = ilbm;
  std::copy_n("XXXX", 4, bad.begin() + 12);  // the BMHD is gone
  EXPECT_EQ(Read(bad, kFormatIlbm), 903);
}

TEST(FormatCodes, XBitmapSyntax) {
  const std::string head = "#define x_width 8\n#define x_height 1\n";
  EXPECT_EQ(Read(Text(head + "static char x_bits[] = {0x01};"), kFormatXBitmap), 0);
  EXPECT_EQ(Read(Text(head + "static long x_bits[] = {0x01};"), kFormatXBitmap), 1302);
  EXPECT_EQ(Read(Text(head + "static char x_bits] = {0x01};"), kFormatXBitmap), 1303);
  EXPECT_EQ(Read(Text(head + "static char x_bits[ = {0x01};"), kFormatXBitmap), 1304);
  EXPECT_EQ(Read(Text(head + "static char x_bits[] {0x01};"), kFormatXBitmap), 1305);
  EXPECT_EQ(Read(Text(head + "static char x_bits[] = 0x01};"), kFormatXBitmap), 1306);
  EXPECT_EQ(Read(Text(head + "static char x_bits[] = {0x01;"), kFormatXBitmap), 1307);
  EXPECT_EQ(Read(Text(head + "static char x_bits[] = {0x01}"), kFormatXBitmap), 1301);
  EXPECT_EQ(Read(Text("#define 5 8\n"), kFormatXBitmap), 1300);
  EXPECT_EQ(Read(Text("#define x_width 16\n#define x_height 1\nstatic char x_bits[] = {1 2};"),
                 kFormatXBitmap),
            1308);
  EXPECT_EQ(Read(Text(head + "static char x_bits[] = {zz};"), kFormatXBitmap), 1309);
  EXPECT_EQ(Read(Text(head + "static char x_bits[] = {1}:"), kFormatXBitmap), 1310);
  EXPECT_EQ(Read(Text(head), kFormatXBitmap), 1301);
}

TEST(FormatCodes, SpriteModesBitsAndIndex) {
  Bytes sprite = Written(kFormatSprite, 4);
  EXPECT_EQ(Read(sprite, kFormatSprite, "index=1"), 1402);
  Bytes bad = sprite;
  bad[12 + 24] = 4;  // first bit used
  EXPECT_EQ(Read(bad, kFormatSprite), 1400);
  bad = sprite;
  bad[12 + 40] = 3;  // mode 3: text only
  EXPECT_EQ(Read(bad, kFormatSprite), 1401);
  Bytes eight = Written(kFormatSprite, 8);
  bad = eight;
  bad[12 + 32] = 44 + 8 * 20;  // 20 palette entries
  bad[12 + 33] = 0;
  EXPECT_EQ(Read(bad, kFormatSprite), 1403);
}

TEST(FormatCodes, PageSegmentRecords) {
  Bytes pseg = Written(kFormatPseg, 1);
  EXPECT_EQ(Read(pseg, kFormatPseg), 0);
  Bytes padded = pseg;
  padded.insert(padded.begin() + 9, {0x40, 0x40, 0x40});  // padding after the first record
  EXPECT_EQ(Read(padded, kFormatPseg), 1600);
  EXPECT_EQ(Read(padded, kFormatPseg, "fixrec"), 0);
  Bytes bad = pseg;
  bad[9 + 4] = 0x11;  // an unknown second record
  EXPECT_EQ(Read(bad, kFormatPseg), 1601);
  // Raster data before the size record.
  Bytes early = {0x5A, 0, 8, 0xD3, 0xA8, 0x5F, 0, 0,    0,    0x5A, 0, 8, 0xD3, 0xA8,
                 0x7B, 0, 0, 0,    0x5A, 0,    9, 0xD3, 0xEE, 0x7B, 0, 0, 0,    0xFF};
  EXPECT_EQ(Read(early, kFormatPseg), 1602);
  // A cell at an odd place.
  Bytes cell = pseg;
  const Bytes position = {0x5A, 0, 16, 0xD3, 0xAC, 0x7B, 0, 0, 0, 0, 3, 0, 0, 0, 8, 0, 8};
  cell.insert(cell.begin() + 27 + 8, position.begin(), position.end());
  Picture picture;
  EXPECT_EQ(testing::ReadPicture(cell, kFormatPseg, picture), 1606);
  EXPECT_EQ(Read(Bytes{0x5A, 0, 8, 0xD3, 0xA9, 0x7B, 0, 0, 0}, kFormatPseg), 1607);
}

TEST(FormatCodes, IaxAndYuvAndKipsSizes) {
  EXPECT_EQ(Read(Bytes(10, 1), kFormatIax, "width=3"), 1500);
  EXPECT_EQ(Read(Bytes(9, 1), kFormatIax, "width=3"), 0);
  EXPECT_EQ(Read(Bytes(9, 1), kFormatIax, "width=0"), kCodecBadOptions);
  Bytes yuv = {'Y', 'U', 'V', '1', '2', 'C', 0, 0, 6, 0, 0, 0, 1, 0, 0, 0};
  EXPECT_EQ(Read(yuv, kFormatYuv12c), 1000);
  Bytes huge = {'Y', 'U', 'V', '1', '2', 'C', 0, 0, 0, 0, 1, 0, 0, 0, 1, 0};
  EXPECT_EQ(Read(huge, kFormatYuv12c), kCodecBadSize);
  // The palette file of a KIPS picture is missing.
  EXPECT_EQ(Read(Bytes{'K', 'I', 'P', 'S', 1, 0, 1, 0, 7}, kFormatKips), 500);
  Picture picture = testing::MakePicture(2, 2, 8);
  Bytes file;
  EXPECT_EQ(testing::WritePicture(picture, kFormatKips, file, "", "/no/such/folder/p.kps"), 501);
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(FormatCodes, AKipsPictureThatCannotBeWrittenKeepsItsOldPalette) {
  const std::filesystem::path folder = testing::ScratchPath("kips-palette");
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string picturePath = (folder / "p.kps").string();
  const std::string palettePath = (folder / "p.PAL").string();
  std::ofstream(palettePath) << "the old palette";
  const Picture picture = testing::MakePicture(2, 2, 8);
  // The picture's disk is full: its writes fail (unbuffered, at once).
  std::FILE* full = std::fopen("/dev/full", "wb");
  ASSERT_NE(full, nullptr);
  std::setvbuf(full, nullptr, _IONBF, 0);
  EXPECT_EQ(ImageCodecWrite(picturePath.c_str(), full, kFormatKips, &picture.record,
                            picture.palette.data(), picture.data.data(), ""),
            kCodecCannotWrite);
  std::fclose(full);
  EXPECT_EQ(FileText(palettePath), "the old palette");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);  // nothing left
  // Written whole, the new palette takes the old one's place.
  Bytes bytes;
  ASSERT_EQ(testing::WritePicture(picture, kFormatKips, bytes, "", picturePath.c_str()), 0);
  EXPECT_EQ(FileText(palettePath).size(), 768u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
}

}  // namespace
}  // namespace quellor::codecs
