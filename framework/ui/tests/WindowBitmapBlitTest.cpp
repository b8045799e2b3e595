// WindowBitmap against the window system: system bitmaps read in, stretched
// blits, and four-component JPEG files, pixel for pixel.
#include <qlxrapi/WindowBitmap.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <win32/testing/FileFaults.h>

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

TEST(WindowBitmapSystem, JpegsAreWrittenAtTheGivenQualityWithBaselineTables) {
  WindowBitmap picture(24, 10);
  picture.Clear(WindowPixel{30, 60, 90, 200});
  // The standard luminance table starts at 16: quality 50 keeps it, 10
  // scales it by five, 95 by a tenth; quality 1 would pass 255 but the
  // tables are held to baseline ones.
  for (const auto& [quality, first] :
       std::vector<std::pair<int, int>>{{50, 16}, {10, 80}, {95, 2}, {1, 255}}) {
    const std::string path = TempPath("quality" + std::to_string(quality) + ".jpg");
    ASSERT_TRUE(picture.Write_JPEG(const_cast<char*>(path.c_str()), quality, false));
    const uitest::JpegHeader header = uitest::ReadJpegHeader(path);
    EXPECT_EQ(first, header.firstStep) << quality;
    EXPECT_LE(header.largestStep, 255) << quality;
    EXPECT_TRUE(header.baseline);
    EXPECT_EQ(24, header.width);
    EXPECT_EQ(10, header.height);
    EXPECT_EQ(3, header.components);
  }
  // The mask written alone is a grey picture of the alpha bytes.
  const std::string mask = TempPath("mask.jpg");
  ASSERT_TRUE(picture.Write_JPEG(const_cast<char*>(mask.c_str()), 95, true));
  WindowBitmap back;
  ASSERT_TRUE(back.ReadBitmapFile(const_cast<char*>(mask.c_str())));
  const WindowPixel p = *back.GetPixel(12, 5);
  EXPECT_NEAR(200, p.red, 2);
  EXPECT_NEAR(200, p.green, 2);
  EXPECT_NEAR(200, p.blue, 2);
  // A file that cannot be made, and an empty picture, are not written.
  EXPECT_FALSE(picture.Write_JPEG(const_cast<char*>("/nonexistent-folder/x.jpg"), 75, false));
  WindowBitmap empty;
  EXPECT_FALSE(empty.Write_JPEG(const_cast<char*>(TempPath("empty.jpg").c_str()), 75, false));
}

std::string FileText(const std::string& path) {
  std::string text;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
      text.append(buffer, got);
    std::fclose(file);
  }
  return text;
}

void PutText(const std::string& path, const std::string& text) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, file);
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

bool HasPartFile(const std::string& folder) {
  const std::string command = "ls -a \"" + folder + "\" | grep -q '\\.part-'";
  return std::system(command.c_str()) == 0;
}

TEST(WindowBitmapSystem, AJpegThatCannotBeWrittenWholeLeavesTheOldFile) {
  using quellor::win32::testing::FileFault;
  using quellor::win32::testing::ScopedFileFault;
  const std::string folder = TempPath("jpeg-replace");
  std::system(("rm -rf \"" + folder + "\" && mkdir -p \"" + folder + "\"").c_str());
  const std::string path = folder + "/photo.jpg";
  PutText(path, "the old picture");
  WindowBitmap picture(64, 48);
  picture.Clear(WindowPixel{30, 60, 90, 200});
  // A disk that fills up part-way, and one that fails at once.
  for (const auto& [fault, after] : std::vector<std::pair<FileFault, int>>{
           {FileFault::DiskFull, 100}, {FileFault::WriteError, 0}}) {
    ScopedFileFault full("photo.jpg", fault, -1);
    full.AfterBytes(after);
    EXPECT_FALSE(picture.Write_JPEG(const_cast<char*>(path.c_str()), 75, false));
    EXPECT_GT(full.Triggered(), 0);
  }
  EXPECT_EQ("the old picture", FileText(path));
  EXPECT_FALSE(HasPartFile(folder));
  // Replaced whole, a private picture stays private.
  ASSERT_EQ(0, chmod(path.c_str(), 0600));
  ASSERT_TRUE(picture.Write_JPEG(const_cast<char*>(path.c_str()), 75, false));
  struct stat info {};
  ASSERT_EQ(0, stat(path.c_str(), &info));
  EXPECT_EQ(0600u, info.st_mode & 0777u);
  PutText(path, "the old picture");
  // A name that is a folder cannot be replaced; nothing is left beside it.
  const std::string taken = folder + "/taken.jpg";
  ASSERT_EQ(0, mkdir(taken.c_str(), 0755));
  EXPECT_FALSE(picture.Write_JPEG(const_cast<char*>(taken.c_str()), 75, false));
  EXPECT_FALSE(HasPartFile(folder));
  // Through a link the picture it points to is replaced, and the link stays.
  const std::string link = folder + "/link.jpg";
  ASSERT_EQ(0, symlink("photo.jpg", link.c_str()));
  ASSERT_TRUE(picture.Write_JPEG(const_cast<char*>(link.c_str()), 75, false));
  char target[64] = {};
  EXPECT_EQ(9, readlink(link.c_str(), target, sizeof target - 1));
  EXPECT_EQ(0xFF, static_cast<unsigned char>(FileText(path)[0]));  // a JPEG's first byte
  WindowBitmap back;
  ASSERT_TRUE(back.ReadBitmapFile(const_cast<char*>(path.c_str())));
  EXPECT_EQ(64u, back.GetWidth());
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

namespace {

// (s * a + d * (256 - a)) >> 8 for blue, green and red; d's alpha stays.
std::uint32_t Blended(std::uint32_t s, std::uint32_t d) {
  const std::uint32_t a = s >> 24;
  std::uint32_t out = d & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8)
    out |= (((s >> shift & 0xFF) * a + (d >> shift & 0xFF) * (256 - a)) >> 8) << shift;
  return out;
}

struct Noise {
  std::uint32_t state = 2463534242u;
  std::uint32_t operator()() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
};

// A picture wide enough for every row function (a 37-pixel row takes the
// widest vector steps and a tail), extreme alphas included.
void FillNoise(WindowBitmap& picture, Noise& noise) {
  for (unsigned long y = 0; y < picture.GetHeight(); ++y)
    for (unsigned long x = 0; x < picture.GetWidth(); ++x) {
      std::uint32_t w = noise();
      if (x % 7 == 0) w |= 0xFF000000u;
      if (x % 11 == 0) w &= 0x00FFFFFFu;
      std::memcpy(static_cast<void*>(picture.GetPixel(x, y)), &w, 4);
    }
}

std::uint32_t WordAt(WindowBitmap& picture, unsigned long x, unsigned long y) {
  std::uint32_t w;
  std::memcpy(&w, picture.GetPixel(x, y), 4);
  return w;
}

TEST(AlphaBlit, EveryPixelOfWideRowsFollowsTheFormulaInsideTheClipOnly) {
  Noise noise;
  WindowBitmap picture(37, 5), surface(50, 9), before(50, 9);
  FillNoise(picture, noise);
  FillNoise(surface, noise);
  before.CopyFrom(&surface);
  HRGN clip = CreateRectRgn(10, 3, 45, 6);
  SelectClipRgn(surface.GetHDC(), clip);
  DeleteObject(clip);
  ASSERT_TRUE(picture.AlphaBitBlit(surface.GetHDC(), 3, 2));
  SelectClipRgn(surface.GetHDC(), nullptr);
  GdiFlush();
  for (unsigned long y = 0; y < 9; ++y)
    for (unsigned long x = 0; x < 50; ++x) {
      const bool covered = x >= 3 && x < 40 && y >= 2 && y < 7;
      const bool clipped = x >= 10 && x < 45 && y >= 3 && y < 6;
      const std::uint32_t expected =
          covered && clipped ? Blended(WordAt(picture, x - 3, y - 2), WordAt(before, x, y))
                             : WordAt(before, x, y);
      ASSERT_EQ(expected, WordAt(surface, x, y)) << x << "," << y;
    }
}

TEST(AlphaBlit, LandsAtTheViewportOriginAndOffTheEdgesOfTheSurface) {
  Noise noise;
  WindowBitmap picture(20, 4), surface(16, 6), before(16, 6);
  FillNoise(picture, noise);
  FillNoise(surface, noise);
  before.CopyFrom(&surface);
  POINT old{};
  SetViewportOrgEx(surface.GetHDC(), 2, 1, &old);
  ASSERT_TRUE(picture.AlphaBitBlit(surface.GetHDC(), -5, 3));  // device (-3, 4)
  SetViewportOrgEx(surface.GetHDC(), old.x, old.y, nullptr);
  for (unsigned long y = 0; y < 6; ++y)
    for (unsigned long x = 0; x < 16; ++x) {
      const bool covered = y >= 4;
      const std::uint32_t expected =
          covered ? Blended(WordAt(picture, x + 3, y - 4), WordAt(before, x, y))
                  : WordAt(before, x, y);
      ASSERT_EQ(expected, WordAt(surface, x, y)) << x << "," << y;
    }
}

TEST(AlphaBlit, OntoAWindowBlendsWithWhatTheWindowShows) {
  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 10, nullptr,
                                nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, window);
  HDC dc = GetDC(window);
  RECT all{0, 0, 40, 10};
  HBRUSH brush = CreateSolidBrush(RGB(10, 120, 230));
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  Noise noise;
  WindowBitmap picture(33, 3);
  FillNoise(picture, noise);
  ASSERT_TRUE(picture.AlphaBitBlit(dc, 4, 5));
  for (unsigned long y = 0; y < 3; ++y)
    for (unsigned long x = 0; x < 33; ++x) {
      const std::uint32_t expected = Blended(WordAt(picture, x, y), 0x000A78E6u | 0xFF000000u);
      const COLORREF got = ::GetPixel(dc, int(x) + 4, int(y) + 5);
      ASSERT_EQ(RGB(expected >> 16 & 0xFF, expected >> 8 & 0xFF, expected & 0xFF), got)
          << x << "," << y;
    }
  EXPECT_EQ(RGB(10, 120, 230), ::GetPixel(dc, 3, 5));
  ReleaseDC(window, dc);
  DestroyWindow(window);
  uitest::Settle();
}

}  // namespace
