// The exported entry points of ov_tools. The row kernels are chosen once, on
// first use: libyuv's SIMD rows when the processor has them (our own one-pass
// row to encode on AVX2), else plain C.
#include "board/ColourConversion.h"

#include <cstdint>

#include <libyuv.h>

#include "ColourRows.h"

namespace quellor::board {

bool ColourFastPathAvailable() {
  static const bool available = libyuv::TestCpuFlag(libyuv::kCpuHasSSSE3) != 0 ||
                                libyuv::TestCpuFlag(libyuv::kCpuHasNEON) != 0;
  return available;
}

namespace {

using DecodeRow = void (*)(const std::uint8_t*, std::uint8_t*, int);
using EncodeRow = void (*)(const std::uint8_t*, std::uint8_t*, int);

DecodeRow ChosenDecodeRow() {
  static const DecodeRow row = ColourFastPathAvailable() ? UYVYToBGRARow_Fast : UYVYToBGRARow_C;
  return row;
}

EncodeRow ChosenEncodeRow() {
  static const EncodeRow row = ColourAVX2Available()       ? BGRAToUYVYRow_AVX2
                               : ColourFastPathAvailable() ? BGRAToUYVYRow_Fast
                                                           : BGRAToUYVYRow_C;
  return row;
}

}  // namespace
}  // namespace quellor::board

extern "C" void decode_ycbcr8_bgra(void* destination, const void* source, int pixel_count) {
  if (destination == nullptr || source == nullptr || pixel_count <= 0) return;
  quellor::board::ChosenDecodeRow()(static_cast<const std::uint8_t*>(source),
                                    static_cast<std::uint8_t*>(destination), pixel_count);
}

extern "C" void encode_bgra_ycbcr8(void* destination, const void* source, int pixel_count) {
  if (destination == nullptr || source == nullptr || pixel_count <= 0) return;
  quellor::board::ChosenEncodeRow()(static_cast<const std::uint8_t*>(source),
                                    static_cast<std::uint8_t*>(destination), pixel_count);
}
