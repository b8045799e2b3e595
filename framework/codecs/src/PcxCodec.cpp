// ZSoft PC Paintbrush: run-length encoded scan lines of one or more planes.
// Reads 1 bit x 1 plane (1-bit), 1 bit x 4 planes and 4 bits x 1 plane
// (4-bit, header palette), 8 bits x 1 plane (8-bit, palette after the data
// behind a 12 byte) and 8 bits x 3 planes (24-bit); writes the same forms for
// 1, 4 (four planes), 8 and 24 bits, version 5.
#include <vector>

#include "Codec.h"
#include "CodecIo.h"

namespace quellor::codecs {
namespace {

constexpr int kBadVersion = 700;
constexpr int kBadEncoding = 701;
constexpr int kBadPlanes = 702;
constexpr int kBadTrailer = 703;

constexpr const char* kTexts[] = {
    "version number not 4 or 5",
    "encoding mode not 1",
    "unsupported bpp/plane / plane combination",
    "corrupt file trailer",
};

constexpr std::size_t kHeaderBytes = 128;
constexpr std::uint8_t kPaletteMarker = 12;

struct PcxState {
  std::uint8_t header[kHeaderBytes];
  unsigned bits;  // bits per pixel per plane
  unsigned planes;
  unsigned lineBytes;  // bytes per plane line
};

int ReadHeader(const char*, std::FILE* file, BitmapRecord& bitmap, const CodecOptions&) {
  PcxState& state = PrivateState<PcxState>(bitmap);
  std::uint8_t* h = state.header;
  if (!SeekTo(file, 0) || !ReadExact(file, h, kHeaderBytes)) return kCodecCannotRead;
  if (h[0] != 10) return kCodecBadMagic;
  // Versions 0 to 5 share the layout (4 and 5 are Paintbrush for Windows and
  // 3.0 with 256 colours); others are unknown.
  if (h[1] > 5 || h[1] == 1) return kBadVersion;
  if (h[2] != 1) return kBadEncoding;
  state.bits = h[3];
  state.planes = h[65];
  state.lineBytes = Le16(h + 66);
  const long long width = static_cast<long long>(Le16(h + 8)) - Le16(h + 4) + 1;
  const long long height = static_cast<long long>(Le16(h + 10)) - Le16(h + 6) + 1;
  int depth = 0;
  if (state.bits == 1 && state.planes == 1) depth = 1;
  if ((state.bits == 1 && state.planes == 4) || (state.bits == 4 && state.planes == 1)) depth = 4;
  if (state.bits == 8 && state.planes == 1) depth = 8;
  if (state.bits == 8 && state.planes == 3) depth = 24;
  if (depth == 0) return kBadPlanes;
  if (int code = CheckPictureSize(width, height, depth)) return code;
  // A plane line holds the picture's width.
  if (static_cast<unsigned long long>(state.lineBytes) * 8 <
      static_cast<unsigned long long>(width) * state.bits) {
    return kCodecBadSize;
  }
  bitmap.width = static_cast<int>(width);
  bitmap.height = static_cast<int>(height);
  bitmap.bitsPerPixel = depth;
  return kCodecOk;
}

int ReadPalette(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* palette) {
  const PcxState& state = PrivateState<PcxState>(bitmap);
  if (bitmap.bitsPerPixel == 24) return kCodecOk;
  std::memset(palette, 0, kPaletteBytes);
  if (bitmap.bitsPerPixel <= 4) {
    std::memcpy(palette, state.header + 16, 48);
    return kCodecOk;
  }
  // The 256-colour palette: the last 769 bytes, behind its marker.
  if (std::fseek(file, -769, SEEK_END) != 0) return kBadTrailer;
  std::uint8_t trailer[769];
  if (!ReadExact(file, trailer, sizeof trailer)) return kCodecCannotRead;
  if (trailer[0] != kPaletteMarker) return kBadTrailer;
  std::memcpy(palette, trailer + 1, kPaletteBytes);
  return kCodecOk;
}

// Run-length bytes through a buffered reader; runs may cross lines.
class PcxDecoder {
 public:
  explicit PcxDecoder(std::FILE* file) : file_(file) {}
  bool Line(std::uint8_t* out, std::size_t size) {
    std::size_t at = 0;
    while (at < size) {
      if (pending_ == 0) {
        int c = std::fgetc(file_);
        if (c == EOF) return false;
        if ((c & 0xC0) == 0xC0) {
          pending_ = static_cast<unsigned>(c & 0x3F);
          int v = std::fgetc(file_);
          if (v == EOF) return false;
          value_ = static_cast<std::uint8_t>(v);
        } else {
          pending_ = 1;
          value_ = static_cast<std::uint8_t>(c);
        }
        continue;
      }
      out[at++] = value_;
      --pending_;
    }
    return true;
  }

 private:
  std::FILE* file_;
  unsigned pending_ = 0;
  std::uint8_t value_ = 0;
};

int ReadData(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* data) {
  const PcxState& state = PrivateState<PcxState>(bitmap);
  if (!SeekTo(file, kHeaderBytes)) return kCodecCannotRead;
  PcxDecoder decoder(file);
  std::vector<std::uint8_t> line(static_cast<std::size_t>(state.lineBytes) * state.planes);
  const std::size_t width = static_cast<std::size_t>(bitmap.width);
  for (int y = 0; y < bitmap.height; ++y) {
    if (!decoder.Line(line.data(), line.size())) return kCodecCannotRead;
    std::uint8_t* row = DataRow(data, bitmap, bitmap.height - 1 - y);
    if (bitmap.bitsPerPixel == 24) {
      for (std::size_t x = 0; x < width; ++x) {
        row[3 * x + 2] = line[x];
        row[3 * x + 1] = line[state.lineBytes + x];
        row[3 * x] = line[2 * state.lineBytes + x];
      }
    } else if (state.planes == 4) {
      for (std::size_t x = 0; x < width; ++x) {
        unsigned value = 0;
        for (unsigned p = 0; p < 4; ++p)
          value |= IndexAt(line.data() + p * state.lineBytes, 1, x) << p;
        SetIndexAt(row, 4, x, value);
      }
    } else {
      std::memcpy(row, line.data(), (width * state.bits + 7) / 8);
    }
  }
  return kCodecOk;
}

// Encodes one line: runs of up to 63, and single bytes that look like a run
// count written as a run of one.
void EncodeLine(const std::uint8_t* line, std::size_t size, std::vector<std::uint8_t>& out) {
  std::size_t i = 0;
  while (i < size) {
    std::size_t run = 1;
    while (i + run < size && run < 63 && line[i + run] == line[i]) ++run;
    if (run > 1 || (line[i] & 0xC0) == 0xC0) out.push_back(static_cast<std::uint8_t>(0xC0 | run));
    out.push_back(line[i]);
    i += run;
  }
}

int Write(const char*, std::FILE* file, const BitmapRecord& bitmap, const std::uint8_t* palette,
          const std::uint8_t* data, const CodecOptions&) {
  if (bitmap.width > 0xFFFF || bitmap.height > 0xFFFF) return kCodecBadSize;
  const int depth = bitmap.bitsPerPixel;
  const unsigned planes = depth == 4 ? 4 : depth == 24 ? 3 : 1;
  const unsigned bits = depth == 4 ? 1 : depth == 24 ? 8 : static_cast<unsigned>(depth);
  const std::size_t width = static_cast<std::size_t>(bitmap.width);
  std::size_t lineBytes = (width * bits + 7) / 8;
  lineBytes += lineBytes & 1;  // even
  if (lineBytes > 0xFFFF) return kCodecBadSize;
  std::uint8_t h[kHeaderBytes] = {10, 5, 1, static_cast<std::uint8_t>(bits)};
  PutLe16(h + 8, static_cast<unsigned>(bitmap.width - 1));
  PutLe16(h + 10, static_cast<unsigned>(bitmap.height - 1));
  PutLe16(h + 12, 72);
  PutLe16(h + 14, 72);
  if (depth <= 4) std::memcpy(h + 16, palette, 3u << depth);
  h[65] = static_cast<std::uint8_t>(planes);
  PutLe16(h + 66, static_cast<unsigned>(lineBytes));
  PutLe16(h + 68, 1);
  if (!WriteExact(file, h, kHeaderBytes)) return kCodecCannotWrite;
  std::vector<std::uint8_t> line(lineBytes * planes), encoded;
  for (int y = bitmap.height - 1; y >= 0; --y) {
    const std::uint8_t* row = DataRow(data, bitmap, y);
    std::fill(line.begin(), line.end(), 0);
    if (depth == 24) {
      for (std::size_t x = 0; x < width; ++x) {
        line[x] = row[3 * x + 2];
        line[lineBytes + x] = row[3 * x + 1];
        line[2 * lineBytes + x] = row[3 * x];
      }
    } else if (depth == 4) {
      for (std::size_t x = 0; x < width; ++x) {
        const unsigned value = IndexAt(row, 4, x);
        for (unsigned p = 0; p < 4; ++p)
          SetIndexAt(line.data() + p * lineBytes, 1, x, (value >> p) & 1);
      }
    } else {
      std::memcpy(line.data(), row, (width * bits + 7) / 8);
    }
    encoded.clear();
    EncodeLine(line.data(), line.size(), encoded);
    if (!WriteExact(file, encoded.data(), encoded.size())) return kCodecCannotWrite;
  }
  if (depth == 8) {
    if (!WriteExact(file, &kPaletteMarker, 1) || !WriteExact(file, palette, kPaletteBytes)) {
      return kCodecCannotWrite;
    }
  }
  return kCodecOk;
}

const char* ErrorText(int code) {
  return BlockText(code, 700, kTexts);
}

}  // namespace

constinit const Codec kPcxCodec = {
    {"PCX", "ZSoft PC Paintbrush Image format", "PCX", 0x1EF},
    &ReadHeader,
    &ReadPalette,
    &ReadData,
    &Write,
    &ErrorText,
};

}  // namespace quellor::codecs
