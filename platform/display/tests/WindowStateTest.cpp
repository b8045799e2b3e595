// The state the subset and X keep in step beyond pixels: window shapes, the
// cursor, the stacking order (both ways) and geometry changed from the X side
// (as a window manager does), read back from the server.
#include "PresenterFixture.h"
// clang-format off
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/shape.h>
// clang-format on

#include <algorithm>
#include <array>

#include "win32/automation/Presenter.h"

namespace {

using namespace quellor::display::testing;

class WindowStateTest : public PresenterTest {
 protected:
  // Our X windows among the root's children, topmost first.
  std::vector<Window> XStacking(const std::vector<Window>& ours) {
    Display* d = server_->Connection();
    Window root = DefaultRootWindow(d), parent = 0, *children = nullptr;
    unsigned count = 0;
    std::vector<Window> order;
    XQueryTree(d, root, &root, &parent, &children, &count);
    for (unsigned i = count; i-- > 0;)
      if (std::find(ours.begin(), ours.end(), children[i]) != ours.end())
        order.push_back(children[i]);
    if (children) XFree(children);
    return order;
  }

  // The subset's top-level windows among `ours`, topmost first.
  std::vector<HWND> SubsetStacking(const std::vector<HWND>& ours) {
    std::vector<HWND> order;
    for (const auto& top : quellor::desktop::TopLevelWindows())
      if (std::find(ours.begin(), ours.end(), top.hwnd) != ours.end()) order.push_back(top.hwnd);
    return order;
  }
};

TEST_F(WindowStateTest, AWindowRegionShapesTheXWindow) {
  HWND hwnd = MakeWindow("shaped", 20, 20, 100, 100);
  Window x = 0;
  ASSERT_TRUE(PumpUntil([&] { return (x = FindX("shaped")) != 0; }));
  // Two squares touching at a corner.
  HRGN shape = CreateRectRgn(0, 0, 50, 50);
  HRGN second = CreateRectRgn(50, 50, 100, 100);
  CombineRgn(shape, shape, second, RGN_OR);
  DeleteObject(second);
  SetWindowRgn(hwnd, shape, TRUE);
  Display* d = server_->Connection();
  auto rectangles = [&] {
    int count = 0, ordering = 0;
    XRectangle* r = XShapeGetRectangles(d, x, ShapeBounding, &count, &ordering);
    std::vector<std::array<int, 4>> out;
    for (int i = 0; i < count; ++i) out.push_back({r[i].x, r[i].y, r[i].width, r[i].height});
    if (r) XFree(r);
    return out;
  };
  const std::vector<std::array<int, 4>> squares{{0, 0, 50, 50}, {50, 50, 50, 50}};
  ASSERT_TRUE(PumpUntil([&] { return rectangles() == squares; }));
  // Taking the region away makes the window whole again.
  SetWindowRgn(hwnd, nullptr, TRUE);
  const std::vector<std::array<int, 4>> whole{{0, 0, 100, 100}};
  EXPECT_TRUE(PumpUntil([&] { return rectangles() == whole; }));
}

TEST_F(WindowStateTest, TheSubsetsCursorIsTheXCursor) {
  MakeWindow("cursor", 10, 10, 100, 100);
  ASSERT_TRUE(PumpUntil([&] { return FindX("cursor") != 0; }));
  Display* d = server_->Connection();
  XTestFakeMotionEvent(d, 0, 50, 50, 0);  // over the window
  XFlush(d);
  auto shown = [&] {
    XFixesCursorImage* image = XFixesGetCursorImage(d);
    std::string name = image && image->name ? image->name : "";
    if (image) XFree(image);
    return name;
  };
  for (auto [id, name] : {std::pair{IDC_IBEAM, "xterm"}, std::pair{IDC_SIZEWE, "sb_h_double_arrow"},
                          std::pair{IDC_ARROW, "left_ptr"}}) {
    SetCursor(LoadCursorA(nullptr, id));
    EXPECT_TRUE(PumpUntil([&] {
      SetCursor(LoadCursorA(nullptr, id));  // mouse moves may set the class cursor
      return shown() == name;
    })) << name
        << " shows " << shown();
  }
}

TEST_F(WindowStateTest, StackingFollowsBothWays) {
  HWND a = MakeWindow("stack a", 10, 10, 100, 100);
  HWND b = MakeWindow("stack b", 60, 60, 100, 100);
  Window xa = 0, xb = 0;
  ASSERT_TRUE(PumpUntil([&] { return (xa = FindX("stack a")) && (xb = FindX("stack b")); }));
  // The subset raises a: so does X.
  SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ASSERT_TRUE(PumpUntil([&] { return XStacking({xa, xb}) == std::vector<Window>{xa, xb}; }));
  // Another X client raises b: so does the subset.
  XRaiseWindow(server_->Connection(), xb);
  XFlush(server_->Connection());
  EXPECT_TRUE(PumpUntil([&] { return SubsetStacking({a, b}) == std::vector<HWND>{b, a}; }));
  // And the X order stays as X made it.
  EXPECT_EQ(XStacking({xa, xb}), (std::vector<Window>{xb, xa}));
}

TEST_F(WindowStateTest, MovesAndSizesMadeOnTheXSideReachTheSubset) {
  HWND hwnd = MakeWindow("managed", 30, 40, 160, 120, WS_POPUP | WS_THICKFRAME);
  Window x = 0;
  ASSERT_TRUE(PumpUntil([&] { return (x = FindX("managed")) != 0; }));
  Display* d = server_->Connection();
  XMoveResizeWindow(d, x, 200, 150, 240, 180);
  XFlush(d);
  RECT r{};
  ASSERT_TRUE(PumpUntil([&] {
    GetWindowRect(hwnd, &r);
    return r.left == 200 && r.top == 150 && r.right == 440 && r.bottom == 330;
  })) << r.left
      << "," << r.top << " " << r.right << "," << r.bottom;
  // The new size is painted whole and the X window is not moved back.
  ASSERT_TRUE(PumpUntil([&] {
    XImage* image = XGetImage(d, x, 0, 0, 240, 180, AllPlanes, ZPixmap);
    if (!image) return false;
    const bool red = (XGetPixel(image, 230, 170) & 0xFFFFFF) == 0xFF0000u;
    XDestroyImage(image);
    return red;
  }));
  XWindowAttributes a{};
  ASSERT_TRUE(XGetWindowAttributes(d, x, &a));
  EXPECT_EQ(a.x, 200);
  EXPECT_EQ(a.y, 150);
  // And the subset's own moves still reach X.
  SetWindowPos(hwnd, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_TRUE(PumpUntil(
      [&] { return XGetWindowAttributes(d, x, &a) && a.x == 10 && a.y == 20 && a.width == 240; }));
}

}  // namespace
