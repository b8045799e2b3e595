// Buttons and toggle buttons driven by the mouse: the value they write, the
// notices, the state they draw.
#include <qlxrapi/UtilLib_Button.h>
#include <qlxrapi/UtilLib_ToggleButton.h>
#include <qlxrapi/WindowBitmap.h>

#include "ControlTesting.h"

using namespace uitest;

namespace {

const std::uint32_t kUp = Rgb(0, 0, 200), kDown = Rgb(200, 0, 0), kRoll = Rgb(0, 200, 0),
                    kRollDown = Rgb(200, 200, 0);

class Buttons : public ControlPanel {
 protected:
  // A 40 x 20 button at (10, 10) with a colour per state.
  UtilLib_Button* MakeButton(const char* className = "UtilLib_Button", long x = 10) {
    auto* button = Make<UtilLib_Button>(className, x, 10, 40, 20);
    if (button == nullptr) return nullptr;
    button->Button_SetResource(0, skin[0]);
    button->Button_SetResource(1, skin[1]);
    button->Button_SetResource(2, skin[2]);
    button->Button_SetResource(3, skin[3]);
    return button;
  }
  ScreenObjectSolid* skin[4] = {Keep(Solid(0, 0, 200)), Keep(Solid(200, 0, 0)),
                                Keep(Solid(0, 200, 0)), Keep(Solid(200, 200, 0))};
};

TEST_F(Buttons, ClickWritesTheSelectedStateAndDrawsItDown) {
  UtilLib_Button* button = MakeButton();
  ASSERT_NE(nullptr, button);
  EXPECT_EQ(kUp, PixelAt(12, 12));
  Press(20, 15);
  EXPECT_EQ((Notices{"Button::Clicked", "Button::DragToggleOn"}), notices.Take());
  EXPECT_EQ(1, button->Button_GetVariable()->Get());
  EXPECT_TRUE(button->IsExclusive());
  Release(20, 15);
  EXPECT_EQ((Notices{"Button::ReleasedOn"}), notices.Take());
  EXPECT_FALSE(button->IsExclusive());
  EXPECT_EQ(kDown, PixelAt(12, 12));
  EXPECT_EQ(kDown, PixelAt(49, 29));
  EXPECT_EQ(1, button->GetLastDrawnState());
}

TEST_F(Buttons, DraggingOutAndBackInRestoresAndRewritesTheValueOncePerCrossing) {
  UtilLib_Button* button = MakeButton();
  Dynamic<int> shared;
  shared.Set(7);
  button->Button_UseVariable(&shared);
  Press(20, 15);
  notices.Take();
  Move(80, 15);
  Move(90, 40);  // still outside: nothing more
  EXPECT_EQ((Notices{"Button::DragToggleOff"}), notices.Take());
  EXPECT_EQ(7, shared.Get());
  EXPECT_EQ(kUp, PixelAt(12, 12));
  Move(30, 20);
  EXPECT_EQ((Notices{"Button::DragToggleOn"}), notices.Take());
  EXPECT_EQ(1, shared.Get());
  Move(100, 100);
  Release(100, 100);
  EXPECT_EQ((Notices{"Button::DragToggleOff", "Button::ReleasedOff"}), notices.Take());
  EXPECT_EQ(7, shared.Get());
  button->Button_UseVariable(nullptr);  // before shared goes
}

TEST_F(Buttons, ButtonsSharingAVariableActAsARadioGroup) {
  UtilLib_Button* first = MakeButton("UtilLib_Button", 10);
  UtilLib_Button* second = MakeButton("UtilLib_Button", 60);
  Dynamic<int> choice;
  first->Button_UseVariable(&choice);
  second->Button_UseVariable(&choice);
  second->Button_SetSelectedState(2);
  Click(20, 15);
  EXPECT_EQ(1, choice.Get());
  EXPECT_EQ(kDown, PixelAt(12, 12));
  EXPECT_EQ(kUp, PixelAt(62, 12));
  Click(70, 15);
  EXPECT_EQ(2, choice.Get());
  EXPECT_EQ(kUp, PixelAt(12, 12));
  EXPECT_EQ(kDown, PixelAt(62, 12));
  first->Button_UseVariable(nullptr);
  second->Button_UseVariable(nullptr);
}

TEST_F(Buttons, DoubleClickActsAsAClick) {
  UtilLib_Button* button = MakeButton();
  Dynamic<int>* variable = button->Button_GetVariable();
  SendMessageA(button->GetWindowHandle(), WM_LBUTTONDBLCLK, MK_LBUTTON, Point(5, 5));
  EXPECT_EQ(1, variable->Get());
  EXPECT_EQ((Notices{"Button::Clicked", "Button::DragToggleOn"}), notices.Take());
  SendMessageA(button->GetWindowHandle(), WM_LBUTTONUP, 0, Point(5, 5));
  EXPECT_EQ((Notices{"Button::ReleasedOn"}), notices.Take());
}

TEST_F(Buttons, RolloverFollowsTheMouseButStaysWhileTracking) {
  MouseEnterContext enter;
  UtilLib_Button* button = MakeButton();
  Move(5, 60);  // the panel first
  Move(20, 15);
  EXPECT_TRUE(button->IsMouseOver());
  EXPECT_EQ(kRoll, PixelAt(12, 12));
  Press(20, 15);
  EXPECT_EQ(kRollDown, PixelAt(12, 12));
  Move(100, 100);  // captured: the button keeps the mouse
  Release(100, 100);
  Move(120, 120);
  EXPECT_FALSE(button->IsMouseOver());
  EXPECT_EQ(kUp, PixelAt(12, 12));
}

TEST_F(Buttons, StatesFallBackToOtherStatesThenToTheRegistryDefault) {
  auto* button = Make<UtilLib_Button>("UtilLib_Button", 10, 10, 40, 20);
  // No resource: the library's default look, and its size.
  EXPECT_EQ(135, button->LayoutHints_GetPreferedXSize());
  EXPECT_EQ(24, button->LayoutHints_GetPreferedYSize());
  WindowBitmap reference(40, 20);
  reference.Clear(WindowPixel{0, 0, 0, 255});
  RECT all{0, 0, 40, 20};
  GetResource(const_cast<char*>("DEFAULTRESOURCE_BUTTON_UP"))
      ->ScreenObject_DrawItem(&all, reference.GetHDC());
  const WindowPixel* expected = reference.GetPixel(20, 10);
  // Blended over what was there: opaque pixels keep 1/256 of it.
  const std::uint32_t shown = PixelAt(30, 20);
  EXPECT_NEAR(expected->red, (shown >> 16) & 0xFF, 1);
  EXPECT_NEAR(expected->green, (shown >> 8) & 0xFF, 1);
  EXPECT_NEAR(expected->blue, shown & 0xFF, 1);
  button->Button_SetResource(3, skin[3]);  // RoDn is the last fallback of Up
  EXPECT_EQ(kRollDown, PixelAt(12, 12));
  button->Button_SetResource(1, skin[1]);  // Dn comes before it
  EXPECT_EQ(kDown, PixelAt(12, 12));
}

TEST_F(Buttons, RegistryEntriesThatGoAreForgottenAndNamesAreReported) {
  auto* button = Make<UtilLib_Button>("UtilLib_Button", 10, 10, 40, 20);
  BuildResource(const_cast<char*>("test.up"), Solid(1, 2, 3));
  button->Button_SetResource(0, const_cast<char*>("test.up"));
  EXPECT_STREQ("test.up", button->Button_GetResourceName(0));
  EXPECT_EQ(Rgb(1, 2, 3), PixelAt(12, 12));
  BuildResource(const_cast<char*>("TEST.UP"), Solid(4, 5, 6));  // the old entry is deleted
  EXPECT_EQ(nullptr, button->Button_GetResource(0));
  EXPECT_EQ(nullptr, button->Button_GetResourceName(0));
  button->RePaint();  // draws no stale entry
  DeleteResource(const_cast<char*>("test.up"));
}

TEST_F(Buttons, AVariableThatGoesLeavesTheButtonOnItsOwn) {
  UtilLib_Button* button = MakeButton();
  Dynamic<int>* own = button->Button_GetVariable();
  {
    Dynamic<int> shortLived;
    button->Button_UseVariable(&shortLived);
  }
  EXPECT_EQ(own, button->Button_GetVariable());
  Click(20, 15);
  EXPECT_EQ(1, own->Get());
}

TEST_F(Buttons, TheButtonTakesThePreferredSizeOfItsLargestState) {
  auto* button = Make<UtilLib_Button>("UtilLib_Button", 10, 10, 40, 20);
  auto* small = Keep(new ScreenObjectNull);
  auto* wide = Keep(new ScreenObjectNull);
  small->ScreenObject_SetPreferedXSize(30);
  small->ScreenObject_SetPreferedYSize(12);
  wide->ScreenObject_SetPreferedXSize(50);
  button->Button_SetResource(0, small);
  button->Button_SetResource(1, wide);
  EXPECT_EQ(50, button->LayoutHints_GetPreferedXSize());
  EXPECT_EQ(12, button->LayoutHints_GetPreferedYSize());
  EXPECT_EQ(50, button->GetWindowWidth());
  EXPECT_EQ(12, button->GetWindowHeight());
  small->ScreenObject_SetPreferedYSize(18);  // a resource's change resizes too
  EXPECT_EQ(18, button->GetWindowHeight());
}

TEST_F(Buttons, AToggleButtonIsPressedOnlyWithAllItsBits) {
  auto* toggle = dynamic_cast<UtilLib_ToggleButton*>(MakeButton("UtilLib_ToggleButton"));
  ASSERT_NE(nullptr, toggle);
  Dynamic<int> flags;
  flags.Set(2);
  toggle->Button_UseVariable(&flags);
  toggle->Button_SetSelectedState(6);
  EXPECT_FALSE(toggle->Button_IsPressed());
  Press(20, 15);
  EXPECT_EQ((Notices{"Button::Clicked"}), notices.Take());
  EXPECT_EQ(6, flags.Get());
  Release(20, 15);
  EXPECT_EQ((Notices{"Button::ReleasedOn"}), notices.Take());
  EXPECT_EQ(kDown, PixelAt(12, 12));
  flags.Set(7);
  Click(20, 15);
  EXPECT_EQ(1, flags.Get());  // only its own bits cleared
  EXPECT_EQ((Notices{"Button::Clicked", "Button::ReleasedOff"}), notices.Take());
  toggle->Button_UseVariable(nullptr);
}

TEST_F(Buttons, AToggleDraggedOutPutsTheBitsBack) {
  auto* toggle = MakeButton("UtilLib_ToggleButton");
  Press(20, 15);
  Move(120, 15);
  EXPECT_EQ(0, toggle->Button_GetVariable()->Get());
  Move(20, 15);
  EXPECT_EQ(1, toggle->Button_GetVariable()->Get());
  Release(20, 15);
  EXPECT_EQ((Notices{"Button::Clicked", "Button::DragToggleOff", "Button::DragToggleOn",
                     "Button::ReleasedOn"}),
            notices.Take());
}

TEST_F(Buttons, AButtonDestroyedWhileTrackingLetsTheMouseGo) {
  UtilLib_Button* button = MakeButton();
  const long live = BaseWindowClass::GetLiveWindowCount();
  Press(20, 15);
  ASSERT_TRUE(button->IsTracking());
  ::DestroyWindow(button->GetWindowHandle());
  EXPECT_EQ(live - 1, BaseWindowClass::GetLiveWindowCount());
  EXPECT_EQ(nullptr, GetCapture());
  Move(30, 30);
  Release(30, 30);
}

TEST_F(Buttons, AButtonDestroyedByItsOwnClickNoticeIsDeletedAfterwards) {
  UtilLib_Button* button = MakeButton();
  HWND window = button->GetWindowHandle();
  notices.onNotice = [window](const std::string& name) {
    if (name == "Button::Clicked") ::DestroyWindow(window);
  };
  Press(20, 15);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(nullptr, GetCapture());
  Release(20, 15);
}

}  // namespace
