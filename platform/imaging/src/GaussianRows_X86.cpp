// SSE2 and AVX2 rows of the 3 x 3 Gaussian. Each handles whole vectors and
// leaves the last few bytes to the plain row, so every count gives the same
// bytes as GaussianColumnsRow_C / GaussianAcrossRow_C. The AVX2 functions are
// compiled for AVX2 alone (target attribute) and only run when the processor
// reports it.
#include "GaussianRows.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace quellor::imaging {

#if defined(__x86_64__) || defined(__i386__)

bool GaussianHasSSE2() {
  return __builtin_cpu_supports("sse2");
}
bool GaussianHasAVX2() {
  return __builtin_cpu_supports("avx2");
}

void GaussianColumnsRow_SSE2(const std::uint8_t* above, const std::uint8_t* centre,
                             const std::uint8_t* below, std::uint16_t* sums, int count) {
  const __m128i zero = _mm_setzero_si128();
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(above + i));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(centre + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(below + i));
    const __m128i low =
        _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero)),
                      _mm_slli_epi16(_mm_unpacklo_epi8(c, zero), 1));
    const __m128i high =
        _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero)),
                      _mm_slli_epi16(_mm_unpackhi_epi8(c, zero), 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + i), low);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + i + 8), high);
  }
  GaussianColumnsRow_C(above + i, centre + i, below + i, sums + i, count - i);
}

namespace {

inline __m128i Across8_SSE2(const std::uint16_t* sums, int step, __m128i rounding) {
  const __m128i left = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums - step));
  const __m128i middle = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums));
  const __m128i right = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + step));
  const __m128i total =
      _mm_add_epi16(_mm_add_epi16(left, right), _mm_add_epi16(_mm_slli_epi16(middle, 1), rounding));
  return _mm_srli_epi16(total, 4);
}

}  // namespace

void GaussianAcrossRow_SSE2(const std::uint16_t* sums, std::uint8_t* dst, int count, int step) {
  const __m128i rounding = _mm_set1_epi16(8);
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m128i low = Across8_SSE2(sums + i, step, rounding);
    const __m128i high = Across8_SSE2(sums + i + 8, step, rounding);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(low, high));
  }
  GaussianAcrossRow_C(sums + i, dst + i, count - i, step);
}

__attribute__((target("avx2"))) void GaussianColumnsRow_AVX2(const std::uint8_t* above,
                                                             const std::uint8_t* centre,
                                                             const std::uint8_t* below,
                                                             std::uint16_t* sums, int count) {
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m256i a =
        _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(above + i)));
    const __m256i c =
        _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(centre + i)));
    const __m256i b =
        _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(below + i)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums + i),
                        _mm256_add_epi16(_mm256_add_epi16(a, b), _mm256_slli_epi16(c, 1)));
  }
  GaussianColumnsRow_C(above + i, centre + i, below + i, sums + i, count - i);
}

namespace {

__attribute__((target("avx2"))) inline __m256i Across16_AVX2(const std::uint16_t* sums, int step,
                                                             __m256i rounding) {
  const __m256i left = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums - step));
  const __m256i middle = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums));
  const __m256i right = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums + step));
  const __m256i total = _mm256_add_epi16(_mm256_add_epi16(left, right),
                                         _mm256_add_epi16(_mm256_slli_epi16(middle, 1), rounding));
  return _mm256_srli_epi16(total, 4);
}

}  // namespace

__attribute__((target("avx2"))) void GaussianAcrossRow_AVX2(const std::uint16_t* sums,
                                                            std::uint8_t* dst, int count,
                                                            int step) {
  const __m256i rounding = _mm256_set1_epi16(8);
  int i = 0;
  for (; i + 32 <= count; i += 32) {
    const __m256i low = Across16_AVX2(sums + i, step, rounding);
    const __m256i high = Across16_AVX2(sums + i + 16, step, rounding);
    // packus works within 128-bit lanes: put the quarters back in order.
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0xd8);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), packed);
  }
  GaussianAcrossRow_C(sums + i, dst + i, count - i, step);
}

#else  // not x86: the plain rows serve.

bool GaussianHasSSE2() {
  return false;
}
bool GaussianHasAVX2() {
  return false;
}

void GaussianColumnsRow_SSE2(const std::uint8_t* above, const std::uint8_t* centre,
                             const std::uint8_t* below, std::uint16_t* sums, int count) {
  GaussianColumnsRow_C(above, centre, below, sums, count);
}
void GaussianAcrossRow_SSE2(const std::uint16_t* sums, std::uint8_t* dst, int count, int step) {
  GaussianAcrossRow_C(sums, dst, count, step);
}
void GaussianColumnsRow_AVX2(const std::uint8_t* above, const std::uint8_t* centre,
                             const std::uint8_t* below, std::uint16_t* sums, int count) {
  GaussianColumnsRow_C(above, centre, below, sums, count);
}
void GaussianAcrossRow_AVX2(const std::uint16_t* sums, std::uint8_t* dst, int count, int step) {
  GaussianAcrossRow_C(sums, dst, count, step);
}

#endif

}  // namespace quellor::imaging
