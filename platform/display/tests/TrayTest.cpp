// The notification-area icons on X: docked into a running system tray (our
// own tiny one) with their picture, tip and mouse buttons, or shown as a small
// window of their own while no tray runs.
#include "PresenterFixture.h"
// clang-format off
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
// clang-format on

#include "quellor/testing/ChildProcess.h"
#include "quellor/testing/ScratchFolder.h"
#include "TinyTray.h"
#include "win32/automation/Shell.h"

extern "C" const char* __tsan_default_suppressions();

namespace {

using namespace quellor::display::testing;

class TrayTest : public PresenterTest {
 protected:
  // A hidden owner with one icon, as clipviewer makes it.
  HWND AddIcon(const char* tip) {
    owner_ = CreateWindowExA(0, "PresenterTestWindow", "tray owner", WS_OVERLAPPEDWINDOW, 0, 0, 50,
                             50, nullptr, nullptr, nullptr, nullptr);
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = owner_;
    data.uID = 7;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayCallback;
    data.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    std::strncpy(data.szTip, tip, sizeof data.szTip - 1);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
    return owner_;
  }

  void SetTip(const char* tip) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = owner_;
    data.uID = 7;
    data.uFlags = NIF_TIP;
    std::strncpy(data.szTip, tip, sizeof data.szTip - 1);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &data));
  }

  // The mouse messages the icon's callback brought, in order.
  std::vector<LPARAM> Callbacks() {
    std::vector<LPARAM> seen;
    for (const Seen& s : g_seen)
      if (s.message == kTrayCallback && s.lParam != WM_MOUSEMOVE) seen.push_back(s.lParam);
    return seen;
  }

  std::string NameOf(Window x) {
    char* name = nullptr;
    std::string out;
    if (XFetchName(server_->Connection(), x, &name) && name) out = name;
    if (name) XFree(name);
    return out;
  }

  bool Viewable(Window x) {
    XWindowAttributes a{};
    return x && XGetWindowAttributes(server_->Connection(), x, &a) && a.map_state == IsViewable;
  }

  // Clicks at a root position through XTEST.
  void ClickAt(int x, int y, unsigned button) {
    Display* d = server_->Connection();
    XTestFakeMotionEvent(d, 0, x, y, 0);
    XTestFakeButtonEvent(d, button, True, 0);
    XTestFakeButtonEvent(d, button, False, 0);
    XFlush(d);
  }

  HWND owner_ = nullptr;
};

TEST_F(TrayTest, AnIconDocksInTheTrayWithItsPictureTipAndButtons) {
  TinyTray tray(server_->Name());
  ASSERT_TRUE(tray.Running());
  // The presenter starts with the first window; the icon comes with it.
  AddIcon("Quellor tip");
  ASSERT_TRUE(PumpUntil([&] {
    tray.Pump();
    return tray.Icons().size() == 1 && Viewable(tray.Icons()[0]);
  }));
  Display* d = server_->Connection();
  const Window icon = tray.Icons()[0];
  // It said how it wants to be embedded.
  Atom type = 0;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* info = nullptr;
  ASSERT_EQ(XGetWindowProperty(d, icon, XInternAtom(d, "_XEMBED_INFO", False), 0, 2, False,
                               AnyPropertyType, &type, &format, &items, &after, &info),
            Success);
  ASSERT_EQ(items, 2u);
  EXPECT_EQ(reinterpret_cast<long*>(info)[1] & 1, 1);  // XEMBED_MAPPED
  XFree(info);
  // Drawn at the size the tray gave: the stock icon is not just background.
  bool drawn = false;
  ASSERT_TRUE(PumpUntil([&] {
    XImage* image =
        XGetImage(d, icon, 0, 0, TinyTray::kIconSize, TinyTray::kIconSize, AllPlanes, ZPixmap);
    if (!image) return false;
    for (int y = 0; y < TinyTray::kIconSize && !drawn; ++y)
      for (int x = 0; x < TinyTray::kIconSize && !drawn; ++x)
        drawn = (XGetPixel(image, x, y) & 0xFFFFFF) != 0xD4D0C8 &&
                (XGetPixel(image, x, y) & 0xFFFFFF) != 0x404040;
    XDestroyImage(image);
    return drawn;
  }));

  // Resting on it shows the tip; a right click reaches the owner with the
  // subset's cursor where the pointer is, so that its menu opens there.
  const int cx = TinyTray::kIconSize / 2, cy = TinyTray::kIconSize / 2;
  XTestFakeMotionEvent(d, 0, cx, cy, 0);
  XFlush(d);
  ASSERT_TRUE(PumpUntil([&] { return FindX("Quellor tip") != 0; }));
  ClickAt(cx, cy, 3);
  ASSERT_TRUE(PumpUntil([&] { return Callbacks().size() == 2; }));
  EXPECT_EQ(Callbacks(), (std::vector<LPARAM>{WM_RBUTTONDOWN, WM_RBUTTONUP}));
  EXPECT_EQ(g_seen.back().wParam, WPARAM(7));
  POINT cursor{};
  GetCursorPos(&cursor);
  EXPECT_EQ(cursor.x, cx);
  EXPECT_EQ(cursor.y, cy);
  EXPECT_EQ(FindX("Quellor tip"), 0u);  // a click puts the tip away

  // Two quick left clicks are a double click.
  g_seen.clear();
  ClickAt(cx, cy, 1);
  ClickAt(cx, cy, 1);
  ASSERT_TRUE(PumpUntil([&] { return Callbacks().size() == 4; }));
  EXPECT_EQ(Callbacks(),
            (std::vector<LPARAM>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));

  // A new tip follows; a deleted icon leaves the tray.
  SetTip("changed tip");
  EXPECT_TRUE(PumpUntil([&] { return NameOf(icon) == "changed tip"; }));
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = owner_;
  data.uID = 7;
  EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
  EXPECT_TRUE(PumpUntil([&] {
    tray.Pump();
    return tray.Icons().empty();
  }));
}

TEST_F(TrayTest, WithoutATrayTheIconIsASmallWindowThatDocksWhenATrayStarts) {
  AddIcon("no tray here");
  Window fallback = 0;
  ASSERT_TRUE(PumpUntil([&] { return (fallback = FindX("no tray here")) != 0; }));
  Display* d = server_->Connection();
  XWindowAttributes a{};
  ASSERT_TRUE(XGetWindowAttributes(d, fallback, &a));
  EXPECT_EQ(a.width, 32);
  EXPECT_EQ(a.height, 32);
  // Clicks on it reach the owner as they would from a tray.
  ClickAt(a.x + 5, a.y + 5, 3);
  ASSERT_TRUE(PumpUntil([&] { return Callbacks().size() == 2; }));
  EXPECT_EQ(Callbacks(), (std::vector<LPARAM>{WM_RBUTTONDOWN, WM_RBUTTONUP}));

  // A tray starts: the icon moves into it and the small window goes.
  auto tray = std::make_unique<TinyTray>(server_->Name());
  ASSERT_TRUE(PumpUntil([&] {
    tray->Pump();
    return tray->Icons().size() == 1 && Viewable(tray->Icons()[0]) && FindX("no tray here") == 0;
  }));
  // The tray ends: the small window is back.
  tray->Quit();
  EXPECT_TRUE(PumpUntil([&] { return FindX("no tray here") != 0; }));
}

// A tray program has no visible window: a lost server must still close its
// hidden main window, or the program would live on without a screen.
TEST_F(TrayTest, ALostServerClosesATrayProgramsHiddenWindow) {
  AddIcon("lost");
  ASSERT_TRUE(PumpUntil([&] { return FindX("lost") != 0; }));
  server_->Kill();
  EXPECT_TRUE(PumpUntil([] { return Find(WM_CLOSE) != nullptr; }));
  EXPECT_EQ(Find(WM_CLOSE) ? Find(WM_CLOSE)->wParam : 1, 0u);
}

// clipviewer on a screen whose server goes away: it says so, writes its
// settings and ends with 0, as when Exit is chosen.
TEST_F(TrayTest, ClipviewerEndsCleanlyWhenTheServerGoesAway) {
  const std::string program = quellor::testing::ProgramPath("clipviewer");
  if (access(program.c_str(), X_OK) != 0) GTEST_SKIP() << "clipviewer is not built";
  quellor::testing::ScratchFolder scratch("clipviewer-lost-server");
  // Under ThreadSanitizer the child needs this program's libX11 suppression
  // (see TsanSuppressions.cpp) as a file; other builds ignore the variable.
  const std::string suppressions = scratch.path() + "/tsan.supp";
  std::ofstream(suppressions) << __tsan_default_suppressions();
  const char* tsan = std::getenv("TSAN_OPTIONS");
  const std::string tsanOptions =
      std::string(tsan != nullptr ? tsan : "") + " suppressions=" + suppressions;
  quellor::testing::ChildProcess viewer("/bin/sh", {"-c", "exec \"$0\" 2>&1", program},
                                        {{"TSAN_OPTIONS", tsanOptions},
                                         {"DISPLAY", server_->Name()},
                                         {"QUELLOR_HEADLESS", "0"},
                                         {"QUELLOR_DEBUG", "1"},
                                         {"QUELLOR_BOARD_DIR", scratch.path() + "/board"},
                                         {"QUELLOR_WINDIR", scratch.path()}});
  ASSERT_TRUE(viewer.started());
  auto readUntil = [&](const std::string& wanted) {
    std::string all;
    for (std::string line; !(line = viewer.ReadLine(std::chrono::seconds(20))).empty();) {
      all += line + "\n";
      if (line.find(wanted) != std::string::npos) return all;
    }
    ADD_FAILURE() << "never saw \"" << wanted << "\" in:\n" << all;
    return all;
  };
  readUntil("tray icon added");
  // Its icon reached the screen (as the small window: no tray runs here).
  ASSERT_TRUE(PumpUntil([&] { return FindX("Video Quellor Director / Clipboard Viewer") != 0; }));
  server_->Kill();
  const std::string said = readUntil("settings written");
  EXPECT_NE(said.find("the X display went away"), std::string::npos) << said;
  EXPECT_EQ(viewer.Finish(std::chrono::seconds(20)), 0);
}

}  // namespace
