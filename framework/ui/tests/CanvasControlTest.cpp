// Canvases: their background, the drop shadows under their children, the
// cache of the drawn background.
#include <qlxrapi/UtilLib_Button.h>
#include <qlxrapi/UtilLib_Canvas.h>

#include "ControlTesting.h"

using namespace uitest;

namespace {

class Canvases : public ControlPanel {
 protected:
  // A 100 x 80 canvas at (10, 10) on green, with a 20 x 20 button child at
  // (10, 10) in it.
  UtilLib_Canvas* MakeCanvas() {
    auto* canvas = Make<UtilLib_Canvas>("UtilLib_Canvas", 10, 10, 100, 80);
    if (canvas == nullptr) return nullptr;
    canvas->Canvas_SetResource(green);
    auto* child = dynamic_cast<UtilLib_Button*>(
        Orvane_New(const_cast<char*>("UtilLib_Button"), canvas->GetWindowHandle(), 10, 10, 20, 20,
                   const_cast<char*>(""), WS_CHILD | WS_VISIBLE, 0));
    if (child != nullptr) child->Button_SetResource(0, white);
    Settle();
    return canvas;
  }
  static std::uint32_t Green(unsigned k) { return Rgb(0, (200 * k) >> 8, 0); }
  ScreenObjectSolid* green = Keep(Solid(0, 200, 0));
  ScreenObjectSolid* white = Keep(Solid(255, 255, 255));
};

TEST_F(Canvases, TheBackgroundFillsTheCanvasAroundItsChildren) {
  UtilLib_Canvas* canvas = MakeCanvas();
  ASSERT_NE(nullptr, canvas);
  EXPECT_EQ(Green(256), PixelAt(10 + 50, 10 + 50));
  EXPECT_EQ(Rgb(255, 255, 255), PixelAt(10 + 15, 10 + 15));
  EXPECT_EQ(Green(256), PixelAt(10 + 31, 10 + 27));  // no shadow by default
}

TEST_F(Canvases, ChildrenCastAShadowRightAndBelowThatFadesOutward) {
  UtilLib_Canvas* canvas = MakeCanvas();
  canvas->Canvas_SetDropShadows(true);
  // The child covers [10, 30) x [10, 30) of the canvas.
  EXPECT_EQ(Green(256), PixelAt(10 + 30, 10 + 25));  // above the shadow's start
  EXPECT_EQ(Green(192), PixelAt(10 + 30, 10 + 26));  // right next to the child
  EXPECT_EQ(Green(8 * 7 + 192), PixelAt(10 + 37, 10 + 26));
  EXPECT_EQ(Green(256), PixelAt(10 + 38, 10 + 26));
  EXPECT_EQ(Green(256), PixelAt(10 + 25, 10 + 30));  // left of the bottom band
  EXPECT_EQ(Green(192), PixelAt(10 + 26, 10 + 30));
  EXPECT_EQ(Green(8 * 3 + 192), PixelAt(10 + 26, 10 + 33));
  // The corner by the distance to the child's corner: 8 x sqrt(2) + 192.
  EXPECT_EQ(Green(203), PixelAt(10 + 31, 10 + 31));
  EXPECT_EQ(Rgb(255, 255, 255), PixelAt(10 + 29, 10 + 29));
}

TEST_F(Canvases, SmallChildrenCastNoShadow) {
  UtilLib_Canvas* canvas = MakeCanvas();
  SetWindowPos(canvas->GetChildhWnd(0), nullptr, 0, 0, 15, 40, SWP_NOMOVE | SWP_NOZORDER);
  canvas->Canvas_SetDropShadows(true);
  EXPECT_EQ(Green(256), PixelAt(10 + 25, 10 + 40));
  EXPECT_EQ(Green(256), PixelAt(10 + 20, 10 + 50));
}

TEST_F(Canvases, ACachedBackgroundIsRedrawnOnlyWhenItAnnouncesAChange) {
  UtilLib_Canvas* canvas = MakeCanvas();
  canvas->Canvas_SetCaching(true);
  canvas->RePaint();
  EXPECT_EQ(Green(256), PixelAt(10 + 50, 10 + 50));
  green->ScreenObjectSolid_SetColor(0, 0, 90);  // announces nothing
  canvas->RePaint();
  EXPECT_EQ(Green(256), PixelAt(10 + 50, 10 + 50));
  green->Changed("Changed");
  EXPECT_EQ(Rgb(0, 0, 90), PixelAt(10 + 50, 10 + 50));
  canvas->Canvas_SetCaching(false);
  green->ScreenObjectSolid_SetColor(0, 0, 91);
  canvas->RePaint();
  EXPECT_EQ(Rgb(0, 0, 91), PixelAt(10 + 50, 10 + 50));
}

TEST_F(Canvases, ADoNothingBackgroundLeavesThePixelsAlone) {
  UtilLib_Canvas* canvas = MakeCanvas();
  canvas->Canvas_SetResource(const_cast<char*>("DEFAULT_DONOTHING"));
  EXPECT_STREQ("DEFAULT_DONOTHING", canvas->Canvas_GetResourceName());
  canvas->Canvas_SetDropShadows(true);
  canvas->RePaint();
  EXPECT_EQ(Green(256), PixelAt(10 + 50, 10 + 50));
  EXPECT_EQ(Green(256), PixelAt(10 + 30, 10 + 26));
}

TEST_F(Canvases, TheCanvasTakesItsBackgroundsSizeAndOutlivesIt) {
  UtilLib_Canvas* canvas = MakeCanvas();
  auto* sized = new ScreenObjectNull;
  sized->ScreenObject_SetPreferedXSize(64);
  sized->ScreenObject_SetPreferedYSize(48);
  canvas->Canvas_SetResource(sized);
  EXPECT_EQ(64, canvas->GetWindowWidth());
  EXPECT_EQ(48, canvas->GetWindowHeight());
  delete sized;
  EXPECT_EQ(nullptr, canvas->Canvas_GetResource());
  EXPECT_EQ(-1, canvas->LayoutHints_GetPreferedXSize());
  canvas->RePaint();
}

TEST_F(Canvases, DerivedCanvasesDrawIntoThePictureThatIsShown) {
  struct Marked : UtilLib_Canvas {
    void Draw_SpecialisedBitmap(WindowBitmap* picture) override {
      picture->GetPixel(3, 4)->red = 250;
    }
  };
  auto* canvas = new Marked;
  ASSERT_TRUE(canvas->OpenWindow(panel->GetWindowHandle(), 10, 10, 40, 40, const_cast<char*>(""),
                                 WS_CHILD | WS_VISIBLE, 0));
  canvas->Canvas_SetResource(green);
  canvas->Canvas_SetCaching(true);
  Settle();
  canvas->RePaint();
  EXPECT_EQ(Rgb(250, 200, 0), PixelAt(10 + 3, 10 + 4));
  EXPECT_EQ(Green(256), PixelAt(10 + 4, 10 + 4));
}

}  // namespace
