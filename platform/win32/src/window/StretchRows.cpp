// Row functions of the two stretch passes. All sums are of 8-bit channels
// times 14-bit weights, so 32-bit accumulators cannot overflow for any source
// a surface can hold.
#include "Stretch.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace quellor::win32 {
namespace {

constexpr int kHalf = 1 << (kStretchWeightBits - 1);

// Rounds one channel sum back to 8 bits; weights may be slightly negative
// after rounding, so the result is clamped.
inline uint32_t Channel(int32_t sum) {
  int32_t v = (sum + kHalf) >> kStretchWeightBits;
  return uint32_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

inline uint32_t Pack(const int32_t sum[4]) {
  return Channel(sum[0]) | (Channel(sum[1]) << 8) | (Channel(sum[2]) << 16) |
         (Channel(sum[3]) << 24);
}

inline void Accumulate(int32_t sum[4], uint32_t pixel, int weight) {
  for (int c = 0; c < 4; ++c) sum[c] += int32_t((pixel >> (8 * c)) & 0xFF) * weight;
}

}  // namespace

void FilterRow_C(uint32_t* dst, const uint32_t* src, const int* first, const int16_t* weights,
                 int pairs, int pairStride, int count) {
  for (int i = 0; i < count; ++i) {
    const uint32_t* s = src + first[i];
    int32_t sum[4] = {0, 0, 0, 0};
    for (int p = 0; p < pairs; ++p) {
      const int16_t* w = weights + (size_t(p) * size_t(pairStride) + size_t(i)) * 2;
      Accumulate(sum, s[2 * p], w[0]);
      Accumulate(sum, s[2 * p + 1], w[1]);
    }
    dst[i] = Pack(sum);
  }
}

void BlendRows_C(uint32_t* dst, const uint32_t* const* rows, const int16_t* weights, int taps,
                 int count) {
  for (int i = 0; i < count; ++i) {
    int32_t sum[4] = {0, 0, 0, 0};
    for (int k = 0; k < taps; ++k) Accumulate(sum, rows[k][i], weights[k]);
    dst[i] = Pack(sum);
  }
}

#if defined(__x86_64__) || defined(__i386__)
namespace {

// Eight pixels of a and b, channel by channel, as 16-bit (a, b) pairs: for
// each 128-bit lane, quarter q holds pixel q of the lane's four.
struct Pairs {
  __m256i q[4];
};

__attribute__((target("avx2"))) inline Pairs Interleave(__m256i a, __m256i b) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i lo = _mm256_unpacklo_epi8(a, b), hi = _mm256_unpackhi_epi8(a, b);
  return Pairs{{_mm256_unpacklo_epi8(lo, zero), _mm256_unpackhi_epi8(lo, zero),
                _mm256_unpacklo_epi8(hi, zero), _mm256_unpackhi_epi8(hi, zero)}};
}

// Rounds the four quarters' channel sums and packs them back into eight
// pixels in their original order (clamping as Channel does).
__attribute__((target("avx2"))) inline __m256i Round(const __m256i sum[4]) {
  const __m256i half = _mm256_set1_epi32(kHalf);
  __m256i v[4];
  for (int q = 0; q < 4; ++q)
    v[q] = _mm256_srai_epi32(_mm256_add_epi32(sum[q], half), kStretchWeightBits);
  return _mm256_packus_epi16(_mm256_packs_epi32(v[0], v[1]), _mm256_packs_epi32(v[2], v[3]));
}

}  // namespace

__attribute__((target("avx2"))) void FilterRow_AVX2(uint32_t* dst, const uint32_t* src,
                                                    const int* first, const int16_t* weights,
                                                    int pairs, int pairStride, int count) {
  // Which pixel's weight pair each quarter needs: pixel q in the low lane,
  // q + 4 in the high one.
  const __m256i spread[4] = {
      _mm256_setr_epi32(0, 0, 0, 0, 4, 4, 4, 4), _mm256_setr_epi32(1, 1, 1, 1, 5, 5, 5, 5),
      _mm256_setr_epi32(2, 2, 2, 2, 6, 6, 6, 6), _mm256_setr_epi32(3, 3, 3, 3, 7, 7, 7, 7)};
  const int* base = reinterpret_cast<const int*>(src);
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256i at = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(first + i));
    __m256i sum[4] = {_mm256_setzero_si256(), _mm256_setzero_si256(), _mm256_setzero_si256(),
                      _mm256_setzero_si256()};
    for (int p = 0; p < pairs; ++p) {
      const __m256i index = _mm256_add_epi32(at, _mm256_set1_epi32(2 * p));
      const __m256i a = _mm256_i32gather_epi32(base, index, 4);
      const __m256i b =
          _mm256_i32gather_epi32(base, _mm256_add_epi32(index, _mm256_set1_epi32(1)), 4);
      const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(
          weights + (size_t(p) * size_t(pairStride) + size_t(i)) * 2));
      const Pairs x = Interleave(a, b);
      for (int q = 0; q < 4; ++q)
        sum[q] = _mm256_add_epi32(
            sum[q], _mm256_madd_epi16(x.q[q], _mm256_permutevar8x32_epi32(w, spread[q])));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), Round(sum));
  }
  if (i < count)
    FilterRow_C(dst + i, src, first + i, weights + size_t(i) * 2, pairs, pairStride, count - i);
}

__attribute__((target("avx2"))) void BlendRows_AVX2(uint32_t* dst, const uint32_t* const* rows,
                                                    const int16_t* weights, int taps, int count) {
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    __m256i sum[4] = {_mm256_setzero_si256(), _mm256_setzero_si256(), _mm256_setzero_si256(),
                      _mm256_setzero_si256()};
    for (int k = 0; k + 1 < taps; k += 2) {
      const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[k] + i));
      const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[k + 1] + i));
      const __m256i w = _mm256_set1_epi32(
          int((uint32_t(uint16_t(weights[k]))) | (uint32_t(uint16_t(weights[k + 1])) << 16)));
      const Pairs x = Interleave(a, b);
      for (int q = 0; q < 4; ++q) sum[q] = _mm256_add_epi32(sum[q], _mm256_madd_epi16(x.q[q], w));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), Round(sum));
  }
  for (; i < count; ++i) {
    int32_t sum[4] = {0, 0, 0, 0};
    for (int k = 0; k < taps; ++k) Accumulate(sum, rows[k][i], weights[k]);
    dst[i] = Pack(sum);
  }
}
#endif

StretchRows PlainStretchRows() {
  return StretchRows{&FilterRow_C, &BlendRows_C};
}

StretchRows FastStretchRows() {
  static const StretchRows chosen = [] {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) return StretchRows{&FilterRow_AVX2, &BlendRows_AVX2};
#endif
    return PlainStretchRows();
  }();
  return chosen;
}

}  // namespace quellor::win32
