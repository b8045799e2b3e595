#include "TestJpeg.h"

#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace quellor::clipviewer::testing {

void WriteJpeg(const std::string& path, int width, int height, int components, std::uint32_t rgb) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = components;
  info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(width) * components);
  for (int x = 0; x < width; ++x) {
    if (components == 1) {
      row[x] = static_cast<JSAMPLE>(rgb & 0xFF);
    } else {
      row[x * 3] = static_cast<JSAMPLE>(rgb >> 16);
      row[x * 3 + 1] = static_cast<JSAMPLE>(rgb >> 8);
      row[x * 3 + 2] = static_cast<JSAMPLE>(rgb);
    }
  }
  while (info.next_scanline < info.image_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}

}  // namespace quellor::clipviewer::testing
