#include "JpegTestFiles.h"

#include <algorithm>
#include <cstdio>

#include <jpeglib.h>

namespace uitest {

bool WriteFourComponentJpeg(const std::string& path, bool ycck,
                            const std::vector<std::array<std::uint8_t, 4>>& blocks) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr || blocks.empty()) return false;
  jpeg_compress_struct encoder{};
  jpeg_error_mgr errors{};
  encoder.err = jpeg_std_error(&errors);
  jpeg_create_compress(&encoder);
  jpeg_stdio_dest(&encoder, file);
  encoder.image_width = static_cast<JDIMENSION>(16 * blocks.size());
  encoder.image_height = 16;
  encoder.input_components = 4;
  encoder.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&encoder);
  jpeg_set_colorspace(&encoder, ycck ? JCS_YCCK : JCS_CMYK);
  jpeg_set_quality(&encoder, 100, TRUE);
  jpeg_start_compress(&encoder, TRUE);
  std::vector<JSAMPLE> row(encoder.image_width * 4);
  for (std::size_t x = 0; x < encoder.image_width; ++x)
    for (int c = 0; c < 4; ++c) row[x * 4 + c] = blocks[x / 16][c];
  while (encoder.next_scanline < encoder.image_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&encoder, rows, 1);
  }
  jpeg_finish_compress(&encoder);
  jpeg_destroy_compress(&encoder);
  return std::fclose(file) == 0;
}

JpegHeader ReadJpegHeader(const std::string& path) {
  JpegHeader header;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return header;
  // The library's default error exit ends the program: look at the start
  // of the file first.
  unsigned char start[2] = {};
  if (std::fread(start, 1, 2, file) != 2 || start[0] != 0xFF || start[1] != 0xD8) {
    std::fclose(file);
    return header;
  }
  std::rewind(file);
  jpeg_decompress_struct decoder{};
  jpeg_error_mgr errors{};
  decoder.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&decoder);
  jpeg_stdio_src(&decoder, file);
  jpeg_read_header(&decoder, TRUE);
  if (const JQUANT_TBL* table = decoder.quant_tbl_ptrs[0]) {
    header.firstStep = table->quantval[0];
    header.largestStep = 0;
    for (int i = 0; i < DCTSIZE2; ++i)
      header.largestStep = std::max<int>(header.largestStep, table->quantval[i]);
  }
  header.width = static_cast<int>(decoder.image_width);
  header.height = static_cast<int>(decoder.image_height);
  header.components = decoder.num_components;
  header.baseline = !decoder.progressive_mode && !decoder.arith_code;
  jpeg_destroy_decompress(&decoder);
  std::fclose(file);
  return header;
}

}  // namespace uitest
