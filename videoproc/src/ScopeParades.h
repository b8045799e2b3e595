// The parades' fast pass (ScopeParades_AVX2.cpp) and the colour levels the
// RGB parade plots. DrawScope_AVX2 hands the YUV and RGB parades to the
// passes here; they give the plain pass's bytes.
#pragma once

#include <cstdint>

namespace quellor::videoproc {

// A whole parade pass: graticule (null: blank) over display, then `lines`
// kept lines of field (at most kScopeKeptLines). AVX2 only.
void DrawYuvParade_AVX2(const std::uint8_t* graticule, const std::uint8_t* field,
                        std::uint32_t lines, std::uint8_t* display);
void DrawRgbParade_AVX2(const std::uint8_t* graticule, const std::uint8_t* field,
                        std::uint32_t lines, std::uint8_t* display);

// The halved red, green and blue (0..127) that decode_ycbcr8_bgra gives each
// of `pixels` UYVY pixels: the rows of the RGB parade. levels receives the
// reds, then the greens, then the blues, `pixels` bytes each. An odd last
// pixel has no red difference of its own (as in decode_ycbcr8_bgra).
void UYVYToRgbLevelsRow_C(const std::uint8_t* uyvy, std::uint8_t* levels, int pixels);
void UYVYToRgbLevelsRow_AVX2(const std::uint8_t* uyvy, std::uint8_t* levels, int pixels);

}  // namespace quellor::videoproc
