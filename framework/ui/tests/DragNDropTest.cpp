// Drag and drop driven by the desktop's mouse and keys through the
// framework's loop: selection, drags between layouts, rubber bands, Escape,
// windows that go away mid-drag, and files dropped from the shell.
#include <qlxrapi/ControlWindowClasses.h>
#include <qlxrapi/DragNDropContext.h>
#include <qlxrapi/UtilLib_FreeFormLayout.h>
#include <qlxrapi/UtilLib_SimpleGrid.h>
#include <qlxrapi/WindowFunctions.h>
#include <win32/automation/Shell.h>

#include <algorithm>

#include "WindowTesting.h"

using namespace uitest;
namespace desktop = quellor::desktop;

namespace {

class Item : public BaseWindowClass, public Control_DragNDrop {
 public:
  bool DragNDrop_ShouldIDragAndDrop(HWND) override { return true; }
};

POINT CentreOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class DragNDrop : public ::testing::Test {
 protected:
  void SetUp() override {
    top = new TestWindow(log);
    ASSERT_TRUE(top->Open(nullptr, "top", WS_POPUP | WS_VISIBLE | SS_NOTIFY));
    SetWindowPos(top->GetWindowHandle(), nullptr, 100, 100, 400, 300, SWP_NOZORDER);
    left = OpenGrid(0);
    right = OpenGrid(200);
    for (HWND* item : {&a, &b, &c}) {
      auto* object = new Item;
      ASSERT_TRUE(object->OpenWindow(left->GetWindowHandle(), 0, 0, 40, 30, const_cast<char*>(""),
                                     WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0));
      *item = object->GetWindowHandle();
    }
    FlushMessageQueue();
    Orvane_PerformLayout(left->GetWindowHandle());
    SetFocus(top->GetWindowHandle());
    left->AddDependant(&leftNotices, 1);
    right->AddDependant(&rightNotices, 1);
  }
  void TearDown() override {
    desktop::ReleaseButton(desktop::Button::Left, 0, 0);
    FlushMessageQueue();
    if (IsWindow(top->GetWindowHandle())) ::DestroyWindow(top->GetWindowHandle());
    Settle();
  }
  UtilLib_SimpleGrid* OpenGrid(long x) {
    auto* grid = new UtilLib_SimpleGrid;
    // Plain static windows let the mouse through unless they ask for it.
    EXPECT_TRUE(grid->OpenWindow(top->GetWindowHandle(), x, 0, 200, 300, const_cast<char*>(""),
                                 WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0));
    return grid;
  }
  static bool Selected(HWND window) {
    return Orvane_GetWindowObject(window)->DragAndDrop_AmISelected();
  }
  void Press(POINT p, int dx = 0, int dy = 0) {
    desktop::PressButton(desktop::Button::Left, p.x + dx, p.y + dy);
    FlushMessageQueue();
  }
  void Move(POINT p, int dx = 0, int dy = 0) {
    desktop::MoveMouse(p.x + dx, p.y + dy);
    FlushMessageQueue();
  }
  void Release(POINT p, int dx = 0, int dy = 0) {
    desktop::ReleaseButton(desktop::Button::Left, p.x + dx, p.y + dy);
    FlushMessageQueue();
  }
  void Click(HWND window, int key = 0) {
    if (key != 0) desktop::PressKey(key);
    const POINT p = CentreOf(window);
    Press(p);
    Release(p);
    if (key != 0) desktop::ReleaseKey(key);
    FlushMessageQueue();
  }
  std::vector<HWND> ChildrenOf(BaseWindowClass* container) {
    std::vector<HWND> children;
    for (int i = 0; i < container->GetNoChildren(); ++i)
      children.push_back(container->GetChildhWnd(i));
    return children;
  }
  // The children left to right, top to bottom.
  std::vector<HWND> PlacedOrder(BaseWindowClass* container) {
    std::vector<HWND> children = ChildrenOf(container);
    std::sort(children.begin(), children.end(), [](HWND x, HWND y) {
      RECT rx{}, ry{};
      GetWindowRect(x, &rx);
      GetWindowRect(y, &ry);
      return rx.top != ry.top ? rx.top < ry.top : rx.left < ry.left;
    });
    return children;
  }

  Log log, leftLog, rightLog;
  NoticeRecorder leftNotices{leftLog}, rightNotices{rightLog};
  DragNDropContext context;
  TestWindow* top = nullptr;
  UtilLib_SimpleGrid* left = nullptr;
  UtilLib_SimpleGrid* right = nullptr;
  HWND a = nullptr, b = nullptr, c = nullptr;
};

TEST_F(DragNDrop, APressSelectsAtOnceAndSixPixelsDoNotStartADragButSevenDo) {
  const POINT p = CentreOf(a);
  Press(p);
  EXPECT_TRUE(Selected(a));
  EXPECT_TRUE(context.IsActive());
  EXPECT_EQ(a, GetCapture());
  Move(p, 3, 3);
  EXPECT_FALSE(context.IsDragging());
  Move(p, 4, 3);
  EXPECT_TRUE(context.IsDragging());
  Release(p, 4, 3);
  EXPECT_FALSE(context.IsActive());
  EXPECT_EQ(nullptr, GetCapture());
  EXPECT_TRUE(Contains(leftLog, "notice DragNDropContext::DragFinished"));
  EXPECT_FALSE(Contains(leftLog, "notice DragNDropContext::DragFinishedExited"));
  EXPECT_EQ(left->GetWindowHandle(), GetParent(a));
}

TEST_F(DragNDrop, LeavingThePressedItemStartsTheDragAtOnce) {
  Click(a);
  const POINT p = CentreOf(a);
  RECT r{};
  GetWindowRect(a, &r);
  Press(p);
  Move(POINT{r.left - 1, p.y});  // 21 pixels, but the pending item was left
  EXPECT_TRUE(context.IsDragging());
}

TEST_F(DragNDrop, CtrlClickTogglesOneItemAndShiftClickSelectsARange) {
  const std::vector<HWND> order = ChildrenOf(left);
  Click(order[0]);
  Click(order[2], VK_SHIFT);
  EXPECT_TRUE(Selected(order[0]) && Selected(order[1]) && Selected(order[2]));
  Click(order[1], VK_CONTROL);
  EXPECT_FALSE(Selected(order[1]));
  EXPECT_TRUE(Selected(order[0]) && Selected(order[2]));
  Click(order[1], VK_CONTROL);
  EXPECT_TRUE(Selected(order[0]) && Selected(order[1]) && Selected(order[2]));
  // A plain click on one of several selected items keeps only it.
  Click(order[1]);
  EXPECT_FALSE(Selected(order[0]) || Selected(order[2]));
  EXPECT_TRUE(Selected(order[1]));
  // Ctrl on the only selected one deselects it.
  Click(order[1], VK_CONTROL);
  EXPECT_FALSE(Selected(order[1]));
}

TEST_F(DragNDrop, ItemsDragIntoAnotherLayoutInTheOrderTheyWereSelected) {
  Click(c);
  Click(a, VK_CONTROL);
  const POINT p = CentreOf(a);
  Press(p);
  const POINT over = CentreOf(right->GetWindowHandle());
  Move(over);
  EXPECT_TRUE(context.IsDragging());
  // The items follow the mouse live, and the cursor says they may land.
  EXPECT_EQ(right->GetWindowHandle(), GetParent(a));
  EXPECT_EQ(DragNDropContext::GetDragCursor(DragNDropContext::kCursorTarget),
            desktop::CurrentCursor());
  Release(over);
  EXPECT_EQ((std::vector<HWND>{c, a}), PlacedOrder(right));
  EXPECT_EQ((std::vector<HWND>{b}), PlacedOrder(left));
  EXPECT_TRUE(Contains(rightLog, "notice DragNDropContext::DragFinished"));
  EXPECT_TRUE(Contains(leftLog, "notice DragNDropContext::DragFinishedExited"));
}

TEST_F(DragNDrop, OutsideEveryLayoutTheCursorRefusesAndTheItemsStayWhereTheyLastLanded) {
  const POINT p = CentreOf(b);
  Press(p);
  Move(CentreOf(right->GetWindowHandle()));
  rightLog.clear();
  Move(POINT{1500, 900});
  EXPECT_EQ(DragNDropContext::GetDragCursor(DragNDropContext::kCursorNoTarget),
            desktop::CurrentCursor());
  Release(POINT{1500, 900});
  EXPECT_EQ(right->GetWindowHandle(), GetParent(b));
  EXPECT_FALSE(Contains(rightLog, "notice DragNDropContext::DragFinished"));
}

TEST_F(DragNDrop, EscapePutsDraggedItemsBackWhereTheyWere) {
  RECT before{};
  GetWindowRect(b, &before);
  const std::vector<HWND> order = ChildrenOf(left);
  const POINT p = CentreOf(b);
  Press(p);
  Move(CentreOf(right->GetWindowHandle()));
  ASSERT_EQ(right->GetWindowHandle(), GetParent(b));
  desktop::PressKey(VK_ESCAPE);
  FlushMessageQueue();
  desktop::ReleaseKey(VK_ESCAPE);
  EXPECT_FALSE(context.IsActive());
  EXPECT_EQ(nullptr, GetCapture());
  EXPECT_EQ(left->GetWindowHandle(), GetParent(b));
  EXPECT_EQ(order, ChildrenOf(left));
  RECT after{};
  GetWindowRect(b, &after);
  EXPECT_EQ(before.left, after.left);
  EXPECT_EQ(before.top, after.top);
  EXPECT_EQ(0, right->GetNoChildren());
  EXPECT_TRUE(Contains(leftLog, "notice DragNDropContext::DragCancelled"));
  // The release that follows drops nothing.
  Release(CentreOf(right->GetWindowHandle()));
  EXPECT_EQ(left->GetWindowHandle(), GetParent(b));
}

TEST_F(DragNDrop, TheSourceLayoutGoingAwayMidDragEndsTheDrag) {
  Press(CentreOf(a));
  Move(CentreOf(a), 10, 0);
  ASSERT_TRUE(context.IsDragging());
  ::DestroyWindow(left->GetWindowHandle());  // takes b and c (and the capture) with it
  Move(CentreOf(right->GetWindowHandle()));
  EXPECT_FALSE(context.IsActive());
  Release(CentreOf(right->GetWindowHandle()));
  EXPECT_FALSE(context.IsActive());
}

TEST_F(DragNDrop, TheTargetGoingAwayWithTheDraggedItemEndsTheDrag) {
  Press(CentreOf(a));
  Move(CentreOf(right->GetWindowHandle()));
  ASSERT_EQ(right->GetWindowHandle(), GetParent(a));
  ::DestroyWindow(right->GetWindowHandle());  // a goes with it
  Move(CentreOf(left->GetWindowHandle()));
  EXPECT_FALSE(context.IsActive());
  EXPECT_FALSE(IsWindow(a));
  EXPECT_EQ(2, left->GetNoChildren());
}

TEST_F(DragNDrop, ARubberBandSelectsWhatItTouchesOneMoveBehindAndCtrlToggles) {
  const std::vector<HWND> order = PlacedOrder(left);  // 0, 40, 80 on one line
  RECT grid{};
  GetWindowRect(left->GetWindowHandle(), &grid);
  const POINT start{grid.left + 10, grid.top + 200};
  Press(start);
  EXPECT_TRUE(context.IsRubberBanding());
  EXPECT_TRUE(Contains(leftLog, "notice DragNDropContext::RubberbandStarted"));
  Move(POINT{grid.left + 60, grid.top + 10});
  EXPECT_FALSE(Selected(order[0]));  // the band as drawn before this move
  Move(POINT{grid.left + 61, grid.top + 10});
  EXPECT_TRUE(Selected(order[0]) && Selected(order[1]));
  EXPECT_FALSE(Selected(order[2]));
  Release(POINT{grid.left + 61, grid.top + 10});
  EXPECT_TRUE(Contains(leftLog, "notice DragNDropContext::RubberbandEnded"));
  // With Ctrl the band toggles what it touches.
  desktop::PressKey(VK_CONTROL);
  Press(POINT{grid.left + 50, grid.top + 200});
  Move(POINT{grid.left + 100, grid.top + 10});
  Move(POINT{grid.left + 101, grid.top + 10});
  Release(POINT{grid.left + 101, grid.top + 10});
  desktop::ReleaseKey(VK_CONTROL);
  EXPECT_TRUE(Selected(order[0]));
  EXPECT_FALSE(Selected(order[1]));
  EXPECT_TRUE(Selected(order[2]));
}

TEST_F(DragNDrop, IdleOverASelectedItemShowsTheSelectedCursor) {
  Click(a);
  Move(CentreOf(a), 1, 1);
  EXPECT_EQ(DragNDropContext::GetDragCursor(DragNDropContext::kCursorSelected),
            desktop::CurrentCursor());
  for (int id : {DragNDropContext::kCursorSelected, DragNDropContext::kCursorNoTarget,
                 DragNDropContext::kCursorTarget})
    EXPECT_NE(nullptr, DragNDropContext::GetDragCursor(id)) << id;
}

TEST_F(DragNDrop, FilesDroppedFromTheShellOnALayoutReachTheFirstWindowThatTakesThem) {
  top->takesFiles = true;
  NoticeRecorder notices(log);
  left->AddDependant(&notices, 2);
  ASSERT_TRUE(desktop::DropFiles(CentreOf(b), {"/clips/one.rtv", "/clips/two.rtv"}));
  FlushMessageQueue();
  EXPECT_TRUE(Contains(log, "notice BaseWindowClass::FilesDropped"));
  EXPECT_TRUE(Contains(log, "top dropped 2"));
}

TEST_F(DragNDrop, LayoutWindowClassesCreateTheirObjectsByName) {
  PluginClass* form =
      Orvane_New(const_cast<char*>("UtilLib_FreeFormLayout"), top->GetWindowHandle(), 0, 0, 50, 50,
                 const_cast<char*>("I Need A Name !"), WS_CHILD | WS_VISIBLE, 16);
  ASSERT_NE(nullptr, dynamic_cast<UtilLib_FreeFormLayout*>(form));
  PluginClass* grid = Orvane_New(const_cast<char*>("UtilLib_SimpleGrid"), top->GetWindowHandle(), 0,
                                 0, 50, 50, const_cast<char*>(""), WS_CHILD, 0);
  ASSERT_NE(nullptr, dynamic_cast<UtilLib_SimpleGrid*>(grid));
}

}  // namespace
