// WindowBitmap against the window system: system bitmaps read in, stretched
// blits, and four-component JPEG files, pixel for pixel.
#include <qlxrapi/WindowBitmap.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "JpegTestFiles.h"
#include "WindowTesting.h"

namespace {

std::string TempPath(const std::string& name) {
  const char* dir = std::getenv("QUELLOR_TEST_TMP");
  return std::string(dir ? dir : "/tmp") + "/" + name;
}

std::uint32_t Word(const WindowPixel& p) {
  return std::uint32_t{p.blue} | std::uint32_t{p.green} << 8 | std::uint32_t{p.red} << 16 |
         std::uint32_t{p.alpha} << 24;
}

// 0xAARRGGBB of pixel (x, y) in the test pictures.
std::uint32_t Pattern(int x, int y) {
  return 0x80000000u | std::uint32_t(x * 40 + 3) << 16 | std::uint32_t(y * 50 + 5) << 8 |
         std::uint32_t(x + y * 7);
}

TEST(WindowBitmapSystem, GetBitmapReadsDeviceBitmapsTopDown) {
  std::vector<std::uint32_t> bits;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) bits.push_back(Pattern(x, y));
  HBITMAP bitmap = CreateBitmap(4, 3, 1, 32, bits.data());
  ASSERT_NE(nullptr, bitmap);
  WindowBitmap picture(9, 9);
  ASSERT_TRUE(picture.GetBitmap(bitmap));
  ASSERT_EQ(4u, picture.GetWidth());
  ASSERT_EQ(3u, picture.GetHeight());
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(Pattern(x, y) & 0xFFFFFF, Word(*picture.GetPixel(x, y)) & 0xFFFFFF)
          << x << "," << y;
  DeleteObject(bitmap);
  EXPECT_FALSE(picture.GetBitmap(nullptr));
}

TEST(WindowBitmapSystem, GetBitmapTurnsBottomUpSectionsTheRightWayUp) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 2;
  info.bmiHeader.biHeight = 3;  // bottom-up: the first row in memory is the lowest
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  ASSERT_NE(nullptr, section);
  auto* words = static_cast<std::uint32_t*>(bits);
  for (int row = 0; row < 3; ++row)
    for (int x = 0; x < 2; ++x) words[row * 2 + x] = Pattern(x, 2 - row);
  WindowBitmap picture;
  ASSERT_TRUE(picture.GetBitmap(section));
  ASSERT_EQ(3u, picture.GetHeight());
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x)
      EXPECT_EQ(Pattern(x, y) & 0xFFFFFF, Word(*picture.GetPixel(x, y)) & 0xFFFFFF)
          << x << "," << y;
  DeleteObject(section);
}

TEST(WindowBitmapSystem, StretchAtTheSameSizeIsAnExactCopyAndOtherwiseFillsTheTarget) {
  WindowBitmap surface(8, 6), picture(2, 2);
  surface.Clear(WindowPixel{1, 1, 1, 0});
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) {
      const std::uint32_t w = Pattern(x, y);
      *picture.GetPixel(x, y) = WindowPixel{std::uint8_t(w), std::uint8_t(w >> 8),
                                            std::uint8_t(w >> 16), std::uint8_t(w >> 24)};
    }
  ASSERT_TRUE(picture.BitBlitStretch(surface.GetHDC(), 3, 2, 2, 2));
  GdiFlush();
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x)
      EXPECT_EQ(Pattern(x, y) & 0xFFFFFF, Word(*surface.GetPixel(3 + x, 2 + y)) & 0xFFFFFF);
  EXPECT_EQ(0x010101u, Word(*surface.GetPixel(2, 2)) & 0xFFFFFF);

  // A flat picture stretched 3 x 2 times covers exactly its target.
  picture.Clear(WindowPixel{30, 60, 90, 255});
  surface.Clear(WindowPixel{1, 1, 1, 0});
  ASSERT_TRUE(picture.BitBlitStretch(surface.GetHDC(), 1, 1, 6, 4));
  GdiFlush();
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 1 && x < 7 && y >= 1 && y < 5;
      EXPECT_EQ(inside ? 0x5A3C1Eu : 0x010101u, Word(*surface.GetPixel(x, y)) & 0xFFFFFF)
          << x << "," << y;
    }
  WindowBitmap empty;
  EXPECT_FALSE(empty.BitBlitStretch(surface.GetHDC(), 0, 0, 4, 4));
  EXPECT_FALSE(picture.BitBlitStretch(static_cast<HDC>(nullptr), 0, 0, 4, 4));
}

TEST(WindowBitmapSystem, FourComponentJpegsArriveAsRedGreenBlueAlpha) {
  const std::vector<std::array<std::uint8_t, 4>> blocks = {{200, 100, 50, 255}, {16, 32, 64, 128}};
  for (bool ycck : {false, true}) {
    const std::string path = TempPath(ycck ? "four_ycck.JPE" : "four_cmyk.jpg");
    ASSERT_TRUE(uitest::WriteFourComponentJpeg(path, ycck, blocks));
    WindowBitmap picture;
    ASSERT_TRUE(picture.ReadBitmapFile(const_cast<char*>(path.c_str()))) << path;
    ASSERT_EQ(32u, picture.GetWidth());
    ASSERT_EQ(16u, picture.GetHeight());
    // Plain CMYK samples come back exactly; the YCCK colour transform may
    // round each by one.
    const int tolerance = ycck ? 1 : 0;
    for (int block = 0; block < 2; ++block)
      for (int y : {0, 7, 15})
        for (int x : {2, 7, 13}) {
          const WindowPixel& p = *picture.GetPixel(block * 16 + x, y);
          const auto& c = blocks[block];
          const int got[4] = {p.red, p.green, p.blue, p.alpha};
          for (int k = 0; k < 4; ++k)
            EXPECT_LE(std::abs(got[k] - c[k]), tolerance)
                << path << " block " << block << " at " << x << "," << y << " component " << k;
        }
    // Alpha mode leaves a four-component picture as it was.
    picture.Clear(WindowPixel{9, 9, 9, 9});
    ASSERT_TRUE(picture.Read_JPEG(const_cast<char*>(path.c_str()), true));
    EXPECT_EQ(0x09090909u, Word(*picture.GetPixel(20, 3)));
  }
}

TEST(WindowBitmapSystem, TruncatedJpegFailsAndLeavesNoOpenFile) {
  const std::string path = TempPath("cut.jpg");
  ASSERT_TRUE(uitest::WriteFourComponentJpeg(path, false, {{1, 2, 3, 4}}));
  std::FILE* file = std::fopen(path.c_str(), "r+b");
  ASSERT_NE(nullptr, file);
  ASSERT_EQ(0, ftruncate(fileno(file), 120));
  std::fclose(file);
  WindowBitmap picture;
  for (int i = 0; i < 64; ++i) picture.ReadBitmapFile(const_cast<char*>(path.c_str()));
  EXPECT_FALSE(picture.Read_JPEG(const_cast<char*>((path + ".none").c_str()), false));
}

}  // namespace
