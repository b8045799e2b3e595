// Rows of the bilinear resize. A destination row is made in two steps: the
// two source rows around it are blended (libyuv's InterpolatePlane, exact on
// flat areas), then each destination pixel blends two neighbouring pixels of
// that row with weights in 1/256:
//   dst = (src[x] (256 - f) + src[x + 1] f + 128) >> 8.
// Weights sum to 256, so a flat area stays flat (libyuv's own ARGB column
// filter weighs in 127ths and darkens white to 253).
#pragma once

#include <cstdint>
#include <vector>

namespace quellor::imaging {

// Where each destination column samples a source row: left pixel index and
// fraction f (0 to 256) towards the next pixel. The right pixel is read only
// when f is not 0; the taps never point it past the row when the row has at
// least 2 pixels. weights holds, per column, 256 - f four times then f four
// times, for the vector row.
struct ColumnTaps {
  std::vector<std::int32_t> x;
  std::vector<std::uint16_t> fraction;
  std::vector<std::uint16_t> weights;
};

// Sample position of destination pixel i of a side of targetSide scaled from
// sourceSide (virtual size: the destination may be clipped), in 1/256 of a
// source pixel: pixel centres meet when shrinking, edge pixels meet when
// enlarging. Nearest (bilinear false) rounds to a whole pixel.
std::int64_t SamplePosition(int i, int sourceSide, int targetSide, bool bilinear);

// Splits a position into index and fraction, moving a position on the last
// pixel to (last - 1, 256) so that the right pixel exists.
void SplitPosition(std::int64_t position, int sourceSide, std::int32_t& index,
                   std::uint16_t& fraction);

ColumnTaps MakeColumnTaps(int count, int sourceWidth, int targetWidth, bool bilinear);

// count destination pixels from the taps x[0..count), fraction[0..count)
// (and weights[0..8 count) for the vector row).
void FilterColumnsRow_C(const std::uint8_t* src, std::uint8_t* dst, int count, int channels,
                        const std::int32_t* x, const std::uint16_t* fraction);
// 4 channels only; source rows of at least 2 pixels.
void FilterColumnsRow4_SSE2(const std::uint8_t* src, std::uint8_t* dst, int count,
                            const std::int32_t* x, const std::uint16_t* fraction,
                            const std::uint16_t* weights);
bool ScaleHasSSE2();

}  // namespace quellor::imaging
