// WindowBitmap: pixels, blends, masks and files, checked pixel for pixel on
// small surfaces.
#include <qlxrapi/Placement.h>
#include <qlxrapi/WindowBitmap.h>
#include <qlxrapi/codecs/ImageCodecs.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "WindowTesting.h"

namespace {

std::string TempPath(const std::string& name) {
  const char* dir = std::getenv("QUELLOR_TEST_TMP");
  return std::string(dir ? dir : "/tmp") + "/" + name;
}

WindowPixel Px(int b, int g, int r, int a) {
  return WindowPixel{std::uint8_t(b), std::uint8_t(g), std::uint8_t(r), std::uint8_t(a)};
}

bool Same(const WindowPixel& p, const WindowPixel& q) {
  return p.blue == q.blue && p.green == q.green && p.red == q.red && p.alpha == q.alpha;
}

TEST(WindowBitmap, LayoutIsTopDownBGRAWithoutPadding) {
  WindowBitmap picture(3, 2);
  ASSERT_NE(nullptr, picture.GetPixels());
  EXPECT_EQ(reinterpret_cast<std::uint8_t*>(picture.GetPixels()) + (2 + 1 * 3) * 4,
            reinterpret_cast<std::uint8_t*>(picture.GetPixel(2, 1)));
  picture.Clear(Px(1, 2, 3, 4));
  *picture.GetPixel(2, 1) = Px(9, 8, 7, 6);
  EXPECT_TRUE(picture.Resize(3, 2));  // same size: pixels kept
  EXPECT_TRUE(Same(Px(9, 8, 7, 6), *picture.GetPixel(2, 1)));
  // The window system sees the same memory (no copy): a pixel read through
  // the device context is the one written.
  EXPECT_EQ(RGB(7, 8, 9), ::GetPixel(picture.GetHDC(), 2, 1));
  EXPECT_TRUE(picture.Resize(0, 5));
  EXPECT_EQ(nullptr, picture.GetHDC());
  EXPECT_EQ(0u, picture.GetWidth());
}

TEST(WindowBitmap, AlphaBlitBlendsBySourceAlphaOverTheDestination) {
  WindowBitmap surface(4, 1), picture(2, 1);
  surface.Clear(Px(100, 100, 100, 77));
  *picture.GetPixel(0, 0) = Px(200, 0, 255, 255);
  *picture.GetPixel(1, 0) = Px(200, 0, 255, 128);
  ASSERT_TRUE(picture.AlphaBitBlit(surface.GetHDC(), 1, 0));
  GdiFlush();
  EXPECT_TRUE(Same(Px(100, 100, 100, 77), *surface.GetPixel(0, 0)));
  // (s * a + d * (256 - a)) >> 8: alpha 255 keeps 1/256 of the destination.
  EXPECT_TRUE(Same(Px((200 * 255 + 100) >> 8, (100) >> 8, (255 * 255 + 100) >> 8, 77),
                   *surface.GetPixel(1, 0)));
  EXPECT_TRUE(
      Same(Px((200 * 128 + 100 * 128) >> 8, (100 * 128) >> 8, (255 * 128 + 100 * 128) >> 8, 77),
           *surface.GetPixel(2, 0)));
  EXPECT_TRUE(Same(Px(100, 100, 100, 77), *surface.GetPixel(3, 0)));
}

TEST(WindowBitmap, BlitWithNegativeSizeCopiesTheWholePicture) {
  WindowBitmap surface(4, 4), picture(2, 3);
  surface.Clear(Px(0, 0, 0, 0));
  picture.Clear(Px(10, 20, 30, 255));
  ASSERT_TRUE(picture.BitBlit(surface.GetHDC(), 1, 1, -1, -1));
  GdiFlush();
  int coloured = 0;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) coloured += surface.GetPixel(x, y)->blue == 10 ? 1 : 0;
  EXPECT_EQ(6, coloured);
  EXPECT_EQ(10, surface.GetPixel(2, 3)->blue);
}

TEST(WindowBitmap, MaskTakesAlphaAbove253) {
  using namespace uitest;
  Log log;
  auto* window = new TestWindow(log);
  ASSERT_TRUE(window->Open(nullptr, "w", WS_POPUP | WS_VISIBLE));
  WindowBitmap mask(3, 1);
  *mask.GetPixel(0, 0) = Px(0, 0, 0, 253);
  *mask.GetPixel(1, 0) = Px(0, 0, 0, 254);
  *mask.GetPixel(2, 0) = Px(0, 0, 0, 255);
  ASSERT_TRUE(mask.ApplyAsMask(window->GetWindowHandle()));
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  GetWindowRgn(window->GetWindowHandle(), shape);
  RECT box{};
  GetRgnBox(shape, &box);
  EXPECT_EQ((RECT{1, 0, 3, 1}.left), box.left);
  EXPECT_EQ(3, box.right);
  EXPECT_EQ(1, box.bottom);
  DeleteObject(shape);
  ::DestroyWindow(window->GetWindowHandle());
  Settle();
}

TEST(WindowBitmap, JpegRoundTripUpperCaseNameAndAlphaMode) {
  WindowBitmap picture(8, 8);
  picture.Clear(Px(40, 120, 200, 9));
  std::string path = TempPath("round.JPEG");
  ASSERT_TRUE(picture.Write_JPEG(path.data(), 95, false));
  WindowBitmap back(8, 8);
  back.Clear(Px(0, 0, 0, 33));
  ASSERT_TRUE(back.ReadBitmapFile(path.data()));
  const WindowPixel p = *back.GetPixel(4, 4);
  EXPECT_NEAR(40, p.blue, 3);
  EXPECT_NEAR(120, p.green, 3);
  EXPECT_NEAR(200, p.red, 3);
  EXPECT_EQ(33, p.alpha);  // a 3-component file keeps the alpha
  ASSERT_TRUE(back.Read_JPEG(path.data(), true));
  EXPECT_NEAR(200, back.GetPixel(1, 1)->alpha, 3);  // the largest of R, G, B
  EXPECT_NEAR(40, back.GetPixel(1, 1)->blue, 3);    // colours untouched
  std::string missing = TempPath("missing.jpg");
  EXPECT_FALSE(back.ReadBitmapFile(missing.data()));
  std::FILE* junk = std::fopen(TempPath("junk.jpg").c_str(), "wb");
  std::fputs("not a jpeg at all", junk);
  std::fclose(junk);
  std::string junkPath = TempPath("junk.jpg");
  EXPECT_FALSE(back.ReadBitmapFile(junkPath.data()));
  EXPECT_FALSE(back.ReadBitmapFile(nullptr));
}

// A JPEG cut short decodes its missing rows as grey with only a warning from
// the decoder: such a file is not read as a whole picture.
TEST(WindowBitmap, AJpegCutShortIsNotRead) {
  WindowBitmap picture(64, 64);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) *picture.GetPixel(x, y) = Px(x * 4, y * 4, (x ^ y) * 4, 255);
  }
  std::string path = TempPath("cut.jpg");
  ASSERT_TRUE(picture.Write_JPEG(path.data(), 90, false));
  WindowBitmap back(64, 64);
  ASSERT_TRUE(back.Read_JPEG(path.data(), false));
  std::FILE* file = std::fopen(path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  std::vector<char> bytes(1 << 16);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  std::fclose(file);
  ASSERT_GT(bytes.size(), 1000u);
  file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size() / 2, file), bytes.size() / 2);
  ASSERT_EQ(std::fclose(file), 0);
  EXPECT_FALSE(back.Read_JPEG(path.data(), false));
  EXPECT_FALSE(back.ReadBitmapFile(path.data()));
}

// Reads `path` (a FIFO nobody writes) on a thread of its own; false when the
// read had not returned after a few seconds, which is then ended by opening
// and closing the FIFO's other end.
bool ReadReturnsAtOnce(const std::string& path) {
  std::packaged_task<bool()> read([path] {
    WindowBitmap picture(4, 4);
    std::string name = path;
    return picture.ReadBitmapFile(name.data());
  });
  std::future<bool> done = read.get_future();
  std::thread reader(std::move(read));
  const bool returned = done.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  if (!returned) ::close(::open(path.c_str(), O_WRONLY | O_NONBLOCK));
  reader.join();
  EXPECT_FALSE(done.get()) << path;
  return returned;
}

TEST(WindowBitmap, APipeUnderAPictureNameIsRefusedWithoutWaitingForAWriter) {
  for (const char* name : {"pipe.tga", "pipe.jpg"}) {
    const std::string path = TempPath(name);
    ::unlink(path.c_str());
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
    EXPECT_TRUE(ReadReturnsAtOnce(path)) << name << ": the read waited for a writer";
    ::unlink(path.c_str());
  }
}

TEST(WindowBitmap, OtherFormatsComeThroughTheCodecLibraryTopDown) {
  using namespace quellor::codecs;
  ImageCodecInitialise();
  // A 2 x 2, 8-bit BMP: palette entry 1 red, 2 blue; rows bottom-up.
  BitmapRecord record;
  record.width = 2;
  record.height = 2;
  record.bitsPerPixel = 8;
  std::uint8_t palette[kPaletteBytes] = {};
  palette[3] = 255;          // entry 1: red
  palette[2 * 3 + 2] = 255;  // entry 2: blue
  std::vector<std::uint8_t> data(ImageDataSize(record));
  data[0] = 1;      // bottom-left
  data[4 + 1] = 2;  // top-right
  std::string path = TempPath("indexed.bmp");
  std::FILE* file = std::fopen(path.c_str(), "wb");
  int format = 0;
  ASSERT_EQ(kCodecOk, ImageCodecIdentify(path.c_str(), &format));
  ASSERT_EQ(kCodecOk,
            ImageCodecWrite(path.c_str(), file, format, &record, palette, data.data(), nullptr));
  std::fclose(file);
  WindowBitmap picture;
  ASSERT_TRUE(picture.ReadBitmapFile(path.data()));
  EXPECT_TRUE(Same(Px(0, 0, 255, 255), *picture.GetPixel(0, 1)));
  EXPECT_TRUE(Same(Px(255, 0, 0, 255), *picture.GetPixel(1, 0)));
  EXPECT_TRUE(Same(Px(0, 0, 0, 255), *picture.GetPixel(0, 0)));
}

TEST(Placement, CentredTilingCoversFromBothSidesAndStretchBothIgnoresTheRest) {
  using namespace quellor::win;
  std::vector<std::pair<long, long>> at;
  auto record = [&](long x, long y, long, long) {
    at.emplace_back(x, y);
    return true;
  };
  PlaceInRectangle(10, 10, RECT{0, 0, 25, 10}, kCentreHorizontal | kTileHorizontal, record);
  EXPECT_EQ((std::vector<std::pair<long, long>>{{7, 0}, {-3, 0}, {17, 0}}), at);
  at.clear();
  long w = 0, h = 0;
  PlaceInRectangle(10, 10, RECT{2, 3, 40, 50}, 3 | kTileHorizontal | kAlignRight,
                   [&](long x, long y, long cw, long ch) {
                     at.emplace_back(x, y);
                     w = cw, h = ch;
                     return true;
                   });
  EXPECT_EQ((std::vector<std::pair<long, long>>{{2, 3}}), at);
  EXPECT_EQ(38, w);
  EXPECT_EQ(47, h);
  at.clear();
  EXPECT_TRUE(PlaceInRectangle(0, 10, RECT{0, 0, 5, 5}, 0, record));
  EXPECT_TRUE(at.empty());
  PlaceInRectangle(4, 4, RECT{0, 0, 10, 10}, kAlignRight | kAlignBottom, record);
  EXPECT_EQ((std::vector<std::pair<long, long>>{{6, 6}}), at);
}

TEST(WindowBitmap, TiledDrawBlendsEveryCopy) {
  WindowBitmap surface(5, 1), tile(2, 1);
  surface.Clear(Px(0, 0, 0, 255));
  tile.Clear(Px(255, 255, 255, 255));
  RECT r{0, 0, 5, 1};
  ASSERT_TRUE(tile.BitBlitTile(&r, surface.GetHDC(), quellor::win::kTileHorizontal));
  GdiFlush();
  for (int x = 0; x < 5; ++x) EXPECT_EQ(254, surface.GetPixel(x, 0)->blue) << x;
}

// The stretched draw as it is made from scratch: a halftone stretch into a
// picture of the size, blended over what the target holds.
std::vector<WindowPixel> StretchedByHand(WindowBitmap& picture, long width, long height,
                                         WindowPixel under) {
  WindowBitmap stretched(static_cast<unsigned long>(width), static_cast<unsigned long>(height));
  SetStretchBltMode(stretched.GetHDC(), HALFTONE);
  StretchBlt(stretched.GetHDC(), 0, 0, int(width), int(height), picture.GetHDC(), 0, 0,
             int(picture.GetWidth()), int(picture.GetHeight()), SRCCOPY);
  WindowBitmap target(static_cast<unsigned long>(width), static_cast<unsigned long>(height));
  target.Clear(under);
  stretched.AlphaBitBlit(target.GetHDC(), 0, 0);
  return {target.GetPixels(), target.GetPixels() + width * height};
}

std::vector<WindowPixel> StretchedDraw(WindowBitmap& picture, long width, long height,
                                       WindowPixel under) {
  WindowBitmap target(static_cast<unsigned long>(width), static_cast<unsigned long>(height));
  target.Clear(under);
  RECT all{0, 0, LONG(width), LONG(height)};
  EXPECT_TRUE(picture.BitBlitTile(
      &all, target.GetHDC(), quellor::win::kStretchHorizontal | quellor::win::kStretchVertical));
  return {target.GetPixels(), target.GetPixels() + width * height};
}

bool SamePictures(const std::vector<WindowPixel>& a, const std::vector<WindowPixel>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!Same(a[i], b[i])) return false;
  return true;
}

TEST(WindowBitmap, StretchedDrawsFollowEveryChangeOfThePicture) {
  const WindowPixel under = Px(10, 200, 30, 255);
  WindowBitmap picture(7, 5);
  for (unsigned long y = 0; y < 5; ++y)
    for (unsigned long x = 0; x < 7; ++x)
      *picture.GetPixel(x, y) = Px(int(x * 30), int(y * 50), 90, int(128 + x * 10));
  // Drawn again and again at one size, at another, and back.
  for (int round = 0; round < 3; ++round) {
    EXPECT_TRUE(SamePictures(StretchedByHand(picture, 40, 30, under),
                             StretchedDraw(picture, 40, 30, under)));
    EXPECT_TRUE(SamePictures(StretchedByHand(picture, 23, 61, under),
                             StretchedDraw(picture, 23, 61, under)));
  }
  // One pixel changed behind the picture's back, through its pixels.
  *picture.GetPixel(3, 2) = Px(255, 0, 255, 255);
  EXPECT_TRUE(
      SamePictures(StretchedByHand(picture, 40, 30, under), StretchedDraw(picture, 40, 30, under)));
  // New contents of another size, and contents swapped in from another.
  ASSERT_TRUE(picture.Resize(9, 4));
  picture.Clear(Px(1, 2, 3, 200));
  EXPECT_TRUE(
      SamePictures(StretchedByHand(picture, 40, 30, under), StretchedDraw(picture, 40, 30, under)));
  WindowBitmap other(9, 4);
  other.Clear(Px(250, 240, 230, 100));
  picture.SwapData(&other);
  EXPECT_TRUE(
      SamePictures(StretchedByHand(picture, 40, 30, under), StretchedDraw(picture, 40, 30, under)));
  // Many pictures, each drawn a few times, made and freed at the same
  // addresses: each draw shows its own picture.
  for (int i = 0; i < 40; ++i) {
    auto fresh = std::make_unique<WindowBitmap>(3 + i % 5, 2 + i % 3);
    fresh->Clear(Px(i * 6, 255 - i * 6, i, 255));
    for (int again = 0; again < 2; ++again)
      ASSERT_TRUE(SamePictures(StretchedByHand(*fresh, 50 + i, 20, under),
                               StretchedDraw(*fresh, 50 + i, 20, under)))
          << i;
  }
}

}  // namespace
