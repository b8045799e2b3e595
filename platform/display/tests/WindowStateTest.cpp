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

#include "ProgramCursor.h"
#include "win32/automation/Presenter.h"
#include "win32/quellor_host.h"
#include "win32/resources.h"

namespace {

HMODULE Module() {
  return quellor::win32::ModuleFromAddress(reinterpret_cast<const void*>(&Module));
}

// A program's cursor: a 6 x 6 opaque red square at (2, 2), one half
// transparent blue pixel at (10, 3), the rest clear.
HCURSOR RedSquareCursor() {
  quellor::win32::PixelTemplate picture{16, 16, std::vector<uint32_t>(16 * 16, 0)};
  for (int y = 2; y < 8; ++y)
    for (int x = 2; x < 8; ++x) picture.pixels[size_t(y * 16 + x)] = 0xFFFF0000u;
  picture.pixels[3 * 16 + 10] = 0x800000FFu;
  quellor::win32::RegisterCursorResource(Module(), MAKEINTRESOURCEA(71), picture);
  return LoadCursorA(Module(), MAKEINTRESOURCEA(71));
}

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

TEST_F(WindowStateTest, AProgramsOwnCursorShowsItsPicture) {
  MakeWindow("own cursor", 10, 10, 100, 100);
  ASSERT_TRUE(PumpUntil([&] { return FindX("own cursor") != 0; }));
  Display* d = server_->Connection();
  XTestFakeMotionEvent(d, 0, 50, 50, 0);
  XFlush(d);
  HCURSOR own = RedSquareCursor();
  ASSERT_NE(own, nullptr);
  // What the server shows: size, hot spot and a few pixels (premultiplied).
  struct Shown {
    int width = 0, height = 0, xhot = -1, yhot = -1;
    unsigned long red = 0, clear = 1, blue = 0;
  } shown;
  auto look = [&] {
    XFixesCursorImage* image = XFixesGetCursorImage(d);
    if (!image) return;
    shown = Shown{image->width, image->height, image->xhot, image->yhot};
    if (image->width >= 16 && image->height >= 16) {
      shown.red = image->pixels[4 * image->width + 4] & 0xFFFFFFFF;
      shown.clear = image->pixels[12 * image->width + 12] & 0xFFFFFFFF;
      shown.blue = image->pixels[3 * image->width + 10] & 0xFFFFFFFF;
    }
    XFree(image);
  };
#ifdef QUELLOR_HAVE_XRENDER
  EXPECT_TRUE(PumpUntil([&] {
    SetCursor(own);  // mouse moves may set the class cursor
    look();
    return shown.red == 0xFFFF0000u;
  })) << std::hex
      << shown.red << " " << std::dec << shown.width << "x" << shown.height;
  // Half transparent blue, premultiplied: about 0x80000080.
  EXPECT_NEAR(double(shown.blue >> 24), 128.0, 2.0) << std::hex << shown.blue;
  EXPECT_NEAR(double(shown.blue & 0xFF), 128.0, 2.0) << std::hex << shown.blue;
  EXPECT_EQ(shown.blue & 0x00FFFF00u, 0u) << std::hex << shown.blue;
#else
  // Two colours: the dark red square black, the clear parts clear.
  EXPECT_TRUE(PumpUntil([&] {
    SetCursor(own);
    look();
    return shown.red == 0xFF000000u;
  })) << std::hex
      << shown.red;
#endif
  EXPECT_EQ(shown.xhot, 0);
  EXPECT_EQ(shown.yhot, 0);
  EXPECT_EQ(shown.clear, 0u);
  // And back to a stock cursor.
  EXPECT_TRUE(PumpUntil([&] {
    SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
    XFixesCursorImage* image = XFixesGetCursorImage(d);
    const std::string name = image && image->name ? image->name : "";
    if (image) XFree(image);
    return name == "xterm";
  }));
}

// The picture taken back from the subset's drawing: colour and alpha of each
// pixel as the program gave them (what a two-colour cursor is made from too).
TEST(ProgramCursorTest, ThePictureKeepsColourAndAlpha) {
  HCURSOR own = RedSquareCursor();
  ASSERT_NE(own, nullptr);
  const std::vector<uint32_t> picture = quellor::display::CursorPicture(own, 32);
  ASSERT_EQ(picture.size(), 32u * 32u);
  EXPECT_EQ(picture[4 * 32 + 4], 0xFFFF0000u);
  EXPECT_EQ(picture[0], 0u);
  EXPECT_EQ(picture[20 * 32 + 20], 0u);  // beyond the cursor's own 16 x 16
  const uint32_t blue = picture[3 * 32 + 10];
  EXPECT_NEAR(double(blue >> 24), 128.0, 1.0) << std::hex << blue;
  EXPECT_NEAR(double(blue & 0xFF), 255.0, 2.0) << std::hex << blue;
  EXPECT_EQ(blue & 0x00FFFF00u, 0u) << std::hex << blue;
  EXPECT_TRUE(quellor::display::CursorPicture(nullptr, 32).empty());
}

// Without RENDER a program's cursor has two colours: black and white by
// brightness where it is at least half opaque, clear elsewhere.
TEST_F(WindowStateTest, ATwoColourProgramCursorKeepsItsShape) {
  Display* d = server_->Connection();
  const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 300, 300, 50, 50, 0, 0, 0);
  XMapWindow(d, w);
  XTestFakeMotionEvent(d, 0, 320, 320, 0);
  const Cursor cursor = quellor::display::MakeProgramCursor(d, RedSquareCursor(), false);
  ASSERT_NE(cursor, 0u);
  XDefineCursor(d, w, cursor);
  XSync(d, False);
  std::vector<unsigned long> pixels;
  int width = 0;
  ASSERT_TRUE(PumpUntil([&] {
    XFixesCursorImage* image = XFixesGetCursorImage(d);
    if (image && image->width >= 16 && image->height >= 16) {
      width = image->width;
      pixels.assign(image->pixels, image->pixels + size_t(image->width) * image->height);
    }
    if (image) XFree(image);
    return !pixels.empty() && (pixels[size_t(4 * width + 4)] & 0xFFFFFFFF) == 0xFF000000u;
  }));
  EXPECT_EQ(pixels[size_t(12 * width + 12)] & 0xFFFFFFFF, 0u);          // clear
  EXPECT_EQ(pixels[size_t(1 * width + 1)] & 0xFFFFFFFF, 0u);            // outside the square
  EXPECT_EQ(pixels[size_t(3 * width + 10)] & 0xFFFFFFFF, 0xFF000000u);  // half opaque: shown
  XFreeCursor(d, cursor);
  XDestroyWindow(d, w);
}

// The subset draws its windows' frames: the window manager is asked for no
// decorations of its own on every window it manages, and is not asked about
// override-redirect popups, which it never decorates.
TEST_F(WindowStateTest, WindowManagersAreAskedNotToDecorate) {
  MakeWindow("captioned", 10, 10, 160, 120, WS_OVERLAPPEDWINDOW);
  MakeWindow("frameless", 200, 10, 60, 60, WS_POPUP);
  Window captioned = 0, frameless = 0;
  ASSERT_TRUE(PumpUntil(
      [&] { return (captioned = FindX("captioned")) && (frameless = FindX("frameless")); }));
  Display* d = server_->Connection();
  const Atom hints = XInternAtom(d, "_MOTIF_WM_HINTS", False);
  auto read = [&](Window w) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> out;
    if (XGetWindowProperty(d, w, hints, 0, 5, False, AnyPropertyType, &type, &format, &count,
                           &after, &data) == Success &&
        data && format == 32) {
      const long* values = reinterpret_cast<const long*>(data);
      out.assign(values, values + count);
    }
    if (data) XFree(data);
    return out;
  };
  const std::vector<long> asked = read(captioned);
  ASSERT_EQ(asked.size(), 5u);
  EXPECT_EQ(asked[0] & 2, 2);  // decorations given ...
  EXPECT_EQ(asked[2], 0);      // ... as none
  EXPECT_EQ(asked[0] & 1, 0);  // the window manager's functions left alone
  EXPECT_TRUE(read(frameless).empty());
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
