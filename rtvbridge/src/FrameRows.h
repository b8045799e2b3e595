// Row functions between the stored 4:2:2 lines (Cb Y0 Cr Y1 per pixel pair)
// and the host's 4:4:4 lines (Y, Cb, Cr, A per pixel), and the clearing of
// timing-code bytes. Plain C loops.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quellor::rtvbridge {

// Each pair becomes (Y0, Cb, Cr, 255) and (Y1, Cb, Cr, 255). An odd last
// pixel owns Cb Y only: it becomes (Y, Cb, 128, 255).
void UYVYToYUVARow(const std::uint8_t* uyvy, std::uint8_t* yuva, int width);

// Each pair of pixels becomes (Cb of the first, Y of the first, Cr of the
// first, Y of the second): the second pixel's chroma and both alphas are
// dropped. 0xFF, which the board's video stream keeps for timing codes,
// becomes 0xFE. An odd last pixel becomes (Cb, Y).
void YUVAToUYVYRow(const std::uint8_t* yuva, std::uint8_t* uyvy, int width);

// 0xFF bytes become 0xFE, in place.
void ClearTimingCodeBytes(std::uint8_t* bytes, std::size_t count);

}  // namespace quellor::rtvbridge
