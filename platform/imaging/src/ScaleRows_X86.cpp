// SSE2 column filter of the bilinear resize for 4-channel rows: four
// destination pixels a step, each blending its two source pixels in 16 bits
// (255 x 256 + 128 still fits). Same bytes as FilterColumnsRow_C.
#include "ScaleRows.h"

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#endif

namespace quellor::imaging {

#if defined(__x86_64__) || defined(__i386__)

bool ScaleHasSSE2() {
  return __builtin_cpu_supports("sse2");
}

namespace {

// Two destination pixels as 8 words (4 channels each), not yet shifted.
inline __m128i BlendTwo(const std::uint8_t* src, const std::int32_t* x,
                        const std::uint16_t* weights) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i a =
      _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + x[0] * 4)), zero);
  const __m128i b =
      _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + x[1] * 4)), zero);
  const __m128i wa = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights));
  const __m128i wb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + 8));
  const __m128i pa = _mm_mullo_epi16(a, wa);
  const __m128i pb = _mm_mullo_epi16(b, wb);
  const __m128i sums = _mm_add_epi16(_mm_unpacklo_epi64(pa, pb), _mm_unpackhi_epi64(pa, pb));
  return _mm_srli_epi16(_mm_add_epi16(sums, _mm_set1_epi16(128)), 8);
}

}  // namespace

void FilterColumnsRow4_SSE2(const std::uint8_t* src, std::uint8_t* dst, int count,
                            const std::int32_t* x, const std::uint16_t* fraction,
                            const std::uint16_t* weights) {
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i packed = _mm_packus_epi16(BlendTwo(src, x + i, weights + i * 8),
                                            BlendTwo(src, x + i + 2, weights + i * 8 + 16));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i * 4), packed);
  }
  FilterColumnsRow_C(src, dst + i * 4, count - i, 4, x + i, fraction + i);
}

#else

bool ScaleHasSSE2() {
  return false;
}

void FilterColumnsRow4_SSE2(const std::uint8_t* src, std::uint8_t* dst, int count,
                            const std::int32_t* x, const std::uint16_t* fraction,
                            const std::uint16_t*) {
  FilterColumnsRow_C(src, dst, count, 4, x, fraction);
}

#endif

}  // namespace quellor::imaging
