#include "AlphaRows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quellor::win {

void BlendRowBGRA_C(const std::uint8_t* source, std::uint8_t* destination, int width) {
  for (int i = 0; i < width; ++i, source += 4, destination += 4) {
    const unsigned alpha = source[3];
    for (int c = 0; c < 3; ++c)
      destination[c] =
          static_cast<std::uint8_t>((source[c] * alpha + destination[c] * (256 - alpha)) >> 8);
  }
}

#if defined(__SSE2__)
// Two pixels at a time in 16-bit lanes; the same integer result as the C row:
// s * a + d * (256 - a) is at most 255 * 256, so no lane overflows.
static void BlendRowBGRA_SSE2(const std::uint8_t* source, std::uint8_t* destination, int width) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi16(256);
  const __m128i keepAlpha = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  int i = 0;
  for (; i + 2 <= width; i += 2) {
    __m128i s =
        _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(source + 4 * i)), zero);
    __m128i d = _mm_unpacklo_epi8(
        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(destination + 4 * i)), zero);
    // Spread each pixel's alpha over its four lanes.
    __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
    __m128i blended = _mm_srli_epi16(
        _mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, _mm_sub_epi16(full, a))), 8);
    blended = _mm_or_si128(_mm_andnot_si128(keepAlpha, blended), _mm_and_si128(keepAlpha, d));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(destination + 4 * i),
                     _mm_packus_epi16(blended, zero));
  }
  if (i < width) BlendRowBGRA_C(source + 4 * i, destination + 4 * i, width - i);
}
#endif

void BlendRowBGRA(const std::uint8_t* source, std::uint8_t* destination, int width) {
#if defined(__SSE2__)
  BlendRowBGRA_SSE2(source, destination, width);
#else
  BlendRowBGRA_C(source, destination, width);
#endif
}

}  // namespace quellor::win
