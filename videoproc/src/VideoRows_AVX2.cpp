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

// Eight words at once: lane j holds the value after j steps, which is what
// adding the step j times gives (exact integer sums).
void GradientRow_AVX2(std::uint32_t* destination, const GradientLine& line, std::size_t words) {
  const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  auto start = [&](std::int32_t value, std::int32_t step) {
    return _mm256_add_epi32(_mm256_set1_epi32(value),
                            _mm256_mullo_epi32(lanes, _mm256_set1_epi32(step)));
  };
  __m256i y = start(line.y, line.yStep);
  __m256i u = start(line.u, line.uStep);
  __m256i v = start(line.v, line.vStep);
  const __m256i yStep8 = _mm256_set1_epi32(line.yStep * 8);
  const __m256i uStep8 = _mm256_set1_epi32(line.uStep * 8);
  const __m256i vStep8 = _mm256_set1_epi32(line.vStep * 8);
  const __m256i byte = _mm256_set1_epi32(0xFF);
  std::size_t i = 0;
  for (; i + 8 <= words; i += 8) {
    const __m256i luma = _mm256_and_si256(_mm256_srai_epi32(y, 16), byte);
    __m256i word = _mm256_and_si256(_mm256_srai_epi32(u, 16), byte);
    word = _mm256_or_si256(word, _mm256_slli_epi32(luma, 8));
    word = _mm256_or_si256(word,
                           _mm256_slli_epi32(_mm256_and_si256(_mm256_srai_epi32(v, 16), byte), 16));
    word = _mm256_or_si256(word, _mm256_slli_epi32(luma, 24));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + i), word);
    y = _mm256_add_epi32(y, yStep8);
    u = _mm256_add_epi32(u, uStep8);
    v = _mm256_add_epi32(v, vStep8);
  }
  const std::int32_t taken = static_cast<std::int32_t>(i);
  GradientLine rest{line.y + line.yStep * taken,
                    line.u + line.uStep * taken,
                    line.v + line.vStep * taken,
                    line.yStep,
                    line.uStep,
                    line.vStep};
  GradientRow_C(destination + i, rest, words - i);
}

}  // namespace quellor::videoproc
