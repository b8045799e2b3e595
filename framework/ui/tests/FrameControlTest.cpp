// Control window classes, resize handles, the skinned frame window and the
// drag button, driven through the desktop's mouse.
#include <qlxrapi/ControlWindowClasses.h>
#include <qlxrapi/DefaultResources.h>
#include <qlxrapi/DragNDropContext.h>
#include <qlxrapi/UtilLib_Canvas.h>
#include <qlxrapi/UtilLib_DragButton.h>
#include <qlxrapi/UtilLib_FreeFormLayout.h>
#include <qlxrapi/UtilLib_Resize_Size.h>
#include <qlxrapi/UtilLib_Slider.h>
#include <qlxrapi/UtilLib_Window.h>

#include <cstdlib>

#include "ControlTesting.h"

using namespace uitest;

namespace {

RECT PlaceIn(HWND window) {
  RECT place{};
  GetWindowRect(window, &place);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

// ---- control window classes ------------------------------------------------

// Sees the messages of its window from creation on.
class Probe : public BaseWindowClass {
 public:
  static inline bool sawCreate = false;

 protected:
  LRESULT AdditionalCallback(HWND window, UINT message, WPARAM w, LPARAM l) override {
    if (message == WM_CREATE) sawCreate = Orvane_GetWindowObject(window) == this;
    return BaseWindowClass::AdditionalCallback(window, message, w, l);
  }
};

PluginClass* MakeProbe(char* name) {
  return std::strcmp(name, "TestProbeControl") == 0 ? new Probe : nullptr;
}

// A class of that name that is no window object.
class NotAWindow : public PluginClass {};
PluginClass* MakeNotAWindow(char* name) {
  return std::strcmp(name, "TestNotAWindow") == 0 ? new NotAWindow : nullptr;
}

using ControlClasses = ControlPanel;

TEST_F(ControlClasses, AControlWindowIsBoundToItsObjectBeforeItIsCreated) {
  ASSERT_TRUE(Orvane_RegisterControlWindowClass("TestProbeControl", &MakeProbe));
  EXPECT_FALSE(Orvane_RegisterControlWindowClass("TestProbeControl", &MakeProbe));
  Probe::sawCreate = false;
  HWND window = CreateWindowExA(0, "TestProbeControl", "", WS_CHILD, 0, 0, 10, 10,
                                panel->GetWindowHandle(), nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, window);
  EXPECT_TRUE(Probe::sawCreate);
  EXPECT_NE(nullptr, dynamic_cast<Probe*>(Orvane_GetWindowObject(window)));
  ::DestroyWindow(window);
  EXPECT_TRUE(Orvane_UnRegisterControlWindowClass("TestProbeControl"));
  EXPECT_FALSE(Orvane_UnRegisterControlWindowClass("TestProbeControl"));
  EXPECT_EQ(nullptr, CreateWindowExA(0, "TestProbeControl", "", WS_CHILD, 0, 0, 10, 10,
                                     panel->GetWindowHandle(), nullptr, nullptr, nullptr));
  EXPECT_EQ(nullptr, Orvane_New(const_cast<char*>("TestProbeControl")));
}

TEST_F(ControlClasses, AClassWhoseObjectIsNoWindowMakesNoWindow) {
  ASSERT_TRUE(Orvane_RegisterControlWindowClass("TestNotAWindow", &MakeNotAWindow));
  EXPECT_EQ(nullptr, CreateWindowExA(0, "TestNotAWindow", "", WS_CHILD, 0, 0, 10, 10,
                                     panel->GetWindowHandle(), nullptr, nullptr, nullptr));
  Orvane_UnRegisterControlWindowClass("TestNotAWindow");
  EXPECT_FALSE(Orvane_RegisterControlWindowClass("", &MakeNotAWindow));
  EXPECT_FALSE(Orvane_RegisterControlWindowClass("TestNothing", nullptr));
}

TEST_F(ControlClasses, EveryLibraryControlIsAWindowClassOfItsName) {
  for (const char* name :
       {"UtilLib_Button", "UtilLib_ToggleButton", "UtilLib_DragButton", "UtilLib_Slider",
        "UtilLib_Edit", "UtilLib_Canvas", "UtilLib_Resize_Move", "UtilLib_Resize_Size_T",
        "UtilLib_Resize_Size_TL", "UtilLib_Resize_Size_TR", "UtilLib_Resize_Size_B",
        "UtilLib_Resize_Size_BL", "UtilLib_Resize_Size_BR", "UtilLib_Resize_Size_L",
        "UtilLib_Resize_Size_R", "UtilLib_FreeFormLayout", "UtilLib_SimpleGrid",
        "UtilLib_Window"}) {
    HWND window = CreateWindowExA(0, name, "", WS_CHILD, 0, 0, 30, 30, panel->GetWindowHandle(),
                                  nullptr, nullptr, nullptr);
    EXPECT_NE(nullptr, Orvane_GetWindowObject(window)) << name;
    PluginClass* plain = Orvane_New(const_cast<char*>(name));
    EXPECT_NE(nullptr, dynamic_cast<BaseWindowClass*>(plain)) << name;
    delete plain;
  }
  Settle();
}

// ---- resize handles ---------------------------------------------------------

class Handles : public ControlPanel {
 protected:
  // A 100 x 80 canvas at (20, 20) of a container, with a handle of className
  // 16 x 16 at (x, y) in it.
  UtilLib_Resize_Move* MakeHandle(HWND container, const char* className, long x, long y) {
    auto* box = dynamic_cast<BaseWindowClass*>(
        Orvane_New(const_cast<char*>("UtilLib_Canvas"), container, 20, 20, 100, 80,
                   const_cast<char*>(""), WS_CHILD | WS_VISIBLE, 0));
    if (box == nullptr) return nullptr;
    boxWindow = box->GetWindowHandle();
    auto* handle = dynamic_cast<UtilLib_Resize_Move*>(
        Orvane_New(const_cast<char*>(className), boxWindow, x, y, 16, 16, const_cast<char*>(""),
                   WS_CHILD | WS_VISIBLE, 0));
    Settle();
    return handle;
  }
  HWND boxWindow = nullptr;
};

TEST_F(Handles, ACornerHandleSizesItsParentAndKeepsSixteenPixels) {
  auto* handle = MakeHandle(panel->GetWindowHandle(), "UtilLib_Resize_Size_BR", 84, 64);
  ASSERT_NE(nullptr, handle);
  EXPECT_EQ(MessageHook_BottomRight, handle->GetResizeType());
  EXPECT_EQ(boxWindow, handle->GetControlledWindow());
  const int hx = 20 + 84 + 8, hy = 20 + 64 + 8;
  Press(hx, hy);
  Move(hx + 30, hy + 10);
  RECT place = PlaceIn(boxWindow);
  EXPECT_EQ((RECT{20, 20, 150, 110}).right, place.right);
  EXPECT_EQ(110, place.bottom);
  Move(hx - 300, hy - 300);
  place = PlaceIn(boxWindow);
  EXPECT_EQ(20, place.left);
  EXPECT_EQ(20 + 16, place.right);
  EXPECT_EQ(20 + 16, place.bottom);
  Release(hx - 300, hy - 300);
  EXPECT_FALSE(handle->IsDragging());
}

TEST_F(Handles, TheMoveHandleShiftsAndTheTopLeftHandleStretches) {
  MakeHandle(panel->GetWindowHandle(), "UtilLib_Resize_Move", 40, 0);
  Press(20 + 45, 20 + 5);
  Move(20 + 45 + 7, 20 + 5 - 3);
  Release(20 + 45 + 7, 20 + 5 - 3);
  RECT place = PlaceIn(boxWindow);
  EXPECT_EQ(27, place.left);
  EXPECT_EQ(17, place.top);
  EXPECT_EQ(127, place.right);
  auto* corner = dynamic_cast<UtilLib_Resize_Move*>(
      Orvane_New(const_cast<char*>("UtilLib_Resize_Size_TL"), boxWindow, 0, 0, 16, 16,
                 const_cast<char*>(""), WS_CHILD | WS_VISIBLE, 0));
  ASSERT_NE(nullptr, corner);
  Settle();
  Press(27 + 2, 17 + 2);
  Move(27 + 2 - 10, 17 + 2 - 5);
  Release(27 + 2 - 10, 17 + 2 - 5);
  place = PlaceIn(boxWindow);
  EXPECT_EQ((RECT{17, 12, 127, 97}).left, place.left);
  EXPECT_EQ(12, place.top);
  EXPECT_EQ(127, place.right);
  EXPECT_EQ(97, place.bottom);
}

TEST_F(Handles, AFreeFormParentPlacesTheResizedWindowAndSnapsIt) {
  auto* layout = Make<UtilLib_FreeFormLayout>("UtilLib_FreeFormLayout", 0, 0, 200, 140);
  ASSERT_NE(nullptr, layout);
  MakeHandle(layout->GetWindowHandle(), "UtilLib_Resize_Size_R", 84, 30);
  Press(20 + 90, 20 + 35);
  Move(20 + 90 + 20, 20 + 35);
  EXPECT_EQ(140, PlaceIn(boxWindow).right);
  Move(20 + 90 + 76, 20 + 35);  // 4 pixels short of the layout's edge
  EXPECT_EQ(200, PlaceIn(boxWindow).right);
  Release(20 + 90 + 76, 20 + 35);
  EXPECT_EQ(20, PlaceIn(boxWindow).left);
}

TEST_F(Handles, AWindowDestroyedUnderADraggedHandleEndsTheDrag) {
  auto* handle = MakeHandle(panel->GetWindowHandle(), "UtilLib_Resize_Size_B", 40, 64);
  HWND handleWindow = handle->GetWindowHandle();
  Press(20 + 45, 20 + 70);
  ASSERT_TRUE(handle->IsDragging());
  ::DestroyWindow(boxWindow);
  EXPECT_FALSE(IsWindow(handleWindow));
  EXPECT_EQ(nullptr, GetCapture());
  Move(20 + 45, 20 + 90);
  Release(20 + 45, 20 + 90);
}

// ---- the skinned frame -------------------------------------------------------

class Frames : public ControlPanel {
 protected:
  void TearDown() override {
    if (frame != nullptr && IsWindow(frameWindow)) ::DestroyWindow(frameWindow);
    ControlPanel::TearDown();
  }
  // A popup frame at screen (400, 300) of the default frame's size.
  void MakeFrame(long width = 217, long height = 184) {
    frame = new UtilLib_Window;
    ASSERT_TRUE(frame->OpenWindow(nullptr, 400, 300, width, height, const_cast<char*>("frame"),
                                  WS_POPUP | WS_VISIBLE, 0));
    frameWindow = frame->GetWindowHandle();
    Settle();
  }
  RECT Piece(HWND piece) { return PlaceIn(piece); }
  UtilLib_Window* frame = nullptr;
  HWND frameWindow = nullptr;
};

TEST_F(Frames, ThePiecesAreBuiltByNameAndPlacedFromTheirLooks) {
  MakeFrame();
  ASSERT_NE(nullptr, frame->GethWnd_Centre());
  EXPECT_NE(nullptr,
            dynamic_cast<UtilLib_FreeFormLayout*>(Orvane_GetWindowObject(frame->GethWnd_Centre())));
  EXPECT_NE(nullptr, dynamic_cast<UtilLib_Resize_Size_BR*>(
                         Orvane_GetWindowObject(frame->GethWnd_BottomRight())));
  char title[64] = {};
  GetWindowTextA(frame->GethWnd_TitleBar(), title, sizeof title);
  EXPECT_STREQ("I Need A Name !", title);
  EXPECT_EQ((RECT{0, 0, 10, 10}).right, Piece(frame->GethWnd_TopLeft()).right);
  const RECT top = Piece(frame->GethWnd_Top());
  EXPECT_EQ(10, top.left);
  EXPECT_EQ(207, top.right);
  EXPECT_EQ(10, top.bottom);
  const RECT titleBar = Piece(frame->GethWnd_TitleBar());
  EXPECT_EQ(10, titleBar.top);
  EXPECT_EQ(25, titleBar.bottom);
  const RECT centre = Piece(frame->GethWnd_Centre());
  EXPECT_EQ((RECT{10, 25, 207, 179}).top, centre.top);
  EXPECT_EQ(207, centre.right);
  EXPECT_EQ(179, centre.bottom);
  const RECT bottomRight = Piece(frame->GethWnd_BottomRight());
  EXPECT_EQ(207, bottomRight.left);
  EXPECT_EQ(179, bottomRight.top);
  const RECT right = Piece(frame->GethWnd_Right());
  EXPECT_EQ(10, right.top);
  EXPECT_EQ(179, right.bottom);
}

TEST_F(Frames, AFrameOfTheLooksSizeShowsTheFramePictureWhole) {
  MakeFrame();
  BitmapItem* picture = quellor::win::DefaultCanvasBackground();
  ASSERT_NE(nullptr, picture);
  WindowBitmap* expected = picture->GetBitmap();
  ASSERT_EQ(217u, expected->GetWidth());
  const auto shown = quellor::desktop::CaptureWindow(frameWindow);
  int worst = 0;
  for (unsigned long y = 0; y < expected->GetHeight(); ++y)
    for (unsigned long x = 0; x < expected->GetWidth(); ++x) {
      const WindowPixel* p = expected->GetPixel(x, y);
      const std::uint32_t s = shown.At(int(x), int(y));
      worst = std::max({worst, std::abs(int(p->red) - int((s >> 16) & 0xFF)),
                        std::abs(int(p->green) - int((s >> 8) & 0xFF)),
                        std::abs(int(p->blue) - int(s & 0xFF))});
    }
  EXPECT_LE(worst, 1);  // opaque blending keeps 1/256 of what was under it
}

TEST_F(Frames, TheTitleBarMovesTheFrameAndTheCornerSizesIt) {
  MakeFrame();
  // Panel coordinates: the frame is at screen (400, 300), the panel at 100.
  Press(300 + 50, 200 + 15);
  Move(300 + 80, 200 + 5);
  Release(300 + 80, 200 + 5);
  RECT place{};
  GetWindowRect(frameWindow, &place);
  EXPECT_EQ(430, place.left);
  EXPECT_EQ(290, place.top);
  Press(330 + 212, 190 + 181);
  Move(330 + 212 + 40, 190 + 181 + 20);
  Release(330 + 212 + 40, 190 + 181 + 20);
  EXPECT_EQ(257, frame->GetWindowWidth());
  EXPECT_EQ(204, frame->GetWindowHeight());
  EXPECT_EQ(247, Piece(frame->GethWnd_Right()).left);
  EXPECT_EQ(247, Piece(frame->GethWnd_Top()).right);
  EXPECT_EQ(199, Piece(frame->GethWnd_Centre()).bottom);
}

TEST_F(Frames, ASkinRegisteredUnderAPiecesNameChangesTheFrame) {
  MakeFrame();
  auto* look = new ScreenObject_Composite;
  look->ScreenObject_Composite_AddChild(Solid(250, 0, 250), true);
  auto* height = new ScreenObjectNull;
  height->ScreenObject_SetPreferedYSize(14);
  look->ScreenObject_Composite_AddChild(height, true);
  BuildResource(const_cast<char*>("DEFAULTRESOURCE_WINDOWTITLE"), look);
  frame->ApplySkin();
  EXPECT_EQ(10 + 14, Piece(frame->GethWnd_TitleBar()).bottom);
  EXPECT_EQ(24, Piece(frame->GethWnd_Centre()).top);
  EXPECT_EQ(Rgb(250, 0, 250), quellor::desktop::CaptureWindow(frameWindow).At(100, 15));
  ::DestroyWindow(frameWindow);
  Settle();
  frame = nullptr;
  // Put the library's own title look back for the tests that follow.
  BitmapItem* whole = quellor::win::DefaultCanvasBackground();
  auto* title =
      new BitmapItem(whole, 10, 10, 217 - 20, 15, const_cast<char*>("DEFAULTRESOURCE_WINDOWTITLE"));
  title->SetAlignment(129);
}

// ---- the drag button ---------------------------------------------------------

TEST_F(ControlClasses, TheDragButtonIsPressedExactlyWhileItIsSelected) {
  DragNDropContext dragAndDrop;
  auto* grid = Make<BaseWindowClass>("UtilLib_SimpleGrid", 0, 0, 200, 100);
  ASSERT_NE(nullptr, grid);
  auto* button = dynamic_cast<UtilLib_DragButton*>(
      Orvane_New(const_cast<char*>("UtilLib_DragButton"), grid->GetWindowHandle(), 0, 0, 40, 20,
                 const_cast<char*>(""), WS_CHILD | WS_VISIBLE, 0));
  ASSERT_NE(nullptr, button);
  auto* blue = Keep(Solid(0, 0, 200));
  for (int state = 0; state < 4; ++state) button->Button_SetResource(state, blue);
  button->AddDependant(&notices, 0);
  Settle();
  const RECT place = PlaceIn(button->GetWindowHandle());
  const int x = place.left + 10, y = place.top + 10;
  Click(x, y);
  EXPECT_TRUE(button->DragAndDrop_AmISelected());
  EXPECT_EQ(1, button->Button_GetVariable()->Get());
  EXPECT_EQ(nullptr, GetCapture());
  // The selection shade over the look: (shade x 64 + look x 192) / 256.
  EXPECT_EQ(Rgb(63, 16, 166), PixelAt(x, y));
  button->Button_GetVariable()->Set(0);
  EXPECT_FALSE(button->DragAndDrop_AmISelected());
  EXPECT_EQ(Rgb(0, 0, 200), PixelAt(x, y));
  button->Button_GetVariable()->Set(1);
  EXPECT_TRUE(button->DragAndDrop_AmISelected());
  Click(150, 80);  // a press on the grid's empty space deselects its items
  EXPECT_FALSE(button->DragAndDrop_AmISelected());
  EXPECT_EQ(0, button->Button_GetVariable()->Get());
  const auto seen = notices.Take();
  EXPECT_NE(seen.end(), std::find(seen.begin(), seen.end(), "Button::Clicked"));
}

}  // namespace

namespace {

TEST_F(ControlClasses, ADragButtonDestroyedWhileItIsDraggedEndsTheDragQuietly) {
  DragNDropContext dragAndDrop;
  auto* grid = Make<BaseWindowClass>("UtilLib_SimpleGrid", 0, 0, 200, 100);
  ASSERT_NE(nullptr, grid);
  auto* button = dynamic_cast<UtilLib_DragButton*>(
      Orvane_New(const_cast<char*>("UtilLib_DragButton"), grid->GetWindowHandle(), 0, 0, 40, 20,
                 const_cast<char*>(""), WS_CHILD | WS_VISIBLE, 0));
  ASSERT_NE(nullptr, button);
  Settle();
  const RECT place = PlaceIn(button->GetWindowHandle());
  const int x = place.left + 10, y = place.top + 10;
  Press(x, y);
  Move(x + 30, y + 30);  // past the drag distance: dragging
  ::DestroyWindow(button->GetWindowHandle());
  Move(x + 60, y + 40);
  Release(x + 60, y + 40);
  EXPECT_EQ(nullptr, GetCapture());
  EXPECT_EQ(0, grid->GetNoChildren());
}

}  // namespace
