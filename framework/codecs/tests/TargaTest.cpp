// The Targa codec on files the tests put together byte by byte: header checks
// and their codes, palettes, every depth, run-length packets across rows, row
// order, the writer's options, and hostile files.
#include <qlxrapi/codecs/ImageCodecs.h>

#include <gtest/gtest.h>

#include <vector>

#include "CodecTestFiles.h"

namespace quellor::codecs {
namespace {

using testing::MakePicture;
using testing::Picture;
using Bytes = std::vector<std::uint8_t>;

struct TargaHeader {
  std::uint8_t idLength = 0, mapType = 0, type = 2;
  unsigned firstEntry = 0, mapLength = 0;
  std::uint8_t entryBits = 0;
  unsigned width = 2, height = 2;
  std::uint8_t depth = 24, descriptor = 0;

  Bytes Encode() const {
    Bytes b = {idLength,
               mapType,
               type,
               std::uint8_t(firstEntry),
               std::uint8_t(firstEntry >> 8),
               std::uint8_t(mapLength),
               std::uint8_t(mapLength >> 8),
               entryBits,
               0,
               0,
               0,
               0,
               std::uint8_t(width),
               std::uint8_t(width >> 8),
               std::uint8_t(height),
               std::uint8_t(height >> 8),
               depth,
               descriptor};
    b.resize(18u + idLength, 'i');
    return b;
  }
};

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

int HeaderCode(const TargaHeader& header) {
  Picture picture;
  testing::MemoryFile file(header.Encode() + Bytes(64, 0));
  return ImageCodecReadHeader("x.tga", file.get(), kFormatTarga, &picture.record, "");
}

TEST(Targa, HeaderChecksGiveTheCodecsCodes) {
  TargaHeader header;
  header.depth = 15;
  EXPECT_EQ(HeaderCode(header), 400);
  EXPECT_STREQ(ImageCodecErrorText(400), "bits per pixel not 8, 16, 24 or 32");
  header = {};
  header.type = 1;
  header.mapType = 1;
  header.depth = 8;
  header.entryBits = 16;
  EXPECT_EQ(HeaderCode(header), 402);
  header.entryBits = 24;
  header.depth = 16;
  EXPECT_EQ(HeaderCode(header), 400);
  header = {};
  header.type = 3;
  header.depth = 24;
  EXPECT_EQ(HeaderCode(header), 400);
  for (std::uint8_t type : {0, 4, 12, 32, 255}) {
    header = {};
    header.type = type;
    EXPECT_EQ(HeaderCode(header), 401) << int(type);
  }
  header = {};
  header.width = 0;
  EXPECT_EQ(HeaderCode(header), kCodecBadSize);
  header = {};
  header.height = 0;
  EXPECT_EQ(HeaderCode(header), kCodecBadSize);
  // The largest sizes the header holds exceed what the library reads.
  header = {};
  header.width = header.height = 65535;
  header.depth = 32;
  EXPECT_EQ(HeaderCode(header), kCodecBadSize);
  testing::MemoryFile shortFile(Bytes(17, 0));
  Picture picture;
  EXPECT_EQ(ImageCodecReadHeader("x.tga", shortFile.get(), kFormatTarga, &picture.record, ""),
            kCodecCannotRead);
}

TEST(Targa, SixteenBitFilesAreDeliveredAsTwentyFourBitPixels) {
  TargaHeader header;
  header.width = 3;
  header.height = 1;
  header.depth = 16;
  // 0x7FFF, pure blue 0x001F, and bit 15 set on pure red 0x7C00.
  Picture picture;
  ASSERT_EQ(testing::ReadPicture(header.Encode() + Bytes{0xFF, 0x7F, 0x1F, 0x00, 0x00, 0xFC},
                                 kFormatTarga, picture),
            0);
  EXPECT_EQ(picture.record.bitsPerPixel, 24);
  EXPECT_EQ(picture.data, (Bytes{248, 248, 248, 248, 0, 0, 0, 0, 248, 0, 0, 0}));
}

TEST(Targa, ColourMapsLandAtTheirFirstEntryAndStopAtEntry255) {
  TargaHeader header;
  header.type = 1;
  header.mapType = 1;
  header.depth = 8;
  header.entryBits = 24;
  header.firstEntry = 254;
  header.mapLength = 4;  // entries 254 to 257: the last two have no place
  header.idLength = 3;
  header.width = 2;
  header.height = 1;
  Bytes map = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};  // blue, green, red
  Picture picture;
  picture.palette.assign(kPaletteBytes, 0xEE);
  ASSERT_EQ(testing::ReadPicture(header.Encode() + map + Bytes{254, 255}, kFormatTarga, picture),
            0);
  EXPECT_EQ(picture.palette[3 * 253], 0) << "the palette is cleared first";
  EXPECT_EQ(Bytes(picture.palette.begin() + 3 * 254, picture.palette.end()),
            (Bytes{3, 2, 1, 6, 5, 4}));
  EXPECT_EQ(Bytes(picture.data.begin(), picture.data.begin() + 2), (Bytes{254, 255}));

  // A map cut short.
  EXPECT_EQ(testing::ReadPicture(header.Encode() + Bytes{1, 2, 3, 4}, kFormatTarga, picture),
            kCodecCannotRead);

  // Grey pictures get the grey ramp; the skipped map of a true-colour file
  // counts 15-bit entries as 16 bits.
  TargaHeader grey;
  grey.type = 3;
  grey.depth = 8;
  grey.width = 1;
  grey.height = 1;
  grey.mapType = 1;
  grey.mapLength = 3;
  grey.entryBits = 15;
  ASSERT_EQ(testing::ReadPicture(grey.Encode() + Bytes(6, 0xAA) + Bytes{77}, kFormatTarga, picture),
            0);
  EXPECT_EQ(picture.palette[3 * 77 + 1], 77);
  EXPECT_EQ(picture.data[0], 77);
}

TEST(Targa, TopDownAndBottomUpFilesDeliverTheSameData) {
  TargaHeader header;
  header.width = 1;
  header.height = 3;
  header.depth = 32;
  Bytes rows = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3};
  Picture bottomUp, topDown;
  ASSERT_EQ(testing::ReadPicture(header.Encode() + rows, kFormatTarga, bottomUp), 0);
  header.descriptor = 32;
  Bytes reversed = {3, 3, 3, 3, 2, 2, 2, 2, 1, 1, 1, 1};
  ASSERT_EQ(testing::ReadPicture(header.Encode() + reversed, kFormatTarga, topDown), 0);
  EXPECT_EQ(bottomUp.data, rows);
  EXPECT_EQ(topDown.data, rows);
}

TEST(Targa, RunLengthPacketsRunOnIntoTheNextRowAndStopAtThePicturesEnd) {
  TargaHeader header;
  header.type = 11;
  header.depth = 8;
  header.width = 3;
  header.height = 2;
  // A run of 4 (past the first row), then 2 literal pixels.
  Bytes packets = {0x83, 9, 0x01, 5, 6};
  Picture picture;
  ASSERT_EQ(testing::ReadPicture(header.Encode() + packets, kFormatTarga, picture), 0);
  EXPECT_EQ(picture.data, (Bytes{9, 9, 9, 0, 9, 5, 6, 0}));  // rows padded to 4 bytes

  // A run of 128 on a 6-pixel picture is cut at its end; the data around the
  // picture is untouched.
  Bytes big = {0xFF, 4};
  ASSERT_EQ(testing::ReadPicture(header.Encode() + big, kFormatTarga, picture), 0);
  EXPECT_EQ(picture.data, (Bytes{4, 4, 4, 0, 4, 4, 4, 0}));

  // 16-bit runs are expanded row by row, also top-down.
  TargaHeader sixteen = header;
  sixteen.type = 10;
  sixteen.depth = 16;
  sixteen.width = 2;
  sixteen.descriptor = 32;
  ASSERT_EQ(testing::ReadPicture(sixteen.Encode() + Bytes{0x81, 0x1F, 0x00, 0x81, 0xFF, 0x7F},
                                 kFormatTarga, picture),
            0);
  EXPECT_EQ(picture.data, (Bytes{248, 248, 248, 248, 248, 248, 0, 0, 248, 0, 0, 248, 0, 0, 0, 0}));

  // The file ends inside a packet, before a packet, and in a repeated pixel.
  for (const Bytes& cut : {Bytes{0x05, 1, 2}, Bytes{0x82, 1}, Bytes{}}) {
    EXPECT_EQ(testing::ReadPicture(header.Encode() + cut, kFormatTarga, picture), kCodecCannotRead);
  }
  TargaHeader colour = header;
  colour.type = 10;
  colour.depth = 32;
  EXPECT_EQ(testing::ReadPicture(colour.Encode() + Bytes{0x85, 1, 2}, kFormatTarga, picture),
            kCodecCannotRead);
}

TEST(Targa, TruncatedPlainDataCannotBeRead) {
  TargaHeader header;
  header.width = 4;
  header.height = 4;
  Picture picture;
  EXPECT_EQ(testing::ReadPicture(header.Encode() + Bytes(47, 1), kFormatTarga, picture),
            kCodecCannotRead);
  EXPECT_EQ(testing::ReadPicture(header.Encode() + Bytes(48, 1), kFormatTarga, picture), 0);
}

TEST(Targa, WriterOptionsConflictsAndLayout) {
  Picture eight = MakePicture(3, 2, 8);
  Picture colour = MakePicture(3, 2, 24);
  Bytes file;
  EXPECT_EQ(testing::WritePicture(eight, kFormatTarga, file, "24"), kCodecBadOptions);
  EXPECT_STREQ(ImageCodecErrorText(kCodecBadOptions), "bad option(s)");
  EXPECT_EQ(testing::WritePicture(eight, kFormatTarga, file, "16"), kCodecBadOptions);
  for (const char* options : {"16 24", "16,32", "24 32", "yup ydown"}) {
    EXPECT_EQ(testing::WritePicture(colour, kFormatTarga, file, options), kCodecBadOptions)
        << options;
  }
  // 32-bit pictures and 1-bit ones are not among the writer's depths.
  EXPECT_EQ(testing::WritePicture(MakePicture(2, 2, 32), kFormatTarga, file), kCodecNotSupported);
  EXPECT_EQ(testing::WritePicture(MakePicture(2, 2, 1), kFormatTarga, file), kCodecNotSupported);

  ASSERT_EQ(testing::WritePicture(eight, kFormatTarga, file, "ydown"), 0);
  ASSERT_EQ(file.size(), 18u + 768 + 6);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 18),
            (Bytes{0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, 3, 0, 2, 0, 8, 32}));
  EXPECT_EQ(file[18], eight.palette[2]) << "map entries are blue, green, red";
  EXPECT_EQ(file[18 + 768], eight.data[4]) << "ydown writes the top row first";

  ASSERT_EQ(testing::WritePicture(colour, kFormatTarga, file, "16"), 0);
  EXPECT_EQ(file.size(), 18u + 12);
  EXPECT_EQ(file[16], 16);
  ASSERT_EQ(testing::WritePicture(colour, kFormatTarga, file, "32"), 0);
  EXPECT_EQ(file.size(), 18u + 24);
  EXPECT_EQ(file[18 + 3], 255) << "the fourth byte is opaque";
}

TEST(Targa, SixteenBitWriteKeepsTheTopFiveBitsOfEachColour) {
  Picture colour = MakePicture(5, 3, 24);
  Bytes file;
  ASSERT_EQ(testing::WritePicture(colour, kFormatTarga, file, "16"), 0);
  Picture read;
  ASSERT_EQ(testing::ReadPicture(file, kFormatTarga, read), 0);
  ASSERT_EQ(read.record.bitsPerPixel, 24);
  for (std::size_t i = 0; i < colour.data.size(); ++i) {
    if (i % 16 >= 15) continue;  // row padding
    EXPECT_EQ(read.data[i], colour.data[i] & 0xF8) << i;
  }
}

}  // namespace
}  // namespace quellor::codecs

namespace quellor::codecs {
namespace {

// 32-bit run-length files of random packets (runs and literals of 1 to 12
// pixels, now and then up to 128, crossing rows), in both row orders, against
// a decode done here pixel by pixel: the fast paths for short runs must not
// write into rows already decoded. The large picture's packets span several
// of the reader's buffers, so packets are also split across refills.
TEST(Targa, RandomThirtyTwoBitPacketsDecodeAsThePixelsTheyName) {
  std::uint32_t noise = 7;
  auto next = [&noise] {
    noise = noise * 1664525u + 1013904223u;
    return noise >> 8;
  };
  struct Size {
    std::uint16_t width, height;
  };
  for (const Size size : {Size{21, 7}, Size{403, 101}})
    for (std::uint8_t descriptor : {std::uint8_t(8), std::uint8_t(8 | 32)}) {
      TargaHeader header;
      header.type = 10;
      header.depth = 32;
      header.width = size.width;
      header.height = size.height;
      header.descriptor = descriptor;
      const std::size_t total = header.width * header.height;
      Bytes packets, pixels;  // pixels in file order
      while (pixels.size() / 4 < total) {
        const std::size_t count = next() % 8 == 0 ? 1 + next() % 128 : 1 + next() % 12;
        const bool run = next() % 2 == 0;
        packets.push_back(std::uint8_t(run ? 0x80 + count - 1 : count - 1));
        for (std::size_t i = 0; i < count; ++i) {
          if (run && i > 0) {
            pixels.insert(pixels.end(), pixels.end() - 4, pixels.end());
            continue;
          }
          const std::uint32_t w = next();
          const Bytes pixel = {std::uint8_t(w), std::uint8_t(w >> 8), std::uint8_t(w >> 16),
                               std::uint8_t(i)};
          packets.insert(packets.end(), pixel.begin(), pixel.end());
          pixels.insert(pixels.end(), pixel.begin(), pixel.end());
        }
      }
      Picture picture;
      ASSERT_EQ(testing::ReadPicture(header.Encode() + packets, kFormatTarga, picture), 0);
      ASSERT_EQ(total * 4, picture.data.size());
      const std::size_t rowBytes = header.width * 4;
      for (unsigned fileRow = 0; fileRow < header.height; ++fileRow) {
        const unsigned y = descriptor & 32 ? header.height - 1 - fileRow : fileRow;
        const Bytes expected(pixels.begin() + fileRow * rowBytes,
                             pixels.begin() + (fileRow + 1) * rowBytes);
        const Bytes got(picture.data.begin() + y * rowBytes,
                        picture.data.begin() + (y + 1) * rowBytes);
        EXPECT_EQ(expected, got) << "descriptor " << int(descriptor) << " file row " << fileRow;
      }
    }
}

}  // namespace
}  // namespace quellor::codecs
