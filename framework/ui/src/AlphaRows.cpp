#include "AlphaRows.h"

#if defined(__x86_64__)
#include <immintrin.h>
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

#if defined(__x86_64__)
// Two pixels at a time in 16-bit lanes; the same integer result as the C row:
// s * a + d * (256 - a) is at most 255 * 256, so no lane overflows.
static inline __m128i BlendHalf(__m128i s, __m128i d) {
  const __m128i full = _mm_set1_epi16(256);
  const __m128i keepAlpha = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
  // Spread each pixel's alpha over its four lanes.
  const __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
  const __m128i blended = _mm_srli_epi16(
      _mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, _mm_sub_epi16(full, a))), 8);
  return _mm_or_si128(_mm_andnot_si128(keepAlpha, blended), _mm_and_si128(keepAlpha, d));
}

static void BlendRowBGRA_SSE2(const std::uint8_t* source, std::uint8_t* destination, int width) {
  const __m128i zero = _mm_setzero_si128();
  int i = 0;
  for (; i + 4 <= width; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(destination + 4 * i));
    const __m128i low = BlendHalf(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero));
    const __m128i high = BlendHalf(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + 4 * i), _mm_packus_epi16(low, high));
  }
  if (i < width) BlendRowBGRA_C(source + 4 * i, destination + 4 * i, width - i);
}

// Eight pixels at a time; the same arithmetic in 256-bit lanes.
__attribute__((target("avx2"))) static inline __m256i BlendHalfAVX2(__m256i s, __m256i d) {
  const __m256i full = _mm256_set1_epi16(256);
  const __m256i keepAlpha = _mm256_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0, -1, 0, 0, 0);
  const __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s, 0xFF), 0xFF);
  const __m256i blended = _mm256_srli_epi16(
      _mm256_add_epi16(_mm256_mullo_epi16(s, a), _mm256_mullo_epi16(d, _mm256_sub_epi16(full, a))),
      8);
  return _mm256_or_si256(_mm256_andnot_si256(keepAlpha, blended), _mm256_and_si256(keepAlpha, d));
}

__attribute__((target("avx2"))) static void BlendRowBGRA_AVX2(const std::uint8_t* source,
                                                              std::uint8_t* destination,
                                                              int width) {
  const __m256i zero = _mm256_setzero_si256();
  int i = 0;
  for (; i + 8 <= width; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + 4 * i));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(destination + 4 * i));
    // Unpack and pack work within each 128-bit half, so the order is kept.
    const __m256i low = BlendHalfAVX2(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero));
    const __m256i high =
        BlendHalfAVX2(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + 4 * i),
                        _mm256_packus_epi16(low, high));
  }
  if (i < width) BlendRowBGRA_SSE2(source + 4 * i, destination + 4 * i, width - i);
}
#endif

namespace {

using BlendRow = void (*)(const std::uint8_t*, std::uint8_t*, int);

// The fastest row the processor runs, chosen once.
BlendRow ChooseBlendRow() {
#if defined(__x86_64__)
  if (__builtin_cpu_supports("avx2")) return &BlendRowBGRA_AVX2;
  return &BlendRowBGRA_SSE2;
#else
  return &BlendRowBGRA_C;
#endif
}

}  // namespace

void BlendRowBGRA(const std::uint8_t* source, std::uint8_t* destination, int width) {
  static const BlendRow row = ChooseBlendRow();
  row(source, destination, width);
}

}  // namespace quellor::win

namespace quellor::win {

void TintRowBGRA_C(std::uint8_t* pixels, int width, const std::uint8_t tint[4]) {
  const unsigned strength = tint[3];
  if (strength == 0) return;
  // The tint's share is the same for every pixel.
  const unsigned share[3] = {tint[0] * strength, tint[1] * strength, tint[2] * strength};
  for (int i = 0; i < width; ++i, pixels += 4)
    for (int c = 0; c < 3; ++c)
      pixels[c] = static_cast<std::uint8_t>((share[c] + pixels[c] * (256 - strength)) >> 8);
}

// The selection shading covers a control at a time: the plain row is fast
// enough, and the compiler vectorises it.
void TintRowBGRA(std::uint8_t* pixels, int width, const std::uint8_t tint[4]) {
  TintRowBGRA_C(pixels, width, tint);
}

}  // namespace quellor::win
