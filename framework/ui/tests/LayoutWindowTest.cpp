// Layout windows on the subset: scroll values, held layouts, children that
// come and go while a layout runs, the free-form window's resize.
#include <qlxrapi/UtilLib_FreeFormLayout.h>
#include <qlxrapi/UtilLib_SimpleGrid.h>
#include <qlxrapi/WindowFunctions.h>
#include <qlxrapi/WindowLayout.h>

#include <algorithm>

#include <memory>

#include "WindowTesting.h"

using namespace uitest;

namespace {

RECT Placement(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

::testing::AssertionResult At(HWND window, long x, long y) {
  const RECT r = Placement(window);
  if (r.left == x && r.top == y) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "at " << r.left << "," << r.top << " not " << x << "," << y;
}

// A child that can act while the layout moves it.
class Child : public BaseWindowClass {
 public:
  bool Open(HWND parent, long x, long y, long w, long h) {
    return OpenWindow(parent, x, y, w, h, const_cast<char*>(""), WS_CHILD | WS_VISIBLE, 0);
  }
  void WindowMoved(long, long) override {
    if (onMoved) {
      auto once = std::move(onMoved);
      onMoved = nullptr;
      once();
    }
  }
  std::function<void()> onMoved;
};

class LayoutWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    top = new TestWindow(log);
    ASSERT_TRUE(top->Open(nullptr, "top", WS_POPUP | WS_VISIBLE));
    SetWindowPos(top->GetWindowHandle(), nullptr, 0, 0, 400, 300, SWP_NOZORDER);
  }
  void TearDown() override {
    ::DestroyWindow(top->GetWindowHandle());
    Settle();
  }
  template <typename Layout>
  Layout* Open(long x, long y, long w, long h) {
    auto* layout = new Layout;
    EXPECT_TRUE(layout->OpenWindow(top->GetWindowHandle(), x, y, w, h, const_cast<char*>(""),
                                   WS_CHILD | WS_VISIBLE, 0));
    return layout;
  }
  HWND AddChild(BaseWindowClass* parent, long x, long y, long w, long h) {
    auto* child = new Child;
    EXPECT_TRUE(child->Open(parent->GetWindowHandle(), x, y, w, h));
    return child->GetWindowHandle();
  }
  Log log;
  TestWindow* top = nullptr;
};

TEST_F(LayoutWindows, ScrollValuesFollowTheContentAndShiftTheChildren) {
  auto* grid = Open<UtilLib_SimpleGrid>(0, 0, 100, 50);
  HWND a = AddChild(grid, 0, 0, 40, 30);
  AddChild(grid, 0, 0, 40, 30);
  HWND c = AddChild(grid, 0, 0, 40, 30);
  Dynamic<float> xPos, xMax, xWidth, yPos, yMax, yWidth;
  grid->BaseWindowLayoutManager_X_Slider_SetVariable(&xPos);
  grid->BaseWindowLayoutManager_X_Slider_SetMaxVariable(&xMax);
  grid->BaseWindowLayoutManager_X_Slider_SetSliderWidth(&xWidth);
  grid->BaseWindowLayoutManager_Y_Slider_SetVariable(&yPos);
  grid->BaseWindowLayoutManager_Y_Slider_SetMaxVariable(&yMax);
  grid->BaseWindowLayoutManager_Y_Slider_SetSliderWidth(&yWidth);
  Settle();
  Orvane_PerformLayout(grid->GetWindowHandle());
  // Two items on the first line (80 wide, less than 100), one on the second:
  // 60 high in a 50-high window.
  EXPECT_TRUE(At(c, 0, 30));
  EXPECT_FLOAT_EQ(100.0f, xMax.Get());
  EXPECT_FLOAT_EQ(100.0f, xWidth.Get());
  EXPECT_FLOAT_EQ(10.0f, yMax.Get());
  EXPECT_FLOAT_EQ(10.0f * 50.0f / 60.0f, yWidth.Get());
  // Writing a position lays out at once, shifted.
  yPos.Set(5.0f);
  EXPECT_TRUE(At(a, 0, -5));
  EXPECT_TRUE(At(c, 0, 25));
  EXPECT_EQ(5, grid->GetScrollOffsetY());
  // Past the maximum it is brought back to it.
  yPos.Set(50.0f);
  EXPECT_FLOAT_EQ(10.0f, yPos.Get());
  EXPECT_TRUE(At(a, 0, -10));
  // The horizontal content fits: its position is held at 0.
  xPos.Set(30.0f);
  EXPECT_FLOAT_EQ(0.0f, xPos.Get());
  EXPECT_TRUE(At(a, 0, -10));
  // Values the manager outlives are let go of, not written to.
  {
    auto gone = std::make_unique<Dynamic<float>>();
    grid->BaseWindowLayoutManager_Y_Slider_SetMaxVariable(gone.get());
  }
  EXPECT_EQ(nullptr, grid->BaseWindowLayoutManager_Y_Slider_GetMaxVariable());
  Orvane_PerformLayout(grid->GetWindowHandle());
  ::DestroyWindow(grid->GetWindowHandle());
}

TEST_F(LayoutWindows, EmptyManagerAndContentExactlyAsWideAsTheWindow) {
  auto* form = Open<UtilLib_FreeFormLayout>(0, 0, 100, 50);
  Dynamic<float> xMax, xWidth;
  xMax.Set(3.0f);
  form->BaseWindowLayoutManager_X_Slider_SetMaxVariable(&xMax);
  form->BaseWindowLayoutManager_X_Slider_SetSliderWidth(&xWidth);
  Orvane_PerformLayout(form->GetWindowHandle());
  EXPECT_FLOAT_EQ(100.0f, xMax.Get());  // extent 1 is less than 100
  EXPECT_FLOAT_EQ(100.0f, xWidth.Get());
  AddChild(form, 0, 0, 100, 10);
  Orvane_PerformLayout(form->GetWindowHandle());
  EXPECT_FLOAT_EQ(0.0f, xMax.Get());
  EXPECT_FLOAT_EQ(0.0f, xWidth.Get());
  ::DestroyWindow(form->GetWindowHandle());
}

TEST_F(LayoutWindows, HeldLayoutsMoveNothingUntilTheLastHoldLaysOut) {
  auto* grid = Open<UtilLib_SimpleGrid>(0, 0, 200, 100);
  HWND a = AddChild(grid, 70, 70, 20, 20);
  Settle();
  EXPECT_TRUE(At(a, 0, 0));  // the grid laid out when it opened
  grid->MultipleLayouts_Start();
  grid->MultipleLayouts_Start();
  SetWindowPos(a, nullptr, 70, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  Orvane_PerformLayout(grid->GetWindowHandle());
  EXPECT_TRUE(At(a, 70, 70));
  grid->MultipleLayouts_Finished(true);  // one hold is left
  EXPECT_TRUE(At(a, 70, 70));
  grid->MultipleLayouts_Finished(false);
  EXPECT_TRUE(At(a, 70, 70));
  EXPECT_EQ(0, grid->GetLayoutHoldCount());
  grid->MultipleLayouts_Start();
  grid->MultipleLayouts_Finished(true);
  EXPECT_TRUE(At(a, 0, 0));
  // Spacing lays out again.
  grid->UtilLib_SimpleGrid_PutSpacingX(4);
  grid->UtilLib_SimpleGrid_PutSpacingY(6);
  EXPECT_TRUE(At(a, 4, 6));
  ::DestroyWindow(grid->GetWindowHandle());
}

TEST_F(LayoutWindows, ChildrenDestroyedAndCreatedWhileALayoutRuns) {
  auto* grid = Open<UtilLib_SimpleGrid>(0, 0, 200, 100);
  Settle();
  HWND first = AddChild(grid, 150, 50, 30, 30);
  HWND doomed = AddChild(grid, 150, 50, 30, 30);
  HWND last = AddChild(grid, 150, 50, 30, 30);
  HWND added = nullptr;
  // Moving the topmost child destroys a sibling the layout has yet to place
  // and opens a new child (which asks for a layout of its own).
  auto* mover =
      static_cast<Child*>(Orvane_GetWindowObject(GetWindow(grid->GetWindowHandle(), GW_CHILD)));
  ASSERT_NE(nullptr, mover);
  mover->onMoved = [&] {
    ::DestroyWindow(doomed);
    added = grid->OpenChild(const_cast<char*>("STATIC"), 180, 80, 10, 10, WS_CHILD | WS_VISIBLE);
  };
  Orvane_PerformLayout(grid->GetWindowHandle());
  ASSERT_NE(nullptr, added);
  EXPECT_FALSE(IsWindow(doomed));
  EXPECT_EQ(3, grid->GetNoChildren());
  // The request made during the layout ran afterwards: all three flow.
  std::vector<long> lefts;
  for (HWND child = GetWindow(grid->GetWindowHandle(), GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT))
    lefts.push_back(Placement(child).left);
  std::sort(lefts.begin(), lefts.end());
  EXPECT_EQ((std::vector<long>{0, 30, 60}), lefts);  // the new child last
  EXPECT_TRUE(IsWindow(first) && IsWindow(last));
  ::DestroyWindow(grid->GetWindowHandle());
}

TEST_F(LayoutWindows, FreeFormKeepsChildrenWhereTheyAreAndGluesEdgesOnResize) {
  auto* form = Open<UtilLib_FreeFormLayout>(0, 0, 200, 100);
  HWND right = AddChild(form, 150, 10, 50, 20);
  HWND loose = AddChild(form, 13, 17, 20, 20);
  Settle();
  // The first layout after opening (same size) moves nothing.
  EXPECT_TRUE(At(right, 150, 10));
  EXPECT_TRUE(At(loose, 13, 17));
  form->SetWindowSize(300, 100);
  EXPECT_TRUE(At(right, 250, 10));
  EXPECT_EQ(300, form->GetLastWidth());
  ::DestroyWindow(form->GetWindowHandle());
}

TEST_F(LayoutWindows, ADropMovesWindowsFromOneLayoutIntoAnother) {
  auto* from = Open<UtilLib_SimpleGrid>(0, 0, 200, 100);
  auto* to = Open<UtilLib_SimpleGrid>(0, 100, 200, 100);
  HWND a = AddChild(from, 0, 0, 30, 30);
  HWND b = AddChild(from, 0, 0, 30, 30);
  HWND c = AddChild(to, 0, 0, 30, 30);
  Settle();
  tList<Control_DragNDrop_DropInfo> items;
  Control_DragNDrop_DropInfo info;
  info.window = b;
  info.newLeft = 100;
  info.newTop = 5;
  info.newRight = 140;  // a new width too
  info.newBottom = 35;
  items.AddItem(info);
  to->DragNDrop_DropItemsHere(to->GetWindowHandle(), 100, 5, &items, false, true);
  EXPECT_EQ(to->GetWindowHandle(), GetParent(b));
  EXPECT_TRUE(At(c, 0, 0));
  EXPECT_TRUE(At(b, 30, 0));
  EXPECT_EQ(40, Placement(b).right - Placement(b).left);
  // The grid it left closed up.
  EXPECT_EQ(1, from->GetNoChildren());
  EXPECT_TRUE(At(a, 0, 0));
  // A container is never dropped into itself or its own child.
  items.Clear();
  info.window = to->GetWindowHandle();
  items.AddItem(info);
  to->DragNDrop_DropItemsHere(to->GetWindowHandle(), 0, 0, &items, false, true);
  EXPECT_EQ(top->GetWindowHandle(), GetParent(to->GetWindowHandle()));
  ::DestroyWindow(from->GetWindowHandle());
  ::DestroyWindow(to->GetWindowHandle());
}

}  // namespace
