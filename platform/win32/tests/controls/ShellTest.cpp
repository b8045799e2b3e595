// The tray icon and files dropped on windows, driven through the desktop
// interface.
#include <cstring>

#include "ControlsTestSupport.h"

using namespace quellor::testing;
namespace desktop = quellor::desktop;

namespace {

class ShellTest : public ControlsTest {};

TEST_F(ShellTest, TrayIconIsAddedModifiedClickedAndDeleted) {
  HWND owner = CreateHost("tray", 10, 10, 50, 50);
  NOTIFYICONDATAA nid{};
  nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
  nid.hWnd = owner;
  nid.uID = 101;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = 2034;
  nid.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  // 70 characters: the first version of the record keeps 63 of them.
  std::string tip(70, 'x');
  std::memcpy(nid.szTip, tip.c_str(), 64);
  nid.szTip[63] = '\0';
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &nid));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &nid));  // one icon per window and identifier
  EXPECT_EQ(desktop::TrayIconTip(owner, 101), std::string(63, 'x'));
  std::strcpy(nid.szTip, "Video Quellor Director / Clipboard Viewer");
  nid.uFlags = NIF_TIP;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &nid));
  EXPECT_EQ(desktop::TrayIconTip(owner, 101), "Video Quellor Director / Clipboard Viewer");
  auto icons = desktop::TrayIcons();
  ASSERT_EQ(icons.size(), 1u);
  EXPECT_EQ(icons[0].callbackMessage, 2034u);
  EXPECT_EQ(icons[0].icon, nid.hIcon);
  ClearReceived();
  EXPECT_TRUE(desktop::ClickTrayIcon(owner, 101, WM_RBUTTONDOWN));
  EXPECT_TRUE(desktop::ClickTrayIcon(owner, 101, WM_LBUTTONDBLCLK));
  EXPECT_FALSE(desktop::ClickTrayIcon(owner, 7, WM_RBUTTONDOWN));
  desktop::RunUntilIdle();
  auto callbacks = ReceivedBy(owner, 2034);
  ASSERT_EQ(callbacks.size(), 2u);
  EXPECT_EQ(callbacks[0].wParam, 101u);
  EXPECT_EQ(callbacks[0].lParam, LPARAM(WM_RBUTTONDOWN));
  EXPECT_EQ(callbacks[1].lParam, LPARAM(WM_LBUTTONDBLCLK));
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &nid));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &nid));
  EXPECT_TRUE(desktop::TrayIcons().empty());
}

TEST_F(ShellTest, FilesDroppedOnAChildReachTheAncestorThatAcceptsThem) {
  HWND top = CreateHost("drop", 100, 100, 200, 200);
  HWND child = CreateWindowExA(0, "ControlsHost", "", WS_CHILD | WS_VISIBLE, 20, 30, 50, 50, top,
                               nullptr, nullptr, nullptr);
  desktop::RunUntilIdle();
  EXPECT_FALSE(desktop::DropFiles(POINT{130, 140}, {"/tmp/a.rtv"}));  // nobody accepts yet
  DragAcceptFiles(top, TRUE);
  EXPECT_TRUE(GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  ClearReceived();
  ASSERT_TRUE(desktop::DropFiles(POINT{130, 140}, {"/tmp/a.rtv", "C:\\clips\\second clip.rtv"}));
  HDROP drop = nullptr;
  desktop::RunUntilIdle();
  EXPECT_TRUE(ReceivedBy(child, WM_DROPFILES).empty());
  auto drops = ReceivedBy(top, WM_DROPFILES);
  ASSERT_EQ(drops.size(), 1u);
  drop = reinterpret_cast<HDROP>(drops[0].wParam);
  EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 2u);
  EXPECT_EQ(DragQueryFileA(drop, 1, nullptr, 0), 24u);
  char name[1024];
  EXPECT_EQ(DragQueryFileA(drop, 1, name, sizeof name), 24u);
  EXPECT_STREQ(name, "C:\\clips\\second clip.rtv");
  char small[5];
  EXPECT_EQ(DragQueryFileA(drop, 0, small, sizeof small), 4u);  // cut, still terminated
  EXPECT_STREQ(small, "/tmp");
  EXPECT_EQ(DragQueryFileA(drop, 2, name, sizeof name), 0u);
  POINT p;
  EXPECT_TRUE(DragQueryPoint(drop, &p));
  EXPECT_EQ(p.x, 30);
  EXPECT_EQ(p.y, 40);
  DragFinish(drop);
  EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 0u);  // gone
  DragAcceptFiles(top, FALSE);
  EXPECT_FALSE(desktop::DropFiles(POINT{130, 140}, {"/tmp/a.rtv"}));
}

}  // namespace
