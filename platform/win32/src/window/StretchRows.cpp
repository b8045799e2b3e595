// Row functions of the two stretch passes. All sums are of 8-bit channels
// times 14-bit weights, so 32-bit accumulators cannot overflow for any source
// a surface can hold.
#include "Stretch.h"

#include <algorithm>

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

// With no negative weight and a total of at most 1 << 14 no channel sum can
// leave 0..255 << 14 (nothing to clamp), so two
// channels share a 64-bit word (blue and red, green and alpha, 32 bits each)
// and the sums come out exactly as channel by channel.
struct WideSum {
  uint64_t br = 0, ga = 0;
  void Add(uint32_t pixel, int weight) {
    const uint64_t w = uint64_t(weight);
    br += ((pixel & 0xFF) | (uint64_t(pixel & 0xFF0000) << 16)) * w;
    ga += (((pixel >> 8) & 0xFF) | (uint64_t(pixel & 0xFF000000) << 8)) * w;
  }
  uint32_t Pack() const {
    constexpr uint64_t kHalves = uint64_t(kHalf) | (uint64_t(kHalf) << 32);
    const uint64_t b = (br + kHalves) >> kStretchWeightBits,
                   g = (ga + kHalves) >> kStretchWeightBits;
    return uint32_t(b & 0xFF) | (uint32_t(g & 0xFF) << 8) | (uint32_t((b >> 32) & 0xFF) << 16) |
           (uint32_t((g >> 32) & 0xFF) << 24);
  }
};

// Whether the weight pairs at pair, pair + stride, ... may be summed wide.
bool Wide(const int16_t* pair, int pairs, size_t stride) {
  int total = 0;
  bool negative = false;
  for (int p = 0; p < pairs; ++p, pair += stride) {
    negative |= (pair[0] | pair[1]) < 0;
    total += pair[0] + pair[1];
  }
  return !negative && total <= (1 << kStretchWeightBits);
}

}  // namespace

void FilterRow_C(uint32_t* dst, const uint32_t* src, const int* first, const int16_t* weights,
                 int pairs, int pairStride, int count) {
  for (int i = 0; i < count; ++i) {
    const uint32_t* s = src + first[i];
    if (Wide(weights + size_t(i) * 2, pairs, size_t(pairStride) * 2)) {
      WideSum sum;
      for (int p = 0; p < pairs; ++p) {
        const int16_t* w = weights + (size_t(p) * size_t(pairStride) + size_t(i)) * 2;
        sum.Add(s[2 * p], w[0]);
        sum.Add(s[2 * p + 1], w[1]);
      }
      dst[i] = sum.Pack();
      continue;
    }
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
  const bool wide = Wide(weights, taps / 2, 2);
  if (wide && taps == 2) {
    const uint32_t *a = rows[0], *b = rows[1];
    for (int i = 0; i < count; ++i) {
      WideSum sum;
      sum.Add(a[i], weights[0]);
      sum.Add(b[i], weights[1]);
      dst[i] = sum.Pack();
    }
    return;
  }
  for (int i = 0; i < count; ++i) {
    if (wide) {
      WideSum sum;
      for (int k = 0; k < taps; ++k) sum.Add(rows[k][i], weights[k]);
      dst[i] = sum.Pack();
      continue;
    }
    int32_t sum[4] = {0, 0, 0, 0};
    for (int k = 0; k < taps; ++k) Accumulate(sum, rows[k][i], weights[k]);
    dst[i] = Pack(sum);
  }
}

#if defined(__x86_64__) || defined(__i386__)
namespace {

// Channel sums of eight pixels, 32 bits each: for each 128-bit lane, quarter
// q holds pixel q of the lane's four. Kept in named registers, as arrays of
// vectors end up on the stack.
struct Sums {
  __m256i q0, q1, q2, q3;
};

// Adds the pixels of a and b weighted by (wa, wb) pairs: w0..w3 hold the
// 16-bit pairs each quarter's pixels use.
__attribute__((target("avx2"))) inline void AddPairs(Sums& s, __m256i a, __m256i b, __m256i w0,
                                                     __m256i w1, __m256i w2, __m256i w3) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i lo = _mm256_unpacklo_epi8(a, b), hi = _mm256_unpackhi_epi8(a, b);
  s.q0 = _mm256_add_epi32(s.q0, _mm256_madd_epi16(_mm256_unpacklo_epi8(lo, zero), w0));
  s.q1 = _mm256_add_epi32(s.q1, _mm256_madd_epi16(_mm256_unpackhi_epi8(lo, zero), w1));
  s.q2 = _mm256_add_epi32(s.q2, _mm256_madd_epi16(_mm256_unpacklo_epi8(hi, zero), w2));
  s.q3 = _mm256_add_epi32(s.q3, _mm256_madd_epi16(_mm256_unpackhi_epi8(hi, zero), w3));
}

// Rounds the quarters' channel sums and packs them back into eight pixels in
// their original order (clamping as Channel does).
__attribute__((target("avx2"))) inline __m256i Round(const Sums& s) {
  const __m256i half = _mm256_set1_epi32(kHalf);
  const __m256i v0 = _mm256_srai_epi32(_mm256_add_epi32(s.q0, half), kStretchWeightBits);
  const __m256i v1 = _mm256_srai_epi32(_mm256_add_epi32(s.q1, half), kStretchWeightBits);
  const __m256i v2 = _mm256_srai_epi32(_mm256_add_epi32(s.q2, half), kStretchWeightBits);
  const __m256i v3 = _mm256_srai_epi32(_mm256_add_epi32(s.q3, half), kStretchWeightBits);
  return _mm256_packus_epi16(_mm256_packs_epi32(v0, v1), _mm256_packs_epi32(v2, v3));
}

}  // namespace

__attribute__((target("avx2"))) void FilterRow_AVX2(uint32_t* dst, const uint32_t* src,
                                                    const int* first, const int16_t* weights,
                                                    int pairs, int pairStride, int count) {
  // Which pixel's weight pair each quarter needs: pixel q in the low lane,
  // q + 4 in the high one.
  const __m256i spread0 = _mm256_setr_epi32(0, 0, 0, 0, 4, 4, 4, 4);
  const __m256i spread1 = _mm256_setr_epi32(1, 1, 1, 1, 5, 5, 5, 5);
  const __m256i spread2 = _mm256_setr_epi32(2, 2, 2, 2, 6, 6, 6, 6);
  const __m256i spread3 = _mm256_setr_epi32(3, 3, 3, 3, 7, 7, 7, 7);
  const __m256i one = _mm256_set1_epi32(1);
  const int* base = reinterpret_cast<const int*>(src);
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    __m256i index = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(first + i));
    Sums s{_mm256_setzero_si256(), _mm256_setzero_si256(), _mm256_setzero_si256(),
           _mm256_setzero_si256()};
    int lo = first[i], hi = first[i];
    for (int k = 1; k < 8; ++k) {
      lo = std::min(lo, first[i + k]);
      hi = std::max(hi, first[i + k]);
    }
    // When all eight pixels read within eight neighbouring source pixels
    // (enlarging, mild shrinking), one load and permutes replace gathers.
    const bool near = hi - lo + 2 * pairs <= 8;
    const __m256i window = near ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + lo))
                                : _mm256_setzero_si256();
    if (near) index = _mm256_sub_epi32(index, _mm256_set1_epi32(lo));
    for (int p = 0; p < pairs; ++p) {
      const __m256i next = _mm256_add_epi32(index, one);
      const __m256i a = near ? _mm256_permutevar8x32_epi32(window, index)
                             : _mm256_i32gather_epi32(base, index, 4);
      const __m256i b =
          near ? _mm256_permutevar8x32_epi32(window, next) : _mm256_i32gather_epi32(base, next, 4);
      const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(
          weights + (size_t(p) * size_t(pairStride) + size_t(i)) * 2));
      AddPairs(s, a, b, _mm256_permutevar8x32_epi32(w, spread0),
               _mm256_permutevar8x32_epi32(w, spread1), _mm256_permutevar8x32_epi32(w, spread2),
               _mm256_permutevar8x32_epi32(w, spread3));
      index = _mm256_add_epi32(index, _mm256_add_epi32(one, one));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), Round(s));
  }
  if (i < count)
    FilterRow_C(dst + i, src, first + i, weights + size_t(i) * 2, pairs, pairStride, count - i);
}

__attribute__((target("avx2"))) void BlendRows_AVX2(uint32_t* dst, const uint32_t* const* rows,
                                                    const int16_t* weights, int taps, int count) {
  int i = 0;
  if (taps == 2) {  // every enlargement: two rows, one weight pair
    const __m256i w = _mm256_set1_epi32(
        int(uint32_t(uint16_t(weights[0])) | (uint32_t(uint16_t(weights[1])) << 16)));
    for (; i + 8 <= count; i += 8) {
      Sums s{_mm256_setzero_si256(), _mm256_setzero_si256(), _mm256_setzero_si256(),
             _mm256_setzero_si256()};
      AddPairs(s, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[0] + i)),
               _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[1] + i)), w, w, w, w);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), Round(s));
    }
  }
  for (; i + 8 <= count; i += 8) {
    Sums s{_mm256_setzero_si256(), _mm256_setzero_si256(), _mm256_setzero_si256(),
           _mm256_setzero_si256()};
    for (int k = 0; k + 1 < taps; k += 2) {
      const __m256i w = _mm256_set1_epi32(
          int(uint32_t(uint16_t(weights[k])) | (uint32_t(uint16_t(weights[k + 1])) << 16)));
      AddPairs(s, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[k] + i)),
               _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[k + 1] + i)), w, w, w, w);
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), Round(s));
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
