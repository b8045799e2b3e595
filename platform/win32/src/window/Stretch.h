// Scaling of BGRA pictures for StretchBlt and StretchDIBits.
//
// A stretch is planned once per call: each axis gets its source positions
// (and, for HALFTONE, fixed-point weights) per destination pixel. Rows are
// then filtered in two passes, horizontal into a cache of filtered source
// rows, vertical from that cache, and only for the part of the scaled picture
// the caller will paint.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace quellor::win32 {

// Weights of one destination pixel sum to 1 << kStretchWeightBits.
constexpr int kStretchWeightBits = 14;
constexpr int kStretchReadAhead = 8;

// The taps of one axis for HALFTONE: destination pixel i reads `taps` source
// pixels from first[i]; taps is even, unused taps weigh 0. Shrinking averages
// the source area a destination pixel covers; enlarging interpolates linearly
// between pixel centres.
struct AxisFilter {
  int size = 0;  // destination pixels
  int taps = 0;
  std::vector<int> first;
  // Pairs of weights: pair p of pixel i is weights[(p * size + i) * 2 + {0, 1}],
  // so that the pairs of neighbouring pixels lie side by side.
  std::vector<int16_t> weights;
  const int16_t* Pair(int p, int i) const { return &weights[(size_t(p) * size + i) * 2]; }
};
AxisFilter FilterAxis(int srcSize, int dstSize);
// Nearest pixel, sampled at the centre of each destination pixel
// (COLORONCOLOR and the other non-filtering modes).
std::vector<int> NearestAxis(int srcSize, int dstSize);

// Horizontal pass: dst[i] = sum over pairs p of the weighted pixels
// src[first[i] + 2p] and src[first[i] + 2p + 1]. `weights` points to pair 0
// of pixel 0 and pair p lies pairStride pixels further on; src must hold
// max(taps, kStretchReadAhead) - 1 readable pixels beyond the largest first[i]
// (the fast rows read eight neighbours at once).
using FilterRowFunction = void (*)(uint32_t* dst, const uint32_t* src, const int* first,
                                   const int16_t* weights, int pairs, int pairStride, int count);
// Vertical pass: dst[i] = sum over k < taps of weights[k] * rows[k][i]; taps
// is even.
using BlendRowsFunction = void (*)(uint32_t* dst, const uint32_t* const* rows,
                                   const int16_t* weights, int taps, int count);

void FilterRow_C(uint32_t* dst, const uint32_t* src, const int* first, const int16_t* weights,
                 int pairs, int pairStride, int count);
void BlendRows_C(uint32_t* dst, const uint32_t* const* rows, const int16_t* weights, int taps,
                 int count);
#if defined(__x86_64__) || defined(__i386__)
void FilterRow_AVX2(uint32_t* dst, const uint32_t* src, const int* first, const int16_t* weights,
                    int pairs, int pairStride, int count);
void BlendRows_AVX2(uint32_t* dst, const uint32_t* const* rows, const int16_t* weights, int taps,
                    int count);
#endif

struct StretchRows {
  FilterRowFunction filter = &FilterRow_C;
  BlendRowsFunction blend = &BlendRows_C;
};
// The plain C rows, and the fastest this processor offers (chosen once).
StretchRows PlainStretchRows();
StretchRows FastStretchRows();

// One stretch of a srcWidth x srcHeight block to dstWidth x dstHeight, of which
// only scaled columns [left, right) of rows [top, bottom) are produced.
struct StretchJob {
  int srcWidth = 0, srcHeight = 0;
  int dstWidth = 0, dstHeight = 0;
  bool filter = false;  // HALFTONE
  int left = 0, top = 0, right = 0, bottom = 0;
};
// Fills `count` BGRA pixels of block row y from block column x.
using ReadStretchRow = std::function<void(int y, int x, int count, uint32_t* out)>;
// Receives scaled row y, columns [left, right) of the job.
using WriteStretchRow = std::function<void(int y, const uint32_t* pixels)>;

void Stretch(const StretchJob& job, const ReadStretchRow& read, const WriteStretchRow& write,
             const StretchRows& rows = FastStretchRows());

}  // namespace quellor::win32
