// BGRA to 4:2:2 (Cb Y0 Cr Y1), studio-range BT.601.
#include "ColourRows.h"

#include <libyuv.h>

namespace quellor::board {
namespace {

// Y = 16 + (0.257 R + 0.504 G + 0.098 B), rounded; Cb and Cr are 128 plus the
// differences scaled by 1/256 and truncated, from the rounded average of the
// pixel pair. These are libyuv's integer weights and rounding, so black gives
// Y 16, Cb/Cr 128 and the plain row matches the SIMD kernels to the bit.
std::uint8_t LumaOf(int b, int g, int r) {
  return static_cast<std::uint8_t>((66 * r + 129 * g + 25 * b + 0x1080) >> 8);
}
std::uint8_t CbOf(int b, int g, int r) {
  return static_cast<std::uint8_t>((112 * b - 74 * g - 38 * r + 0x8000) >> 8);
}
std::uint8_t CrOf(int b, int g, int r) {
  return static_cast<std::uint8_t>((112 * r - 94 * g - 18 * b + 0x8000) >> 8);
}
int RoundedAverage(int a, int b) {
  return (a + b + 1) >> 1;
}

// Pixels handed to libyuv per call (even, so pairs never split). Each slice
// goes through planar rows on the stack: libyuv's one-step ARGBToUYVY
// allocates its row buffers on every call, and the output hub converts a
// frame line by line on a thread that must not allocate per frame.
constexpr int kSlicePixels = 2048;

}  // namespace

bool ColourAVX2Available() {
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
}

void BGRAToUYVYRow_C(const std::uint8_t* src_bgra, std::uint8_t* dst_uyvy, int width) {
  int x = 0;
  for (; x + 1 < width; x += 2) {
    const int b = RoundedAverage(src_bgra[0], src_bgra[4]);
    const int g = RoundedAverage(src_bgra[1], src_bgra[5]);
    const int r = RoundedAverage(src_bgra[2], src_bgra[6]);
    dst_uyvy[0] = CbOf(b, g, r);
    dst_uyvy[1] = LumaOf(src_bgra[0], src_bgra[1], src_bgra[2]);
    dst_uyvy[2] = CrOf(b, g, r);
    dst_uyvy[3] = LumaOf(src_bgra[4], src_bgra[5], src_bgra[6]);
    src_bgra += 8;
    dst_uyvy += 4;
  }
  if (x < width) {
    // The odd last pixel has room for Cb Y only.
    dst_uyvy[0] = CbOf(src_bgra[0], src_bgra[1], src_bgra[2]);
    dst_uyvy[1] = LumaOf(src_bgra[0], src_bgra[1], src_bgra[2]);
  }
}

void BGRAToUYVYRow_Fast(const std::uint8_t* src_bgra, std::uint8_t* dst_uyvy, int width) {
  if (width <= 0) return;
  // libyuv writes four bytes for an odd last pixel, two beyond the row: give it
  // the pairs only and finish the last pixel here.
  const int pairs_width = width & ~1;
  // Strides are int bytes in libyuv: convert in slices that keep them small.
  for (int done = 0; done < pairs_width;) {
    const int slice = pairs_width - done < kSlicePixels ? pairs_width - done : kSlicePixels;
    alignas(64) std::uint8_t y[kSlicePixels];
    alignas(64) std::uint8_t u[kSlicePixels / 2];
    alignas(64) std::uint8_t v[kSlicePixels / 2];
    // The same row kernels ARGBToUYVY runs, without its allocation.
    libyuv::ARGBToI422(src_bgra + static_cast<std::size_t>(done) * 4, slice * 4, y, slice, u,
                       slice / 2, v, slice / 2, slice, 1);
    libyuv::I422ToUYVY(y, slice, u, slice / 2, v, slice / 2,
                       dst_uyvy + static_cast<std::size_t>(done) * 2, slice * 2, slice, 1);
    done += slice;
  }
  if (pairs_width != width) {
    BGRAToUYVYRow_C(src_bgra + static_cast<std::size_t>(pairs_width) * 4,
                    dst_uyvy + static_cast<std::size_t>(pairs_width) * 2, 1);
  }
}

}  // namespace quellor::board
