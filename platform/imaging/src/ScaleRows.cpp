// Sample positions and the plain column filter of the bilinear resize.
#include "ScaleRows.h"

#include <algorithm>

namespace quellor::imaging {

std::int64_t SamplePosition(int i, int sourceSide, int targetSide, bool bilinear) {
  const std::int64_t last = static_cast<std::int64_t>(sourceSide - 1) * 256;
  std::int64_t position;
  if (!bilinear) {
    // Nearest: the source pixel under the destination pixel's centre.
    position = (static_cast<std::int64_t>(2 * i + 1) * sourceSide) / (2 * targetSide) * 256;
  } else if (targetSide <= sourceSide || targetSide == 1) {
    // Centres: (i + 1/2) source / target - 1/2, rounded to 1/256.
    const std::int64_t numerator =
        (static_cast<std::int64_t>(2 * i + 1) * sourceSide - targetSide) * 256;
    const std::int64_t denominator = 2 * static_cast<std::int64_t>(targetSide);
    position = numerator >= 0 ? (numerator + denominator / 2) / denominator : 0;
  } else {
    // Edges: i (source - 1) / (target - 1).
    const std::int64_t denominator = targetSide - 1;
    position = (static_cast<std::int64_t>(i) * last + denominator / 2) / denominator;
  }
  return std::clamp<std::int64_t>(position, 0, last);
}

void SplitPosition(std::int64_t position, int sourceSide, std::int32_t& index,
                   std::uint16_t& fraction) {
  index = static_cast<std::int32_t>(position >> 8);
  fraction = static_cast<std::uint16_t>(position & 0xff);
  if (index == sourceSide - 1 && sourceSide >= 2) {
    index -= 1;
    fraction = 256;
  }
}

ColumnTaps MakeColumnTaps(int count, int sourceWidth, int targetWidth, bool bilinear) {
  ColumnTaps taps;
  taps.x.resize(count);
  taps.fraction.resize(count);
  taps.weights.resize(static_cast<std::size_t>(count) * 8);
  for (int i = 0; i < count; ++i) {
    SplitPosition(SamplePosition(i, sourceWidth, targetWidth, bilinear), sourceWidth, taps.x[i],
                  taps.fraction[i]);
    std::fill_n(&taps.weights[i * 8], 4, static_cast<std::uint16_t>(256 - taps.fraction[i]));
    std::fill_n(&taps.weights[i * 8 + 4], 4, taps.fraction[i]);
  }
  return taps;
}

void FilterColumnsRow_C(const std::uint8_t* src, std::uint8_t* dst, int count, int channels,
                        const std::int32_t* x, const std::uint16_t* fraction) {
  for (int i = 0; i < count; ++i, dst += channels) {
    const std::uint8_t* left = src + x[i] * channels;
    const int f = fraction[i];
    if (f == 0) {
      for (int c = 0; c < channels; ++c) dst[c] = left[c];
      continue;
    }
    const std::uint8_t* right = left + channels;
    for (int c = 0; c < channels; ++c) {
      dst[c] = static_cast<std::uint8_t>((left[c] * (256 - f) + right[c] * f + 128) >> 8);
    }
  }
}

}  // namespace quellor::imaging
