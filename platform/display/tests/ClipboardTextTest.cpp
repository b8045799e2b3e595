// Text and picture conversions between X's clipboard and the subset's.
#include "ClipboardText.h"

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
