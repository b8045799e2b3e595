// IBM KIPS: 8-bit palette pictures whose palette lives in a complementary
// file beside the picture, named like it with the extension ".PAL" (768
// bytes, red, green, blue). The picture file: "KIPS", width and height as
// 16-bit little-endian numbers, then the rows top-down, one byte a pixel.
#include <string>
#include <vector>

#include <quellor/RegularFile.h>

#include "Codec.h"
#include "CodecIo.h"

namespace quellor::codecs {
namespace {

constexpr int kCannotOpenPalette = 500;
constexpr int kCannotCreatePalette = 501;
constexpr const char* kTexts[] = {"can't open complementary palette file",
                                  "can't create complementary palette file"};
constexpr std::size_t kHeaderBytes = 8;

struct KipsState {
  std::uint8_t palette[kPaletteBytes];
};

// name with its extension replaced by ".PAL" (or ".PAL" added).
std::string PaletteFileOf(const char* fileName) {
  std::string name = fileName;
  const std::size_t point = name.rfind('.');
  if (point != std::string::npos && name.find_first_of("/\\", point) == std::string::npos) {
    name.erase(point);
  }
  return name + ".PAL";
}

int ReadHeader(const char* fileName, std::FILE* file, BitmapRecord& bitmap, const CodecOptions&) {
  std::uint8_t h[kHeaderBytes];
  if (!SeekTo(file, 0) || !ReadExact(file, h, kHeaderBytes)) return kCodecCannotRead;
  if (std::memcmp(h, "KIPS", 4) != 0) return kCodecBadMagic;
  const int width = Le16(h + 4), height = Le16(h + 6);
  if (int code = CheckPictureSize(width, height, 8)) return code;
  std::FILE* paletteFile = quellor::OpenRegularFileForReading(PaletteFileOf(fileName).c_str());
  if (paletteFile == nullptr) return kCannotOpenPalette;
  KipsState& state = PrivateState<KipsState>(bitmap);
  const bool read = ReadExact(paletteFile, state.palette, kPaletteBytes);
  std::fclose(paletteFile);
  if (!read) return kCodecCannotRead;
  bitmap.width = width;
  bitmap.height = height;
  bitmap.bitsPerPixel = 8;
  return kCodecOk;
}

int ReadPalette(std::FILE*, BitmapRecord& bitmap, std::uint8_t* palette) {
  std::memcpy(palette, PrivateState<KipsState>(bitmap).palette, kPaletteBytes);
  return kCodecOk;
}

int ReadData(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* data) {
  if (!SeekTo(file, kHeaderBytes)) return kCodecCannotRead;
  for (int y = bitmap.height - 1; y >= 0; --y) {
    if (!ReadExact(file, DataRow(data, bitmap, y), static_cast<std::size_t>(bitmap.width))) {
      return kCodecCannotRead;
    }
  }
  return kCodecOk;
}

int Write(const char* fileName, std::FILE* file, const BitmapRecord& bitmap,
          const std::uint8_t* palette, const std::uint8_t* data, const CodecOptions&) {
  if (bitmap.width > 0xFFFF || bitmap.height > 0xFFFF) return kCodecBadSize;
  std::FILE* paletteFile = std::fopen(PaletteFileOf(fileName).c_str(), "wb");
  if (paletteFile == nullptr) return kCannotCreatePalette;
  const bool paletteWritten = WriteExact(paletteFile, palette, kPaletteBytes);
  if (std::fclose(paletteFile) != 0 || !paletteWritten) return kCodecCannotWrite;
  std::uint8_t h[kHeaderBytes] = {'K', 'I', 'P', 'S'};
  PutLe16(h + 4, static_cast<unsigned>(bitmap.width));
  PutLe16(h + 6, static_cast<unsigned>(bitmap.height));
  if (!WriteExact(file, h, kHeaderBytes)) return kCodecCannotWrite;
  for (int y = bitmap.height - 1; y >= 0; --y) {
    if (!WriteExact(file, DataRow(data, bitmap, y), static_cast<std::size_t>(bitmap.width))) {
      return kCodecCannotWrite;
    }
  }
  return kCodecOk;
}

const char* ErrorText(int code) {
  return BlockText(code, 500, kTexts);
}

}  // namespace

constinit const Codec kKipsCodec = {
    {"KIPS", "IBM KIPS", "KPS", 0x84}, &ReadHeader, &ReadPalette, &ReadData, &Write, &ErrorText,
};

}  // namespace quellor::codecs
