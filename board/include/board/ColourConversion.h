// The board's colour-conversion library (ov_tools): conversion between the
// board's 8-bit YCbCr 4:2:2 line layout and 32-bit BGRA pixels.
//
// 4:2:2 layout: every two pixels take four bytes Cb Y0 Cr Y1 (the "UYVY"
// order), studio range (Y 16..235, Cb/Cr 16..240, 128 = no colour), ITU-R
// BT.601 coefficients. BGRA: bytes blue, green, red, alpha in memory; alpha is
// written as 255 and ignored when read.
//
// An odd pixel count leaves a last pixel without a partner: it owns the two
// bytes Cb Y (its own blue-difference and luma). Decoding such a pixel takes
// its red difference as 128 (none). Neither function touches a byte beyond
// pixel_count x 2 bytes of 4:2:2 or pixel_count x 4 bytes of BGRA.
// A pixel count of 0 or below does nothing.
#pragma once

#include <quellor/Export.h>

#ifdef __cplusplus
extern "C" {
#endif

// 4:2:2 (pixel_count x 2 bytes at source) to BGRA (pixel_count x 4 bytes at
// destination).
QUELLOR_EXPORT void decode_ycbcr8_bgra(void* destination, const void* source, int pixel_count);

// BGRA (pixel_count x 4 bytes at source) to 4:2:2 (pixel_count x 2 bytes at
// destination). Chroma of each pixel pair is taken from the rounded average
// of the two pixels.
QUELLOR_EXPORT void encode_bgra_ycbcr8(void* destination, const void* source, int pixel_count);

#ifdef __cplusplus
}
#endif
