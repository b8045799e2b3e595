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
