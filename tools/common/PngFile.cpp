#include "PngFile.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace quellor::tools {
namespace {

// Everything libpng's long jump must not skip over lives outside the
// setjmp frame.
struct PngWrite {
  std::FILE* file = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngWrite() {
    if (png != nullptr) png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
    if (file != nullptr) std::fclose(file);
  }
};

bool Encode(PngWrite& write, std::uint32_t width, std::uint32_t height,
            const std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(write.png))) return false;
  png_init_io(write.png, write.file);
  png_set_IHDR(write.png, write.info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(write.png, write.info);
  png_write_image(write.png, const_cast<png_bytepp>(rows.data()));
  png_write_end(write.png, nullptr);
  return true;
}

}  // namespace

bool WritePng(const std::string& path, std::uint32_t width, std::uint32_t height,
              const std::uint8_t* bgra, std::string* error) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  for (std::size_t pixel = 0; pixel < static_cast<std::size_t>(width) * height; ++pixel) {
    rgb[pixel * 3 + 0] = bgra[pixel * 4 + 2];
    rgb[pixel * 3 + 1] = bgra[pixel * 4 + 1];
    rgb[pixel * 3 + 2] = bgra[pixel * 4 + 0];
  }
  std::vector<png_bytep> rows(height);
  for (std::uint32_t y = 0; y < height; ++y)
    rows[y] = rgb.data() + static_cast<std::size_t>(y) * width * 3;

  PngWrite write;
  write.file = std::fopen(path.c_str(), "wb");
  if (write.file == nullptr) {
    *error = "cannot create " + path + ": " + std::strerror(errno);
    return false;
  }
  write.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (write.png != nullptr) write.info = png_create_info_struct(write.png);
  if (write.png == nullptr || write.info == nullptr || !Encode(write, width, height, rows)) {
    *error = "cannot write the picture to " + path;
    return false;
  }
  if (std::fclose(write.file) != 0) {
    write.file = nullptr;
    *error = "cannot write the picture to " + path;
    return false;
  }
  write.file = nullptr;
  return true;
}

}  // namespace quellor::tools
