// Large families of child windows: the sibling walk as the z-order changes,
// finding the next window to paint in a tree that is mostly clean, and what
// a moving child repaints around it.
#include <algorithm>

#include "WindowTestSupport.h"

using namespace quellor::testing;
namespace desktop = quellor::desktop;

namespace {

class WindowTreeTest : public WindowTest {};

// The children of parent read forwards with GW_HWNDNEXT and backwards with
// GW_HWNDPREV, each checked against the other.
std::vector<HWND> Walk(HWND parent) {
  std::vector<HWND> forwards, backwards;
  for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    forwards.push_back(h);
  HWND first = GetWindow(parent, GW_CHILD);
  for (HWND h = first ? GetWindow(first, GW_HWNDLAST) : nullptr; h; h = GetWindow(h, GW_HWNDPREV))
    backwards.push_back(h);
  std::reverse(backwards.begin(), backwards.end());
  EXPECT_EQ(forwards, backwards);
  return forwards;
}

TEST_F(WindowTreeTest, SiblingWalkFollowsEveryChangeOfTheZOrder) {
  HWND parent = CreateRecording("p", WS_POPUP, 0, 0, 400, 400);
  std::vector<HWND> model;
  for (int i = 0; i < 40; ++i)
    model.push_back(CreateRecording("c", WS_CHILD, i, 0, 10, 10, parent));
  ASSERT_EQ(Walk(parent), model);
  auto moveTo = [&](HWND h, size_t at) {
    model.erase(std::find(model.begin(), model.end(), h));
    model.insert(model.begin() + std::ptrdiff_t(at), h);
  };
  const UINT keep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  // One to the top: every other child is now one place further down.
  HWND last = model.back();
  SetWindowPos(last, HWND_TOP, 0, 0, 0, 0, keep);
  moveTo(last, 0);
  ASSERT_EQ(Walk(parent), model);
  // One to the bottom, one behind another, several in a row.
  HWND second = model[1];
  SetWindowPos(second, HWND_BOTTOM, 0, 0, 0, 0, keep);
  moveTo(second, model.size() - 1);
  ASSERT_EQ(Walk(parent), model);
  for (int round = 0; round < 10; ++round) {
    HWND h = model[size_t(round * 7 % 40)], after = model[size_t(round * 13 % 40)];
    if (h == after) continue;
    SetWindowPos(h, after, 0, 0, 0, 0, keep);
    model.erase(std::find(model.begin(), model.end(), h));
    model.insert(std::find(model.begin(), model.end(), after) + 1, h);
    ASSERT_EQ(Walk(parent), model) << round;
  }
  // Put back where each already stands: nothing changes.
  SetWindowPos(model[0], HWND_TOP, 0, 0, 0, 0, keep);
  SetWindowPos(model.back(), HWND_BOTTOM, 0, 0, 0, 0, keep);
  SetWindowPos(model[9], model[8], 0, 0, 0, 0, keep);
  ASSERT_EQ(Walk(parent), model);
  // Windows leaving and joining the family.
  for (int i : {0, 10, 20}) {
    DestroyWindow(model[size_t(i)]);
    model.erase(model.begin() + i);
  }
  model.push_back(CreateRecording("n", WS_CHILD, 0, 0, 10, 10, parent));
  ASSERT_EQ(Walk(parent), model);
  HWND other = CreateRecording("o", WS_POPUP, 0, 0, 10, 10);
  HWND moved = model[5];
  SetParent(moved, other);
  model.erase(model.begin() + 5);
  ASSERT_EQ(Walk(parent), model);
  EXPECT_EQ(GetWindow(moved, GW_HWNDNEXT), nullptr);
  EXPECT_EQ(GetWindow(moved, GW_HWNDPREV), nullptr);
  // Each child found from its neighbour, in an order unlike the walk.
  for (size_t i = model.size() - 1; i > 0; --i) {
    ASSERT_EQ(GetWindow(model[i], GW_HWNDPREV), model[i - 1]);
    ASSERT_EQ(GetWindow(model[i - 1], GW_HWNDNEXT), model[i]);
  }
}

// Counts WM_PAINT per window and validates like BeginPaint does.
struct PaintCounter {
  std::vector<HWND> order;
  void Watch(HWND h) {
    SetHandler(h, [this](HWND win, UINT msg, WPARAM, LPARAM, LRESULT* result) {
      if (msg != WM_PAINT) return false;
      PAINTSTRUCT ps;
      BeginPaint(win, &ps);
      EndPaint(win, &ps);
      order.push_back(win);
      *result = 0;
      return true;
    });
  }
  size_t Of(HWND h) const { return size_t(std::count(order.begin(), order.end(), h)); }
};

TEST_F(WindowTreeTest, PaintFindsWindowsDeepInAQuietTree) {
  PaintCounter paints;
  HWND top = CreateRecording("t", WS_POPUP | WS_VISIBLE, 0, 0, 400, 400);
  paints.Watch(top);
  std::vector<HWND> children, grandchildren;
  for (int i = 0; i < 20; ++i) {
    HWND c = CreateRecording("c", WS_CHILD | WS_VISIBLE, (i % 5) * 50, (i / 5) * 50, 40, 40, top);
    HWND g = CreateRecording("g", WS_CHILD | WS_VISIBLE, 5, 5, 20, 20, c);
    paints.Watch(c);
    paints.Watch(g);
    children.push_back(c);
    grandchildren.push_back(g);
  }
  InvalidateRect(top, nullptr, TRUE);
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  desktop::RunUntilIdle();
  EXPECT_EQ(paints.Of(grandchildren[19]), 1u);
  paints.order.clear();
  // The tree is clean now; one window deep inside gets something to paint.
  InvalidateRect(grandchildren[7], nullptr, FALSE);
  desktop::RunUntilIdle();
  EXPECT_EQ(paints.order, std::vector<HWND>{grandchildren[7]});
  paints.order.clear();
  RedrawWindow(grandchildren[12], nullptr, nullptr, RDW_INTERNALPAINT);
  desktop::RunUntilIdle();
  EXPECT_EQ(paints.order, std::vector<HWND>{grandchildren[12]});
  paints.order.clear();
  // A search for one window leaves the others still to paint.
  InvalidateRect(grandchildren[3], nullptr, FALSE);
  InvalidateRect(grandchildren[4], nullptr, FALSE);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, grandchildren[4], WM_PAINT, WM_PAINT, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, grandchildren[4]);
  DispatchMessageA(&msg);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, grandchildren[3]);
  DispatchMessageA(&msg);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
  paints.order.clear();
  // A hidden branch paints when it is shown again.
  ShowWindow(children[9], SW_HIDE);
  desktop::RunUntilIdle();
  InvalidateRect(grandchildren[9], nullptr, FALSE);
  desktop::RunUntilIdle();
  EXPECT_EQ(paints.Of(grandchildren[9]), 0u);
  ShowWindow(children[9], SW_SHOW);
  desktop::RunUntilIdle();
  EXPECT_EQ(paints.Of(grandchildren[9]), 1u);
  paints.order.clear();
  // A window moved under a clean parent elsewhere still paints there.
  HWND quiet = CreateRecording("q", WS_POPUP | WS_VISIBLE, 500, 0, 100, 100);
  paints.Watch(quiet);
  desktop::RunUntilIdle();
  paints.order.clear();
  InvalidateRect(grandchildren[15], nullptr, FALSE);
  SetParent(grandchildren[15], quiet);
  desktop::RunUntilIdle();
  EXPECT_EQ(paints.Of(grandchildren[15]), 1u);
}

TEST_F(WindowTreeTest, AMovingChildRepaintsOnlyWhatItLeftAndWhereItWent) {
  HWND parent =
      CreateSolidWindow(RGB(255, 255, 255), WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 400, 60);
  PaintCounter paints;
  // The first is on top of the second, which it half covers; the rest stand
  // in a row apart from both.
  HWND moving = CreateRecording("m", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, parent);
  HWND covered = CreateRecording("c", WS_CHILD | WS_VISIBLE, 10, 0, 20, 20, parent);
  std::vector<HWND> apart;
  for (int i = 0; i < 30; ++i)
    apart.push_back(CreateRecording("a", WS_CHILD | WS_VISIBLE, 100 + i * 10, 30, 10, 10, parent));
  for (HWND h : {moving, covered}) paints.Watch(h);
  for (HWND h : apart) paints.Watch(h);
  desktop::RunUntilIdle();
  paints.order.clear();
  MoveWindow(moving, 40, 30, 20, 20, TRUE);
  RECT update{};
  EXPECT_TRUE(GetUpdateRect(covered, &update, FALSE));
  EXPECT_EQ(update.left, 0);  // what the moved window left of it: its left half
  EXPECT_EQ(update.right, 10);
  desktop::RunUntilIdle();
  EXPECT_EQ(paints.Of(moving), 1u);
  EXPECT_EQ(paints.Of(covered), 1u);
  for (HWND h : apart) EXPECT_EQ(paints.Of(h), 0u);
  // The parent repainted the rest of the old place.
  EXPECT_EQ(desktop::CaptureWindow(parent).At(5, 5), 0xFFFFFFu);
}

}  // namespace
