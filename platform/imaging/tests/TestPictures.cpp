#include "TestPictures.h"

#include <cstdio>
#include <cstdlib>
#include <random>

#include <jpeglib.h>

namespace quellor::imaging::testing {

Picture MakePicture(int width, int height, int nChannels, int fill) {
  static const char* const kModel[] = {"", "GRAY", "", "RGB", "RGB"};
  static const char* const kSequence[] = {"", "GRAY", "", "BGR", "BGRA"};
  Picture picture(iplCreateImageHeader(
      nChannels, 0, IPL_DEPTH_8U, kModel[nChannels], kSequence[nChannels], IPL_DATA_ORDER_PIXEL,
      IPL_ORIGIN_TL, IPL_ALIGN_QWORD, width, height, nullptr, nullptr, nullptr, nullptr));
  if (picture) iplAllocateImage(picture.get(), 1, fill);
  return picture;
}

std::uint8_t& At(IplImage* image, int x, int y, int channel) {
  return reinterpret_cast<std::uint8_t*>(
      image->imageData)[y * image->widthStep + x * image->nChannels + channel];
}

void FillPattern(IplImage* image, unsigned seed) {
  std::mt19937 random(seed);
  for (int i = 0; i < image->imageSize; ++i) image->imageData[i] = static_cast<char>(random());
}

std::vector<std::uint8_t> EncodeJpeg(const std::vector<std::uint8_t>& pixels, int width, int height,
                                     int components, int colourSpace, int quality) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = components;
  cinfo.in_color_space = static_cast<J_COLOR_SPACE>(colourSpace);
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(
        pixels.data() + static_cast<std::size_t>(cinfo.next_scanline) * width * components);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<std::uint8_t> jpeg(buffer, buffer + size);
  std::free(buffer);
  return jpeg;
}

}  // namespace quellor::imaging::testing
