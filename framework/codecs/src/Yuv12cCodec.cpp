// YUV12C M-Motion video frame buffers: 12 bits a pixel, each group of four
// pixels of a row stored as four luma samples then one Cb and one Cr sample
// shared by the group (full-range BT.601). The file: "YUV12C", two zero
// bytes, width and height as 32-bit little-endian numbers, then the rows
// top-down. Width must be a multiple of 4. Grey pictures whose groups share
// one colour come back exactly; others lose colour detail, as the format does.
#include <algorithm>
#include <vector>

#include "Codec.h"
#include "CodecIo.h"

namespace quellor::codecs {
namespace {

constexpr int kBadWidth = 1000;
constexpr const char* kTexts[] = {"width not a multiple of 4 pixels"};
constexpr std::size_t kHeaderBytes = 16;

std::uint8_t Clamp(int value) {
  return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

int ReadHeader(const char*, std::FILE* file, BitmapRecord& bitmap, const CodecOptions&) {
  std::uint8_t h[kHeaderBytes];
  if (!SeekTo(file, 0) || !ReadExact(file, h, kHeaderBytes)) return kCodecCannotRead;
  if (std::memcmp(h, "YUV12C\0\0", 8) != 0) return kCodecBadMagic;
  const long long width = Le32(h + 8), height = Le32(h + 12);
  if (int code = CheckPictureSize(width, height, 24)) return code;
  if (width % 4 != 0) return kBadWidth;
  bitmap.width = static_cast<int>(width);
  bitmap.height = static_cast<int>(height);
  bitmap.bitsPerPixel = 24;
  return kCodecOk;
}

int ReadPalette(std::FILE*, BitmapRecord&, std::uint8_t*) {
  return kCodecOk;
}

int ReadData(std::FILE* file, BitmapRecord& bitmap, std::uint8_t* data) {
  if (!SeekTo(file, kHeaderBytes)) return kCodecCannotRead;
  const std::size_t groups = static_cast<std::size_t>(bitmap.width) / 4;
  std::vector<std::uint8_t> line(groups * 6);
  for (int y = bitmap.height - 1; y >= 0; --y) {
    if (!ReadExact(file, line.data(), line.size())) return kCodecCannotRead;
    std::uint8_t* row = DataRow(data, bitmap, y);
    for (std::size_t g = 0; g < groups; ++g) {
      const std::uint8_t* in = &line[g * 6];
      const int cb = in[4] - 128, cr = in[5] - 128;
      for (int i = 0; i < 4; ++i) {
        const int luma = in[i];
        std::uint8_t* out = row + (g * 4 + i) * 3;
        // Fixed point, 16 fraction bits.
        out[0] = Clamp(luma + ((116130 * cb + 32768) >> 16));
        out[1] = Clamp(luma - ((22554 * cb + 46802 * cr + 32768) >> 16));
        out[2] = Clamp(luma + ((91881 * cr + 32768) >> 16));
      }
    }
  }
  return kCodecOk;
}

int Write(const char*, std::FILE* file, const BitmapRecord& bitmap, const std::uint8_t*,
          const std::uint8_t* data, const CodecOptions&) {
  if (bitmap.width % 4 != 0) return kBadWidth;
  std::uint8_t h[kHeaderBytes] = {'Y', 'U', 'V', '1', '2', 'C'};
  PutLe32(h + 8, static_cast<std::uint32_t>(bitmap.width));
  PutLe32(h + 12, static_cast<std::uint32_t>(bitmap.height));
  if (!WriteExact(file, h, kHeaderBytes)) return kCodecCannotWrite;
  const std::size_t groups = static_cast<std::size_t>(bitmap.width) / 4;
  std::vector<std::uint8_t> line(groups * 6);
  for (int y = bitmap.height - 1; y >= 0; --y) {
    const std::uint8_t* row = DataRow(data, bitmap, y);
    for (std::size_t g = 0; g < groups; ++g) {
      int cbSum = 0, crSum = 0;
      for (int i = 0; i < 4; ++i) {
        const std::uint8_t* p = row + (g * 4 + i) * 3;
        const int b = p[0], gr = p[1], r = p[2];
        line[g * 6 + i] = Clamp((19595 * r + 38470 * gr + 7471 * b + 32768) >> 16);
        cbSum += -11059 * r - 21709 * gr + 32768 * b;
        crSum += 32768 * r - 27439 * gr - 5329 * b;
      }
      line[g * 6 + 4] = Clamp(128 + ((cbSum / 4 + 32768) >> 16));
      line[g * 6 + 5] = Clamp(128 + ((crSum / 4 + 32768) >> 16));
    }
    if (!WriteExact(file, line.data(), line.size())) return kCodecCannotWrite;
  }
  return kCodecOk;
}

const char* ErrorText(int code) {
  return BlockText(code, 1000, kTexts);
}

}  // namespace

constinit const Codec kYuv12cCodec = {
    {"YUV12C", "YUV12C M-Motion Video Frame Buffer", "VID", 0x108},
    &ReadHeader,
    &ReadPalette,
    &ReadData,
    &Write,
    &ErrorText,
};

}  // namespace quellor::codecs
