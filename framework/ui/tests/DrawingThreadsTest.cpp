// Screen objects on two threads at once, as a host with two window threads
// has them (the start-up logo has a thread of its own): the selection
// shading's scratch picture must not be shared between them, and objects
// deleted on one thread leave the resource registry while the other
// registers and deletes resources.
#include <gtest/gtest.h>

#include <qlxrapi/ScreenObject.h>
#include <qlxrapi/ScreenObject_Selected.h>
#include <qlxrapi/WindowBitmap.h>

#include <cstring>
#include <string>
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

TEST(DrawingThreads, ObjectsDeletedOnOneThreadWhileAnotherRegistersResources) {
  constexpr int kRounds = 3000;
  std::thread other([] {
    for (int i = 0; i < kRounds; ++i) delete new ScreenObject_Selected(1, 2, 3, 4, 5, 6, 7, 8);
  });
  for (int i = 0; i < kRounds; ++i) {
    std::string name = "threads test " + std::to_string(i % 7);
    auto* object = new ScreenObject_Selected(1, 2, 3, 4, 5, 6, 7, 8);
    ASSERT_EQ(object, BuildResource(name.data(), object));
    ASSERT_NE(nullptr, GetResource(name.data()));
    if (i % 2 == 1) DeleteResource(name.data());
  }
  other.join();
  for (int i = 0; i < 7; ++i) {
    std::string name = "threads test " + std::to_string(i);
    DeleteResource(name.data());
    EXPECT_EQ(nullptr, GetResource(name.data()));
  }
}

}  // namespace
