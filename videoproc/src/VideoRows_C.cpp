// The plain C rows of VideoRows.h, and the choice of rows for this processor.
#include "VideoRows.h"

#include "KeyRows.h"

namespace quellor::videoproc {

void FillWordsRow_C(std::uint32_t* destination, std::uint32_t word, std::size_t words) {
  for (std::size_t i = 0; i < words; ++i) destination[i] = word;
}

void MergeChromaRow_C(std::uint32_t* luma, const std::uint32_t* chroma, std::size_t words) {
  for (std::size_t i = 0; i < words; ++i) luma[i] = ((chroma[i] ^ luma[i]) & 0x00FF00FFu) ^ luma[i];
}

namespace {

inline std::uint32_t GradientWord(std::int32_t y, std::int32_t u, std::int32_t v) {
  const std::uint32_t luma = static_cast<std::uint32_t>(y >> 16) & 0xFF;
  return (static_cast<std::uint32_t>(u >> 16) & 0xFF) | luma << 8 |
         (static_cast<std::uint32_t>(v >> 16) & 0xFF) << 16 | luma << 24;
}

}  // namespace

void GradientRow_C(std::uint32_t* destination, const GradientLine& line, std::size_t words) {
  std::int32_t y = line.y, u = line.u, v = line.v;
  for (std::size_t i = 0; i < words; ++i) {
    destination[i] = GradientWord(y, u, v);
    y += line.yStep;
    u += line.uStep;
    v += line.vStep;
  }
}

bool VideoFastPathAvailable() {
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
}

KeyRowFunction KeyRowForMode(std::int32_t mode) {
  if (!VideoFastPathAvailable()) return KeyRowForMode_C(mode);
  switch (mode) {
    case ChromaKeyMode_Chroma:
      return KeyChromaRow_AVX2;
    case ChromaKeyMode_LinearLight:
      return KeyLinearLightRow_AVX2;
    case ChromaKeyMode_LinearDark:
      return KeyLinearDarkRow_AVX2;
    case ChromaKeyMode_Dark:
      return KeyDarkRow_AVX2;
    case ChromaKeyMode_Light:
      return KeyLightRow_AVX2;
    default:
      return KeyRowForMode_C(mode);
  }
}

const VideoRowSet& VideoRows_C() {
  static const VideoRowSet rows{FillWordsRow_C, MergeChromaRow_C, GradientRow_C};
  return rows;
}

const VideoRowSet& VideoRows() {
  static const VideoRowSet rows =
      VideoFastPathAvailable()
          ? VideoRowSet{FillWordsRow_AVX2, MergeChromaRow_AVX2, GradientRow_AVX2}
          : VideoRows_C();
  return rows;
}

}  // namespace quellor::videoproc
