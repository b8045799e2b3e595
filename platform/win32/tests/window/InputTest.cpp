// Mouse and keyboard input: hit testing, capture, coordinates, key bits,
// double clicks, focus and activation.
#include "WindowTestSupport.h"

using namespace quellor::testing;
namespace desktop = quellor::desktop;
using desktop::Button;

namespace {

class InputTest : public WindowTest {};

std::vector<Logged> Of(HWND w, UINT message) {
  std::vector<Logged> out;
  for (const Logged& e : MessageLog::Instance().Entries()) {
    if (e.hwnd == w && e.message == message) out.push_back(e);
  }
  return out;
}

TEST_F(InputTest, MouseGoesToTheWindowUnderItInClientCoordinates) {
  HWND parent = CreateRecording("p", WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
  HWND child = CreateRecording("c", WS_CHILD | WS_VISIBLE, 50, 60, 40, 40, parent);
  desktop::RunUntilIdle();
  MessageLog::Instance().Clear();
  desktop::PressButton(Button::Left, 155, 165);
  desktop::RunUntilIdle();
  auto downs = Of(child, WM_LBUTTONDOWN);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), 5);
  EXPECT_EQ(GET_Y_LPARAM(downs[0].lParam), 5);
  EXPECT_EQ(downs[0].wParam, WPARAM(MK_LBUTTON));
  EXPECT_EQ(Of(child, WM_NCHITTEST).size(), 1u);  // asked before the button message
  EXPECT_TRUE(Of(parent, WM_LBUTTONDOWN).empty());
  // The button is down while the mouse moves; the release carries no bit.
  desktop::PressKey(VK_SHIFT);
  desktop::MoveMouse(110, 110);
  desktop::ReleaseButton(Button::Left, 110, 110);
  desktop::RunUntilIdle();
  auto moves = Of(parent, WM_MOUSEMOVE);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].wParam, WPARAM(MK_LBUTTON | MK_SHIFT));
  EXPECT_EQ(moves[0].lParam, MAKELPARAM(10, 10));
  auto ups = Of(parent, WM_LBUTTONUP);
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_EQ(ups[0].wParam, WPARAM(MK_SHIFT));
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, 110);
  EXPECT_TRUE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
  EXPECT_FALSE(GetAsyncKeyState(VK_LBUTTON) & 0x8000);
}

TEST_F(InputTest, CaptureTakesAllMouseInputWithoutHitTests) {
  HWND a = CreateRecording("a", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
  HWND b = CreateRecording("b", WS_POPUP | WS_VISIBLE, 100, 100, 50, 50);
  desktop::RunUntilIdle();
  EXPECT_EQ(SetCapture(a), nullptr);
  EXPECT_EQ(GetCapture(), a);
  MessageLog::Instance().Clear();
  desktop::MoveMouse(120, 130);
  desktop::Click(Button::Right, 500, 5);  // over nothing at all
  desktop::RunUntilIdle();
  EXPECT_TRUE(Of(b, WM_MOUSEMOVE).empty());
  auto moves = Of(a, WM_MOUSEMOVE);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].lParam, MAKELPARAM(120, 130));
  EXPECT_EQ(Of(a, WM_RBUTTONDOWN).size(), 1u);
  EXPECT_EQ(Of(a, WM_RBUTTONUP).size(), 1u);
  EXPECT_TRUE(Of(a, WM_NCHITTEST).empty());
  // Positions left or above the window come as negative client coordinates.
  MessageLog::Instance().Clear();
  SetCapture(b);
  EXPECT_EQ(Of(a, WM_CAPTURECHANGED).size(), 1u);
  desktop::MoveMouse(90, 95);
  desktop::RunUntilIdle();
  moves = Of(b, WM_MOUSEMOVE);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), -10);
  EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), -5);
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Of(b, WM_CAPTURECHANGED).size(), 1u);
}

TEST_F(InputTest, HitTestResultDecidesClientOrNonClientMessages) {
  HWND w = CreateRecording("w", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  SetHandler(w, [](HWND, UINT m, WPARAM, LPARAM lp, LRESULT* result) {
    if (m != WM_NCHITTEST) return false;
    int y = GET_Y_LPARAM(lp);
    *result = y < 10 ? HTCAPTION : y > 90 ? HTTRANSPARENT : HTCLIENT;
    return true;
  });
  desktop::RunUntilIdle();
  MessageLog::Instance().Clear();
  desktop::PressButton(Button::Left, 20, 5);
  desktop::ReleaseButton(Button::Left, 20, 5);
  desktop::MoveMouse(20, 95);
  desktop::RunUntilIdle();
  auto nc = Of(w, WM_NCLBUTTONDOWN);
  ASSERT_EQ(nc.size(), 1u);
  EXPECT_EQ(nc[0].wParam, WPARAM(HTCAPTION));
  EXPECT_EQ(nc[0].lParam, MAKELPARAM(20, 5));  // screen coordinates
  EXPECT_TRUE(Of(w, WM_LBUTTONDOWN).empty());
  EXPECT_TRUE(Of(w, WM_MOUSEMOVE).empty());  // transparent: dropped
}

TEST_F(InputTest, DisabledChildPassesClicksToItsParentAndShapesHitTest) {
  HWND parent = CreateRecording("p", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND child = CreateRecording("c", WS_CHILD | WS_VISIBLE | WS_DISABLED, 10, 10, 20, 20, parent);
  desktop::RunUntilIdle();
  MessageLog::Instance().Clear();
  desktop::Click(Button::Left, 15, 15);
  desktop::RunUntilIdle();
  EXPECT_TRUE(Of(child, WM_LBUTTONDOWN).empty());
  EXPECT_EQ(Of(parent, WM_LBUTTONDOWN).size(), 1u);
  EnableWindow(child, TRUE);
  SetWindowRgn(child, CreateRectRgn(0, 0, 5, 5), FALSE);
  EXPECT_EQ(WindowFromPoint(POINT{12, 12}), child);
  EXPECT_EQ(WindowFromPoint(POINT{20, 20}), parent);  // outside the child's shape
}

TEST_F(InputTest, DoubleClicksOnlyForClassesThatAskAndWithinTime) {
  HWND plain = CreateRecording("p", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
  HWND dbl = CreateRecording("d", WS_POPUP | WS_VISIBLE, 100, 0, 50, 50, nullptr, 0, 0,
                             "RecordingWindowDbl");
  desktop::RunUntilIdle();
  MessageLog::Instance().Clear();
  desktop::Click(Button::Left, 10, 10);
  desktop::Click(Button::Left, 10, 10);
  desktop::Click(Button::Left, 110, 10);
  desktop::AdvanceClock(100);
  desktop::Click(Button::Left, 111, 11);
  desktop::Click(Button::Left, 110, 10);  // a third click starts over
  desktop::AdvanceClock(600);
  desktop::Click(Button::Left, 110, 10);  // too late for a double click
  desktop::RunUntilIdle();
  EXPECT_EQ(Of(plain, WM_LBUTTONDOWN).size(), 2u);
  EXPECT_TRUE(Of(plain, WM_LBUTTONDBLCLK).empty());
  EXPECT_EQ(Of(dbl, WM_LBUTTONDOWN).size(), 3u);
  EXPECT_EQ(Of(dbl, WM_LBUTTONDBLCLK).size(), 1u);
}

TEST_F(InputTest, KeysGoToTheFocusWindowAndFocusMessagesPair) {
  HWND top = CreateRecording("t", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  HWND edit = CreateRecording("e", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top);
  desktop::RunUntilIdle();
  EXPECT_EQ(GetActiveWindow(), top);  // showing a top-level window activates it
  EXPECT_EQ(GetFocus(), top);
  MessageLog::Instance().Clear();
  EXPECT_EQ(SetFocus(edit), top);
  EXPECT_EQ(Of(top, WM_KILLFOCUS).size(), 1u);
  EXPECT_EQ(Of(edit, WM_SETFOCUS).size(), 1u);
  desktop::PressKey(VK_F5);
  desktop::PressKey(VK_F5);  // auto-repeat: the previous-state bit is set
  desktop::ReleaseKey(VK_F5);
  desktop::RunUntilIdle();
  auto downs = Of(edit, WM_KEYDOWN);
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[0].wParam, WPARAM(VK_F5));
  EXPECT_EQ(downs[0].lParam & (1 << 30), 0);
  EXPECT_NE(downs[1].lParam & (1 << 30), 0);
  auto ups = Of(edit, WM_KEYUP);
  ASSERT_EQ(ups.size(), 1u);
  EXPECT_NE(DWORD(ups[0].lParam) & 0x80000000u, 0u);
  EXPECT_FALSE(GetAsyncKeyState(VK_F5) & 0x8000);
}

TEST_F(InputTest, ClickActivatesAndSetsClassCursor) {
  HWND a = CreateRecording("a", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
  HWND b = CreateRecording("b", WS_POPUP | WS_VISIBLE, 100, 0, 50, 50);
  desktop::RunUntilIdle();
  EXPECT_EQ(GetActiveWindow(), b);
  MessageLog::Instance().Clear();
  desktop::Click(Button::Left, 10, 10);
  desktop::RunUntilIdle();
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetForegroundWindow(), a);
  auto activations = Of(a, WM_ACTIVATE);
  ASSERT_EQ(activations.size(), 1u);
  EXPECT_EQ(LOWORD(activations[0].wParam), WA_CLICKACTIVE);
  EXPECT_EQ(Of(b, WM_ACTIVATE).size(), 1u);
  EXPECT_EQ(desktop::CurrentCursor(), LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
}

TEST_F(InputTest, AltF4AndCloseDestroyTheWindowByDefault) {
  HWND w = CreateRecording("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100);
  desktop::RunUntilIdle();
  desktop::PressKey(VK_MENU);
  desktop::PressKey(VK_F4);
  desktop::RunUntilIdle();
  EXPECT_FALSE(IsWindow(w));
  HWND other = CreateRecording("o", WS_POPUP, 0, 0, 10, 10);
  SendMessageA(other, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(other));
}

TEST_F(InputTest, WaitingMouseMovesMergeIntoTheLatest) {
  HWND w = CreateRecording("w", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
  desktop::RunUntilIdle();
  MessageLog::Instance().Clear();
  for (int x = 1; x <= 50; ++x) desktop::MoveMouse(x, 10);
  desktop::Click(Button::Left, 50, 10);
  desktop::MoveMouse(60, 20);
  desktop::RunUntilIdle();
  auto moves = Of(w, WM_MOUSEMOVE);
  ASSERT_EQ(moves.size(), 2u);  // the button press keeps the two runs apart
  EXPECT_EQ(moves[0].lParam, MAKELPARAM(50, 10));
  EXPECT_EQ(moves[1].lParam, MAKELPARAM(60, 20));
}

TEST_F(InputTest, GetKeyStateFollowsTheMessagesTakenSoFar) {
  HWND w = CreateRecording("w", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
  desktop::RunUntilIdle();
  std::vector<SHORT> seen;
  SetHandler(w, [&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT*) {
    if (m == WM_KEYDOWN && wp == 'X') seen.push_back(GetKeyState(VK_CONTROL));
    return false;
  });
  desktop::PressKey(VK_CONTROL);
  desktop::TypeKey('X');
  desktop::ReleaseKey(VK_CONTROL);
  // Control is up again by now, but the message of 'X' was made with it down.
  EXPECT_FALSE(GetAsyncKeyState(VK_CONTROL) & 0x8000);
  desktop::RunUntilIdle();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_TRUE(seen[0] & 0x8000);
  EXPECT_FALSE(GetKeyState(VK_CONTROL) & 0x8000);
}

TEST_F(InputTest, MessageFilterByWindowIncludesChildren) {
  HWND parent = CreateRecording("p", WS_POPUP, 0, 0, 10, 10);
  HWND child = CreateRecording("c", WS_CHILD, 0, 0, 5, 5, parent);
  HWND other = CreateRecording("o", WS_POPUP, 0, 0, 10, 10);
  PostMessageA(other, WM_USER, 0, 0);
  PostMessageA(child, WM_USER + 1, 0, 0);
  PostThreadMessageA(GetCurrentThreadId(), WM_USER + 2, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, parent, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, child);
  EXPECT_FALSE(PeekMessageA(&msg, parent, 0, 0, PM_REMOVE));
  ASSERT_TRUE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, UINT(WM_USER + 2));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, other);
}

}  // namespace
