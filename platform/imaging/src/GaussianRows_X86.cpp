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

namespace {

// (a + 2b + c + 2) >> 2 on 16 bytes: pavgb(floor((a + c) / 2), b).
inline __m128i Weigh121_SSE2(__m128i a, __m128i b, __m128i c) {
  const __m128i low7 = _mm_set1_epi8(0x7f);
  const __m128i floorMean = _mm_add_epi8(
      _mm_and_si128(a, c), _mm_and_si128(_mm_srli_epi16(_mm_xor_si128(a, c), 1), low7));
  return _mm_avg_epu8(floorMean, b);
}

__attribute__((target("avx2"))) inline __m256i Weigh121_AVX2(__m256i a, __m256i b, __m256i c) {
  const __m256i low7 = _mm256_set1_epi8(0x7f);
  const __m256i floorMean = _mm256_add_epi8(
      _mm256_and_si256(a, c), _mm256_and_si256(_mm256_srli_epi16(_mm256_xor_si256(a, c), 1), low7));
  return _mm256_avg_epu8(floorMean, b);
}

inline __m128i Load16(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

__attribute__((target("avx2"))) inline __m256i Load32(const std::uint8_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

}  // namespace

void GaussianColumnsRow_SSE2(const std::uint8_t* above, const std::uint8_t* centre,
                             const std::uint8_t* below, std::uint8_t* dst, int count) {
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                     Weigh121_SSE2(Load16(above + i), Load16(centre + i), Load16(below + i)));
  }
  GaussianColumnsRow_C(above + i, centre + i, below + i, dst + i, count - i);
}

void GaussianAcrossRow_SSE2(const std::uint8_t* src, std::uint8_t* dst, int count, int step) {
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    _mm_storeu_si128(
        reinterpret_cast<__m128i*>(dst + i),
        Weigh121_SSE2(Load16(src + i - step), Load16(src + i), Load16(src + i + step)));
  }
  GaussianAcrossRow_C(src + i, dst + i, count - i, step);
}

__attribute__((target("avx2"))) void GaussianColumnsRow_AVX2(const std::uint8_t* above,
                                                             const std::uint8_t* centre,
                                                             const std::uint8_t* below,
                                                             std::uint8_t* dst, int count) {
  int i = 0;
  for (; i + 32 <= count; i += 32) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                        Weigh121_AVX2(Load32(above + i), Load32(centre + i), Load32(below + i)));
  }
  GaussianColumnsRow_C(above + i, centre + i, below + i, dst + i, count - i);
}

__attribute__((target("avx2"))) void GaussianAcrossRow_AVX2(const std::uint8_t* src,
                                                            std::uint8_t* dst, int count,
                                                            int step) {
  int i = 0;
  for (; i + 32 <= count; i += 32) {
    _mm256_storeu_si256(
        reinterpret_cast<__m256i*>(dst + i),
        Weigh121_AVX2(Load32(src + i - step), Load32(src + i), Load32(src + i + step)));
  }
  GaussianAcrossRow_C(src + i, dst + i, count - i, step);
}

#else  // not x86: the plain rows serve.

bool GaussianHasSSE2() {
  return false;
}
bool GaussianHasAVX2() {
  return false;
}

void GaussianColumnsRow_SSE2(const std::uint8_t* above, const std::uint8_t* centre,
                             const std::uint8_t* below, std::uint8_t* dst, int count) {
  GaussianColumnsRow_C(above, centre, below, dst, count);
}
void GaussianAcrossRow_SSE2(const std::uint8_t* src, std::uint8_t* dst, int count, int step) {
  GaussianAcrossRow_C(src, dst, count, step);
}
void GaussianColumnsRow_AVX2(const std::uint8_t* above, const std::uint8_t* centre,
                             const std::uint8_t* below, std::uint8_t* dst, int count) {
  GaussianColumnsRow_C(above, centre, below, dst, count);
}
void GaussianAcrossRow_AVX2(const std::uint8_t* src, std::uint8_t* dst, int count, int step) {
  GaussianAcrossRow_C(src, dst, count, step);
}

#endif

}  // namespace quellor::imaging
