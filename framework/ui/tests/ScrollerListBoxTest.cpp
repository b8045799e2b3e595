// Scroll windows and the list box: the scrolling arithmetic, content moved
// and fitted in a real viewport (checked by its pixels), the list box's
// stacking and drop rules, and the list box driven by the mouse through
// drag and drop and a resize handle.
#include <qlxrapi/BitmapItem.h>
#include <qlxrapi/Control_DragNDrop.h>
#include <qlxrapi/DragNDropContext.h>
#include <qlxrapi/ListBoxRules.h>
#include <qlxrapi/SingleDirScroller.h>
#include <qlxrapi/UtilLib_Canvas.h>
#include <qlxrapi/UtilLib_ListBox.h>
#include <qlxrapi/UtilLib_Resize_Move.h>
#include <qlxrapi/UtilLib_Scroller.h>
#include <qlxrapi/WindowFunctions.h>

#include <cmath>
#include <limits>

#include "ControlTesting.h"
#include "LayoutTesting.h"

using namespace uitest;
using layouttest::Box;
using layouttest::Boxes;
using layouttest::Ids;
using layouttest::MakeList;
using layouttest::Owned;

namespace {

// ---- the arithmetic --------------------------------------------------------

TEST(ScrollArithmetic, ContentThatFitsStaysAtZeroWhateverTheScrollValue) {
  for (float scroll : {0.0f, 0.5f, 1.0f, 7.0f})
    EXPECT_EQ(UtilLib_Scroller::ContentOffset(100, 60, scroll), 0) << scroll;
  EXPECT_EQ(UtilLib_Scroller::ContentOffset(100, 100, 1.0f), 0);
}

TEST(ScrollArithmetic, TheOverhangIsScrolledByTheFractionTruncated) {
  EXPECT_EQ(UtilLib_Scroller::ContentOffset(100, 300, 0.0f), 0);
  EXPECT_EQ(UtilLib_Scroller::ContentOffset(100, 300, 0.5f), -100);
  EXPECT_EQ(UtilLib_Scroller::ContentOffset(100, 300, 1.0f), -200);
  EXPECT_EQ(UtilLib_Scroller::ContentOffset(100, 103, 0.5f), -1);  // -1.5 truncated
}

TEST(ScrollArithmetic, ValuesOutsideTheRangeCannotPushTheContentOutOfView) {
  EXPECT_EQ(UtilLib_Scroller::ContentOffset(100, 300, 1.5f), -200);
  EXPECT_EQ(UtilLib_Scroller::ContentOffset(100, 300, -0.5f), 0);
  EXPECT_EQ(UtilLib_Scroller::ContentOffset(100, 300, std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST(ScrollArithmetic, ShareIsViewOverContentHeldToOne) {
  EXPECT_FLOAT_EQ(SingleDirScroller::Share(80, 200), 0.4f);
  EXPECT_FLOAT_EQ(SingleDirScroller::Share(300, 200), 1.0f);
  EXPECT_FLOAT_EQ(SingleDirScroller::Share(80, 0), 1.0f);
  EXPECT_FLOAT_EQ(SingleDirScroller::Share(80, -5), 1.0f);
}

// ---- the list box rules ----------------------------------------------------

TEST(ListBoxRule, ItemsStackFromTheTopInTheOrderTheyStand) {
  Owned out;
  // Listed out of order (as z-order may give them); widths kept.
  out.list =
      quellor::win::ListBoxLayout(MakeList({{5, 50, 30, 10}, {40, 0, 20, 15}, {0, 20, 60, 5}}));
  EXPECT_EQ(Ids(out.list), (std::vector<long>{2, 3, 1}));
  EXPECT_EQ(Boxes(out.list), (std::vector<Box>{{0, 0, 20, 15}, {0, 15, 60, 5}, {0, 20, 30, 10}}));
  EXPECT_EQ(quellor::win::ListBoxLayout(nullptr), nullptr);
}

// Three stacked items 20 high (ids 1..3) and one dropped item 10 high (id 9).
WindowLayout_Item* DropAt(long y, bool sizeOnly = false) {
  return quellor::win::ListBoxDropPlacement(
      y, MakeList({{0, 0, 50, 20}, {0, 20, 50, 20}, {0, 40, 50, 20}}),
      MakeList({{30, 33, 50, 10}}, 9), sizeOnly);
}

TEST(ListBoxDrop, TheUpperHalfOfAnItemPutsTheDropBeforeItTheLowerHalfAfter) {
  Owned before{DropAt(25)};
  EXPECT_EQ(Ids(before.list), (std::vector<long>{1, 9, 2, 3}));
  Owned after{DropAt(30)};  // the middle of item 2 counts as its lower half
  EXPECT_EQ(Ids(after.list), (std::vector<long>{1, 2, 9, 3}));
  EXPECT_EQ(Boxes(after.list),
            (std::vector<Box>{{0, 0, 50, 20}, {0, 20, 50, 20}, {0, 40, 50, 10}, {0, 50, 50, 20}}));
}

TEST(ListBoxDrop, AboveEveryItemGoesFirstBelowEveryItemGoesLast) {
  Owned above{DropAt(-3)};
  EXPECT_EQ(Ids(above.list), (std::vector<long>{9, 1, 2, 3}));
  Owned top{DropAt(0)};
  EXPECT_EQ(Ids(top.list), (std::vector<long>{9, 1, 2, 3}));
  Owned below{DropAt(60)};
  EXPECT_EQ(Ids(below.list), (std::vector<long>{1, 2, 3, 9}));
}

TEST(ListBoxDrop, IntoAnEmptyBoxTheDroppedItemsAreStacked) {
  Owned out;
  out.list = quellor::win::ListBoxDropPlacement(12, nullptr,
                                                MakeList({{10, 10, 30, 8}, {50, 3, 20, 6}}), false);
  EXPECT_EQ(Boxes(out.list), (std::vector<Box>{{0, 0, 30, 8}, {0, 8, 20, 6}}));
}

TEST(ListBoxDrop, SizeOnlyKeepsTheItemsPlaceWithItsNewSize) {
  // Item 9 stands where item 2 stood (y 20) and is now 30 high.
  Owned out;
  out.list = quellor::win::ListBoxDropPlacement(100, MakeList({{0, 0, 50, 20}, {0, 40, 50, 20}}),
                                                MakeList({{0, 20, 50, 30}}, 9), true);
  EXPECT_EQ(Ids(out.list), (std::vector<long>{1, 9, 2}));
  EXPECT_EQ(Boxes(out.list), (std::vector<Box>{{0, 0, 50, 20}, {0, 20, 50, 30}, {0, 50, 50, 20}}));
}

// ---- windows ---------------------------------------------------------------

// A picture whose pixel (x, y) is red x, green y: where content is shown
// says which part of it is seen.
BitmapItem* CoordinatePicture(unsigned width, unsigned height) {
  auto* item = new BitmapItem(0ul);
  WindowBitmap* picture = item->GetBitmap();
  picture->Resize(width, height);
  for (unsigned y = 0; y < height; ++y)
    for (unsigned x = 0; x < width; ++x)
      *picture->GetPixel(x, y) = WindowPixel{0, std::uint8_t(y), std::uint8_t(x), 255};
  return item;
}

// Blending an opaque picture keeps 1/256 of what was under it: a channel
// may come out one lower.
bool Near(std::uint32_t seen, std::uint32_t expected) {
  for (int shift : {0, 8, 16}) {
    const int a = int((seen >> shift) & 255), b = int((expected >> shift) & 255);
    if (a > b || a < b - 1) return false;
  }
  return true;
}

class Scrollers : public ControlPanel {
 protected:
  // A 100 x 80 scroller at (20, 20) showing a 200 x 160 coordinate picture.
  template <typename Scroller>
  Scroller* MakeScroller(const char* className) {
    auto* scroller = Make<Scroller>(className, 20, 20, 100, 80);
    if (scroller == nullptr) return nullptr;
    HWND content = scroller->OpenChild(const_cast<char*>("UtilLib_Canvas"), 7, 9, 200, 160);
    auto* canvas = dynamic_cast<UtilLib_Canvas*>(Orvane_GetWindowObject(content));
    if (canvas == nullptr) return nullptr;
    canvas->Canvas_SetResource(Keep(CoordinatePicture(200, 160)));
    Run();
    return scroller;
  }
  POINT ContentAt(UtilLib_Scroller* scroller) {
    RECT r{};
    scroller->GetControlPosition(scroller->GetContentWindow(), &r);
    return POINT{r.left, r.top};
  }
  SIZE ContentSize(UtilLib_Scroller* scroller) {
    RECT r{};
    GetClientRect(scroller->GetContentWindow(), &r);
    return SIZE{r.right, r.bottom};
  }
};

TEST_F(Scrollers, ScrollValuesMoveTheContentThroughTheViewport) {
  auto* scroller = MakeScroller<UtilLib_Scroller>("UtilLib_Scroller");
  ASSERT_NE(scroller, nullptr);
  EXPECT_EQ(ContentAt(scroller).x, 0);  // the position arguments are not used
  EXPECT_EQ(ContentAt(scroller).y, 0);
  EXPECT_TRUE(Near(PixelAt(20, 20), Rgb(0, 0, 0)));
  EXPECT_TRUE(Near(PixelAt(119, 99), Rgb(99, 79, 0)));
  scroller->UtilLib_Scroller_GetScrollX()->Set(0.5f);
  scroller->UtilLib_Scroller_GetScrollY()->Set(1.0f);
  Run();
  EXPECT_EQ(ContentAt(scroller).x, -50);
  EXPECT_EQ(ContentAt(scroller).y, -80);
  EXPECT_TRUE(Near(PixelAt(20, 20), Rgb(50, 80, 0))) << std::hex << PixelAt(20, 20);
  EXPECT_TRUE(Near(PixelAt(119, 99), Rgb(149, 159, 0))) << std::hex << PixelAt(119, 99);
  EXPECT_FLOAT_EQ(scroller->fUtilLib_Scroller_GetScrollX(), 0.5f);
}

TEST_F(Scrollers, BoundValuesDriveTheContentAndTheScrollerOutlivesThem) {
  auto* scroller = MakeScroller<UtilLib_Scroller>("UtilLib_Scroller");
  ASSERT_NE(scroller, nullptr);
  {
    Dynamic<float> shared;
    scroller->UtilLib_Scroller_SetScrollY(&shared);
    EXPECT_EQ(scroller->UtilLib_Scroller_GetScrollY(), &shared);
    shared.Set(0.25f);
    Run();
    EXPECT_EQ(ContentAt(scroller).y, -20);
  }
  // The bound value is gone: the scroller's own value (0) is in use again.
  EXPECT_NE(scroller->UtilLib_Scroller_GetScrollY(), nullptr);
  scroller->UtilLib_Scroller_GetScrollY()->Set(1.0f);
  Run();
  EXPECT_EQ(ContentAt(scroller).y, -80);
}

TEST_F(Scrollers, OpeningNewContentDestroysTheOld) {
  auto* scroller = MakeScroller<UtilLib_Scroller>("UtilLib_Scroller");
  ASSERT_NE(scroller, nullptr);
  HWND old = scroller->GetContentWindow();
  HWND fresh = scroller->OpenChild(const_cast<char*>("UtilLib_Canvas"), 0, 0, 50, 40);
  Run();
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(scroller->GetContentWindow(), fresh);
  EXPECT_EQ(scroller->GetNoChildren(), 1);
  // Smaller than the view: it stays at 0 whatever the scroll values.
  scroller->UtilLib_Scroller_GetScrollX()->Set(1.0f);
  scroller->UtilLib_Scroller_GetScrollY()->Set(1.0f);
  Run();
  EXPECT_EQ(ContentAt(scroller).x, 0);
  EXPECT_EQ(ContentAt(scroller).y, 0);
  ::DestroyWindow(fresh);
  Run();
  EXPECT_EQ(scroller->GetContentWindow(), nullptr);
  scroller->UtilLib_Scroller_GetScrollX()->Set(0.0f);  // nothing to move
}

TEST_F(Scrollers, AVerticalOnlyScrollerKeepsItsContentAsWideAsTheView) {
  auto* scroller = MakeScroller<SingleDirScroller>("SingleDirScroller");
  ASSERT_NE(scroller, nullptr);
  EXPECT_TRUE(scroller->GetScrollX());
  Dynamic<float> widthShare, heightShare;
  scroller->SetWidthVar(&widthShare);
  scroller->SetHeightVar(&heightShare);
  EXPECT_FLOAT_EQ(widthShare.Get(), 0.5f);
  EXPECT_FLOAT_EQ(heightShare.Get(), 0.5f);
  scroller->SetScrollX(false);
  Run();
  EXPECT_EQ(ContentSize(scroller).cx, 100);
  EXPECT_EQ(ContentSize(scroller).cy, 160);
  EXPECT_FLOAT_EQ(widthShare.Get(), 1.0f);
  // Horizontal scrolling does nothing now; vertical still does.
  scroller->UtilLib_Scroller_GetScrollX()->Set(1.0f);
  scroller->UtilLib_Scroller_GetScrollY()->Set(1.0f);
  Run();
  EXPECT_EQ(ContentAt(scroller).x, 0);
  EXPECT_EQ(ContentAt(scroller).y, -80);
  // The view grows: the content follows it across, not down.
  scroller->SetWindowSize(150, 100);
  Run();
  EXPECT_EQ(ContentSize(scroller).cx, 150);
  EXPECT_EQ(ContentSize(scroller).cy, 160);
  EXPECT_EQ(ContentAt(scroller).y, -60);
  EXPECT_FLOAT_EQ(heightShare.Get(), 100.0f / 160.0f);
  scroller->SetScrollY(false);  // neither: the content is the view
  Run();
  EXPECT_EQ(ContentSize(scroller).cy, 100);
  EXPECT_EQ(ContentAt(scroller).y, 0);
  scroller->SetWidthVar(nullptr);
  scroller->SetHeightVar(nullptr);
}

TEST_F(Scrollers, ASharedValueDeletedFirstIsForgotten) {
  auto* scroller = MakeScroller<SingleDirScroller>("SingleDirScroller");
  ASSERT_NE(scroller, nullptr);
  {
    Dynamic<float> share;
    scroller->SetHeightVar(&share);
  }
  EXPECT_EQ(scroller->GetHeightVar(), nullptr);
  scroller->SetWindowSize(90, 70);  // publishes nothing, touches nothing gone
  Run();
}

// A window that can be dragged: a solid colour, draggable by drag and drop.
class DragItem : public BaseWindowClass, public Control_DragNDrop {
 public:
  explicit DragItem(std::uint32_t colour) : m_colour(colour) {}
  bool DragNDrop_ShouldIDragAndDrop(HWND) override { return true; }
  void PaintWindow(HWND, HDC dc) override {
    RECT r{0, 0, LONG(GetWindowWidth()), LONG(GetWindowHeight())};
    HBRUSH brush = CreateSolidBrush(RGB(m_colour >> 16, (m_colour >> 8) & 255, m_colour & 255));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }

 private:
  std::uint32_t m_colour;
};

class ListBoxes : public ControlPanel {
 protected:
  // A list box at (10, 10), 120 x 140, with three 100 x 20 items.
  void SetUp() override {
    ControlPanel::SetUp();
    box = Make<UtilLib_ListBox>("UtilLib_ListBox", 10, 10, 120, 140);
    ASSERT_NE(box, nullptr);
    for (int i = 0; i < 3; ++i) {
      items[i] = new DragItem(colours[i]);
      // SS_NOTIFY: a static window that takes the mouse rather than passing
      // it to its parent.
      ASSERT_TRUE(items[i]->OpenWindow(box->GetWindowHandle(), 0, 50 + i, 100, 20,
                                       const_cast<char*>(""), WS_CHILD | WS_VISIBLE | SS_NOTIFY,
                                       0));
    }
    // Windows opened straight into a layout are laid out by the next layout.
    Orvane_PerformLayout(box->GetWindowHandle());
    Run();
  }
  std::vector<long> Order() {
    std::vector<std::pair<long, long>> tops;
    for (int i = 0; i < 3; ++i) {
      RECT r{};
      box->GetControlPosition(items[i]->GetWindowHandle(), &r);
      tops.push_back({r.top, i});
    }
    std::sort(tops.begin(), tops.end());
    std::vector<long> order;
    for (auto& t : tops) order.push_back(t.second);
    return order;
  }
  long Top(int i) {
    RECT r{};
    box->GetControlPosition(items[i]->GetWindowHandle(), &r);
    return r.top;
  }

  UtilLib_ListBox* box = nullptr;
  DragItem* items[3] = {};
  const std::uint32_t colours[3] = {Rgb(200, 0, 0), Rgb(0, 200, 0), Rgb(0, 0, 200)};
};

TEST_F(ListBoxes, ChildrenAreStackedFromTheTop) {
  EXPECT_EQ(Order(), (std::vector<long>{0, 1, 2}));
  EXPECT_EQ(Top(0), 0);
  EXPECT_EQ(Top(1), 20);
  EXPECT_EQ(Top(2), 40);
  EXPECT_EQ(PixelAt(15, 15), colours[0]);
  EXPECT_EQ(PixelAt(15, 35), colours[1]);
  EXPECT_EQ(PixelAt(109, 69), colours[2]);
  ::DestroyWindow(items[1]->GetWindowHandle());  // a gap closes
  Run();
  RECT r{};
  box->GetControlPosition(items[2]->GetWindowHandle(), &r);
  EXPECT_EQ(r.top, 20);
}

TEST_F(ListBoxes, DraggingTheFirstItemOntoTheLowerHalfOfTheLastPutsItAfter) {
  DragNDropContext dragging;
  MouseEnterContext enter;
  Press(50, 15);  // item 0
  Move(50, 30);
  Move(50, 58);  // the lower half of item 2, which now stands at 40..60 less the gap
  Release(50, 58);
  EXPECT_EQ(Order(), (std::vector<long>{1, 2, 0}));
  EXPECT_EQ(Top(1), 0);
  EXPECT_EQ(Top(0), 40);
  EXPECT_EQ(PixelAt(15, 15), colours[1]);
  EXPECT_EQ(PixelAt(15, 55), colours[0]);
}

TEST_F(ListBoxes, DraggingOntoTheUpperHalfOfAnItemPutsItBefore) {
  DragNDropContext dragging;
  Press(50, 55);  // item 2
  Move(50, 40);
  Move(50, 13);  // the upper half of item 0
  Release(50, 13);
  EXPECT_EQ(Order(), (std::vector<long>{2, 0, 1}));
}

TEST_F(ListBoxes, EscapeDuringADragPutsTheItemBack) {
  DragNDropContext dragging;
  Press(50, 15);
  Move(50, 30);
  Move(50, 58);
  quellor::desktop::TypeKey(VK_ESCAPE);
  Run();
  Release(50, 58);
  EXPECT_EQ(Order(), (std::vector<long>{0, 1, 2}));
  EXPECT_EQ(Top(0), 0);
}

TEST_F(ListBoxes, AResizeHandleGrowsAnItemAndTheOnesBelowMoveDown) {
  // A bottom handle across the foot of item 0.
  PluginClass* made =
      Orvane_New(const_cast<char*>("UtilLib_Resize_Size_B"), items[0]->GetWindowHandle(), 0, 16,
                 100, 4, const_cast<char*>(""), WS_CHILD | WS_VISIBLE, 0);
  ASSERT_NE(made, nullptr);
  Run();
  Press(50, 27);  // on the handle (item 0 is at 10..30 in the panel)
  Move(50, 37);
  Release(50, 37);
  RECT r{};
  box->GetControlPosition(items[0]->GetWindowHandle(), &r);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.bottom - r.top, 30);
  EXPECT_EQ(Order(), (std::vector<long>{0, 1, 2}));
  EXPECT_EQ(Top(1), 30);
  EXPECT_EQ(Top(2), 50);
}

}  // namespace
