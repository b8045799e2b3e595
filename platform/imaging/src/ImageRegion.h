// The rectangle of pixels an operation works on: a header's region of
// interest resolved against its picture, checked once. Also the status every
// call leaves behind.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imaging/ImageLibrary.h"

namespace quellor::imaging {

struct ImageRegion {
  std::uint8_t* pixels = nullptr;  // top-left pixel of the region
  std::ptrdiff_t stride = 0;       // bytes from one row to the next
  int width = 0;                   // pixels
  int height = 0;                  // rows
  int channels = 0;                // bytes per pixel
  // The whole picture, for filters that read around the region.
  int x = 0;  // region's offset in the picture
  int y = 0;
  int pictureWidth = 0;
  int pictureHeight = 0;

  std::uint8_t* Row(int row) const { return pixels + row * stride; }
  bool Empty() const { return width <= 0 || height <= 0; }
};

// Resolves image's ROI (null: the whole picture). Fails, leaving a status,
// when the header is null or of a layout the library does not serve, when it
// has no pixels, or when the region leaves the picture.
bool ResolveRegion(const IplImage* image, ImageRegion& region);

// True when the two regions' bytes may overlap.
bool RegionsOverlap(const ImageRegion& a, const ImageRegion& b);

void SetStatus(IplStatus status);

}  // namespace quellor::imaging
