// BGRA to 4:2:2 (Cb Y0 Cr Y1) in one pass, 16 pixels per step, with the
// plain row's weights and rounding (see BGRAToUYVY.cpp), so both give the same
// bytes. Built with -mavx2; called only once the processor was found to have
// AVX2.
#include <immintrin.h>

#include <cstdint>

#include "ColourRows.h"

namespace quellor::board {
namespace {

// Per pixel B G R A. Luma weights are unsigned and multiply the pixel bytes
// taken as signed (byte - 128), which keeps G's 129 within a signed product:
// 25 (B - 128) + 129 (G - 128) + 66 (R - 128) + 32384 is the plain row's
// 25 B + 129 G + 66 R + 0x1080, and stays within 0..65535.
constexpr std::int16_t kLumaBias = 0x7E80;  // 0x1080 + 128 x (25 + 129 + 66)

// Cb and Cr weights are signed and multiply the pair averages as unsigned
// bytes. Their sums stay within +-28560, so adding 0x8000 is flipping the
// sign bit, and the logical shift then gives the plain row's >> 8.
template <bool kStream>
void ConvertRow(const std::uint8_t* src_bgra, std::uint8_t* dst_uyvy, int width) {
  const __m256i sign = _mm256_set1_epi8(static_cast<char>(0x80));
  const __m256i luma_weights =
      _mm256_setr_epi8(25, static_cast<char>(129), 66, 0, 25, static_cast<char>(129), 66, 0, 25,
                       static_cast<char>(129), 66, 0, 25, static_cast<char>(129), 66, 0, 25,
                       static_cast<char>(129), 66, 0, 25, static_cast<char>(129), 66, 0, 25,
                       static_cast<char>(129), 66, 0, 25, static_cast<char>(129), 66, 0);
  const __m256i cb_weights =
      _mm256_setr_epi8(112, -74, -38, 0, 112, -74, -38, 0, 112, -74, -38, 0, 112, -74, -38, 0, 112,
                       -74, -38, 0, 112, -74, -38, 0, 112, -74, -38, 0, 112, -74, -38, 0);
  const __m256i cr_weights =
      _mm256_setr_epi8(-18, -94, 112, 0, -18, -94, 112, 0, -18, -94, 112, 0, -18, -94, 112, 0, -18,
                       -94, 112, 0, -18, -94, 112, 0, -18, -94, 112, 0, -18, -94, 112, 0);
  const __m256i luma_bias = _mm256_set1_epi16(kLumaBias);
  const __m256i chroma_bias = _mm256_set1_epi16(static_cast<std::int16_t>(0x8000));
  // Each 128-bit lane holds Y of four pairs, then their Cb, then their Cr:
  // into Cb Y Cr Y order.
  const __m256i interleave =
      _mm256_setr_epi8(8, 0, 12, 1, 9, 2, 13, 3, 10, 4, 14, 5, 11, 6, 15, 7,  //
                       8, 0, 12, 1, 9, 2, 13, 3, 10, 4, 14, 5, 11, 6, 15, 7);
  const bool stream = kStream && reinterpret_cast<std::uintptr_t>(dst_uyvy) % sizeof(__m256i) == 0;

  int x = 0;
  for (; x + 16 <= width; x += 16) {
    const __m256i* in =
        reinterpret_cast<const __m256i*>(src_bgra + static_cast<std::size_t>(x) * 4);
    const __m256i a = _mm256_loadu_si256(in);      // pixels 0-3 | 4-7
    const __m256i b = _mm256_loadu_si256(in + 1);  // pixels 8-11 | 12-15
    // Luma per lane: pixels 0-3, 8-11 | 4-7, 12-15.
    const __m256i luma_a = _mm256_maddubs_epi16(luma_weights, _mm256_xor_si256(a, sign));
    const __m256i luma_b = _mm256_maddubs_epi16(luma_weights, _mm256_xor_si256(b, sign));
    const __m256i luma =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_hadd_epi16(luma_a, luma_b), luma_bias), 8);
    // Pair averages in the same order: pairs 0-1, 2-3, 8-9, 10-11 | 4-5, ...
    const __m256 fa = _mm256_castsi256_ps(a), fb = _mm256_castsi256_ps(b);
    const __m256i even = _mm256_castps_si256(_mm256_shuffle_ps(fa, fb, 0x88));
    const __m256i odd = _mm256_castps_si256(_mm256_shuffle_ps(fa, fb, 0xDD));
    const __m256i pairs = _mm256_avg_epu8(even, odd);
    const __m256i chroma = _mm256_srli_epi16(
        _mm256_xor_si256(_mm256_hadd_epi16(_mm256_maddubs_epi16(pairs, cb_weights),
                                           _mm256_maddubs_epi16(pairs, cr_weights)),
                         chroma_bias),
        8);
    // Per lane: pixels 0-3 then 8-11 | 4-7 then 12-15; the middle quarters
    // swap places.
    const __m256i out = _mm256_permute4x64_epi64(
        _mm256_shuffle_epi8(_mm256_packus_epi16(luma, chroma), interleave), 0xD8);
    __m256i* dst = reinterpret_cast<__m256i*>(dst_uyvy + static_cast<std::size_t>(x) * 2);
    if (stream) {
      _mm256_stream_si256(dst, out);
    } else {
      _mm256_storeu_si256(dst, out);
    }
  }
  if (x < width) {
    BGRAToUYVYRow_C(src_bgra + static_cast<std::size_t>(x) * 4,
                    dst_uyvy + static_cast<std::size_t>(x) * 2, width - x);
  }
}

}  // namespace

void BGRAToUYVYRow_AVX2(const std::uint8_t* src_bgra, std::uint8_t* dst_uyvy, int width) {
  ConvertRow<false>(src_bgra, dst_uyvy, width);
}

void BGRAToUYVYRowStreaming_AVX2(const std::uint8_t* src_bgra, std::uint8_t* dst_uyvy, int width) {
  ConvertRow<true>(src_bgra, dst_uyvy, width);
}

}  // namespace quellor::board
