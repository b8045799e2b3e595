// One codec of the format table: the format's identity and its operations.
// The table (FormatTable.cpp) checks format numbers, null pointers and picture
// sizes before it calls them, and the depths against the format's flags.
#pragma once

#include <cstdint>
#include <cstdio>

#include "CodecOptions.h"
#include "qlxrapi/codecs/ImageCodecs.h"

namespace quellor::codecs {

struct Codec {
  FormatInfo info;
  // Fills width, height, bits per pixel and the private area.
  int (*readHeader)(const char* fileName, std::FILE* file, BitmapRecord& bitmap,
                    const CodecOptions& options);
  // palette: 768 bytes, red, green, blue.
  int (*readPalette)(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* palette);
  // data: ImageDataSize(bitmap) bytes, rows bottom-up.
  int (*readData)(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* data);
  int (*write)(const char* fileName, std::FILE* file, const BitmapRecord& bitmap,
               const std::uint8_t* palette, const std::uint8_t* data, const CodecOptions& options);
  // The text of one of the codec's own codes, or null.
  const char* (*errorText)(int code);
};

// The codecs, one per table entry (each in its own file).
extern const Codec kBitmapCodec;
extern const Codec kGifCodec;
extern const Codec kPcxCodec;
extern const Codec kTiffCodec;
extern const Codec kTargaCodec;
extern const Codec kIlbmCodec;
extern const Codec kYuv12cCodec;
extern const Codec kGreymapCodec;
extern const Codec kPixmapCodec;
extern const Codec kKipsCodec;
extern const Codec kIaxCodec;
extern const Codec kXBitmapCodec;
extern const Codec kSpriteCodec;
extern const Codec kPsegCodec;

// The text of code within a codec's block [first, first + count), or null.
template <std::size_t N>
const char* BlockText(int code, int first, const char* const (&texts)[N]) {
  if (code < first || code >= first + static_cast<int>(N)) return nullptr;
  return texts[code - first];
}

// A palette entry's red, green, blue.
inline const std::uint8_t* PaletteEntry(const std::uint8_t* palette, unsigned index) {
  return palette + 3 * (index & 0xFF);
}

}  // namespace quellor::codecs
