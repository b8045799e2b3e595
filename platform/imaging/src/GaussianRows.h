// Row functions of the 3 x 3 Gaussian (weights 1 2 1 / 2 4 2 / 1 2 1, sum 16,
// rounded to nearest), done in two passes per output row:
//   columns: sums[i] = above[i] + 2 centre[i] + below[i] for "count" bytes;
//   across:  dst[i] = (sums[i - step] + 2 sums[i] + sums[i + step] + 8) >> 4,
//            where step is the pixel size in bytes (the channel count), so it
//            reads sums[-step] to sums[count + step - 1].
// Sums stay below 4096, so 16 bits hold them. The plain C rows are the
// reference; the SSE2 and AVX2 rows give the same bytes for every count and
// need no particular alignment of any buffer.
#pragma once

#include <cstdint>

namespace quellor::imaging {

void GaussianColumnsRow_C(const std::uint8_t* above, const std::uint8_t* centre,
                          const std::uint8_t* below, std::uint16_t* sums, int count);
void GaussianAcrossRow_C(const std::uint16_t* sums, std::uint8_t* dst, int count, int step);

// Present on x86 only; call only when the processor has the instructions.
void GaussianColumnsRow_SSE2(const std::uint8_t* above, const std::uint8_t* centre,
                             const std::uint8_t* below, std::uint16_t* sums, int count);
void GaussianAcrossRow_SSE2(const std::uint16_t* sums, std::uint8_t* dst, int count, int step);
void GaussianColumnsRow_AVX2(const std::uint8_t* above, const std::uint8_t* centre,
                             const std::uint8_t* below, std::uint16_t* sums, int count);
void GaussianAcrossRow_AVX2(const std::uint16_t* sums, std::uint8_t* dst, int count, int step);

bool GaussianHasSSE2();
bool GaussianHasAVX2();

struct GaussianRows {
  void (*columns)(const std::uint8_t*, const std::uint8_t*, const std::uint8_t*, std::uint16_t*,
                  int);
  void (*across)(const std::uint16_t*, std::uint8_t*, int, int);
};

// The fastest rows this processor runs, chosen once on first use.
const GaussianRows& ChosenGaussianRows();

}  // namespace quellor::imaging
