// The AVX2 rows of the keyer, built with -mavx2 and called only after the
// processor was checked: eight pixel pairs (32 bytes) a step, the key
// amounts looked up with a gather from the widened key curve, the mix done
// in 16-bit lanes (b x k + g x (255 - k) stays below 65536). The remaining
// pairs go through the plain row, so both give the same bytes.
#include <immintrin.h>

#include "KeyRows.h"

namespace quellor::videoproc {
namespace {

inline __m256i LoadBackground(const std::uint8_t* background, std::size_t step, __m256i colour) {
  return step == 0 ? colour : _mm256_loadu_si256(reinterpret_cast<const __m256i*>(background));
}

inline __m256i ColourVector(const ChromaKeySnapshot& key) {
  std::uint32_t pair;
  __builtin_memcpy(&pair, key.backgroundPair, 4);
  return _mm256_set1_epi32(static_cast<int>(pair));
}

// Mixes each pair with its background: bytes U and Y0 by the key in the low
// half of factor01's word, V and Y1 by factor23's.
inline __m256i MixPairs(__m256i picture, __m256i background, __m256i factor01, __m256i factor23) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i full = _mm256_set1_epi16(255);
  const __m256i kLow = _mm256_unpacklo_epi32(factor01, factor23);
  const __m256i kHigh = _mm256_unpackhi_epi32(factor01, factor23);
  const __m256i low = _mm256_add_epi16(
      _mm256_mullo_epi16(_mm256_unpacklo_epi8(picture, zero), kLow),
      _mm256_mullo_epi16(_mm256_unpacklo_epi8(background, zero), _mm256_sub_epi16(full, kLow)));
  const __m256i high = _mm256_add_epi16(
      _mm256_mullo_epi16(_mm256_unpackhi_epi8(picture, zero), kHigh),
      _mm256_mullo_epi16(_mm256_unpackhi_epi8(background, zero), _mm256_sub_epi16(full, kHigh)));
  return _mm256_packus_epi16(_mm256_srli_epi16(low, 8), _mm256_srli_epi16(high, 8));
}

// A key amount per pair (0..255 in each word) doubled into both halves.
inline __m256i Doubled(__m256i k) {
  return _mm256_or_si256(k, _mm256_slli_epi32(k, 16));
}

template <typename Step>
inline std::size_t Run(std::uint8_t* picture, const std::uint8_t* background, std::size_t step,
                       std::size_t pairs, Step body) {
  std::size_t done = 0;
  for (; done + 8 <= pairs; done += 8) {
    auto* at = reinterpret_cast<__m256i*>(picture + done * 4);
    const __m256i pixels = _mm256_loadu_si256(at);
    _mm256_storeu_si256(at, body(pixels, background + done * step));
  }
  return done;
}

}  // namespace

void KeyChromaRow_AVX2(std::uint8_t* picture, const std::uint8_t* background, std::size_t step,
                       const ChromaKeySnapshot& key, std::size_t pairs) {
  const __m256i colour = ColourVector(key);
  const __m256i keyUV = _mm256_set1_epi32(key.keyU | key.keyV << 16);
  const __m256i chromaBytes = _mm256_set1_epi32(0x00FF00FF);
  const __m256i ones = _mm256_set1_epi16(1);
  const std::size_t done =
      Run(picture, background, step, pairs, [&](__m256i pixels, const std::uint8_t* bg) {
        const __m256i difference = _mm256_and_si256(
            _mm256_or_si256(_mm256_subs_epu8(pixels, keyUV), _mm256_subs_epu8(keyUV, pixels)),
            chromaBytes);
        const __m256i distance = _mm256_madd_epi16(difference, ones);  // |U-kU| + |V-kV|
        const __m256i k = Doubled(_mm256_i32gather_epi32(key.curve, distance, 4));
        return MixPairs(pixels, LoadBackground(bg, step, colour), k, k);
      });
  KeyChromaRow_C(picture + done * 4, background + done * step, step, key, pairs - done);
}

void KeyLinearDarkRow_AVX2(std::uint8_t* picture, const std::uint8_t* background, std::size_t step,
                           const ChromaKeySnapshot& key, std::size_t pairs) {
  const __m256i colour = ColourVector(key);
  const __m256i byte = _mm256_set1_epi32(0xFF);
  const std::size_t done =
      Run(picture, background, step, pairs, [&](__m256i pixels, const std::uint8_t* bg) {
        const __m256i y0 = _mm256_and_si256(_mm256_srli_epi32(pixels, 8), byte);
        const __m256i k = Doubled(_mm256_i32gather_epi32(key.curve, y0, 4));
        return MixPairs(pixels, LoadBackground(bg, step, colour), k, k);
      });
  KeyLinearDarkRow_C(picture + done * 4, background + done * step, step, key, pairs - done);
}

void KeyLinearLightRow_AVX2(std::uint8_t* picture, const std::uint8_t* background, std::size_t step,
                            const ChromaKeySnapshot& key, std::size_t pairs) {
  const __m256i colour = ColourVector(key);
  const __m256i byte = _mm256_set1_epi32(0xFF);
  const std::size_t done =
      Run(picture, background, step, pairs, [&](__m256i pixels, const std::uint8_t* bg) {
        const __m256i y0 =
            _mm256_sub_epi32(byte, _mm256_and_si256(_mm256_srli_epi32(pixels, 8), byte));
        const __m256i y1 = _mm256_sub_epi32(byte, _mm256_srli_epi32(pixels, 24));
        const __m256i k0 = _mm256_i32gather_epi32(key.curve, y0, 4);
        const __m256i k1 = _mm256_i32gather_epi32(key.curve, y1, 4);
        return MixPairs(pixels, LoadBackground(bg, step, colour), Doubled(k0),
                        _mm256_or_si256(k0, _mm256_slli_epi32(k1, 16)));
      });
  KeyLinearLightRow_C(picture + done * 4, background + done * step, step, key, pairs - done);
}

namespace {

// Replaces U, Y0, V where Y0's byte of `hit` is set and Y1 where Y1's is.
inline __m256i ReplaceWhere(__m256i pixels, __m256i background, __m256i hit) {
  const __m256i y0 = _mm256_and_si256(hit, _mm256_set1_epi32(0x0000FF00));
  const __m256i y1 = _mm256_and_si256(hit, _mm256_set1_epi32(static_cast<int>(0xFF000000u)));
  const __m256i mask = _mm256_or_si256(
      _mm256_or_si256(y0, y1), _mm256_or_si256(_mm256_srli_epi32(y0, 8), _mm256_slli_epi32(y0, 8)));
  return _mm256_blendv_epi8(pixels, background, mask);
}

}  // namespace

void KeyDarkRow_AVX2(std::uint8_t* picture, const std::uint8_t* background, std::size_t step,
                     const ChromaKeySnapshot& key, std::size_t pairs) {
  if (key.low == 0) return;  // no Y lies below 0
  const __m256i colour = ColourVector(key);
  const __m256i below = _mm256_set1_epi8(static_cast<char>(key.low - 1));
  const std::size_t done =
      Run(picture, background, step, pairs, [&](__m256i pixels, const std::uint8_t* bg) {
        const __m256i hit = _mm256_cmpeq_epi8(_mm256_min_epu8(pixels, below), pixels);
        return ReplaceWhere(pixels, LoadBackground(bg, step, colour), hit);
      });
  KeyDarkRow_C(picture + done * 4, background + done * step, step, key, pairs - done);
}

void KeyLightRow_AVX2(std::uint8_t* picture, const std::uint8_t* background, std::size_t step,
                      const ChromaKeySnapshot& key, std::size_t pairs) {
  if (key.high == 255) return;  // no Y lies above 255
  const __m256i colour = ColourVector(key);
  const __m256i above = _mm256_set1_epi8(static_cast<char>(key.high + 1));
  const std::size_t done =
      Run(picture, background, step, pairs, [&](__m256i pixels, const std::uint8_t* bg) {
        const __m256i hit = _mm256_cmpeq_epi8(_mm256_max_epu8(pixels, above), pixels);
        return ReplaceWhere(pixels, LoadBackground(bg, step, colour), hit);
      });
  KeyLightRow_C(picture + done * 4, background + done * step, step, key, pairs - done);
}

}  // namespace quellor::videoproc
