// Painting: update regions, WM_PAINT generation, clipping of children and
// siblings, window shapes and the composed screen.
#include "WindowTestSupport.h"

using namespace quellor::testing;
namespace desktop = quellor::desktop;

namespace {

class PaintTest : public WindowTest {};

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

// A window that paints its whole client area with a colour that changes on
// each paint, so repainted pixels can be told apart.
HWND CreateCountingWindow(DWORD style, int x, int y, int w, int h, int* paints,
                          HWND parent = nullptr) {
  HWND hwnd = CreateRecording("count", style, x, y, w, h, parent);
  SetHandler(hwnd, [paints](HWND win, UINT msg, WPARAM, LPARAM, LRESULT* result) {
    if (msg != WM_PAINT) return false;
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(win, &ps);
    ++*paints;
    HBRUSH brush = CreateSolidBrush(*paints == 1 ? RGB(255, 0, 0) : RGB(0, 255, 0));
    RECT client;
    GetClientRect(win, &client);
    FillRect(hdc, &client, brush);  // the paint region clips this
    DeleteObject(brush);
    EndPaint(win, &ps);
    *result = 0;
    return true;
  });
  return hwnd;
}

TEST_F(PaintTest, OnlyTheUpdateRegionIsRepainted) {
  int paints = 0;
  HWND w = CreateCountingWindow(WS_POPUP | WS_VISIBLE, 100, 100, 40, 30, &paints);
  desktop::RunUntilIdle();
  ASSERT_EQ(paints, 1);
  RECT part{10, 5, 20, 15};
  InvalidateRect(w, &part, FALSE);
  RECT update;
  EXPECT_TRUE(GetUpdateRect(w, &update, FALSE));
  EXPECT_TRUE(EqualRect(&update, &part));
  desktop::RunUntilIdle();
  ASSERT_EQ(paints, 2);
  auto pic = desktop::CaptureWindow(w);
  EXPECT_EQ(pic.At(15, 10), kGreen);  // inside the update region: second colour
  EXPECT_EQ(pic.At(9, 10), kRed);     // outside: untouched
  EXPECT_EQ(pic.At(20, 10), kRed);
  EXPECT_EQ(pic.At(15, 15), kRed);
  EXPECT_FALSE(GetUpdateRect(w, &update, FALSE));
  // Nothing to paint: no further WM_PAINT.
  desktop::RunUntilIdle();
  EXPECT_EQ(paints, 2);
}

TEST_F(PaintTest, HiddenWindowsGetNoPaintAndShowingPaintsAll) {
  int paints = 0;
  HWND w = CreateCountingWindow(WS_POPUP, 0, 0, 10, 10, &paints);
  InvalidateRect(w, nullptr, TRUE);
  desktop::RunUntilIdle();
  EXPECT_EQ(paints, 0);
  ShowWindow(w, SW_SHOW);
  desktop::RunUntilIdle();
  EXPECT_EQ(paints, 1);
  ValidateRect(w, nullptr);
  InvalidateRect(w, nullptr, FALSE);
  ValidateRect(w, nullptr);
  desktop::RunUntilIdle();
  EXPECT_EQ(paints, 1);
}

TEST_F(PaintTest, EraseUsesClassBackgroundBrush) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "Erased";
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, "Erased", "", WS_POPUP | WS_VISIBLE, 0, 0, 8, 8, nullptr, nullptr,
                           nullptr, nullptr);
  desktop::RunUntilIdle();
  EXPECT_EQ(desktop::CaptureWindow(w).At(3, 3), kWhite);
  DestroyWindow(w);
  UnregisterClassA("Erased", nullptr);
}

TEST_F(PaintTest, ClipChildrenKeepsParentPaintOffChildren) {
  for (bool clipChildren : {true, false}) {
    int parentPaints = 0, childPaints = 0;
    HWND parent = CreateCountingWindow(WS_POPUP | WS_VISIBLE | (clipChildren ? WS_CLIPCHILDREN : 0),
                                       0, 0, 50, 50, &parentPaints);
    HWND child = CreateSolidWindow(RGB(0, 0, 255), WS_CHILD | WS_VISIBLE, 10, 10, 10, 10, parent);
    desktop::RunUntilIdle();
    // Parent paints again; without WS_CLIPCHILDREN its fill covers the child
    // until the child repaints, and the child is invalidated for that.
    InvalidateRect(parent, nullptr, FALSE);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, parent);  // parents paint before their children
    DispatchMessageA(&msg);
    auto pic = desktop::CaptureWindow(parent);
    EXPECT_EQ(pic.At(15, 15), clipChildren ? kBlue : kGreen) << clipChildren;
    EXPECT_EQ(pic.At(5, 5), kGreen);
    RECT update;
    EXPECT_EQ(GetUpdateRect(child, &update, FALSE), clipChildren ? FALSE : TRUE);
    desktop::RunUntilIdle();
    EXPECT_EQ(desktop::CaptureWindow(parent).At(15, 15), kBlue);
    (void)childPaints;
    DestroyWindow(parent);
  }
}

TEST_F(PaintTest, ClipSiblingsKeepsLowerSiblingUnderTheUpperOne) {
  HWND parent =
      CreateSolidWindow(RGB(255, 255, 255), WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 60, 60);
  // First created is on top.
  HWND top = CreateSolidWindow(RGB(255, 0, 0), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 30,
                               30, parent);
  HWND below = CreateSolidWindow(RGB(0, 0, 255), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 20, 20,
                                 30, 30, parent);
  desktop::RunUntilIdle();
  // Repainting the lower sibling must not draw over the upper one.
  InvalidateRect(below, nullptr, FALSE);
  desktop::RunUntilIdle();
  auto pic = desktop::CaptureWindow(parent);
  EXPECT_EQ(pic.At(25, 25), kRed);
  EXPECT_EQ(pic.At(35, 35), kBlue);
  EXPECT_EQ(pic.At(55, 5), kWhite);
  // Hit testing follows the same order.
  EXPECT_EQ(WindowFromPoint(POINT{25, 25}), top);
  EXPECT_EQ(WindowFromPoint(POINT{35, 35}), below);
  EXPECT_EQ(WindowFromPoint(POINT{55, 5}), parent);
  // Bringing the lower one up repaints it on top.
  SetWindowPos(below, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  desktop::RunUntilIdle();
  EXPECT_EQ(desktop::CaptureWindow(parent).At(25, 25), kBlue);
}

TEST_F(PaintTest, MovingAChildExposesTheParent) {
  HWND parent =
      CreateSolidWindow(RGB(255, 255, 255), WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 60, 60);
  HWND child = CreateSolidWindow(RGB(255, 0, 0), WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent);
  desktop::RunUntilIdle();
  EXPECT_EQ(desktop::CaptureWindow(parent).At(5, 5), kRed);
  MoveWindow(child, 30, 30, 10, 10, TRUE);
  desktop::RunUntilIdle();
  auto pic = desktop::CaptureWindow(parent);
  EXPECT_EQ(pic.At(5, 5), kWhite);
  EXPECT_EQ(pic.At(35, 35), kRed);
  ShowWindow(child, SW_HIDE);
  desktop::RunUntilIdle();
  EXPECT_EQ(desktop::CaptureWindow(parent).At(35, 35), kWhite);
}

TEST_F(PaintTest, ScreenComposesTopLevelWindowsInZOrder) {
  HWND a = CreateSolidWindow(RGB(255, 0, 0), WS_POPUP | WS_VISIBLE, 100, 100, 50, 50);
  HWND b = CreateSolidWindow(RGB(0, 255, 0), WS_POPUP | WS_VISIBLE, 120, 120, 50, 50);
  desktop::RunUntilIdle();
  auto screen = desktop::CaptureScreen();
  EXPECT_EQ(screen.width, 1920);
  EXPECT_EQ(screen.At(110, 110), kRed);
  EXPECT_EQ(screen.At(130, 130), kGreen);   // b was created later: on top
  EXPECT_EQ(screen.At(99, 99), 0x008080u);  // the desktop colour
  SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(desktop::CaptureScreen().At(130, 130), kRed);
  // A topmost window stays above ordinary ones.
  SetWindowPos(b, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(desktop::CaptureScreen().At(130, 130), kGreen);
  EXPECT_TRUE(GetWindowLongPtrA(b, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(PaintTest, WindowShapeClipsDrawingScreenAndHitTesting) {
  HWND w = CreateSolidWindow(RGB(255, 0, 0), WS_POPUP | WS_VISIBLE, 200, 200, 40, 40);
  // Two squares: the window shows only there.
  struct {
    RGNDATAHEADER rdh;
    RECT rects[2];
  } data{{sizeof(RGNDATAHEADER), RDH_RECTANGLES, 2, 0, {0, 0, 40, 40}},
         {{0, 0, 10, 10}, {30, 30, 40, 40}}};
  HRGN shape = ExtCreateRegion(nullptr, sizeof data, reinterpret_cast<RGNDATA*>(&data));
  ASSERT_EQ(SetWindowRgn(w, shape, TRUE), 1);
  EXPECT_EQ(GetObjectType(shape), 0u);  // the system owns it now
  desktop::RunUntilIdle();
  auto screen = desktop::CaptureScreen();
  EXPECT_EQ(screen.At(205, 205), kRed);
  EXPECT_EQ(screen.At(220, 220), 0x008080u);
  EXPECT_EQ(screen.At(235, 235), kRed);
  EXPECT_EQ(WindowFromPoint(POINT{205, 205}), w);
  EXPECT_EQ(WindowFromPoint(POINT{220, 220}), nullptr);
}

TEST_F(PaintTest, RedrawWindowFlags) {
  int parentPaints = 0, childPaints = 0;
  HWND parent =
      CreateCountingWindow(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 50, 50, &parentPaints);
  CreateCountingWindow(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, &childPaints, parent);
  desktop::RunUntilIdle();
  parentPaints = childPaints = 0;
  RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(parentPaints, 1);  // painted at once, before returning
  EXPECT_EQ(childPaints, 0);   // WS_CLIPCHILDREN keeps children out
  RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(parentPaints, 2);
  EXPECT_EQ(childPaints, 1);
  RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  RedrawWindow(parent, nullptr, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN);
  desktop::RunUntilIdle();
  EXPECT_EQ(parentPaints, 2);
  EXPECT_EQ(childPaints, 1);
  UpdateWindow(parent);
  EXPECT_EQ(parentPaints, 2);
}

TEST_F(PaintTest, GetDcDrawsOnlyWhereTheWindowIsVisible) {
  HWND parent = CreateSolidWindow(RGB(255, 255, 255), WS_POPUP | WS_VISIBLE, 0, 0, 40, 40);
  HWND child = CreateSolidWindow(RGB(0, 0, 255), WS_CHILD | WS_VISIBLE, 30, 30, 20, 20, parent);
  desktop::RunUntilIdle();
  HDC hdc = GetDC(child);
  RECT all{0, 0, 20, 20};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(hdc, &all, red);
  ReleaseDC(child, hdc);
  DeleteObject(red);
  auto pic = desktop::CaptureWindow(parent);
  EXPECT_EQ(pic.At(35, 35), kRed);
  EXPECT_EQ(pic.At(29, 29), kWhite);
  RECT clip;
  hdc = GetDC(child);
  EXPECT_EQ(GetClipBox(hdc, &clip), SIMPLEREGION);
  EXPECT_EQ(clip.right, 10);  // the parent's client area cuts the child
  ReleaseDC(child, hdc);
}

TEST_F(PaintTest, ScreenVersionChangesWithDrawingAndLayout) {
  HWND w = CreateSolidWindow(RGB(1, 2, 3), WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  desktop::RunUntilIdle();
  uint64_t v0 = desktop::ScreenVersion();
  desktop::RunUntilIdle();
  EXPECT_EQ(desktop::ScreenVersion(), v0);  // nothing happened
  InvalidateRect(w, nullptr, FALSE);
  desktop::RunUntilIdle();
  uint64_t v1 = desktop::ScreenVersion();
  EXPECT_NE(v1, v0);
  MoveWindow(w, 5, 5, 10, 10, FALSE);
  EXPECT_NE(desktop::ScreenVersion(), v1);
}

}  // namespace
