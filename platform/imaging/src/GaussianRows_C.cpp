// Plain rows of the 3 x 3 Gaussian and the choice of the fast ones.
#include "GaussianRows.h"

namespace quellor::imaging {

void GaussianColumnsRow_C(const std::uint8_t* above, const std::uint8_t* centre,
                          const std::uint8_t* below, std::uint16_t* sums, int count) {
  for (int i = 0; i < count; ++i) {
    sums[i] = static_cast<std::uint16_t>(above[i] + 2 * centre[i] + below[i]);
  }
}

void GaussianAcrossRow_C(const std::uint16_t* sums, std::uint8_t* dst, int count, int step) {
  for (int i = 0; i < count; ++i) {
    dst[i] = static_cast<std::uint8_t>((sums[i - step] + 2 * sums[i] + sums[i + step] + 8) >> 4);
  }
}

const GaussianRows& ChosenGaussianRows() {
  static const GaussianRows rows = [] {
    if (GaussianHasAVX2()) return GaussianRows{GaussianColumnsRow_AVX2, GaussianAcrossRow_AVX2};
    if (GaussianHasSSE2()) return GaussianRows{GaussianColumnsRow_SSE2, GaussianAcrossRow_SSE2};
    return GaussianRows{GaussianColumnsRow_C, GaussianAcrossRow_C};
  }();
  return rows;
}

}  // namespace quellor::imaging
