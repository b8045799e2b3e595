// Row functions of the picture blends: a plain C one and the fast one chosen
// once.
#pragma once

#include <cstdint>

namespace quellor::win {

// destination = (source * alpha + destination * (256 - alpha)) >> 8 for
// blue, green and red, alpha being the source pixel's; the destination's
// alpha byte is kept. Pixels are BGRA.
void BlendRowBGRA_C(const std::uint8_t* source, std::uint8_t* destination, int width);
void BlendRowBGRA(const std::uint8_t* source, std::uint8_t* destination, int width);

}  // namespace quellor::win

namespace quellor::win {

// Tints a row of BGRA pixels towards tint[0..2] (blue, green, red) by the
// strength tint[3]: c = (t * s + c * (256 - s)) >> 8; strength 0 leaves the
// row as it was. The alpha bytes are kept.
void TintRowBGRA_C(std::uint8_t* pixels, int width, const std::uint8_t tint[4]);
void TintRowBGRA(std::uint8_t* pixels, int width, const std::uint8_t tint[4]);

}  // namespace quellor::win
