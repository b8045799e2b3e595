// Pictures for the imaging tests: headers with their own pixels, a seeded
// pattern, and JPEGs made with libjpeg's compressor.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/ImageLibrary.h"

namespace quellor::imaging::testing {

struct HeaderDeleter {
  void operator()(IplImage* image) const { iplDeallocate(image, IPL_IMAGE_ALL); }
};
using Picture = std::unique_ptr<IplImage, HeaderDeleter>;

// A picture of width x height with nChannels bytes a pixel, rows aligned to 8
// bytes, pixels allocated and filled with fill.
Picture MakePicture(int width, int height, int nChannels = 4, int fill = 0);

// Pixel byte (x, y, channel) of the whole picture, ignoring its ROI.
std::uint8_t& At(IplImage* image, int x, int y, int channel = 0);

// Fills every byte with a repeatable noise pattern.
void FillPattern(IplImage* image, unsigned seed);

// A JPEG in memory made from rows of "components" bytes a pixel.
// colourSpace: JCS_GRAYSCALE, JCS_RGB or JCS_CMYK (a J_COLOR_SPACE value).
std::vector<std::uint8_t> EncodeJpeg(const std::vector<std::uint8_t>& pixels, int width, int height,
                                     int components, int colourSpace, int quality);

}  // namespace quellor::imaging::testing
