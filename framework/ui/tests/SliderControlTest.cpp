// Sliders driven by the mouse: thumb geometry, paging with its auto-repeat,
// sliding, the control key, bound values.
#include <qlxrapi/UtilLib_Slider.h>

#include "ControlTesting.h"

using namespace uitest;

namespace {

const std::uint32_t kTrack = Rgb(0, 0, 150), kThumb = Rgb(250, 0, 0);

class Sliders : public ControlPanel {
 protected:
  // A horizontal 100 x 10 slider at (10, 10) whose thumb prefers no length:
  // with the default width 0.05 it is 5 pixels long.
  UtilLib_Slider* MakeSlider(long width = 100, long height = 10) {
    auto* slider = Make<UtilLib_Slider>("UtilLib_Slider", 10, 10, width, height);
    if (slider == nullptr) return nullptr;
    slider->Canvas_SetResource(track);
    for (int state = 0; state < 4; ++state) slider->Button_SetResource(state, thumb);
    return slider;
  }
  ScreenObjectSolid* track = Keep(Solid(0, 0, 150));
  ScreenObjectSolid* thumb = Keep(Solid(250, 0, 0));
};

TEST_F(Sliders, TheThumbIsTheWidthsShareOfTheTrack) {
  UtilLib_Slider* slider = MakeSlider();
  ASSERT_NE(nullptr, slider);
  EXPECT_FALSE(slider->IsVertical());
  slider->SetValue(0.5f);
  long start = 0, end = 0;
  slider->GetThumb(start, end);
  EXPECT_EQ(47, start);  // (100 - 5) x 0.5
  EXPECT_EQ(52, end);
  EXPECT_EQ(kTrack, PixelAt(10 + 46, 15));
  EXPECT_EQ(kThumb, PixelAt(10 + 47, 10));
  EXPECT_EQ(kThumb, PixelAt(10 + 51, 19));
  // A solid covers its rectangle's right and bottom edges too.
  EXPECT_EQ(kTrack, PixelAt(10 + 53, 15));
}

TEST_F(Sliders, AThumbObjectWithALengthSetsTheThumb) {
  UtilLib_Slider* slider = MakeSlider();
  auto* sized = Keep(new ScreenObjectNull);
  sized->ScreenObject_SetPreferedXSize(20);
  slider->Button_SetResource(0, sized);
  long start = 0, end = 0;
  slider->GetThumb(start, end);
  EXPECT_EQ(20, end - start);
  EXPECT_NEAR(20.0f / 80.0f, slider->GetPageSize(), 1e-6);
}

TEST_F(Sliders, ValuesAreKeptWithinTheRange) {
  UtilLib_Slider* slider = MakeSlider();
  slider->SetValue(3.0f);
  EXPECT_EQ(1.0f, slider->Slider_GetVariable()->Get());
  slider->SetValue(-1.0f);
  EXPECT_EQ(0.0f, slider->Slider_GetVariable()->Get());
}

TEST_F(Sliders, ClickingBesideTheThumbPagesAndRepeatsWhileHeld) {
  UtilLib_Slider* slider = MakeSlider();
  const float page = slider->GetPageSize();  // 5 / 95
  Press(10 + 80, 15);
  EXPECT_NEAR(page, slider->Slider_GetVariable()->Get(), 1e-6);
  EXPECT_EQ((Notices{"Button::Clicked", "Button::DragToggleOn", "Slider::PagedUp"}),
            notices.Take());
  Tick(999);
  EXPECT_TRUE(notices.Take().empty());
  Tick(1);
  EXPECT_NEAR(2 * page, slider->Slider_GetVariable()->Get(), 1e-6);
  Tick(250);
  EXPECT_NEAR(3 * page, slider->Slider_GetVariable()->Get(), 1e-6);
  EXPECT_EQ((Notices{"Slider::PagedUp", "Slider::PagedUp"}), notices.Take());
  Release(10 + 80, 15);
  EXPECT_EQ((Notices{"Button::ReleasedOn", "Slider::Released"}), notices.Take());
  Tick(1000);  // the repeat stopped with the button
  EXPECT_NEAR(3 * page, slider->Slider_GetVariable()->Get(), 1e-6);
  EXPECT_FALSE(slider->IsDragging());
}

TEST_F(Sliders, PagingDownWithTheControlKeyMovesAFifth) {
  UtilLib_Slider* slider = MakeSlider();
  slider->SetValue(1.0f);
  const float page = slider->GetPageSize();
  quellor::desktop::PressKey(VK_CONTROL);
  Click(10 + 5, 15);
  quellor::desktop::ReleaseKey(VK_CONTROL);
  EXPECT_NEAR(1.0f - 0.2f * page, slider->Slider_GetVariable()->Get(), 1e-6);
  EXPECT_EQ("Slider::PagedDown", notices.Take()[2]);
}

TEST_F(Sliders, DraggingTheThumbSlidesByTheTrack) {
  UtilLib_Slider* slider = MakeSlider();
  Press(10 + 2, 15);  // on the thumb at 0
  EXPECT_EQ("Slider::Clicked", notices.Take().back());
  Move(10 + 21, 15);
  EXPECT_NEAR(19.0f / 95.0f, slider->Slider_GetVariable()->Get(), 1e-6);
  EXPECT_EQ((Notices{"Slider::Slide"}), notices.Take());
  Move(10 + 500, 15);  // clamped into the window
  EXPECT_NEAR(1.0f, slider->Slider_GetVariable()->Get(), 1e-6);
  Release(10 + 500, 15);
  EXPECT_EQ("Slider::Released", notices.Take().back());
}

TEST_F(Sliders, ControlDraggingIsFiveTimesFinerAndLeavesTheWindow) {
  UtilLib_Slider* slider = MakeSlider();
  Press(10 + 2, 15);
  quellor::desktop::PressKey(VK_CONTROL);
  Move(10 + 2 + 95, 15);
  EXPECT_NEAR(0.2f, slider->Slider_GetVariable()->Get(), 1e-5);
  Move(10 + 2 + 95 + 190, 15);  // outside the window, not clamped
  EXPECT_NEAR(0.6f, slider->Slider_GetVariable()->Get(), 1e-5);
  quellor::desktop::ReleaseKey(VK_CONTROL);
  Release(10 + 2, 15);
}

TEST_F(Sliders, AWindowAtLeastAsHighAsWideIsVertical) {
  UtilLib_Slider* slider = MakeSlider(10, 100);
  EXPECT_TRUE(slider->IsVertical());
  slider->SetValue(0.5f);
  EXPECT_EQ(kThumb, PixelAt(15, 10 + 47));
  EXPECT_EQ(kTrack, PixelAt(15, 10 + 46));
  slider->SetWindowSize(100, 10);
  EXPECT_FALSE(slider->IsVertical());
  Press(10 + 90, 15);
  Release(10 + 90, 15);
  EXPECT_GT(slider->Slider_GetVariable()->Get(), 0.5f);
}

TEST_F(Sliders, SlidersBoundToOneValueMoveTogether) {
  UtilLib_Slider* first = MakeSlider();
  auto* second = Make<UtilLib_Slider>("UtilLib_Slider", 10, 40, 100, 10);
  second->Canvas_SetResource(track);
  second->Button_SetResource(0, thumb);
  Dynamic<float> gain, low, high, width;
  high.Set(10.0f);
  width.Set(0.5f);  // a 5-pixel thumb
  for (UtilLib_Slider* slider : {first, second}) {
    slider->Slider_SetSliderWidth(&width);
    slider->Slider_SetMinVariable(&low);
    slider->Slider_SetMaxVariable(&high);
    slider->Slider_SetVariable(&gain);
  }
  Press(10 + 2, 15);
  Move(10 + 21, 15);
  Release(10 + 21, 15);
  EXPECT_NEAR(2.0f, gain.Get(), 1e-5);  // 10 / 95 x 19
  EXPECT_EQ(kThumb, PixelAt(10 + 19, 45));
  for (UtilLib_Slider* slider : {first, second}) {
    slider->Slider_SetVariable(nullptr);
    slider->Slider_SetMinVariable(nullptr);
    slider->Slider_SetMaxVariable(nullptr);
    slider->Slider_SetSliderWidth(nullptr);
  }
}

TEST_F(Sliders, ValuesThatGoAreReplacedByTheSlidersOwn) {
  UtilLib_Slider* slider = MakeSlider();
  {
    Dynamic<float> maximum;
    maximum.Set(5.0f);
    slider->Slider_SetMaxVariable(&maximum);
  }
  EXPECT_EQ(1.0f, slider->Slider_GetMaxVariable()->Get());
  slider->SetValue(0.25f);
  EXPECT_EQ(0.25f, slider->Slider_GetVariable()->Get());
}

TEST_F(Sliders, AnEmptyRangeNeitherDividesByZeroNorMoves) {
  UtilLib_Slider* slider = MakeSlider();
  Dynamic<float> same;
  slider->Slider_SetMinVariable(&same);
  slider->Slider_SetMaxVariable(&same);
  long start = -1, end = -1;
  slider->GetThumb(start, end);
  EXPECT_EQ(0, start);
  EXPECT_EQ(100, end);
  Press(10 + 50, 15);
  Move(10 + 70, 15);
  Release(10 + 70, 15);
  EXPECT_EQ(0.0f, slider->Slider_GetVariable()->Get());
  slider->Slider_SetMinVariable(nullptr);
  slider->Slider_SetMaxVariable(nullptr);
}

TEST_F(Sliders, ASliderDestroyedWhileSlidingStopsItsRepeatAndLetsTheMouseGo) {
  UtilLib_Slider* slider = MakeSlider();
  HWND window = slider->GetWindowHandle();
  Press(10 + 80, 15);  // paging, timer running
  notices.onNotice = [window](const std::string& name) {
    if (name == "Slider::Slide") ::DestroyWindow(window);
  };
  Move(10 + 85, 15);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(nullptr, GetCapture());
  Tick(2000);
  Move(10 + 90, 15);
  Release(10 + 90, 15);
}

}  // namespace

namespace {

TEST_F(Sliders, TheDefaultThumbsAreTheirOwnLength) {
  auto* slider = Make<UtilLib_Slider>("UtilLib_Slider", 10, 10, 200, 24);
  ASSERT_NE(nullptr, slider);
  long start = 0, end = 0;
  slider->GetThumb(start, end);
  EXPECT_EQ(63, end - start);
  EXPECT_EQ(24, slider->LayoutHints_GetPreferedYSize());
  EXPECT_EQ(-1, slider->LayoutHints_GetPreferedXSize());
  slider->SetWindowSize(24, 150);
  slider->SetValue(1.0f);
  slider->GetThumb(start, end);
  EXPECT_EQ(150 - 63, start);
  EXPECT_EQ(150, end);
  EXPECT_EQ(24, slider->LayoutHints_GetPreferedXSize());
}

}  // namespace
