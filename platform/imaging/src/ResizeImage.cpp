// iplResize on libyuv's scalers: ARGBScaleClip for 4-channel pictures (any
// byte order: the four channels are scaled alike), ScalePlane for 1 channel.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include <libyuv.h>

#include "ImageRegion.h"
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

// Scales src to a virtual destination of scaledWidth x scaledHeight whose
// top-left part (dst's size) is written.
void Scale(const ImageRegion& src, const ImageRegion& dst, int scaledWidth, int scaledHeight,
           libyuv::FilterMode filter) {
  const int clipWidth = std::min(scaledWidth, dst.width);
  const int clipHeight = std::min(scaledHeight, dst.height);
  if (src.channels == 4) {
    libyuv::ARGBScaleClip(src.pixels, static_cast<int>(src.stride), src.width, src.height,
                          dst.pixels, static_cast<int>(dst.stride), scaledWidth, scaledHeight, 0, 0,
                          clipWidth, clipHeight, filter);
    return;
  }
  if (clipWidth == scaledWidth && clipHeight == scaledHeight) {
    libyuv::ScalePlane(src.pixels, static_cast<int>(src.stride), src.width, src.height, dst.pixels,
                       static_cast<int>(dst.stride), scaledWidth, scaledHeight, filter);
    return;
  }
  // ScalePlane has no clipping: scale whole and keep the part that fits.
  std::vector<std::uint8_t> scaled(static_cast<std::size_t>(scaledWidth) * scaledHeight);
  libyuv::ScalePlane(src.pixels, static_cast<int>(src.stride), src.width, src.height, scaled.data(),
                     scaledWidth, scaledWidth, scaledHeight, filter);
  for (int row = 0; row < clipHeight; ++row) {
    std::memcpy(dst.Row(row), scaled.data() + static_cast<std::size_t>(row) * scaledWidth,
                clipWidth);
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
  if (src.channels != dst.channels || (src.channels != 1 && src.channels != 4) ||
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
  const auto filter =
      interpolate == IPL_INTER_LINEAR ? libyuv::kFilterBilinear : libyuv::kFilterNone;
  if (quellor::imaging::RegionsOverlap(src, dst)) {
    // The scalers read rows after writing others: resize from a copy.
    std::vector<std::uint8_t> copy(static_cast<std::size_t>(src.width) * src.channels * src.height);
    ImageRegion staged = src;
    staged.stride = static_cast<std::ptrdiff_t>(src.width) * src.channels;
    staged.pixels = copy.data();
    for (int row = 0; row < src.height; ++row) {
      std::memcpy(staged.Row(row), src.Row(row), static_cast<std::size_t>(staged.stride));
    }
    quellor::imaging::Scale(staged, dst, scaledWidth, scaledHeight, filter);
    return;
  }
  quellor::imaging::Scale(src, dst, scaledWidth, scaledHeight, filter);
}
