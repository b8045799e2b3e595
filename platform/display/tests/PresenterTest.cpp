// The presenter on a real (virtual) X server: windows appear where and as the
// subset draws them, X input reaches the window procedures, the X clipboard
// and the subset's are one, and a lost server closes the program's windows.
// Each case runs in a process of its own (CTest), with its own Xvfb.
#include "PresenterFixture.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "XvfbServer.h"
#include "win32/automation/Desktop.h"
#include "win32/automation/Modal.h"
#include "win32/automation/Presenter.h"
#include "windows.h"

namespace {

using namespace quellor::display::testing;

TEST_F(PresenterTest, WindowsAppearWithTheirGeometryPixelsAndOwners) {
  HWND main = MakeWindow("presented", 100, 120, 200, 150);
  Window x = 0;
  ASSERT_TRUE(PumpUntil([&] { return (x = FindX("presented")) != 0; }));
  EXPECT_TRUE(quellor::desktop::PresenterRunning());
  // The subset's screen is the X screen (menus keep inside it).
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
  Display* d = server_->Connection();
  XWindowAttributes a{};
  ASSERT_TRUE(XGetWindowAttributes(d, x, &a));
  EXPECT_EQ(a.x, 100);
  EXPECT_EQ(a.y, 120);
  EXPECT_EQ(a.width, 200);
  EXPECT_EQ(a.height, 150);
  EXPECT_TRUE(a.override_redirect);  // a frameless popup
  // The pixels follow the subset's painting a moment later.
  unsigned long corner = 0, body = 0;
  EXPECT_TRUE(PumpUntil([&] {
    XImage* image = XGetImage(d, x, 0, 0, 200, 150, AllPlanes, ZPixmap);
    if (!image) return false;
    corner = XGetPixel(image, 5, 5) & 0xFFFFFF;
    body = XGetPixel(image, 100, 80) & 0xFFFFFF;
    XDestroyImage(image);
    return corner == 0x0000FFu && body == 0xFF0000u;  // blue corner, red body
  })) << std::hex
      << corner << " " << body;

  // A captioned window owned by the first is a transient dialog.
  HWND dialog = MakeWindow("owned dialog", 150, 160, 120, 90, WS_POPUP | WS_CAPTION, main);
  Window xd = 0;
  ASSERT_TRUE(PumpUntil([&] { return (xd = FindX("owned dialog")) != 0; }));
  Window transientFor = 0;
  EXPECT_TRUE(XGetTransientForHint(d, xd, &transientFor));
  EXPECT_EQ(transientFor, x);

  // Moves, resizes, title changes and hiding follow.
  SetWindowPos(main, nullptr, 300, 200, 240, 160, SWP_NOZORDER);
  SetWindowTextA(main, "renamed");
  ASSERT_TRUE(PumpUntil([&] {
    Window now = FindX("renamed");
    return now && XGetWindowAttributes(d, now, &a) && a.x == 300 && a.y == 200 && a.width == 240 &&
           a.height == 160;
  }));
  ShowWindow(dialog, SW_HIDE);
  EXPECT_TRUE(PumpUntil([&] { return FindX("owned dialog") == 0; }));
}

// Only what was drawn is copied and put, into one of two images in turn: a
// later put of either image must never bring back an older picture of a part
// drawn while the other image was being written.
TEST_F(PresenterTest, PartialDrawingsReachTheScreenWithoutOlderPictures) {
  HWND hwnd = MakeWindow("partial", 40, 40, 120, 100);
  Window x = 0;
  ASSERT_TRUE(PumpUntil([&] { return (x = FindX("partial")) != 0; }));
  Display* d = server_->Connection();
  auto pixelAt = [&](int px, int py) {
    XImage* image = XGetImage(d, x, px, py, 1, 1, AllPlanes, ZPixmap);
    if (!image) return ~0ul;
    const unsigned long value = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return value;
  };
  ASSERT_TRUE(PumpUntil([&] { return pixelAt(60, 60) == 0xFF0000u; }));
  auto fill = [&](RECT r, COLORREF colour, HRGN clip) {
    HDC dc = GetDC(hwnd);
    if (clip) SelectClipRgn(dc, clip);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(hwnd, dc);
  };
  fill(RECT{20, 20, 30, 30}, RGB(0, 255, 0), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return pixelAt(25, 25) == 0x00FF00u; }));
  fill(RECT{80, 70, 90, 80}, RGB(255, 255, 0), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return pixelAt(85, 75) == 0xFFFF00u; }));
  // Drawings clipped to two corners: each one's bounds cover the green
  // square without drawing on it, one for each image.
  for (COLORREF colour : {RGB(0, 255, 255), RGB(255, 0, 255)}) {
    HRGN corners = CreateRectRgn(10, 10, 14, 14);
    HRGN far = CreateRectRgn(36, 36, 40, 40);
    CombineRgn(corners, corners, far, RGN_OR);
    DeleteObject(far);
    fill(RECT{10, 10, 40, 40}, colour, corners);
    DeleteObject(corners);
    const unsigned long want = ((colour & 0xFF) << 16) | (colour & 0xFF00) | (colour >> 16 & 0xFF);
    ASSERT_TRUE(PumpUntil([&] { return pixelAt(38, 38) == want; }));
    EXPECT_EQ(pixelAt(25, 25), 0x00FF00u);
    EXPECT_EQ(pixelAt(85, 75), 0xFFFF00u);
    EXPECT_EQ(pixelAt(60, 60), 0xFF0000u);
  }
}

TEST_F(PresenterTest, XInputReachesTheWindowProcedure) {
  MakeWindow("input", 50, 60, 200, 100);
  ASSERT_TRUE(PumpUntil([&] { return FindX("input") != 0; }));
  Display* d = server_->Connection();
  XTestFakeMotionEvent(d, 0, 50 + 30, 60 + 40, 0);
  XTestFakeButtonEvent(d, 1, True, 0);
  XTestFakeButtonEvent(d, 1, False, 0);
  XFlush(d);
  ASSERT_TRUE(PumpUntil([] { return Find(WM_LBUTTONUP) != nullptr; }));
  const Seen* down = Find(WM_LBUTTONDOWN);
  ASSERT_NE(down, nullptr);
  EXPECT_EQ(LOWORD(down->lParam), 30);  // client coordinates
  EXPECT_EQ(HIWORD(down->lParam), 40);

  XTestFakeKeyEvent(d, XKeysymToKeycode(d, XK_a), True, 0);
  XTestFakeKeyEvent(d, XKeysymToKeycode(d, XK_a), False, 0);
  XTestFakeButtonEvent(d, 4, True, 0);  // the wheel, away from the user
  XTestFakeButtonEvent(d, 4, False, 0);
  XFlush(d);
  ASSERT_TRUE(PumpUntil([] { return Find(WM_CHAR) && Find(WM_MOUSEWHEEL); }));
  EXPECT_EQ(Find(WM_KEYDOWN)->wParam, WPARAM('A'));
  EXPECT_EQ(Find(WM_CHAR)->wParam, WPARAM('a'));
  EXPECT_EQ(short(HIWORD(Find(WM_MOUSEWHEEL)->wParam)), 120);
}

TEST_F(PresenterTest, TextAndPicturesCrossTheClipboardBothWays) {
  if (Shell("command -v xclip").empty()) GTEST_SKIP() << "xclip is not installed";
  HWND viewer = MakeWindow("viewer", 10, 10, 50, 50);
  SetClipboardViewer(viewer);
  g_seen.clear();
  // X to the subset: UTF-8 becomes Latin-1 with CR LF, and the viewer hears.
  Shell("printf 'caf\\303\\251\\nline' | xclip -selection clipboard -i >/dev/null 2>&1");
  ASSERT_TRUE(PumpUntil([&] { return SubsetText() == "caf\xE9\r\nline"; })) << SubsetText();
  EXPECT_NE(Find(WM_DRAWCLIPBOARD), nullptr);

  // The subset to X.
  const char text[] = "from quellor\r\n\xE9t\xE9";
  SetSubset(CF_TEXT, text, sizeof text, viewer);
  std::string pasted;
  ASSERT_TRUE(PumpUntil([&] {
    pasted = Shell("xclip -selection clipboard -o");
    return pasted == "from quellor\n\xC3\xA9t\xC3\xA9";
  })) << pasted;

  // A picture: a 2x1 32-bit DIB goes out as image/bmp and comes back.
  uint8_t dib[40 + 8] = {40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 32, 0};
  dib[40] = 0x11, dib[44] = 0x22;
  SetSubset(CF_DIB, dib, sizeof dib, viewer);
  const char* tmp = std::getenv("QUELLOR_TEST_TMP");
  const std::string bmp =
      std::string(tmp ? tmp : "/tmp") + "/clip-" + std::to_string(getpid()) + ".bmp";
  std::string file;
  ASSERT_TRUE(PumpUntil([&] {
    file = Shell("xclip -selection clipboard -o -t image/bmp");
    return file.size() == 14 + sizeof dib;
  })) << file.size();
  EXPECT_EQ(file.substr(0, 2), "BM");
  EXPECT_EQ(uint8_t(file[14 + 40]), 0x11);
  { std::ofstream(bmp, std::ios::binary) << file; }
  const char plain[] = "plain";
  SetSubset(CF_TEXT, plain, sizeof plain, viewer);
  ASSERT_TRUE(PumpUntil([&] { return Shell("xclip -selection clipboard -o") == "plain"; }));
  Shell("xclip -selection clipboard -t image/bmp -i '" + bmp + "' >/dev/null 2>&1");
  ASSERT_TRUE(PumpUntil([] { return IsClipboardFormatAvailable(CF_DIB) != FALSE; }));

  // A malformed picture is refused: the clipboard keeps what it had.
  { std::ofstream(bmp, std::ios::binary) << "BM not really a picture at all, no headers here"; }
  SetSubset(CF_TEXT, plain, sizeof plain, viewer);
  ASSERT_TRUE(PumpUntil([&] { return Shell("xclip -selection clipboard -o") == "plain"; }));
  Shell("xclip -selection clipboard -t image/bmp -i '" + bmp + "' >/dev/null 2>&1");
  // Then text that does arrive, so that the refusal is known to be done.
  Shell("printf after | xclip -selection clipboard -i >/dev/null 2>&1");
  ASSERT_TRUE(PumpUntil([&] { return SubsetText() == "after"; }));
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
  std::remove(bmp.c_str());
}

TEST_F(PresenterTest, AnOwnerThatNeverAnswersIsGivenUp) {
  if (Shell("command -v xclip").empty()) GTEST_SKIP() << "xclip is not installed";
  MakeWindow("waiting", 10, 10, 50, 50);
  ASSERT_TRUE(PumpUntil([&] { return FindX("waiting") != 0; }));
  // The test's connection owns CLIPBOARD and never reads its requests.
  Display* d = server_->Connection();
  Window mute = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(d, XInternAtom(d, "CLIPBOARD", False), mute, CurrentTime);
  XFlush(d);
  // The presenter gives up after its bounded wait and takes the next copy.
  Shell("printf later | xclip -selection clipboard -i >/dev/null 2>&1");
  EXPECT_TRUE(PumpUntil([&] { return SubsetText() == "later"; })) << SubsetText();
}

// An open popup menu holds the pointer: a click elsewhere on the X screen
// reaches the subset's menu loop as a click outside the menu and closes it.
TEST_F(PresenterTest, AClickOutsideAPopupMenuClosesIt) {
  HWND owner = MakeWindow("menu owner", 400, 400, 100, 100);
  ASSERT_TRUE(PumpUntil([&] { return FindX("menu owner") != 0; }));
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 1, "First");
  AppendMenuA(menu, MF_STRING, 2, "Second");
  Display* d = server_->Connection();
  bool overrideRedirect = false, gaveUp = false;
  int clicks = 0;
  // Called each time the menu loop runs out of messages.
  quellor::desktop::SetModalIdleHook([&](HWND) {
    if (gaveUp) return;
    if (!overrideRedirect) {
      HWND open = quellor::desktop::OpenPopupMenu();
      RECT r{};
      GetWindowRect(open, &r);
      // Wait (on the presenter's thread) for the menu to be on the X screen.
      for (int i = 0; i < 2500 && !overrideRedirect; ++i) {
        Window root = DefaultRootWindow(d), parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(d, root, &root, &parent, &children, &count);
        for (unsigned k = 0; k < count; ++k) {
          XWindowAttributes a{};
          if (XGetWindowAttributes(d, children[k], &a) && a.map_state == IsViewable &&
              a.x == r.left && a.y == r.top && a.override_redirect)
            overrideRedirect = true;
        }
        if (children) XFree(children);
        if (!overrideRedirect) std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
    }
    // The presenter takes the pointer just after the menu is on the screen,
    // so a click in between reaches no one: a click that has not closed the
    // menu by the loop's next idle moment is made again, and Escape closes
    // the menu if none ever does, rather than leave the loop waiting.
    if (!overrideRedirect || clicks == 100) {
      gaveUp = true;
      quellor::desktop::TypeKey(VK_ESCAPE);
      return;
    }
    if (clicks++ > 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    XTestFakeMotionEvent(d, 0, 5, 5, 0);  // far from the menu and its owner
    XTestFakeButtonEvent(d, 1, True, 0);
    XTestFakeButtonEvent(d, 1, False, 0);
    XFlush(d);
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);  // back here if it was lost
  });
  const BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD, 410, 410, 0, owner, nullptr);
  quellor::desktop::SetModalIdleHook(nullptr);
  EXPECT_TRUE(overrideRedirect);
  EXPECT_FALSE(gaveUp) << "no click reached the menu";
  EXPECT_EQ(chosen, 0);
  EXPECT_EQ(quellor::desktop::OpenPopupMenu(), nullptr);
  DestroyMenu(menu);
}

TEST_F(PresenterTest, ALostServerClosesTheWindows) {
  MakeWindow("doomed", 10, 10, 80, 60, WS_OVERLAPPEDWINDOW);
  ASSERT_TRUE(PumpUntil([&] { return FindX("doomed") != 0; }));
  server_->Kill();
  EXPECT_TRUE(PumpUntil([] { return Find(WM_CLOSE) != nullptr; }));
}

}  // namespace
