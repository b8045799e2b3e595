// Pens, brushes, rectangles, raster operations and clip regions, checked
// pixel by pixel on small surfaces.
#include <gtest/gtest.h>

#include "Canvas.h"
#include "win32/automation/Desktop.h"

using quellor::testing::Canvas;

namespace {

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

TEST(GdiDrawTest, FillRectCoversLeftTopButNotRightBottom) {
  Canvas c(8, 8);
  c.Fill(0);
  RECT r{2, 3, 5, 6};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  EXPECT_TRUE(FillRect(c.dc(), &r, red));
  EXPECT_EQ(c.CountOf(kRed), 9);
  EXPECT_EQ(c.At(2, 3), kRed);
  EXPECT_EQ(c.At(4, 5), kRed);
  EXPECT_EQ(c.At(5, 5), 0u);
  EXPECT_EQ(c.Raw(2, 3) >> 24, 0u);  // GDI writes alpha 0
  // A system colour index + 1 works in place of a brush.
  RECT all{0, 0, 8, 8};
  FillRect(c.dc(), &all, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  EXPECT_EQ(c.CountOf(kWhite), 64);
  DeleteObject(red);
}

TEST(GdiDrawTest, RectangleOutlinesWithPenAndFillsWithBrush) {
  Canvas c(10, 10);
  c.Fill(0);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  SelectObject(c.dc(), pen);
  SelectObject(c.dc(), brush);
  EXPECT_TRUE(Rectangle(c.dc(), 1, 1, 6, 5));
  // Outline on the edge pixels 1..5 x 1..4; interior filled.
  EXPECT_EQ(c.At(1, 1), kRed);
  EXPECT_EQ(c.At(5, 4), kRed);
  EXPECT_EQ(c.At(5, 2), kRed);
  EXPECT_EQ(c.At(3, 2), kBlue);
  EXPECT_EQ(c.At(6, 4), 0u);
  EXPECT_EQ(c.CountOf(kRed), 14);
  EXPECT_EQ(c.CountOf(kBlue), 6);
  // With no pen the filled area is one pixel smaller (right, bottom excluded).
  c.Fill(0);
  SelectObject(c.dc(), GetStockObject(NULL_PEN));
  Rectangle(c.dc(), 0, 0, 4, 4);
  EXPECT_EQ(c.CountOf(kBlue), 9);
  SelectObject(c.dc(), GetStockObject(BLACK_PEN));
  SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
  DeleteObject(pen);
  DeleteObject(brush);
}

TEST(GdiDrawTest, XorLinesDrawnTwiceEraseThemselves) {
  Canvas c(20, 20);
  for (int i = 0; i < 400; ++i) c.bits()[i] = uint32_t(i * 2654435761u) & 0x00FFFFFF;
  std::vector<uint32_t> before(c.bits(), c.bits() + 400);
  HPEN pen = CreatePen(PS_DOT, 1, RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(c.dc(), pen);
  EXPECT_EQ(SetROP2(c.dc(), R2_XORPEN), R2_COPYPEN);
  SetBkMode(c.dc(), TRANSPARENT);
  SelectObject(c.dc(), GetStockObject(NULL_BRUSH));
  auto draw = [&] {
    MoveToEx(c.dc(), 1, 1, nullptr);
    LineTo(c.dc(), 18, 13);
    Rectangle(c.dc(), 2, 2, 17, 17);
  };
  draw();
  EXPECT_NE(std::vector<uint32_t>(c.bits(), c.bits() + 400), before);
  draw();
  EXPECT_EQ(std::vector<uint32_t>(c.bits(), c.bits() + 400), before);
  SelectObject(c.dc(), old);
  DeleteObject(pen);
}

TEST(GdiDrawTest, DottedPenLeavesGapsAndLineToSkipsTheLastPoint) {
  Canvas c(20, 3);
  c.Fill(0);
  HPEN pen = CreatePen(PS_DOT, 1, RGB(255, 0, 0));
  SelectObject(c.dc(), pen);
  SetBkMode(c.dc(), TRANSPARENT);
  MoveToEx(c.dc(), 0, 1, nullptr);
  LineTo(c.dc(), 12, 1);
  // Three on, three off.
  std::string row;
  for (int x = 0; x < 13; ++x) row += c.At(x, 1) == kRed ? '#' : '.';
  EXPECT_EQ(row, "###...###....");
  // In OPAQUE mode the gaps take the background colour.
  SetBkMode(c.dc(), OPAQUE);
  SetBkColor(c.dc(), RGB(0, 0, 255));
  MoveToEx(c.dc(), 0, 2, nullptr);
  LineTo(c.dc(), 6, 2);
  EXPECT_EQ(c.At(4, 2), kBlue);
  POINT pos;
  MoveToEx(c.dc(), 0, 0, &pos);
  EXPECT_EQ(pos.x, 6);
  SelectObject(c.dc(), GetStockObject(BLACK_PEN));
  DeleteObject(pen);
}

TEST(GdiDrawTest, ClipRegionsLimitDrawing) {
  Canvas c(10, 10);
  c.Fill(0);
  HRGN clip = CreateRectRgn(0, 0, 5, 5);
  EXPECT_EQ(SelectClipRgn(c.dc(), clip), SIMPLEREGION);
  DeleteObject(clip);  // the context keeps its own copy
  EXPECT_EQ(ExcludeClipRect(c.dc(), 1, 1, 3, 3), COMPLEXREGION);
  RECT box;
  EXPECT_EQ(GetClipBox(c.dc(), &box), COMPLEXREGION);
  EXPECT_EQ(box.right, 5);
  RECT all{0, 0, 10, 10};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(c.dc(), &all, red);
  EXPECT_EQ(c.CountOf(kRed), 25 - 4);
  EXPECT_EQ(c.At(2, 2), 0u);
  EXPECT_EQ(c.At(6, 6), 0u);
  EXPECT_EQ(SetPixel(c.dc(), 8, 8, RGB(1, 2, 3)), CLR_INVALID);
  // Removing the clip restores the whole surface.
  SelectClipRgn(c.dc(), nullptr);
  FillRect(c.dc(), &all, red);
  EXPECT_EQ(c.CountOf(kRed), 100);
  EXPECT_EQ(GetPixel(c.dc(), 9, 9), RGB(255, 0, 0));
  DeleteObject(red);
}

TEST(GdiDrawTest, SaveAndRestoreContextState) {
  Canvas c(4, 4);
  int saved = SaveDC(c.dc());
  SetTextColor(c.dc(), RGB(1, 2, 3));
  IntersectClipRect(c.dc(), 0, 0, 1, 1);
  EXPECT_TRUE(RestoreDC(c.dc(), saved));
  EXPECT_EQ(GetTextColor(c.dc()), RGB(0, 0, 0));
  RECT box;
  EXPECT_EQ(GetClipBox(c.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 4);
  EXPECT_FALSE(RestoreDC(c.dc(), 5));
}

TEST(GdiDrawTest, BadHandlesFailWithoutCrashing) {
  HDC bogus = reinterpret_cast<HDC>(uintptr_t(0x77777));
  RECT r{0, 0, 1, 1};
  EXPECT_FALSE(FillRect(bogus, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
  EXPECT_FALSE(Rectangle(bogus, 0, 0, 1, 1));
  EXPECT_EQ(SelectObject(bogus, GetStockObject(BLACK_PEN)), nullptr);
  EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(uintptr_t(0x77777))));
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));  // stock objects stay
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), DWORD(OBJ_PEN));
  HDC ic = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
  ASSERT_NE(ic, nullptr);
  EXPECT_FALSE(Rectangle(ic, 0, 0, 1, 1));  // an information context draws nothing
  EXPECT_EQ(CreateICA("PRINTER", nullptr, nullptr, nullptr), nullptr);
  DeleteDC(ic);
}

TEST(GdiDrawTest, DisplaySettingsAndDeviceCaps) {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  ASSERT_TRUE(EnumDisplaySettingsA(nullptr, 0, &mode));
  EXPECT_EQ(mode.dmPelsWidth, 1920u);
  EXPECT_EQ(mode.dmBitsPerPel, 32u);
  EXPECT_FALSE(EnumDisplaySettingsA(nullptr, 1, &mode));
  mode.dmBitsPerPel = 32;
  HDC ic = CreateICA("DISPLAY", nullptr, nullptr, &mode);
  HDC mem = CreateCompatibleDC(ic);
  DeleteDC(ic);
  ASSERT_NE(mem, nullptr);
  EXPECT_EQ(GetDeviceCaps(mem, VREFRESH), 60);
  quellor::desktop::SetRefreshRate(50);  // a PAL monitor
  EXPECT_EQ(GetDeviceCaps(mem, VREFRESH), 50);
  quellor::desktop::SetRefreshRate(60);
  EXPECT_EQ(GetDeviceCaps(mem, HORZRES), 1920);
  EXPECT_EQ(GetDeviceCaps(mem, LOGPIXELSY), 96);
  DeleteDC(mem);
}

}  // namespace
