#include "ClipboardPng.h"

#include <png.h>

#include <cstring>

#include "ClipboardText.h"

namespace quellor::display {

namespace {

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
uint32_t Get32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

std::vector<uint8_t> PngFileToDib(const std::vector<uint8_t>& file, std::string& error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) {
    error = std::string("not a PNG file (") + image.message + ")";
    return {};
  }
  // The header's size is checked before any pixel memory is taken.
  if (image.width == 0 || image.height == 0 || image.width > kMaxPictureSide ||
      image.height > kMaxPictureSide ||
      size_t(image.width) * image.height * 4 + 40 > kMaxTransferBytes) {
    png_image_free(&image);
    error = "the picture is too large";
    return {};
  }
  image.format = PNG_FORMAT_BGRA;
  const size_t stride = size_t(image.width) * 4;
  std::vector<uint8_t> dib(40 + stride * image.height);
  Put32(&dib[0], 40);
  Put32(&dib[4], image.width);
  Put32(&dib[8], image.height);  // bottom-up, as DIBs usually are
  dib[12] = 1;
  dib[14] = 32;
  Put32(&dib[20], uint32_t(stride * image.height));
  // A negative stride stores the picture bottom-up; libpng finds the last
  // row itself from the start of the buffer.
  if (!png_image_finish_read(&image, nullptr, dib.data() + 40, -png_int_32(stride), nullptr)) {
    error = std::string("the PNG file is damaged (") + image.message + ")";
    png_image_free(&image);
    return {};
  }
  return dib;
}

std::vector<uint8_t> DibToPngFile(const std::vector<uint8_t>& dib) {
  // Check the DIB the same way as for BMP files, then take 24/32-bit ones.
  if (DibToBmpFile(dib).empty()) return {};
  const uint32_t headerSize = Get32(&dib[0]);
  const int32_t width = int32_t(Get32(&dib[4]));
  int32_t height = int32_t(Get32(&dib[8]));
  const uint16_t bits = uint16_t(dib[14] | dib[15] << 8);
  if ((bits != 24 && bits != 32) || Get32(&dib[16]) != 0) return {};
  const bool topDown = height < 0;
  if (topDown) height = -height;
  const size_t sourceStride = ((size_t(width) * bits + 31) / 32) * 4;
  const size_t stride = size_t(width) * 3;
  std::vector<uint8_t> bgr(stride * size_t(height));
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* source =
        dib.data() + headerSize + sourceStride * size_t(topDown ? y : height - 1 - y);
    uint8_t* target = bgr.data() + stride * size_t(y);
    for (int32_t x = 0; x < width; ++x) std::memcpy(target + 3 * x, source + x * (bits / 8), 3);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = PNG_FORMAT_BGR;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, bgr.data(), 0, nullptr)) return {};
  std::vector<uint8_t> file(size);
  if (!png_image_write_to_memory(&image, file.data(), &size, 0, bgr.data(), 0, nullptr)) return {};
  file.resize(size);
  return file;
}

}  // namespace quellor::display
