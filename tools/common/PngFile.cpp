#include "PngFile.h"

#include <png.h>
#include <zlib.h>

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
            const std::vector<png_bytep>& rows, PngEffort effort) {
  if (setjmp(png_jmpbuf(write.png))) return false;
  png_init_io(write.png, write.file);
  png_set_IHDR(write.png, write.info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (effort == PngEffort::Fast) {
    png_set_filter(write.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_compression_level(write.png, Z_BEST_SPEED);
  }
  png_write_info(write.png, write.info);
  // The rows are BGRA: libpng swaps to RGB and drops the fourth byte itself.
  png_set_bgr(write.png);
  png_set_filler(write.png, 0, PNG_FILLER_AFTER);
  png_write_image(write.png, const_cast<png_bytepp>(rows.data()));
  png_write_end(write.png, nullptr);
  return true;
}

}  // namespace

bool WritePng(const std::string& path, std::uint32_t width, std::uint32_t height,
              const std::uint8_t* bgra, std::string* error, PngEffort effort) {
  // libpng reads the rows only.
  std::vector<png_bytep> rows(height);
  for (std::uint32_t y = 0; y < height; ++y)
    rows[y] = const_cast<png_bytep>(bgra) + static_cast<std::size_t>(y) * width * 4;

  PngWrite write;
  write.file = std::fopen(path.c_str(), "wb");
  if (write.file == nullptr) {
    *error = "cannot create " + path + ": " + std::strerror(errno);
    return false;
  }
  write.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (write.png != nullptr) write.info = png_create_info_struct(write.png);
  if (write.png == nullptr || write.info == nullptr ||
      !Encode(write, width, height, rows, effort)) {
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
