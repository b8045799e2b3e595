// Popup menus: building, check marks by command and by position, resources,
// and TrackPopupMenu driven with the mouse and keys as a user would.
#include "ControlsTestSupport.h"
#include "win32/quellor_host.h"

using namespace quellor::testing;
namespace desktop = quellor::desktop;

namespace {

class MenuTest : public ControlsTest {};

HMENU TrayLikeMenu() {
  HMENU popup = CreatePopupMenu();
  AppendMenuA(popup, MF_STRING, 40007, "&Enabled");
  AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(popup, MF_STRING, 40003, "Stretch &Fit");
  AppendMenuA(popup, MF_STRING, 40002, "&1-to-1 Pixels");
  AppendMenuA(popup, MF_STRING | MF_GRAYED, 40005, "&De-Interlace");
  AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(popup, MF_STRING, 40001, "E&xit");
  return popup;
}

TEST_F(MenuTest, CheckMarksByCommandAndByPositionReportThePreviousState) {
  HMENU bar = CreateMenu();
  HMENU popup = TrayLikeMenu();
  ASSERT_TRUE(AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "Menu"));
  EXPECT_EQ(GetSubMenu(bar, 0), popup);
  EXPECT_EQ(GetSubMenu(popup, 0), nullptr);
  EXPECT_EQ(GetMenuItemCount(popup), 7);
  EXPECT_EQ(CheckMenuItem(popup, 0, MF_BYPOSITION | MF_CHECKED), DWORD(MF_UNCHECKED));
  EXPECT_EQ(CheckMenuItem(popup, 0, MF_BYPOSITION | MF_CHECKED), DWORD(MF_CHECKED));
  // By command the search reaches into submenus.
  EXPECT_EQ(CheckMenuItem(bar, 40002, MF_BYCOMMAND | MF_CHECKED), DWORD(MF_UNCHECKED));
  EXPECT_EQ(GetMenuState(popup, 3, MF_BYPOSITION) & MF_CHECKED, UINT(MF_CHECKED));
  EXPECT_EQ(CheckMenuItem(popup, 99, MF_BYPOSITION | MF_CHECKED), 0xFFFFFFFFu);
  EXPECT_EQ(CheckMenuItem(popup, 12345, MF_BYCOMMAND | MF_CHECKED), 0xFFFFFFFFu);
  EXPECT_EQ(GetMenuItemID(popup, 6), 40001u);
  EXPECT_EQ(GetMenuItemID(bar, 0), 0xFFFFFFFFu);
  char text[32];
  EXPECT_EQ(GetMenuStringA(popup, 40001, text, sizeof text, MF_BYCOMMAND), 5);
  EXPECT_STREQ(text, "E&xit");
  // Destroying the bar destroys its popups.
  EXPECT_TRUE(DestroyMenu(bar));
  EXPECT_FALSE(IsMenu(popup));
  EXPECT_FALSE(DestroyMenu(bar));
}

TEST_F(MenuTest, LoadMenuBuildsTheRegisteredTemplateOfTheModule) {
  HMODULE module = quellor::win32::ModuleFromAddress(reinterpret_cast<const void*>(&TrayLikeMenu));
  ASSERT_NE(module, nullptr);
  using Item = quellor::win32::MenuTemplateItem;
  quellor::win32::RegisterMenuResource(
      module, MAKEINTRESOURCEA(102),
      {Item{"Popup",
            0,
            MF_POPUP,
            {Item{"&Enabled", 40007, 0, {}}, Item{"", 0, MF_SEPARATOR, {}},
             Item{"E&xit", 40001, 0, {}}}}});
  HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(102));
  ASSERT_NE(menu, nullptr);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(GetMenuItemCount(popup), 3);
  EXPECT_EQ(GetMenuItemID(popup, 2), 40001u);
  EXPECT_EQ(GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
  // Each load is a menu of its own.
  HMENU second = LoadMenuA(module, MAKEINTRESOURCEA(102));
  EXPECT_NE(second, menu);
  CheckMenuItem(GetSubMenu(second, 0), 0, MF_BYPOSITION | MF_CHECKED);
  EXPECT_EQ(GetMenuState(popup, 0, MF_BYPOSITION) & MF_CHECKED, 0u);
  EXPECT_EQ(LoadMenuA(module, MAKEINTRESOURCEA(103)), nullptr);
  EXPECT_EQ(GetLastError(), 1814u);
  DestroyMenu(menu);
  DestroyMenu(second);
}

// Clicks item `position` of the open menu once the menu's loop goes idle.
void ClickItemWhenIdle(int position, std::vector<HWND>* seenMenus = nullptr) {
  desktop::SetModalIdleHook([=](HWND menuWindow) {
    if (seenMenus) seenMenus->push_back(menuWindow);
    RECT r;
    if (!desktop::PopupMenuItemRect(position, &r)) return;
    desktop::Click(desktop::Button::Left, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  });
}

TEST_F(MenuTest, ClickingAnItemPostsItsCommandToTheOwnerAfterTheLoopEnds) {
  HWND owner = CreateHost("owner", 100, 100, 200, 100);
  HMENU menu = TrayLikeMenu();
  CheckMenuItem(menu, 0, MF_BYPOSITION | MF_CHECKED);
  std::vector<HWND> menus;
  ClickItemWhenIdle(3, &menus);
  ClearReceived();
  EXPECT_TRUE(TrackPopupMenu(menu, TPM_LEFTBUTTON, 400, 300, 0, owner, nullptr));
  ASSERT_FALSE(menus.empty());
  EXPECT_FALSE(IsWindow(menus[0]));  // the menu window is gone
  EXPECT_EQ(desktop::OpenPopupMenu(), nullptr);
  // The owner heard the loop start, go idle and end; the command is posted.
  EXPECT_EQ(ReceivedBy(owner, WM_INITMENUPOPUP).size(), 1u);
  EXPECT_FALSE(ReceivedBy(owner, WM_ENTERIDLE).empty());
  EXPECT_EQ(ReceivedBy(owner, WM_ENTERIDLE)[0].wParam, WPARAM(MSGF_MENU));
  EXPECT_EQ(ReceivedBy(owner, WM_EXITMENULOOP).size(), 1u);
  EXPECT_TRUE(ReceivedBy(owner, WM_COMMAND).empty());
  desktop::RunUntilIdle();
  auto commands = ReceivedBy(owner, WM_COMMAND);
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].wParam, WPARAM(40002));
  EXPECT_EQ(commands[0].lParam, 0);
  DestroyMenu(menu);
}

TEST_F(MenuTest, SeparatorsAndGrayedItemsCannotBeChosenAndEscapeDismisses) {
  HWND owner = CreateHost("owner", 100, 100, 200, 100);
  HMENU menu = TrayLikeMenu();
  int idle = 0;
  desktop::SetModalIdleHook([&](HWND) {
    RECT r;
    ++idle;
    if (idle == 1 && desktop::PopupMenuItemRect(1, &r)) {  // the separator
      desktop::Click(desktop::Button::Left, r.left + 5, (r.top + r.bottom) / 2);
    } else if (idle == 2 && desktop::PopupMenuItemRect(4, &r)) {  // grayed
      desktop::Click(desktop::Button::Left, r.left + 5, (r.top + r.bottom) / 2);
    } else {
      desktop::TypeKey(VK_ESCAPE);
    }
  });
  EXPECT_FALSE(TrackPopupMenu(menu, TPM_LEFTBUTTON, 10, 10, 0, owner, nullptr));
  EXPECT_EQ(idle, 3);
  desktop::RunUntilIdle();
  EXPECT_TRUE(ReceivedBy(owner, WM_COMMAND).empty());
  DestroyMenu(menu);
}

TEST_F(MenuTest, KeysAndAClickOutsideWorkAsOnWindows) {
  HWND owner = CreateHost("owner", 100, 100, 200, 100);
  HMENU menu = TrayLikeMenu();
  // Down twice (past the separator) and Enter, with TPM_RETURNCMD.
  int step = 0;
  desktop::SetModalIdleHook([&](HWND) {
    if (step++ == 0) {
      desktop::TypeKey(VK_DOWN);
      desktop::TypeKey(VK_DOWN);
      desktop::TypeKey(VK_RETURN);
    }
  });
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 40003);
  desktop::RunUntilIdle();
  EXPECT_TRUE(ReceivedBy(owner, WM_COMMAND).empty());  // returned, not posted
  // A mnemonic chooses its item.
  desktop::SetModalIdleHook([](HWND) { desktop::TypeKey('X'); });
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 40001);
  // A press outside the menu dismisses it.
  desktop::SetModalIdleHook([](HWND) { desktop::Click(desktop::Button::Left, 1500, 900); });
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr), 0);
  DestroyMenu(menu);
}

TEST_F(MenuTest, OpenMenuScreenshotShowsItemsChecksAndHighlight) {
  HWND owner = CreateHost("owner", 100, 100, 200, 100);
  HMENU menu = TrayLikeMenu();
  CheckMenuItem(menu, 0, MF_BYPOSITION | MF_CHECKED);
  CheckMenuItem(menu, 2, MF_BYPOSITION | MF_CHECKED);
  std::string path = ScratchPath("open_menu.png");
  int step = 0;
  desktop::SetModalIdleHook([&](HWND menuWindow) {
    RECT r;
    if (step++ == 0) {
      desktop::PopupMenuItemRect(3, &r);
      desktop::MoveMouse(r.left + 30, (r.top + r.bottom) / 2);  // highlight "1-to-1 Pixels"
      return;
    }
    desktop::Picture shot = desktop::CaptureWindow(menuWindow);
    EXPECT_TRUE(desktop::WritePng(shot, path));
    desktop::PopupMenuItemRect(3, &r);
    RECT w;
    GetWindowRect(menuWindow, &w);
    // The highlighted row has the highlight colour at its left edge.
    uint32_t highlight = GetSysColor(COLOR_HIGHLIGHT);
    uint32_t expected =
        ((highlight & 0xFF) << 16) | (highlight & 0xFF00) | ((highlight >> 16) & 0xFF);
    EXPECT_EQ(shot.At(r.left - w.left + 3, r.top - w.top + 3), expected);
    desktop::TypeKey(VK_ESCAPE);
  });
  TrackPopupMenu(menu, 0, 300, 200, 0, owner, nullptr);
  EXPECT_GE(step, 2);
  DestroyMenu(menu);
}

}  // namespace
