// Row functions behind decode_ycbcr8_bgra and encode_bgra_ycbcr8. Each
// conversion has a plain C row and a fast row (libyuv's SIMD kernels for the
// whole pixel pairs, the plain row for an odd last pixel); both give the same
// bytes. "width" is a pixel count; 4:2:2 rows take width x 2 bytes, BGRA rows
// width x 4 bytes. Buffers need no particular alignment.
#pragma once

#include <cstdint>

namespace quellor::board {

void UYVYToBGRARow_C(const std::uint8_t* src_uyvy, std::uint8_t* dst_bgra, int width);
void UYVYToBGRARow_Fast(const std::uint8_t* src_uyvy, std::uint8_t* dst_bgra, int width);

void BGRAToUYVYRow_C(const std::uint8_t* src_bgra, std::uint8_t* dst_uyvy, int width);
void BGRAToUYVYRow_Fast(const std::uint8_t* src_bgra, std::uint8_t* dst_uyvy, int width);

// One pass on AVX2 (the fast row above runs libyuv's two, through planar rows
// on the stack). The streaming row stores past the processor's caches where
// dst_uyvy is 32-byte aligned, for rows that go to the disk or the board
// rather than back to this processor; _mm_sfence must follow it before the
// rows are handed to another thread or a system call. Only where
// ColourAVX2Available().
void BGRAToUYVYRow_AVX2(const std::uint8_t* src_bgra, std::uint8_t* dst_uyvy, int width);
void BGRAToUYVYRowStreaming_AVX2(const std::uint8_t* src_bgra, std::uint8_t* dst_uyvy, int width);
bool ColourAVX2Available();

// True when libyuv runs SIMD kernels on this processor; the exported
// functions then use the fast rows (the AVX2 row to encode, where there is
// AVX2), otherwise the plain ones.
bool ColourFastPathAvailable();

}  // namespace quellor::board
