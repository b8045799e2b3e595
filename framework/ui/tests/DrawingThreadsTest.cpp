// Screen objects drawn on two threads at once, as a host with two window
// threads does (the start-up logo has a thread of its own): the selection
// shading's scratch picture must not be shared between them.
#include <gtest/gtest.h>

#include <qlxrapi/ScreenObject_Selected.h>
#include <qlxrapi/WindowBitmap.h>

#include <cstring>
#include <thread>

namespace {

constexpr int kDraws = 40;

// kDraws shadings of a whole 40 x 30 picture of one colour, with handles.
void Shade(WindowBitmap& surface, unsigned char colour) {
  surface.Clear(WindowPixel{colour, static_cast<unsigned char>(255 - colour), 90, 255});
  ScreenObject_Selected selected(255, colour, 0, 96, 0, 0, 0, 0);
  selected.SetResizerStatus(true, true);
  RECT all{0, 0, 40, 30};
  for (int i = 0; i < kDraws; ++i)
    ASSERT_TRUE(selected.ScreenObject_DrawItem(&all, surface.GetHDC()));
  GdiFlush();
}

bool SamePixels(WindowBitmap& a, WindowBitmap& b) {
  return std::memcmp(a.GetPixels(), b.GetPixels(), 40 * 30 * sizeof(WindowPixel)) == 0;
}

TEST(DrawingThreads, TwoThreadsShadingAtOnceEachGetTheirOwnPictureRight) {
  WindowBitmap expectedDark(40, 30), expectedLight(40, 30);
  Shade(expectedDark, 20);
  Shade(expectedLight, 230);
  for (int round = 0; round < 5; ++round) {
    WindowBitmap dark(40, 30), light(40, 30);
    std::thread other([&] { Shade(light, 230); });
    Shade(dark, 20);
    other.join();
    EXPECT_TRUE(SamePixels(expectedDark, dark)) << "round " << round;
    EXPECT_TRUE(SamePixels(expectedLight, light)) << "round " << round;
  }
}

}  // namespace
