// Binary portable grey maps (P5, 8-bit, read with a grey palette) and pixel
// maps (P6, 24-bit). Maximum intensities below 255 are scaled up to 255 on
// reading; files are written with 255.
#include <cctype>
#include <vector>

#include "Codec.h"
#include "CodecIo.h"

namespace quellor::codecs {
namespace {

constexpr const char* kGreymapTexts[] = {"bad maximum pixel intensity"};
constexpr const char* kPixmapTexts[] = {"bad maximum pixel intensity"};

struct MapState {
  std::uint64_t dataOffset;
  unsigned maximum;
};

// The header's tokens: the magic number is read by the caller; numbers are
// separated by white space and comments ("#" to the end of the line); one
// white-space byte ends the header.
class HeaderScanner {
 public:
  explicit HeaderScanner(std::FILE* file) : file_(file) {}

  // A decimal number below 2^31; false at a bad character or the end.
  bool Number(long long& value) {
    int c = SkipSpace();
    if (c < '0' || c > '9') return false;
    value = 0;
    while (c >= '0' && c <= '9') {
      value = value * 10 + (c - '0');
      if (value > 0x7FFFFFFF) return false;
      c = std::fgetc(file_);
    }
    // The byte after the last number is the single white space that ends it.
    return c != EOF && std::isspace(c);
  }

 private:
  int SkipSpace() {
    int c = std::fgetc(file_);
    while (c != EOF) {
      if (c == '#') {
        while (c != EOF && c != '\n') c = std::fgetc(file_);
      } else if (!std::isspace(c)) {
        return c;
      }
      c = std::fgetc(file_);
    }
    return EOF;
  }
  std::FILE* file_;
};

int ReadMapHeader(std::FILE* file, BitmapRecord& bitmap, char kind, int bits, int badMaximum) {
  std::uint8_t magic[2];
  if (!SeekTo(file, 0) || !ReadExact(file, magic, 2)) return kCodecCannotRead;
  if (magic[0] != 'P' || magic[1] != kind) return kCodecBadMagic;
  HeaderScanner scanner(file);
  long long width = 0, height = 0, maximum = 0;
  if (!scanner.Number(width) || !scanner.Number(height)) return kCodecBadSize;
  if (!scanner.Number(maximum)) return badMaximum;
  if (maximum < 1 || maximum > 255) return badMaximum;  // 16-bit samples not read
  if (int code = CheckPictureSize(width, height, bits)) return code;
  MapState& state = PrivateState<MapState>(bitmap);
  const long position = std::ftell(file);
  if (position < 0) return kCodecCannotRead;
  state.dataOffset = static_cast<std::uint64_t>(position);
  state.maximum = static_cast<unsigned>(maximum);
  bitmap.width = static_cast<int>(width);
  bitmap.height = static_cast<int>(height);
  bitmap.bitsPerPixel = bits;
  return kCodecOk;
}

std::uint8_t Scale(std::uint8_t sample, unsigned maximum) {
  if (maximum == 255) return sample;
  if (sample >= maximum) return 255;
  return static_cast<std::uint8_t>((sample * 255u + maximum / 2) / maximum);
}

// Rows are stored top-down, samples packed with no padding.
int ReadMapData(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* data, int samples) {
  const MapState& state = PrivateState<MapState>(bitmap);
  if (!SeekTo(file, state.dataOffset)) return kCodecCannotRead;
  const std::size_t rowBytes = static_cast<std::size_t>(bitmap.width) * samples;
  std::vector<std::uint8_t> row(rowBytes);
  for (int i = 0; i < bitmap.height; ++i) {
    if (!ReadExact(file, row.data(), rowBytes)) return kCodecCannotRead;
    std::uint8_t* out = DataRow(data, bitmap, bitmap.height - 1 - i);
    for (std::size_t x = 0; x < static_cast<std::size_t>(bitmap.width); ++x) {
      for (int s = 0; s < samples; ++s) {
        // Pixel maps hold red, green, blue; the data blue, green, red.
        out[x * samples + (samples - 1 - s)] = Scale(row[x * samples + s], state.maximum);
      }
    }
  }
  return kCodecOk;
}

int WriteMap(std::FILE* file, const BitmapRecord& bitmap, const std::uint8_t* palette,
             const std::uint8_t* data, char kind, int samples) {
  char header[64];
  const int length =
      std::snprintf(header, sizeof header, "P%c\n%d %d\n255\n", kind, bitmap.width, bitmap.height);
  if (!WriteExact(file, header, static_cast<std::size_t>(length))) return kCodecCannotWrite;
  const std::size_t rowBytes = static_cast<std::size_t>(bitmap.width) * samples;
  std::vector<std::uint8_t> row(rowBytes);
  for (int i = 0; i < bitmap.height; ++i) {
    const std::uint8_t* in = DataRow(data, bitmap, bitmap.height - 1 - i);
    for (std::size_t x = 0; x < static_cast<std::size_t>(bitmap.width); ++x) {
      if (samples == 1) {
        // A grey map holds intensities: the palette entry's luma (exact for
        // grey entries).
        const std::uint8_t* rgb = PaletteEntry(palette, in[x]);
        row[x] = static_cast<std::uint8_t>((rgb[0] * 77u + rgb[1] * 150u + rgb[2] * 29u) >> 8);
      } else {
        row[3 * x] = in[3 * x + 2];
        row[3 * x + 1] = in[3 * x + 1];
        row[3 * x + 2] = in[3 * x];
      }
    }
    if (!WriteExact(file, row.data(), rowBytes)) return kCodecCannotWrite;
  }
  return kCodecOk;
}

int GreyHeader(const char*, std::FILE* file, BitmapRecord& bitmap, const CodecOptions&) {
  return ReadMapHeader(file, bitmap, '5', 8, 100);
}
int GreyPalette(std::FILE*, BitmapRecord&, std::uint8_t* palette) {
  for (unsigned i = 0; i < 256; ++i) {
    palette[3 * i] = palette[3 * i + 1] = palette[3 * i + 2] = static_cast<std::uint8_t>(i);
  }
  return kCodecOk;
}
int GreyData(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* data) {
  return ReadMapData(file, bitmap, data, 1);
}
int GreyWrite(const char*, std::FILE* file, const BitmapRecord& bitmap, const std::uint8_t* palette,
              const std::uint8_t* data, const CodecOptions&) {
  return WriteMap(file, bitmap, palette, data, '5', 1);
}
const char* GreyText(int code) {
  return BlockText(code, 100, kGreymapTexts);
}

int PixHeader(const char*, std::FILE* file, BitmapRecord& bitmap, const CodecOptions&) {
  return ReadMapHeader(file, bitmap, '6', 24, 200);
}
int PixPalette(std::FILE*, BitmapRecord&, std::uint8_t*) {
  return kCodecOk;
}
int PixData(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* data) {
  return ReadMapData(file, bitmap, data, 3);
}
int PixWrite(const char*, std::FILE* file, const BitmapRecord& bitmap, const std::uint8_t* palette,
             const std::uint8_t* data, const CodecOptions&) {
  return WriteMap(file, bitmap, palette, data, '6', 3);
}
const char* PixText(int code) {
  return BlockText(code, 200, kPixmapTexts);
}

}  // namespace

constinit const Codec kGreymapCodec = {
    {"Greymap", "Portable Greyscale-map (binary P5 type)", "PGM", 0x84},
    &GreyHeader,
    &GreyPalette,
    &GreyData,
    &GreyWrite,
    &GreyText,
};

constinit const Codec kPixmapCodec = {
    {"Pixmap", "Portable Pixel-map (binary P6 type)", "PPM", 0x108},
    &PixHeader,
    &PixPalette,
    &PixData,
    &PixWrite,
    &PixText,
};

}  // namespace quellor::codecs
