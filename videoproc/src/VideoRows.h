// Row functions of the luma effect, the gradient and the black fills, on
// VideoUYVY words (one pixel pair, U in bits 0-7, Y0 8-15, V 16-23, Y1
// 24-31). Each has a plain C row and an AVX2 row that gives the same words;
// VideoRows() hands out the set for this processor, chosen once.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quellor::videoproc {

// Every word := word.
void FillWordsRow_C(std::uint32_t* destination, std::uint32_t word, std::size_t words);
void FillWordsRow_AVX2(std::uint32_t* destination, std::uint32_t word, std::size_t words);

// Keeps the Y bytes of luma and takes U and V from chroma:
// luma := ((chroma ^ luma) & 0x00FF00FF) ^ luma.
void MergeChromaRow_C(std::uint32_t* luma, const std::uint32_t* chroma, std::size_t words);
void MergeChromaRow_AVX2(std::uint32_t* luma, const std::uint32_t* chroma, std::size_t words);

// One line of the gradient: Y, U and V in 16.16 fixed point start at the
// given values and add their steps after each word; each word takes the
// integer parts (U, Y, V, Y).
struct GradientLine {
  std::int32_t y, u, v;
  std::int32_t yStep, uStep, vStep;
};
void GradientRow_C(std::uint32_t* destination, const GradientLine& line, std::size_t words);
void GradientRow_AVX2(std::uint32_t* destination, const GradientLine& line, std::size_t words);

struct VideoRowSet {
  void (*fillWords)(std::uint32_t*, std::uint32_t, std::size_t);
  void (*mergeChroma)(std::uint32_t*, const std::uint32_t*, std::size_t);
  void (*gradient)(std::uint32_t*, const GradientLine&, std::size_t);
};

const VideoRowSet& VideoRows();
const VideoRowSet& VideoRows_C();

}  // namespace quellor::videoproc
