// The image codec library: a fixed table of fourteen raster formats, each
// served by one codec with the same operations. A caller identifies the
// format from the file name, reads the header, the palette and the pixel
// data, and can write a picture back. The caller opens and closes the file;
// the codecs only read, write and seek it.
//
// Pixel data is delivered and taken as rows from the bottom of the picture to
// the top, each padded to a multiple of 4 bytes (RowStride). 1-bit pixels fill
// a byte from its most significant bit, 4-bit pixels high nibble first, 8-bit
// pixels are palette indices, 24-bit pixels are blue, green, red and 32-bit
// pixels blue, green, red, fourth byte (alpha).
//
// Every operation but ImageCodecErrorText returns an error code, 0 for
// success; codes 1 to 8 are the library's own, the others each codec's
// (ImageCodecErrorText gives the text of any of them).
#pragma once

#include <quellor/Export.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace quellor::codecs {

// The library's own error codes.
enum ImageCodecError : int {
  kCodecOk = 0,
  kCodecOutOfMemory = 1,
  kCodecNotSupported = 2,
  kCodecBadOptions = 3,
  kCodecNotFound = 4,
  kCodecBadMagic = 5,
  kCodecBadSize = 6,
  kCodecCannotRead = 7,
  kCodecCannotWrite = 8,
};

// The formats, by table index (the format number of every operation).
enum ImageFormat : int {
  kFormatBitmap = 0,
  kFormatGif = 1,
  kFormatPcx = 2,
  kFormatTiff = 3,
  kFormatTarga = 4,
  kFormatIlbm = 5,
  kFormatYuv12c = 6,
  kFormatGreymap = 7,
  kFormatPixmap = 8,
  kFormatKips = 9,
  kFormatIax = 10,
  kFormatXBitmap = 11,
  kFormatSprite = 12,
  kFormatPseg = 13,
  kFormatCount = 14,
};

// Capability flags of FormatInfo.
enum FormatCapability : unsigned {
  kReads1 = 1u << 0,
  kReads4 = 1u << 1,
  kReads8 = 1u << 2,
  kReads24 = 1u << 3,
  kReads32 = 1u << 4,
  kWrites1 = 1u << 5,
  kWrites4 = 1u << 6,
  kWrites8 = 1u << 7,
  kWrites24 = 1u << 8,
};

struct FormatInfo {
  const char* shortName;
  const char* longName;
  const char* extensions;  // words separated by blanks
  unsigned flags;          // FormatCapability bits
};

// Filled by the read-header operation and handed back to the codec's other
// operations; the codec keeps what it needs from the header in the private
// area (the Targa codec its 18-byte file header).
struct BitmapRecord {
  int width = 0;         // pixels
  int height = 0;        // lines
  int bitsPerPixel = 0;  // 1, 4, 8, 24 or 32
  alignas(8) std::uint8_t privateArea[1024] = {};
};

// 256 entries of red, green, blue.
constexpr std::size_t kPaletteBytes = 768;

// The largest picture the library reads or writes: its pixel data, and the
// same picture at 32 bits a pixel, stay within 1 GiB. Larger sizes give code 6.
constexpr std::uint64_t kMaxPictureBytes = std::uint64_t{1} << 30;

// Bytes of one row of pixel data: ((width x bits + 31) / 32) x 4.
constexpr std::uint64_t RowStride(std::uint64_t width, std::uint64_t bitsPerPixel) {
  return (width * bitsPerPixel + 31) / 32 * 4;
}

// Bytes of the pixel data of bitmap (row stride x height); 0 for a record no
// read header has filled.
QUELLOR_EXPORT std::size_t ImageDataSize(const BitmapRecord& bitmap);

// Do nothing and answer 0 (kept for callers that bracket their use).
QUELLOR_EXPORT int ImageCodecInitialise();
QUELLOR_EXPORT int ImageCodecFinish();

// 14.
QUELLOR_EXPORT int ImageCodecCount();

// The information record of format; code 4 for a format outside the table.
QUELLOR_EXPORT int ImageCodecQuery(int format, FormatInfo* info);

// The format whose extension list claims fileName's extension (the text after
// its last ".", compared without regard to case; none when a "/" or "\"
// follows the point); code 4 when no format claims it.
QUELLOR_EXPORT int ImageCodecIdentify(const char* fileName, int* format);

// Reads the header of file (at any position) in format into bitmap. options:
// words separated by blanks, tabs or commas; null or empty for none.
QUELLOR_EXPORT int ImageCodecReadHeader(const char* fileName, std::FILE* file, int format,
                                        BitmapRecord* bitmap, const char* options);

// Reads the palette of a picture whose header bitmap holds (palette: 768
// bytes). Pictures without one leave it as it is.
QUELLOR_EXPORT int ImageCodecReadPalette(std::FILE* file, int format, BitmapRecord* bitmap,
                                         std::uint8_t* palette);

// Reads the pixel data into data, which holds ImageDataSize(*bitmap) bytes.
QUELLOR_EXPORT int ImageCodecReadData(std::FILE* file, int format, BitmapRecord* bitmap,
                                      std::uint8_t* data);

// Writes the picture described by bitmap (width, height, bits per pixel),
// palette (768 bytes; used for 1, 4 and 8 bits) and data to file.
QUELLOR_EXPORT int ImageCodecWrite(const char* fileName, std::FILE* file, int format,
                                   const BitmapRecord* bitmap, const std::uint8_t* palette,
                                   const std::uint8_t* data, const char* options);

// The text of code: the library's own, else the first codec's that knows it,
// else "general error".
QUELLOR_EXPORT const char* ImageCodecErrorText(int code);

}  // namespace quellor::codecs
