// iplFixedFilter: the 3 x 3 Gaussian over a region of interest. Each output
// row weighs three source rows into a work row (columns pass), then weighs
// each work pixel with its left and right neighbours (across pass). Neighbours come
// from the picture around the region; beyond the picture's edge the edge row
// or column repeats.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "GaussianRows.h"
#include "ImageRegion.h"
#include "imaging/ImageLibrary.h"

namespace quellor::imaging {
namespace {

// Filters width x height pixels of src (neighbours read around it within its
// picture) into dst.
void FilterRegion(const ImageRegion& src, const ImageRegion& dst, int width, int height) {
  const GaussianRows& rows = ChosenGaussianRows();
  const int step = src.channels;
  const int left = src.x > 0 ? 1 : 0;
  const int right = src.x + width < src.pictureWidth ? 1 : 0;
  // work[step + i] belongs to region byte i; one pixel of room each side.
  // Kept per thread so that a steady picture size allocates nothing.
  thread_local std::vector<std::uint8_t> workRow;
  workRow.resize(static_cast<std::size_t>(width + 2) * step);
  std::uint8_t* work = workRow.data() + step;
  const int count = width * step;
  for (int row = 0; row < height; ++row) {
    const int pictureRow = src.y + row;
    const int aboveRow = pictureRow > 0 ? row - 1 : row;
    const int belowRow = pictureRow + 1 < src.pictureHeight ? row + 1 : row;
    const std::ptrdiff_t first = -static_cast<std::ptrdiff_t>(left) * step;
    rows.columns(src.Row(aboveRow) + first, src.Row(row) + first, src.Row(belowRow) + first,
                 work + first, (width + left + right) * step);
    if (!left) std::memcpy(work - step, work, step);
    if (!right) std::memcpy(work + count, work + count - step, step);
    rows.across(work, dst.Row(row), count, step);
  }
}

// The same through a copy of the source region and its neighbours, for a
// destination that shares memory with the source.
void FilterRegionStaged(const ImageRegion& src, const ImageRegion& dst, int width, int height) {
  const int left = src.x > 0 ? 1 : 0;
  const int top = src.y > 0 ? 1 : 0;
  const int right = src.x + width < src.pictureWidth ? 1 : 0;
  const int bottom = src.y + height < src.pictureHeight ? 1 : 0;
  ImageRegion staged = src;
  staged.stride = static_cast<std::ptrdiff_t>(width + left + right) * src.channels;
  staged.pictureWidth = width + left + right;
  staged.pictureHeight = height + top + bottom;
  staged.x = left;
  staged.y = top;
  std::vector<std::uint8_t> copy(static_cast<std::size_t>(staged.stride) * staged.pictureHeight);
  staged.pixels = copy.data() + top * staged.stride + left * src.channels;
  for (int row = -top; row < height + bottom; ++row) {
    std::memcpy(staged.Row(row) - left * src.channels, src.Row(row) - left * src.channels,
                static_cast<std::size_t>(staged.stride));
  }
  FilterRegion(staged, dst, width, height);
}

// The source region with the neighbours the filter reads around it.
ImageRegion WithNeighbours(const ImageRegion& src) {
  ImageRegion around = src;
  const int left = src.x > 0 ? 1 : 0;
  const int top = src.y > 0 ? 1 : 0;
  around.pixels -= top * src.stride + left * src.channels;
  around.width += left + (src.x + src.width < src.pictureWidth ? 1 : 0);
  around.height += top + (src.y + src.height < src.pictureHeight ? 1 : 0);
  return around;
}

}  // namespace
}  // namespace quellor::imaging

using quellor::imaging::ImageRegion;
using quellor::imaging::SetStatus;

extern "C" int iplFixedFilter(IplImage* srcImage, IplImage* dstImage, IplFilter filter) {
  ImageRegion src, dst;
  if (!quellor::imaging::ResolveRegion(srcImage, src) ||
      !quellor::imaging::ResolveRegion(dstImage, dst)) {
    return 0;
  }
  if (filter != IPL_GAUSSIAN_3x3 || src.channels != dst.channels) {
    SetStatus(IPL_StsUnsupported);
    return 0;
  }
  SetStatus(IPL_StsOk);
  const int width = std::min(src.width, dst.width);
  const int height = std::min(src.height, dst.height);
  if (width <= 0 || height <= 0) return 1;
  src.width = width;
  src.height = height;
  if (quellor::imaging::RegionsOverlap(quellor::imaging::WithNeighbours(src), dst)) {
    quellor::imaging::FilterRegionStaged(src, dst, width, height);
  } else {
    quellor::imaging::FilterRegion(src, dst, width, height);
  }
  return 1;
}
