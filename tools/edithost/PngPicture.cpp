#include "PngPicture.h"

#include <png.h>

#include <cstring>

namespace quellor::edithost {

bool ReadPngPicture(const std::string& path, BgraPicture* picture, std::string* error) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    *error = image.message;
    return false;
  }
  // Anything larger than a broadcast picture many times over is refused
  // before memory is asked for it.
  if (image.width == 0 || image.height == 0 || image.width > 16384 || image.height > 16384) {
    png_image_free(&image);
    *error = "the picture size is out of range";
    return false;
  }
  image.format = PNG_FORMAT_BGRA;
  picture->width = image.width;
  picture->height = image.height;
  picture->pixels.assign(PNG_IMAGE_SIZE(image), 0);
  if (!png_image_finish_read(&image, nullptr, picture->pixels.data(), 0, nullptr)) {
    *error = image.message;
    png_image_free(&image);
    return false;
  }
  return true;
}

}  // namespace quellor::edithost
