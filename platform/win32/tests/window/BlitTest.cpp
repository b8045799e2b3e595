// Blits, stretches and DIB transfers: 32-bit and 8-bit sources, both row
// orders, HALFTONE filtering and the Win32 source-origin rules.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Canvas.h"

using quellor::testing::Canvas;

namespace {

struct Dib8 {
  BITMAPINFOHEADER header{};
  RGBQUAD colours[256]{};
};

TEST(BlitTest, BitBltCopiesPixelsIncludingAlphaAndClipsToSource) {
  Canvas src(4, 4), dst(6, 6);
  for (int i = 0; i < 16; ++i) src.bits()[i] = 0x80000000u | uint32_t(i);
  dst.Fill(0x00FFFFFF);
  EXPECT_TRUE(BitBlt(dst.dc(), 1, 1, 10, 10, src.dc(), 2, 1, SRCCOPY));
  // Source (2..3, 1..3) lands at (1..2, 1..3); nothing beyond the source.
  EXPECT_EQ(dst.Raw(1, 1), 0x80000000u | 6u);
  EXPECT_EQ(dst.Raw(2, 3), 0x80000000u | 15u);
  EXPECT_EQ(dst.At(3, 1), 0xFFFFFFu);
  EXPECT_EQ(dst.At(1, 4), 0xFFFFFFu);
}

TEST(BlitTest, BitBltWithinOneSurfaceOverlapsSafely) {
  Canvas c(8, 1);
  for (int i = 0; i < 8; ++i) c.bits()[i] = uint32_t(i);
  BitBlt(c.dc(), 2, 0, 6, 1, c.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(c.At(2, 0), 0u);
  EXPECT_EQ(c.At(7, 0), 5u);
}

TEST(BlitTest, RasterOperationsCombineSourceAndDestination) {
  Canvas src(1, 1), dst(1, 1);
  src.Fill(0x00F0F0F0);
  dst.Fill(0x000F0FFF);
  BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, SRCINVERT);
  EXPECT_EQ(dst.At(0, 0), 0x00FFFF0Fu);
  BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, SRCAND);
  EXPECT_EQ(dst.At(0, 0), 0x00F0F000u);
  BitBlt(dst.dc(), 0, 0, 1, 1, nullptr, 0, 0, DSTINVERT);
  EXPECT_EQ(dst.At(0, 0), 0x000F0FFFu);
  BitBlt(dst.dc(), 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS);
  EXPECT_EQ(dst.At(0, 0), 0u);
}

TEST(BlitTest, StretchBltNearestAndHalftone) {
  Canvas src(2, 1), dst(4, 1), small(1, 1);
  src.bits()[0] = 0x00000000;
  src.bits()[1] = 0x00FFFFFF;
  EXPECT_EQ(SetStretchBltMode(dst.dc(), COLORONCOLOR), BLACKONWHITE);
  StretchBlt(dst.dc(), 0, 0, 4, 1, src.dc(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(dst.At(0, 0), 0u);
  EXPECT_EQ(dst.At(1, 0), 0u);
  EXPECT_EQ(dst.At(2, 0), 0xFFFFFFu);
  EXPECT_EQ(SetStretchBltMode(dst.dc(), HALFTONE), COLORONCOLOR);
  StretchBlt(dst.dc(), 0, 0, 4, 1, src.dc(), 0, 0, 2, 1, SRCCOPY);
  // Enlarging interpolates between pixel centres.
  EXPECT_EQ(dst.At(0, 0), 0u);
  EXPECT_EQ(dst.At(1, 0) & 0xFF, 0x40u);
  EXPECT_EQ(dst.At(2, 0) & 0xFF, 0xBFu);
  EXPECT_EQ(dst.At(3, 0), 0xFFFFFFu);
  // Shrinking averages the covered area.
  SetStretchBltMode(small.dc(), HALFTONE);
  StretchBlt(small.dc(), 0, 0, 1, 1, src.dc(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(small.At(0, 0), 0x808080u);
  // A negative width mirrors.
  SetStretchBltMode(dst.dc(), COLORONCOLOR);
  StretchBlt(dst.dc(), 4, 0, -4, 1, src.dc(), 0, 0, 2, 1, SRCCOPY);
  EXPECT_EQ(dst.At(0, 0), 0xFFFFFFu);
  EXPECT_EQ(dst.At(3, 0), 0u);
}

TEST(BlitTest, EightBitSectionUsesItsColourTable) {
  Dib8 info;
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = 3;
  info.header.biHeight = -2;
  info.header.biPlanes = 1;
  info.header.biBitCount = 8;
  info.colours[1] = RGBQUAD{0, 0, 255, 0};  // red
  info.colours[2] = RGBQUAD{255, 0, 0, 0};  // blue
  HDC mem = CreateCompatibleDC(nullptr);
  uint8_t* bits = nullptr;
  HBITMAP section = CreateDIBSection(mem, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                     reinterpret_cast<void**>(&bits), nullptr, 0);
  ASSERT_NE(section, nullptr);
  // Rows are DWORD aligned: 3 pixels take 4 bytes.
  bits[0] = 1;
  bits[1] = 2;
  bits[2] = 0;
  bits[4] = 2;
  SelectObject(mem, section);
  Canvas dst(3, 2);
  BitBlt(dst.dc(), 0, 0, 3, 2, mem, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.At(0, 0), 0xFF0000u);
  EXPECT_EQ(dst.At(1, 0), 0x0000FFu);
  EXPECT_EQ(dst.At(2, 0), 0u);
  EXPECT_EQ(dst.At(0, 1), 0x0000FFu);
  // Changing the table changes what the same indices show.
  RGBQUAD green{0, 255, 0, 0};
  EXPECT_EQ(SetDIBColorTable(mem, 1, 1, &green), 1u);
  BitBlt(dst.dc(), 0, 0, 3, 2, mem, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.At(0, 0), 0x00FF00u);
  BITMAP bm;
  EXPECT_EQ(GetObjectA(section, sizeof bm, &bm), int(sizeof bm));
  EXPECT_EQ(bm.bmBitsPixel, 8);
  EXPECT_EQ(bm.bmWidthBytes, 4);
  DeleteDC(mem);
  DeleteObject(section);
}

TEST(BlitTest, SetDIBitsToDeviceHonoursRowOrderAndSourceOrigin) {
  // A bottom-up 2 x 3 DIB: memory row 0 is the bottom row.
  uint32_t pixels[6] = {1, 2, 3, 4, 5, 6};
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = 2;
  bmi.bmiHeader.biHeight = 3;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  Canvas dst(2, 3);
  dst.Fill(0);
  EXPECT_EQ(SetDIBitsToDevice(dst.dc(), 0, 0, 2, 3, 0, 0, 0, 3, pixels, &bmi, DIB_RGB_COLORS), 3);
  EXPECT_EQ(dst.At(0, 0), 5u);  // visual top = last memory row
  EXPECT_EQ(dst.At(1, 2), 2u);
  // Top-down: ySrc counts from the top; the top-left 2 x 2 of the picture.
  bmi.bmiHeader.biHeight = -3;
  dst.Fill(0);
  EXPECT_EQ(SetDIBitsToDevice(dst.dc(), 0, 0, 2, 2, 0, 0, 0, 3, pixels, &bmi, DIB_RGB_COLORS), 2);
  EXPECT_EQ(dst.At(0, 0), 1u);
  EXPECT_EQ(dst.At(1, 1), 4u);
  EXPECT_EQ(dst.At(0, 2), 0u);
  // StretchDIBits at the same size copies; doubled it scales.
  Canvas big(4, 6);
  EXPECT_EQ(StretchDIBits(big.dc(), 0, 0, 4, 6, 0, 0, 2, 3, pixels, &bmi, DIB_RGB_COLORS, SRCCOPY),
            3);
  EXPECT_EQ(big.At(3, 5), 6u);
  EXPECT_EQ(big.At(0, 0), 1u);
  // Bad headers are refused.
  bmi.bmiHeader.biBitCount = 7;
  EXPECT_EQ(SetDIBitsToDevice(dst.dc(), 0, 0, 2, 2, 0, 0, 0, 3, pixels, &bmi, DIB_RGB_COLORS), 0);
}

TEST(BlitTest, GetDIBitsReadsBothRowOrders) {
  Canvas src(2, 2);
  src.bits()[0] = 0x10;
  src.bits()[1] = 0x20;
  src.bits()[2] = 0x30;
  src.bits()[3] = 0x40;
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  // Asking with bit count 0 describes the bitmap.
  ASSERT_NE(GetDIBits(src.dc(), src.bitmap(), 0, 0, nullptr, &bmi, DIB_RGB_COLORS), 0);
  EXPECT_EQ(bmi.bmiHeader.biWidth, 2);
  EXPECT_EQ(bmi.bmiHeader.biBitCount, 32);
  bmi.bmiHeader.biHeight = -2;
  bmi.bmiHeader.biCompression = BI_RGB;
  uint32_t out[4] = {};
  EXPECT_EQ(GetDIBits(src.dc(), src.bitmap(), 0, 2, out, &bmi, DIB_RGB_COLORS), 2);
  EXPECT_EQ(out[0], 0x10u);
  EXPECT_EQ(out[3], 0x40u);
  bmi.bmiHeader.biHeight = 2;  // bottom-up output
  EXPECT_EQ(GetDIBits(src.dc(), src.bitmap(), 0, 2, out, &bmi, DIB_RGB_COLORS), 2);
  EXPECT_EQ(out[0], 0x30u);
  EXPECT_EQ(out[3], 0x20u);
}

TEST(BlitTest, InvalidBitmapsAreRefused) {
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = 0;
  bmi.bmiHeader.biHeight = 10;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  void* bits = reinterpret_cast<void*>(1);
  EXPECT_EQ(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(bits, nullptr);
  bmi.bmiHeader.biWidth = 100000;
  bmi.bmiHeader.biHeight = 100000;
  EXPECT_EQ(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(BlitTest, DrawingIntoAnEightBitSectionPicksTableColours) {
  Dib8 info;
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = 4;
  info.header.biHeight = -2;
  info.header.biPlanes = 1;
  info.header.biBitCount = 8;
  info.header.biClrUsed = 3;
  info.colours[0] = RGBQUAD{0, 0, 0, 0};
  info.colours[1] = RGBQUAD{0, 0, 250, 0};  // nearly pure red
  info.colours[2] = RGBQUAD{255, 255, 255, 0};
  HDC mem = CreateCompatibleDC(nullptr);
  uint8_t* bits = nullptr;
  HBITMAP section = CreateDIBSection(mem, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                     reinterpret_cast<void**>(&bits), nullptr, 0);
  ASSERT_NE(section, nullptr);
  SelectObject(mem, section);
  RECT left{0, 0, 2, 2};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  EXPECT_TRUE(FillRect(mem, &left, red));
  EXPECT_EQ(bits[0], 1);  // the nearest entry of the table
  EXPECT_EQ(bits[5], 1);
  EXPECT_EQ(bits[2], 0);  // untouched
  EXPECT_NE(SetPixel(mem, 3, 1, RGB(240, 240, 240)), CLR_INVALID);
  EXPECT_EQ(bits[7], 2);
  // Blitting a 32-bit picture in maps each colour too.
  Canvas src(1, 1);
  src.Fill(0x00FFFFFF);
  EXPECT_TRUE(BitBlt(mem, 2, 0, 1, 1, src.dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(bits[2], 2);
  DeleteDC(mem);
  DeleteObject(section);
  DeleteObject(red);
}

}  // namespace
