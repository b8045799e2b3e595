// iplResize: bilinear (or nearest) resize of a source region into a
// destination region. Rows are blended by libyuv's InterpolatePlane, columns
// by our filter (ScaleRows.h): libyuv's own ARGB scaler weighs columns in
// 127ths and so darkens every picture slightly (white becomes 253).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include <libyuv.h>

#include "ImageRegion.h"
#include "ScaleRows.h"
#include "imaging/ImageLibrary.h"

namespace quellor::imaging {
namespace {

// Size of a region side after scaling by numerator / denominator, rounded to
// nearest; -1 when it would exceed the largest picture side.
int ScaledSide(int side, int numerator, int denominator) {
  const std::int64_t scaled = (static_cast<std::int64_t>(side) * numerator * 2 + denominator) /
                              (2 * std::int64_t{denominator});
  return scaled > IPL_MAX_SIDE ? -1 : static_cast<int>(scaled);
}

bool UseVectorColumns(const ImageRegion& src) {
  static const bool available = ScaleHasSSE2();
  return available && src.channels == 4 && src.width >= 2;
}

// Scales src to a virtual destination of scaledWidth x scaledHeight whose
// top-left part (dst's size) is written.
void Scale(const ImageRegion& src, const ImageRegion& dst, int scaledWidth, int scaledHeight,
           bool bilinear) {
  const int width = std::min(scaledWidth, dst.width);
  const int height = std::min(scaledHeight, dst.height);
  const ColumnTaps taps = MakeColumnTaps(width, src.width, scaledWidth, bilinear);
  const bool vector = UseVectorColumns(src);
  const int rowBytes = src.width * src.channels;
  std::vector<std::uint8_t> blended(rowBytes);
  for (int row = 0; row < height; ++row) {
    std::int32_t y = 0;
    std::uint16_t fraction = 0;
    SplitPosition(SamplePosition(row, src.height, scaledHeight, bilinear), src.height, y, fraction);
    const std::uint8_t* line = src.Row(y);
    if (fraction == 256) {
      line = src.Row(y + 1);
    } else if (fraction != 0) {
      libyuv::InterpolatePlane(src.Row(y), static_cast<int>(src.stride), src.Row(y + 1),
                               static_cast<int>(src.stride), blended.data(), rowBytes, rowBytes, 1,
                               fraction);
      line = blended.data();
    }
    if (vector) {
      FilterColumnsRow4_SSE2(line, dst.Row(row), width, taps.x.data(), taps.fraction.data(),
                             taps.weights.data());
    } else {
      FilterColumnsRow_C(line, dst.Row(row), width, src.channels, taps.x.data(),
                         taps.fraction.data());
    }
  }
}

}  // namespace
}  // namespace quellor::imaging

using quellor::imaging::ImageRegion;
using quellor::imaging::SetStatus;

extern "C" void iplResize(IplImage* srcImage, IplImage* dstImage, int xDst, int xSrc, int yDst,
                          int ySrc, int interpolate) {
  ImageRegion src, dst;
  if (!quellor::imaging::ResolveRegion(srcImage, src) ||
      !quellor::imaging::ResolveRegion(dstImage, dst)) {
    return;
  }
  if (xDst <= 0 || xSrc <= 0 || yDst <= 0 || ySrc <= 0) {
    SetStatus(IPL_StsBadArg);
    return;
  }
  if (src.channels != dst.channels ||
      (interpolate != IPL_INTER_LINEAR && interpolate != IPL_INTER_NN)) {
    SetStatus(IPL_StsUnsupported);
    return;
  }
  SetStatus(IPL_StsOk);
  if (src.Empty() || dst.Empty()) return;
  const int scaledWidth = quellor::imaging::ScaledSide(src.width, xDst, xSrc);
  const int scaledHeight = quellor::imaging::ScaledSide(src.height, yDst, ySrc);
  if (scaledWidth < 0 || scaledHeight < 0) {
    SetStatus(IPL_StsBadArg);
    return;
  }
  if (scaledWidth == 0 || scaledHeight == 0) return;  // shrunk to nothing
  const bool bilinear = interpolate == IPL_INTER_LINEAR;
  if (quellor::imaging::RegionsOverlap(src, dst)) {
    // Rows are read after others are written: resize from a copy.
    std::vector<std::uint8_t> copy(static_cast<std::size_t>(src.width) * src.channels * src.height);
    ImageRegion staged = src;
    staged.stride = static_cast<std::ptrdiff_t>(src.width) * src.channels;
    staged.pixels = copy.data();
    for (int row = 0; row < src.height; ++row) {
      std::memcpy(staged.Row(row), src.Row(row), static_cast<std::size_t>(staged.stride));
    }
    quellor::imaging::Scale(staged, dst, scaledWidth, scaledHeight, bilinear);
    return;
  }
  quellor::imaging::Scale(src, dst, scaledWidth, scaledHeight, bilinear);
}
