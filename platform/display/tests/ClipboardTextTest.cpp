// Text and picture conversions between X's clipboard and the subset's.
#include "ClipboardText.h"
#include "ClipboardPng.h"

#include <gtest/gtest.h>

#include "KeyMap.h"
#include "win32/user.h"
#include <X11/keysym.h>

namespace quellor::display {
namespace {

TEST(ClipboardTextTest, TextCrossesCodePagesAndLineEnds) {
  EXPECT_EQ(Utf8ToSubsetText("caf\xC3\xA9\nnext"), "caf\xE9\r\nnext");
  EXPECT_EQ(Utf8ToSubsetText("a\r\nb"), "a\r\nb");       // CR LF stays one line end
  EXPECT_EQ(Utf8ToSubsetText("\xE2\x82\xAC 5"), "? 5");  // beyond Latin-1
  EXPECT_EQ(Utf8ToSubsetText("bad \xC3 end\xF0\x9F"), "bad ? end??");
  EXPECT_EQ(Utf8ToSubsetText(std::string("cut\0off", 7)), "cut");
  EXPECT_EQ(SubsetTextToUtf8("caf\xE9\r\nx\ry"), "caf\xC3\xA9\nx\ny");
  EXPECT_EQ(Latin1ToSubsetText("\xE9\n"), "\xE9\r\n");
}

std::vector<uint8_t> Bmp(int32_t width, int32_t height, uint16_t bits, size_t pixelBytes) {
  std::vector<uint8_t> file(14 + 40 + pixelBytes);
  file[0] = 'B', file[1] = 'M';
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = uint8_t(v >> (8 * i));
  };
  put32(2, uint32_t(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(width));
  put32(22, uint32_t(height));
  file[26] = 1;
  file[28] = uint8_t(bits);
  return file;
}

TEST(ClipboardTextTest, PicturesAreCheckedBeforeTheyAreTaken) {
  std::string error;
  const std::vector<uint8_t> good = Bmp(3, -2, 24, 2 * 12);  // rows padded to 12 bytes
  const std::vector<uint8_t> dib = BmpFileToDib(good, error);
  ASSERT_EQ(dib.size(), 40u + 24u) << error;
  EXPECT_EQ(DibToBmpFile(dib), good);

  EXPECT_TRUE(BmpFileToDib(Bmp(3, 2, 24, 23), error).empty());  // one byte short
  EXPECT_EQ(error, "the picture's pixels are cut short");
  EXPECT_TRUE(BmpFileToDib(Bmp(100000, 1, 32, 16), error).empty());
  EXPECT_EQ(error, "the picture's size is out of range");
  EXPECT_TRUE(BmpFileToDib(Bmp(16384, 16384, 32, 64), error).empty());  // 1 GiB claimed
  EXPECT_EQ(error, "the picture is too large");
  EXPECT_TRUE(BmpFileToDib(Bmp(2, 2, 7, 64), error).empty());
  EXPECT_EQ(error, "the picture's pixel depth is not supported");
  std::vector<uint8_t> offset = Bmp(1, 1, 32, 4);
  offset[10] = 0xF0;  // pixels said to start past the end
  EXPECT_TRUE(BmpFileToDib(offset, error).empty());
  EXPECT_TRUE(BmpFileToDib({'B', 'M', 0}, error).empty());
  EXPECT_EQ(error, "not a BMP file");
  EXPECT_TRUE(DibToBmpFile({1, 2, 3}).empty());
}

TEST(ClipboardTextTest, KeysMapToVirtualKeys) {
  EXPECT_EQ(KeySymToVirtualKey(XK_q), 'Q');
  EXPECT_EQ(KeySymToVirtualKey(XK_Q), 'Q');
  EXPECT_EQ(KeySymToVirtualKey(XK_7), '7');
  EXPECT_EQ(KeySymToVirtualKey(XK_F10), VK_F10);
  EXPECT_EQ(KeySymToVirtualKey(XK_Return), VK_RETURN);
  EXPECT_EQ(KeySymToVirtualKey(XK_Shift_R), VK_RSHIFT);
  EXPECT_EQ(KeySymToVirtualKey(XK_KP_3), VK_NUMPAD0 + 3);
  EXPECT_EQ(KeySymToVirtualKey(XK_dead_acute), 0);
}

}  // namespace
}  // namespace quellor::display

namespace quellor::display {
namespace {

TEST(ClipboardPngTest, PicturesGoBothWaysAndBrokenOnesAreRefused) {
  // A 3x2 24-bit bottom-up DIB with distinct pixels.
  std::vector<uint8_t> dib(40 + 2 * 12);
  dib[0] = 40, dib[4] = 3, dib[8] = 2, dib[12] = 1, dib[14] = 24;
  for (size_t i = 40; i < dib.size(); ++i) dib[i] = uint8_t(i * 7);
  const std::vector<uint8_t> png = DibToPngFile(dib);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(png[1], 'P');
  std::string error;
  const std::vector<uint8_t> back = PngFileToDib(png, error);
  ASSERT_EQ(back.size(), 40u + 3 * 2 * 4) << error;
  EXPECT_EQ(back[14], 32);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      for (int c = 0; c < 3; ++c)
        EXPECT_EQ(back[40 + y * 12 + x * 4 + c], dib[40 + y * 12 + x * 3 + c]) << x << "," << y;

  std::vector<uint8_t> cut(png.begin(), png.begin() + long(png.size()) - 20);
  EXPECT_TRUE(PngFileToDib(cut, error).empty());
  EXPECT_TRUE(PngFileToDib({'n', 'o', 'p', 'e'}, error).empty());
  // A header claiming 20000 x 20000 is refused before any pixel is read.
  std::vector<uint8_t> huge = png;
  huge[16] = 0, huge[17] = 0, huge[18] = 0x4E, huge[19] = 0x20;
  huge[20] = 0, huge[21] = 0, huge[22] = 0x4E, huge[23] = 0x20;
  EXPECT_TRUE(PngFileToDib(huge, error).empty());
}

}  // namespace
}  // namespace quellor::display
