// Plain rows of the 3 x 3 Gaussian and the choice of the fast ones.
#include "GaussianRows.h"

namespace quellor::imaging {

void GaussianColumnsRow_C(const std::uint8_t* above, const std::uint8_t* centre,
                          const std::uint8_t* below, std::uint8_t* dst, int count) {
  for (int i = 0; i < count; ++i) {
    dst[i] = static_cast<std::uint8_t>((above[i] + 2 * centre[i] + below[i] + 2) >> 2);
  }
}

void GaussianAcrossRow_C(const std::uint8_t* src, std::uint8_t* dst, int count, int step) {
  for (int i = 0; i < count; ++i) {
    dst[i] = static_cast<std::uint8_t>((src[i - step] + 2 * src[i] + src[i + step] + 2) >> 2);
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
