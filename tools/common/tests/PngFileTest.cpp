// The tools' PNG writer: BGRA rows come out as RGB in either effort, and a
// file that cannot be made is an error, not a crash.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "PngFile.h"

namespace {

using quellor::tools::PngEffort;

std::string TempPath(const std::string& name) {
  const char* root = std::getenv("QUELLOR_TEST_TMP");
  const std::filesystem::path folder = std::filesystem::path(root ? root : "/tmp") / "png-file";
  std::filesystem::create_directories(folder);
  return (folder / name).string();
}

// The file's pixels as RGB bytes, with its size; empty when it is no PNG.
std::vector<uint8_t> ReadRgb(const std::string& path, uint32_t& width, uint32_t& height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
  width = image.width;
  height = image.height;
  return rgb;
}

TEST(PngFileTest, BgraRowsBecomeRgbPixelsAtEitherEffort) {
  constexpr uint32_t kWidth = 37, kHeight = 11;  // odd sizes: no row padding assumed
  std::vector<uint8_t> bgra(size_t(kWidth) * kHeight * 4);
  for (size_t i = 0; i < bgra.size(); ++i) bgra[i] = uint8_t(i * 7 + i / 13);
  for (PngEffort effort : {PngEffort::Smallest, PngEffort::Fast}) {
    const std::string path = TempPath(effort == PngEffort::Fast ? "fast.png" : "small.png");
    std::string error;
    ASSERT_TRUE(quellor::tools::WritePng(path, kWidth, kHeight, bgra.data(), &error, effort))
        << error;
    uint32_t width = 0, height = 0;
    const std::vector<uint8_t> rgb = ReadRgb(path, width, height);
    ASSERT_EQ(width, kWidth);
    ASSERT_EQ(height, kHeight);
    for (size_t pixel = 0; pixel < size_t(kWidth) * kHeight; ++pixel) {
      ASSERT_EQ(rgb[pixel * 3 + 0], bgra[pixel * 4 + 2]) << pixel;
      ASSERT_EQ(rgb[pixel * 3 + 1], bgra[pixel * 4 + 1]) << pixel;
      ASSERT_EQ(rgb[pixel * 3 + 2], bgra[pixel * 4 + 0]) << pixel;
    }
  }
  // The input is only read.
  EXPECT_EQ(bgra[5], uint8_t(5 * 7));
}

TEST(PngFileTest, AFileThatCannotBeMadeIsAnError) {
  const uint8_t pixel[4] = {1, 2, 3, 4};
  std::string error;
  EXPECT_FALSE(quellor::tools::WritePng("/no/such/folder/x.png", 1, 1, pixel, &error));
  EXPECT_NE(error.find("/no/such/folder/x.png"), std::string::npos);
}

}  // namespace
