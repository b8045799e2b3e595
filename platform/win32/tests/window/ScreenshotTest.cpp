// Screenshots: a few drawn windows written as PNG files and read back.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "WindowTestSupport.h"

using namespace quellor::testing;
namespace desktop = quellor::desktop;

namespace {

class ScreenshotTest : public WindowTest {};

struct ReadBack {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  uint32_t At(int x, int y) const {
    const uint8_t* p = &rgb[(size_t(y) * width + x) * 3];
    return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
  }
};

bool ReadPng(const std::string& path, ReadBack& out) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_read_info(png, info);
  out.width = int(png_get_image_width(png, info));
  out.height = int(png_get_image_height(png, info));
  if (png_get_color_type(png, info) != PNG_COLOR_TYPE_RGB) longjmp(png_jmpbuf(png), 1);
  out.rgb.resize(size_t(out.width) * out.height * 3);
  for (int y = 0; y < out.height; ++y)
    png_read_row(png, &out.rgb[size_t(y) * out.width * 3], nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(f);
  return true;
}

// A window that shows most of what the painter does: a filled background, a
// blitted gradient stretched with HALFTONE, text with DrawTextA, a dotted
// XOR frame and a child button-like window.
HWND CreateDemoWindow() {
  HWND w =
      CreateRecording("Demo", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, 360, 240);
  SetWindowTextA(w, "Video Quellor Director / Clipboard Viewer");
  SetHandler(w, [](HWND win, UINT msg, WPARAM, LPARAM, LRESULT* result) {
    if (msg != WM_PAINT) return false;
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(win, &ps);
    RECT client;
    GetClientRect(win, &client);
    HBRUSH back = CreateSolidBrush(RGB(32, 48, 64));
    FillRect(hdc, &client, back);
    DeleteObject(back);
    // A 16 x 16 gradient in a memory DC, stretched to 128 x 96.
    BITMAPINFO bmi{};
    bmi.bmiHeader =
        BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    uint32_t* bits;
    HDC mem = CreateCompatibleDC(hdc);
    HBITMAP dib =
        CreateDIBSection(mem, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        bits[y * 16 + x] = uint32_t(x * 16) << 16 | uint32_t(y * 16) << 8 | 0x80;
    HGDIOBJ old = SelectObject(mem, dib);
    SetStretchBltMode(hdc, HALFTONE);
    StretchBlt(hdc, 10, 10, 128, 96, mem, 0, 0, 16, 16, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    HFONT font =
        CreateFontA(-18, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, ANTIALIASED_QUALITY, 0, "Verdena");
    HGDIOBJ oldFont = SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(255, 255, 255));
    RECT text{150, 10, client.right - 10, 110};
    DrawTextA(hdc, "Clipboard text is shown centred and word-wrapped.", -1, &text,
              DT_CENTER | DT_WORDBREAK);
    SelectObject(hdc, oldFont);
    DeleteObject(font);
    HPEN dots = CreatePen(PS_DOT, 1, RGB(255, 255, 0));
    HGDIOBJ oldPen = SelectObject(hdc, dots);
    SelectObject(hdc, GetStockObject(NULL_BRUSH));
    SetROP2(hdc, R2_XORPEN);
    Rectangle(hdc, 8, 8, 140, 108);
    SelectObject(hdc, oldPen);
    DeleteObject(dots);
    EndPaint(win, &ps);
    *result = 0;
    return true;
  });
  CreateSolidWindow(RGB(200, 40, 40), WS_CHILD | WS_VISIBLE, 10, 130, 100, 40, w);
  return w;
}

TEST_F(ScreenshotTest, WindowAndScreenPngsMatchTheSurface) {
  desktop::SetScreenSize(640, 400);
  HWND w = CreateDemoWindow();
  HWND shaped = CreateSolidWindow(RGB(0, 160, 0), WS_POPUP | WS_VISIBLE, 380, 200, 120, 120);
  HRGN round = CreateRectRgn(0, 40, 120, 80);
  HRGN bar = CreateRectRgn(40, 0, 80, 120);
  CombineRgn(round, round, bar, RGN_OR);
  SetWindowRgn(shaped, round, TRUE);
  DeleteObject(bar);
  desktop::RunUntilIdle();
  std::string windowPath = TempPath("demo_window.png");
  std::string screenPath = TempPath("demo_screen.png");
  ASSERT_TRUE(desktop::WriteWindowPng(w, windowPath));
  ASSERT_TRUE(desktop::WriteScreenPng(screenPath));
  ReadBack win, screen;
  ASSERT_TRUE(ReadPng(windowPath, win));
  ASSERT_TRUE(ReadPng(screenPath, screen));
  EXPECT_EQ(win.width, 360);
  EXPECT_EQ(win.height, 240);
  EXPECT_EQ(screen.width, 640);
  auto pic = desktop::CaptureWindow(w);
  for (int y = 0; y < win.height; y += 7) {
    for (int x = 0; x < win.width; x += 5) ASSERT_EQ(win.At(x, y), pic.At(x, y)) << x << "," << y;
  }
  // The window sits at (40, 40) on the screen; the cross-shaped popup shows
  // only in its cross.
  EXPECT_EQ(screen.At(45 + 60, 45 + 60), pic.At(65, 65));
  EXPECT_EQ(screen.At(380 + 60, 200 + 60), 0x00A000u);
  EXPECT_EQ(screen.At(380 + 115, 200 + 5), 0x008080u);  // cut away by the shape
  EXPECT_FALSE(desktop::WritePng(desktop::Picture{}, TempPath("empty.png")));
  EXPECT_FALSE(desktop::WriteScreenPng("/nonexistent-folder/x.png"));
}

TEST_F(ScreenshotTest, MemoryContextPng) {
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateCompatibleBitmap(mem, 20, 10);
  SelectObject(mem, bm);
  RECT r{0, 0, 10, 10};
  FillRect(mem, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  std::string path = TempPath("memdc.png");
  ASSERT_TRUE(desktop::WriteDcPng(mem, path));
  ReadBack back;
  ASSERT_TRUE(ReadPng(path, back));
  EXPECT_EQ(back.width, 20);
  EXPECT_EQ(back.At(5, 5), 0xFFFFFFu);
  EXPECT_EQ(back.At(15, 5), 0u);
  DeleteDC(mem);
  DeleteObject(bm);
}

TEST_F(ScreenshotTest, TextAlignmentSheet) {
  // Nine boxes, each with a word placed by a different DrawTextA alignment;
  // every word's ink must stay in its box, on the side its flags name.
  HDC mem = CreateCompatibleDC(nullptr);
  BITMAPINFO bmi{};
  bmi.bmiHeader =
      BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 300, -180, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  uint32_t* bits;
  HBITMAP dib =
      CreateDIBSection(mem, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  SelectObject(mem, dib);
  RECT all{0, 0, 300, 180};
  FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HFONT font =
      CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, ANTIALIASED_QUALITY, 0, "Verdena");
  SelectObject(mem, font);
  SetBkMode(mem, TRANSPARENT);
  const UINT horizontal[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  const UINT vertical[3] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
  HBRUSH frame = CreateSolidBrush(RGB(160, 160, 160));
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      RECT box{col * 100 + 2, row * 60 + 2, col * 100 + 98, row * 60 + 58};
      FrameRect(mem, &box, frame);
      RECT inner{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
      DrawTextA(mem, "Quellor", -1, &inner, horizontal[col] | vertical[row] | DT_SINGLELINE);
      // Ink of this box (black-ish pixels only; the frame is grey).
      RECT ink{1000, 1000, -1, -1};
      for (LONG y = inner.top; y < inner.bottom; ++y) {
        for (LONG x = inner.left; x < inner.right; ++x) {
          if ((bits[y * 300 + x] & 0xFF) > 100) continue;
          ink.left = std::min(ink.left, x);
          ink.right = std::max(ink.right, x + 1);
          ink.top = std::min(ink.top, y);
          ink.bottom = std::max(ink.bottom, y + 1);
        }
      }
      ASSERT_LT(ink.left, ink.right) << row << col;
      LONG midX = (ink.left + ink.right) / 2, midY = (ink.top + ink.bottom) / 2;
      LONG boxMidX = (inner.left + inner.right) / 2, boxMidY = (inner.top + inner.bottom) / 2;
      if (col == 0) {
        EXPECT_LT(ink.left - inner.left, 3);
      }
      if (col == 1) {
        EXPECT_LE(std::abs(midX - boxMidX), 2);
      }
      if (col == 2) {
        EXPECT_LT(inner.right - ink.right, 3);
      }
      if (row == 0) {
        EXPECT_LT(ink.top - inner.top, 6);
      }
      if (row == 1) {
        EXPECT_LE(std::abs(midY - boxMidY), 3);
      }
      if (row == 2) {
        EXPECT_LT(inner.bottom - ink.bottom, 6);
      }
    }
  }
  ASSERT_TRUE(desktop::WriteDcPng(mem, TempPath("text_alignment.png")));
  DeleteObject(frame);
  DeleteDC(mem);
  DeleteObject(dib);
  DeleteObject(font);
}

}  // namespace
