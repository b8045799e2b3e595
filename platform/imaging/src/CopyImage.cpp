// iplCopy: row copies between two regions of interest.
#include <algorithm>
#include <cstring>

#include "ImageRegion.h"
#include "imaging/ImageLibrary.h"

using quellor::imaging::ImageRegion;
using quellor::imaging::SetStatus;

extern "C" void iplCopy(IplImage* srcImage, IplImage* dstImage) {
  ImageRegion src, dst;
  if (!quellor::imaging::ResolveRegion(srcImage, src) ||
      !quellor::imaging::ResolveRegion(dstImage, dst)) {
    return;
  }
  if (src.channels != dst.channels) {
    SetStatus(IPL_StsUnsupported);
    return;
  }
  SetStatus(IPL_StsOk);
  const int width = std::min(src.width, dst.width);
  const int height = std::min(src.height, dst.height);
  if (width <= 0 || height <= 0) return;
  const std::size_t rowBytes = static_cast<std::size_t>(width) * src.channels;
  // A region moved down within the same memory is copied bottom row first,
  // so that no source row is overwritten before it is read; memmove handles
  // the overlap within a row.
  if (dst.pixels > src.pixels && quellor::imaging::RegionsOverlap(src, dst)) {
    for (int row = height - 1; row >= 0; --row) std::memmove(dst.Row(row), src.Row(row), rowBytes);
    return;
  }
  for (int row = 0; row < height; ++row) std::memmove(dst.Row(row), src.Row(row), rowBytes);
}
