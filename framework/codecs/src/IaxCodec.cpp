// IBM Image Access eXecutive: raw 8-bit grey samples, rows top-down, with no
// header. The width is the option "width=N" (512 when absent); the height
// follows from the file's length, which must be a multiple of the width.
#include <vector>

#include "Codec.h"
#include "CodecIo.h"

namespace quellor::codecs {
namespace {

constexpr int kLengthNotMultiple = 1500;
constexpr const char* kTexts[] = {"file length is not a multiple of its width"};
constexpr int kDefaultWidth = 512;

int ReadHeader(const char*, std::FILE* file, BitmapRecord& bitmap, const CodecOptions& options) {
  std::optional<int> width = options.Number("width=", kDefaultWidth);
  if (!width || *width == 0) return kCodecBadOptions;
  const long long length = FileLength(file);
  if (length < 0) return kCodecCannotRead;
  if (length == 0) return kCodecBadSize;
  if (length % *width != 0) return kLengthNotMultiple;
  const long long height = length / *width;
  if (int code = CheckPictureSize(*width, height, 8)) return code;
  bitmap.width = *width;
  bitmap.height = static_cast<int>(height);
  bitmap.bitsPerPixel = 8;
  return kCodecOk;
}

int ReadPalette(std::FILE*, BitmapRecord&, std::uint8_t* palette) {
  for (unsigned i = 0; i < 256; ++i) {
    palette[3 * i] = palette[3 * i + 1] = palette[3 * i + 2] = static_cast<std::uint8_t>(i);
  }
  return kCodecOk;
}

int ReadData(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* data) {
  if (!SeekTo(file, 0)) return kCodecCannotRead;
  for (int y = bitmap.height - 1; y >= 0; --y) {
    if (!ReadExact(file, DataRow(data, bitmap, y), static_cast<std::size_t>(bitmap.width))) {
      return kCodecCannotRead;
    }
  }
  return kCodecOk;
}

int Write(const char*, std::FILE* file, const BitmapRecord& bitmap, const std::uint8_t* palette,
          const std::uint8_t* data, const CodecOptions&) {
  std::vector<std::uint8_t> row(static_cast<std::size_t>(bitmap.width));
  for (int y = bitmap.height - 1; y >= 0; --y) {
    const std::uint8_t* in = DataRow(data, bitmap, y);
    for (std::size_t x = 0; x < row.size(); ++x) {
      // Grey samples: the palette entry's luma (exact for grey entries).
      const std::uint8_t* rgb = PaletteEntry(palette, in[x]);
      row[x] = static_cast<std::uint8_t>((rgb[0] * 77u + rgb[1] * 150u + rgb[2] * 29u) >> 8);
    }
    if (!WriteExact(file, row.data(), row.size())) return kCodecCannotWrite;
  }
  return kCodecOk;
}

const char* ErrorText(int code) {
  return BlockText(code, 1500, kTexts);
}

}  // namespace

constinit const Codec kIaxCodec = {
    {"IAX", "IBM Image Access eXecutive", "IAX", 0x84},
    &ReadHeader,
    &ReadPalette,
    &ReadData,
    &Write,
    &ErrorText,
};

}  // namespace quellor::codecs
