// Module resources: bitmaps with their pixels, icons and cursors shared per
// module and number, drawn with their alpha.
#include "ControlsTestSupport.h"
#include "win32/quellor_host.h"

using namespace quellor::testing;
using quellor::win32::PixelTemplate;

namespace {

HMODULE Module() {
  return quellor::win32::ModuleFromAddress(reinterpret_cast<const void*>(&Module));
}

class ResourcesTest : public ControlsTest {};

TEST_F(ResourcesTest, BitmapsCarryTheirPixels) {
  // 3 x 2: red, green, blue over black, white, grey.
  quellor::win32::RegisterBitmapResource(
      Module(), MAKEINTRESOURCEA(130),
      PixelTemplate{3, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0x000000, 0xFFFFFF, 0x808080}});
  HBITMAP bitmap = LoadBitmapA(Module(), MAKEINTRESOURCEA(130));
  ASSERT_NE(bitmap, nullptr);
  BITMAP bm{};
  ASSERT_TRUE(GetObjectA(bitmap, sizeof bm, &bm));
  EXPECT_EQ(bm.bmWidth, 3);
  EXPECT_EQ(bm.bmHeight, 2);
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, bitmap);
  EXPECT_EQ(GetPixel(mem, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(mem, 2, 0), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(mem, 2, 1), RGB(128, 128, 128));
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bitmap);
  // LoadImageA can give a DIB section, whose bits are at hand.
  auto dib = static_cast<HBITMAP>(
      LoadImageA(Module(), MAKEINTRESOURCEA(130), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  DIBSECTION ds{};
  ASSERT_EQ(GetObjectA(dib, sizeof ds, &ds), int(sizeof ds));
  EXPECT_EQ(static_cast<uint32_t*>(ds.dsBm.bmBits)[1] & 0xFFFFFF, 0x00FF00u);
  DeleteObject(dib);
  EXPECT_EQ(LoadBitmapA(Module(), MAKEINTRESOURCEA(131)), nullptr);
  EXPECT_EQ(LoadBitmapA(nullptr, "no such bitmap"), nullptr);
}

TEST_F(ResourcesTest, IconsAndCursorsAreSharedAndDrawWithTheirAlpha) {
  PixelTemplate icon{2, 1, {0xFF00FF00u, 0x00FF0000u}};  // opaque green, transparent red
  quellor::win32::RegisterIconResource(Module(), MAKEINTRESOURCEA(101), icon);
  HICON a = LoadIconA(Module(), MAKEINTRESOURCEA(101));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(LoadIconA(Module(), MAKEINTRESOURCEA(101)), a);
  EXPECT_TRUE(DestroyIcon(a));  // a shared icon stays usable
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP target = CreateCompatibleBitmap(mem, 4, 4);
  HGDIOBJ old = SelectObject(mem, target);
  PatBlt(mem, 0, 0, 4, 4, WHITENESS);
  ASSERT_TRUE(DrawIcon(mem, 1, 1, a));
  EXPECT_EQ(GetPixel(mem, 1, 1), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(mem, 2, 1), RGB(255, 255, 255));  // transparent: the white stays
  SelectObject(mem, old);
  DeleteObject(target);
  DeleteDC(mem);
  EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
  EXPECT_EQ(LoadIconA(Module(), MAKEINTRESOURCEA(102)), nullptr);
  // A module cursor is found by LoadCursorA; the system cursors still work.
  quellor::win32::RegisterCursorResource(Module(), MAKEINTRESOURCEA(7),
                                         PixelTemplate{1, 1, {0xFF000000u}});
  HCURSOR cursor = LoadCursorA(Module(), MAKEINTRESOURCEA(7));
  EXPECT_NE(cursor, nullptr);
  EXPECT_NE(cursor, LoadIconA(Module(), MAKEINTRESOURCEA(101)));
  EXPECT_EQ(LoadCursorA(Module(), MAKEINTRESOURCEA(8)), nullptr);
  EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
}

}  // namespace
