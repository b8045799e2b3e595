// Row functions of the 3 x 3 Gaussian (weights 1 2 1 / 2 4 2 / 1 2 1), done
// as two 1 2 1 passes on bytes, each rounded to nearest:
//   columns: dst[i] = (above[i] + 2 centre[i] + below[i] + 2) >> 2
//   across:  dst[i] = (src[i - step] + 2 src[i] + src[i + step] + 2) >> 2
// where step is the pixel size in bytes (the channel count); across reads
// src[-step] to src[count + step - 1]. The result is within 1 of the exact
// sum / 16 and flat areas keep their value. Staying in bytes lets the vector
// rows use the exact identity
//   (a + 2b + c + 2) >> 2 == avg_up(avg_down(a, c), b),
// avg_down(a, c) = (a & c) + ((a ^ c) >> 1), avg_up = pavgb.
// The plain C rows are the reference; the SSE2 and AVX2 rows give the same
// bytes for every count and need no particular alignment of any buffer.
#pragma once

#include <cstdint>

namespace quellor::imaging {

void GaussianColumnsRow_C(const std::uint8_t* above, const std::uint8_t* centre,
                          const std::uint8_t* below, std::uint8_t* dst, int count);
void GaussianAcrossRow_C(const std::uint8_t* src, std::uint8_t* dst, int count, int step);

// Present on x86 only; call only when the processor has the instructions.
void GaussianColumnsRow_SSE2(const std::uint8_t* above, const std::uint8_t* centre,
                             const std::uint8_t* below, std::uint8_t* dst, int count);
void GaussianAcrossRow_SSE2(const std::uint8_t* src, std::uint8_t* dst, int count, int step);
void GaussianColumnsRow_AVX2(const std::uint8_t* above, const std::uint8_t* centre,
                             const std::uint8_t* below, std::uint8_t* dst, int count);
void GaussianAcrossRow_AVX2(const std::uint8_t* src, std::uint8_t* dst, int count, int step);

bool GaussianHasSSE2();
bool GaussianHasAVX2();

struct GaussianRows {
  void (*columns)(const std::uint8_t*, const std::uint8_t*, const std::uint8_t*, std::uint8_t*,
                  int);
  void (*across)(const std::uint8_t*, std::uint8_t*, int, int);
};

// The fastest rows this processor runs, chosen once on first use.
const GaussianRows& ChosenGaussianRows();

}  // namespace quellor::imaging
