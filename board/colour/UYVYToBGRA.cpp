// 4:2:2 (Cb Y0 Cr Y1) to BGRA, studio-range BT.601.
#include "ColourRows.h"

#include <libyuv.h>

namespace quellor::board {
namespace {

// The fixed-point constants are those of libyuv's BT.601 studio-range table,
// so that the plain row and the SIMD kernels agree to the bit:
// luma gain 1.164 in 16.16 after replicating the byte to 16 bits, luma offset
// -16 x 1.164 x 64 (+ 32 rounding), chroma gains x 64 (blue 2.018 clamped to 2.0).
constexpr std::uint32_t kLumaGain = 18997;
constexpr int kLumaBias = -1160;
constexpr int kBlueFromCb = 128;
constexpr int kGreenFromCb = 25;
constexpr int kGreenFromCr = 52;
constexpr int kRedFromCr = 102;

// Pixels handed to libyuv per call (even, so pairs never split).
constexpr int kSlicePixels = 1 << 20;

std::uint8_t Clamp255(int value) {
  return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

void YCbCrPixelToBGRA(int y, int cb, int cr, std::uint8_t* dst_bgra) {
  const int luma =
      static_cast<int>((static_cast<std::uint32_t>(y) * 0x0101u * kLumaGain) >> 16) + kLumaBias;
  const int u = cb - 128;
  const int v = cr - 128;
  dst_bgra[0] = Clamp255((luma + u * kBlueFromCb) >> 6);
  dst_bgra[1] = Clamp255((luma - u * kGreenFromCb - v * kGreenFromCr) >> 6);
  dst_bgra[2] = Clamp255((luma + v * kRedFromCr) >> 6);
  dst_bgra[3] = 255;
}

}  // namespace

void UYVYToBGRARow_C(const std::uint8_t* src_uyvy, std::uint8_t* dst_bgra, int width) {
  int x = 0;
  for (; x + 1 < width; x += 2) {
    YCbCrPixelToBGRA(src_uyvy[1], src_uyvy[0], src_uyvy[2], dst_bgra);
    YCbCrPixelToBGRA(src_uyvy[3], src_uyvy[0], src_uyvy[2], dst_bgra + 4);
    src_uyvy += 4;
    dst_bgra += 8;
  }
  if (x < width) {
    // The odd last pixel owns Cb Y only; its red difference is neutral.
    YCbCrPixelToBGRA(src_uyvy[1], src_uyvy[0], 128, dst_bgra);
  }
}

void UYVYToBGRARow_Fast(const std::uint8_t* src_uyvy, std::uint8_t* dst_bgra, int width) {
  if (width <= 0) return;
  // libyuv would read and write a whole pair for an odd width; give it the
  // pairs only and finish the last pixel here.
  const int pairs_width = width & ~1;
  // Strides are int bytes in libyuv: convert in slices that keep them small.
  for (int done = 0; done < pairs_width;) {
    const int slice = pairs_width - done < kSlicePixels ? pairs_width - done : kSlicePixels;
    libyuv::UYVYToARGB(src_uyvy + static_cast<std::size_t>(done) * 2, slice * 2,
                       dst_bgra + static_cast<std::size_t>(done) * 4, slice * 4, slice, 1);
    done += slice;
  }
  if (pairs_width != width) {
    UYVYToBGRARow_C(src_uyvy + static_cast<std::size_t>(pairs_width) * 2,
                    dst_bgra + static_cast<std::size_t>(pairs_width) * 4, 1);
  }
}

}  // namespace quellor::board
