// The AVX2 rows of VideoRows.h, built with -mavx2 and called only after the
// processor was checked: eight words a step, the rest through the plain row.
#include <immintrin.h>

#include "VideoRows.h"

namespace quellor::videoproc {

void FillWordsRow_AVX2(std::uint32_t* destination, std::uint32_t word, std::size_t words) {
  const __m256i fill = _mm256_set1_epi32(static_cast<int>(word));
  std::size_t i = 0;
  for (; i + 8 <= words; i += 8) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + i), fill);
  }
  FillWordsRow_C(destination + i, word, words - i);
}

void MergeChromaRow_AVX2(std::uint32_t* luma, const std::uint32_t* chroma, std::size_t words) {
  const __m256i mask = _mm256_set1_epi32(0x00FF00FF);
  std::size_t i = 0;
  for (; i + 8 <= words; i += 8) {
    auto* at = reinterpret_cast<__m256i*>(luma + i);
    const __m256i y = _mm256_loadu_si256(at);
    const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(chroma + i));
    _mm256_storeu_si256(at, _mm256_xor_si256(_mm256_and_si256(_mm256_xor_si256(c, y), mask), y));
  }
  MergeChromaRow_C(luma + i, chroma + i, words - i);
}

namespace {

// Copies byte 2 of each word (Y's integer part) into bytes 1 and 3 of that
// word. Indices count within 128-bit halves: word j's byte 2 is 4j + 2.
#define Z -128
alignas(32) constexpr std::int8_t kPickY[32] = {Z, 2, Z, 2, Z, 6, Z, 6, Z, 10, Z, 10, Z, 14, Z, 14,
                                                Z, 2, Z, 2, Z, 6, Z, 6, Z, 10, Z, 10, Z, 14, Z, 14};
#undef Z

__m256i Load(const std::int8_t (&bytes)[32]) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(bytes));
}

}  // namespace

// Sixteen words a step, as two vectors of eight: lane j holds the value after
// j steps, which is what adding the step j times gives (exact integer sums).
void GradientRow_AVX2(std::uint32_t* destination, const GradientLine& line, std::size_t words) {
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  auto start = [&](std::int32_t value, std::int32_t step) {
    return _mm256_add_epi32(_mm256_set1_epi32(value),
                            _mm256_mullo_epi32(lanes, _mm256_set1_epi32(step)));
  };
  __m256i y = start(line.y, line.yStep);
  __m256i u = start(line.u, line.uStep);
  __m256i v = start(line.v, line.vStep);
  const __m256i yStep8 =
      _mm256_set1_epi32(static_cast<std::int32_t>(static_cast<std::uint32_t>(line.yStep) * 8u));
  const __m256i uStep8 =
      _mm256_set1_epi32(static_cast<std::int32_t>(static_cast<std::uint32_t>(line.uStep) * 8u));
  const __m256i vStep8 =
      _mm256_set1_epi32(static_cast<std::int32_t>(static_cast<std::uint32_t>(line.vStep) * 8u));
  // The integer part of a 16.16 value is its byte 2. U's moves down to byte 0
  // (a shift), V's stays in place (a word blend keeps V's bytes 2 and 3), and
  // one shuffle puts Y's in bytes 1 and 3, replacing U's and V's high bytes.
  const __m256i pickY = Load(kPickY);
  const __m256i yBytes = _mm256_set1_epi32(static_cast<int>(0xFF00FF00u));
  auto words8 = [&](__m256i yValues, __m256i uv) {
    return _mm256_blendv_epi8(uv, _mm256_shuffle_epi8(yValues, pickY), yBytes);
  };
  auto uvBytes = [](__m256i uValues, __m256i vValues) {
    return _mm256_blend_epi16(_mm256_srli_epi32(uValues, 16), vValues, 0xAA);
  };
  std::size_t i = 0;
  if (line.uStep == 0 && line.vStep == 0) {
    // Chroma steady along the line (a luma ramp): its bytes are fixed.
    const __m256i uv = uvBytes(u, v);
    for (; i + 16 <= words; i += 16) {
      const __m256i y1 = _mm256_add_epi32(y, yStep8);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + i), words8(y, uv));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + i + 8), words8(y1, uv));
      y = _mm256_add_epi32(y1, yStep8);
    }
  } else {
    for (; i + 16 <= words; i += 16) {
      const __m256i y1 = _mm256_add_epi32(y, yStep8);
      const __m256i u1 = _mm256_add_epi32(u, uStep8);
      const __m256i v1 = _mm256_add_epi32(v, vStep8);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + i), words8(y, uvBytes(u, v)));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + i + 8),
                          words8(y1, uvBytes(u1, v1)));
      y = _mm256_add_epi32(y1, yStep8);
      u = _mm256_add_epi32(u1, uStep8);
      v = _mm256_add_epi32(v1, vStep8);
    }
  }
  if (i + 8 <= words) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + i), words8(y, uvBytes(u, v)));
    i += 8;
  }
  if (i == words) return;
  const std::uint32_t taken = static_cast<std::uint32_t>(i);
  auto after = [&](std::int32_t value, std::int32_t step) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) +
                                     static_cast<std::uint32_t>(step) * taken);
  };
  const GradientLine rest{after(line.y, line.yStep),
                          after(line.u, line.uStep),
                          after(line.v, line.vStep),
                          line.yStep,
                          line.uStep,
                          line.vStep};
  GradientRow_C(destination + i, rest, words - i);
}

}  // namespace quellor::videoproc
