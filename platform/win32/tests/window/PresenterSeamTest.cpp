// What a presenter reads of the desktop: the part of a window drawn since it
// last looked, and the pixels of just that part.
#include <thread>

#include "WindowTestSupport.h"
#include "win32/automation/Presenter.h"

using namespace quellor::testing;
namespace desktop = quellor::desktop;

namespace {

class PresenterSeamTest : public WindowTest {};

::testing::AssertionResult Same(const RECT& a, const RECT& b) {
  if (a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "{" << a.left << ", " << a.top << ", " << a.right << ", " << a.bottom << "}";
}

// Damage is bounded by the drawing's clip: the update region in WM_PAINT,
// or the context's clip region.
void Fill(HWND hwnd, RECT r, COLORREF colour) {
  HDC dc = GetDC(hwnd);
  HRGN clip = CreateRectRgnIndirect(&r);
  SelectClipRgn(dc, clip);
  DeleteObject(clip);
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  ReleaseDC(hwnd, dc);
}

TEST_F(PresenterSeamTest, DamageIsWhatWasDrawnSinceTheLastLook) {
  HWND w = CreateRecording("damage", WS_POPUP | WS_VISIBLE, 10, 10, 100, 80);
  desktop::RunUntilIdle();
  // A new surface counts as drawn whole.
  EXPECT_TRUE(Same(desktop::TakeWindowDamage(w), RECT{0, 0, 100, 80}));
  EXPECT_TRUE(Same(desktop::TakeWindowDamage(w), RECT{0, 0, 0, 0}));
  // Two drawings make one bounding rectangle, clipped to the window.
  Fill(w, RECT{5, 6, 10, 12}, RGB(1, 2, 3));
  Fill(w, RECT{90, 70, 140, 200}, RGB(1, 2, 3));
  EXPECT_TRUE(Same(desktop::TakeWindowDamage(w), RECT{5, 6, 100, 80}));
  // A repaint of part of the window.
  SetHandler(w, [](HWND win, UINT msg, WPARAM, LPARAM, LRESULT* result) {
    if (msg != WM_PAINT) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(win, &ps);
    RECT all{0, 0, 100, 80};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EndPaint(win, &ps);
    *result = 0;
    return true;
  });
  RECT part{20, 30, 40, 50};
  InvalidateRect(w, &part, FALSE);
  UpdateWindow(w);
  EXPECT_TRUE(Same(desktop::TakeWindowDamage(w), part));
  // Moving draws nothing; resizing makes a new surface.
  SetWindowPos(w, nullptr, 50, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW);
  EXPECT_TRUE(Same(desktop::TakeWindowDamage(w), RECT{0, 0, 0, 0}));
  SetWindowPos(w, nullptr, 0, 0, 60, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
  EXPECT_TRUE(Same(desktop::TakeWindowDamage(w), RECT{0, 0, 60, 40}));
  EXPECT_TRUE(Same(desktop::TakeWindowDamage(nullptr), RECT{0, 0, 0, 0}));
}

TEST_F(PresenterSeamTest, ARectangleIsCopiedInPlaceAndNothingElse) {
  HWND w = CreateRecording("copy", WS_POPUP | WS_VISIBLE, 10, 10, 40, 30);
  Fill(w, RECT{0, 0, 40, 30}, RGB(0x10, 0x20, 0x30));
  std::vector<uint32_t> out(size_t(48) * 30, 0xDEADBEEF);  // a wider stride
  ASSERT_TRUE(desktop::CopyWindowRect(w, out.data(), 48 * 4, 40, 30, RECT{30, 20, 60, 60}));
  EXPECT_EQ(out[size_t(20) * 48 + 30] & 0xFFFFFF, 0x102030u);
  EXPECT_EQ(out[size_t(29) * 48 + 39] & 0xFFFFFF, 0x102030u);
  EXPECT_EQ(out[size_t(29) * 48 + 40], 0xDEADBEEFu);  // past the window's width
  EXPECT_EQ(out[size_t(19) * 48 + 30], 0xDEADBEEFu);  // above the rectangle
  EXPECT_EQ(out[size_t(20) * 48 + 29], 0xDEADBEEFu);
  EXPECT_FALSE(desktop::CopyWindowRect(nullptr, out.data(), 48 * 4, 40, 30, RECT{0, 0, 1, 1}));
}

// A window manager's move reaches the window on its own thread, when that
// thread next dispatches, without the presenter's thread waiting for it.
TEST_F(PresenterSeamTest, PlacementsFromAnotherThreadWaitForTheOwnersLoop) {
  HWND w = CreateRecording("placed", WS_POPUP | WS_VISIBLE, 10, 10, 100, 80);
  HWND other = CreateRecording("other", WS_POPUP | WS_VISIBLE, 30, 30, 50, 50);
  desktop::RunUntilIdle();
  std::thread([&] {
    EXPECT_TRUE(desktop::PlaceTopLevel(w, 5, 6, 70, 90));
    EXPECT_TRUE(desktop::RaiseTopLevel(w));
    EXPECT_FALSE(desktop::PlaceTopLevel(nullptr, 0, 0, 1, 1));
  }).join();
  RECT r{};
  GetWindowRect(w, &r);
  EXPECT_TRUE(Same(r, RECT{10, 10, 110, 90}));
  desktop::RunUntilIdle();
  GetWindowRect(w, &r);
  EXPECT_TRUE(Same(r, RECT{5, 6, 75, 96}));
  EXPECT_EQ(GetWindow(other, GW_HWNDPREV), w);  // raised above the later window
  // A stray message with the request's number is not taken for one.
  PostMessageA(w, 0x03F7, 0, 0x1234);
  desktop::RunUntilIdle();
  GetWindowRect(w, &r);
  EXPECT_TRUE(Same(r, RECT{5, 6, 75, 96}));
}

}  // namespace
