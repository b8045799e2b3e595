#include "FrameRows.h"

namespace quellor::rtvbridge {
namespace {

inline std::uint8_t NoTimingCode(std::uint8_t value) {
  return value == 0xFF ? 0xFE : value;
}

}  // namespace

void UYVYToYUVARow(const std::uint8_t* uyvy, std::uint8_t* yuva, int width) {
  int x = 0;
  for (; x + 1 < width; x += 2, uyvy += 4, yuva += 8) {
    const std::uint8_t cb = uyvy[0], y0 = uyvy[1], cr = uyvy[2], y1 = uyvy[3];
    yuva[0] = y0;
    yuva[1] = cb;
    yuva[2] = cr;
    yuva[3] = 255;
    yuva[4] = y1;
    yuva[5] = cb;
    yuva[6] = cr;
    yuva[7] = 255;
  }
  if (x < width) {
    yuva[0] = uyvy[1];
    yuva[1] = uyvy[0];
    yuva[2] = 128;
    yuva[3] = 255;
  }
}

void YUVAToUYVYRow(const std::uint8_t* yuva, std::uint8_t* uyvy, int width) {
  int x = 0;
  for (; x + 1 < width; x += 2, yuva += 8, uyvy += 4) {
    uyvy[0] = NoTimingCode(yuva[1]);
    uyvy[1] = NoTimingCode(yuva[0]);
    uyvy[2] = NoTimingCode(yuva[2]);
    uyvy[3] = NoTimingCode(yuva[4]);
  }
  if (x < width) {
    uyvy[0] = NoTimingCode(yuva[1]);
    uyvy[1] = NoTimingCode(yuva[0]);
  }
}

void ClearTimingCodeBytes(std::uint8_t* bytes, std::size_t count) {
  // In blocks of a fixed length, which the compiler vectorises at -O2 (a
  // loop of unknown length it leaves byte by byte: a millisecond per NTSC
  // frame, more than writing the frame costs); the tail byte by byte.
  constexpr std::size_t kBlock = 64;
  std::size_t i = 0;
  for (; i + kBlock <= count; i += kBlock) {
    std::uint8_t* block = bytes + i;
    for (std::size_t j = 0; j < kBlock; ++j) block[j] = NoTimingCode(block[j]);
  }
  for (; i < count; ++i) bytes[i] = NoTimingCode(bytes[i]);
}

}  // namespace quellor::rtvbridge
