// Skinned pop-up menus driven through the subset's mouse and keys: where they
// open, what the menu loop passes on, the choice left in the selection
// values, menus opened from inside menus, and controls going away while
// their menu is open.
#include <qlxrapi/ControlWindowClasses.h>
#include <qlxrapi/DefaultResources.h>
#include <qlxrapi/UtilLib_Menu.h>
#include <qlxrapi/UtilLib_MenuButton.h>

#include <functional>

#include "ControlTesting.h"

using namespace uitest;
using quellor::desktop::Button;

namespace {

constexpr int kNothing = UtilLib_Menu::kNothingSelected;
const std::uint32_t kUp = Rgb(0, 0, 200), kDown = Rgb(200, 0, 0), kRoll = Rgb(0, 200, 0),
                    kRollDown = Rgb(200, 200, 0);

// Runs a step of the test at a message the (possibly nested) loop handles.
class Probe : public MessageQueue_Listener {
 public:
  bool PreCallback(HWND, unsigned, unsigned, unsigned) override { return false; }
  void PostCallback(HWND window, unsigned message, unsigned, unsigned) override {
    if (after) after(window, message);
  }
  std::function<void(HWND, unsigned)> after;
};

class Menus : public ::testing::Test {
 protected:
  // The panel covers the screen around the menus, so that input queued
  // before a pop-up opens still reaches the menu loop.
  static constexpr int kLeft = 100, kTop = 100;

  void SetUp() override {
    quellor::desktop::UseManualClock(true);
    panel = new TestWindow(log);
    ASSERT_TRUE(panel->OpenWindow(nullptr, kLeft, kTop, 500, 400, const_cast<char*>("panel"),
                                  WS_POPUP | WS_VISIBLE, 0));
    panelWindow = panel->GetWindowHandle();
    Settle();
    button = MakeMenuButton(10, 10, 60, 20);
    ASSERT_NE(button, nullptr);
  }
  // Looks without a size of their own, so that the button keeps its size
  // (the library's menu looks would make it 53 x 22 at the first change).
  void SizeFreeLooks(UtilLib_MenuButton* target) {
    for (int state = 0; state < 4; ++state)
      target->Button_SetResource(state, looks.emplace_back(Solid(90, 90, 90)).get());
  }
  void TearDown() override {
    quellor::desktop::ReleaseButton(Button::Left, 0, 0);
    probe.after = nullptr;
    // A test may have destroyed the panel (and so its object) already.
    if (IsWindow(panelWindow)) ::DestroyWindow(panelWindow);
    Settle();
    menus.clear();
    looks.clear();
    EXPECT_EQ(UtilLib_MenuButton::ListOfVars.GetNoItems(), 0u);
    EXPECT_FALSE(UtilLib_MenuButton::IsMenuLoopRunning());
    quellor::desktop::UseManualClock(false);
  }

  UtilLib_MenuButton* MakeMenuButton(long x, long y, long width, long height) {
    PluginClass* made =
        Orvane_New(const_cast<char*>("UtilLib_MenuButton"), panel->GetWindowHandle(), x, y, width,
                   height, const_cast<char*>(""), WS_CHILD | WS_VISIBLE, 0);
    Settle();
    return dynamic_cast<UtilLib_MenuButton*>(made);
  }

  // A menu of count items 20 high (a solid colour per state, no text
  // preference) and 80 wide.
  UtilLib_Menu* MakeMenu(int count, UtilLib_Menu* into = nullptr) {
    UtilLib_Menu* menu = into;
    if (menu == nullptr) {
      menus.emplace_back(new UtilLib_Menu);
      menu = menus.back().get();
    }
    for (int i = 0; i < count; ++i) {
      UtilLib_MenuItem* item = menu->UtilLib_Menu_AddMenuItem();
      const std::uint32_t colours[4] = {kUp, kDown, kRoll, kRollDown};
      for (int state = 0; state < 4; ++state) {
        auto* look = new ScreenObjectNull;  // prefers 80 x 20 and draws a colour under it
        look->ScreenObject_SetPreferedXSize(80);
        look->ScreenObject_SetPreferedYSize(20);
        auto* colour =
            Solid(colours[state] >> 16, (colours[state] >> 8) & 255, colours[state] & 255);
        auto* both = new ScreenObject_Composite;
        both->ScreenObject_Composite_AddChild(colour, true);
        both->ScreenObject_Composite_AddChild(look, true);
        looks.emplace_back(both);
        item->AssignScreenObject(state, both);
      }
      item->GetTextItem()->SetAlignment(64 | 33);  // the text prefers no width
      item->GetTextItem()->SetFontSize(10);
    }
    return menu;
  }

  // Screen position of item (from 0) of an open menu, 5 pixels in.
  static POINT ItemPoint(UtilLib_Menu* menu, int item) {
    RECT r{};
    GetWindowRect(menu->GetMenuWindow(), &r);
    return POINT{r.left + 5, r.top + 20 * item + 5};
  }
  POINT ButtonPoint() const { return POINT{kLeft + 20, kTop + 15}; }
  // Where the drop-down of the button opens (under its left edge).
  POINT DropDownItem(int item) const { return POINT{kLeft + 15, kTop + 30 + 20 * item + 5}; }

  static void Press(POINT p) { quellor::desktop::PressButton(Button::Left, p.x, p.y); }
  static void Release(POINT p) { quellor::desktop::ReleaseButton(Button::Left, p.x, p.y); }
  // A message between two moves keeps the queue from folding them into one.
  void Move(POINT p) {
    quellor::desktop::MoveMouse(p.x, p.y);
    PostMessageA(panel->GetWindowHandle(), WM_NULL, 0, 0);
  }
  // Runs what was queued through the framework's loop. A loop the test left
  // open is ended by Escape rather than waiting for input forever.
  void Run() {
    PostMessageA(panel->GetWindowHandle(), WM_KEYDOWN, VK_ESCAPE, 0);
    FlushMessageQueue();
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  static std::uint32_t ScreenPixel(POINT p) {
    return quellor::desktop::CaptureScreen().At(p.x, p.y);
  }

  Log log;
  TestWindow* panel = nullptr;
  HWND panelWindow = nullptr;
  UtilLib_MenuButton* button = nullptr;
  MouseEnterContext enter;
  Probe probe;
  std::vector<std::unique_ptr<UtilLib_Menu>> menus;
  std::vector<std::unique_ptr<ScreenObject>> looks;
};

TEST_F(Menus, MenuButtonsAreMadeByClassNameWithTheMenuLooks) {
  // Without looks of its own the button takes the menu look's size.
  EXPECT_EQ(button->UtilLib_MenuButton_GetMenu(), nullptr);
  ASSERT_NE(DefaultMenu_Up, nullptr);
  EXPECT_EQ(button->LayoutHints_GetPreferedXSize(),
            DefaultMenu_Up->ScreenObject_GetPreferedXSize());
  EXPECT_EQ(button->LayoutHints_GetPreferedYSize(),
            DefaultMenu_Up->ScreenObject_GetPreferedYSize());
}

TEST_F(Menus, MenuClassesAreNumberedAndGoWithTheirMenu) {
  auto first = std::make_unique<UtilLib_Menu>();
  auto second = std::make_unique<UtilLib_Menu>();
  int a = 0, b = 0;
  ASSERT_EQ(std::sscanf(first->GetWindowClassName(), "UtilLib_Menu%d", &a), 1);
  ASSERT_EQ(std::sscanf(second->GetWindowClassName(), "UtilLib_Menu%d", &b), 1);
  EXPECT_EQ(b, a + 1);
  const std::string name = second->GetWindowClassName();
  WNDCLASSA info{};
  ASSERT_TRUE(GetClassInfoA(nullptr, name.c_str(), &info));
  EXPECT_EQ(info.style, 0x2Bu);
  second.reset();
  EXPECT_FALSE(GetClassInfoA(nullptr, name.c_str(), &info));
}

TEST_F(Menus, AMenuWhoseClassIsTakenCannotBeMade) {
  int next = 0;
  {
    UtilLib_Menu probeMenu;
    ASSERT_EQ(std::sscanf(probeMenu.GetWindowClassName(), "UtilLib_Menu%d", &next), 1);
  }
  const std::string taken = "UtilLib_Menu" + std::to_string(next + 1);
  WNDCLASSA other{};
  other.lpfnWndProc = DefWindowProcA;
  other.lpszClassName = taken.c_str();
  ASSERT_NE(RegisterClassA(&other), 0);
  const char* thrown = nullptr;
  try {
    UtilLib_Menu menu;
  } catch (const char* text) {
    thrown = text;
  }
  ASSERT_NE(thrown, nullptr);
  EXPECT_STREQ(thrown, "UtilLib_Menu::Could not register class");
  UnregisterClassA(taken.c_str(), nullptr);
}

TEST_F(Menus, ItemsWithoutAPreferredWidthOpen135Wide) {
  UtilLib_Menu* menu = menus.emplace_back(new UtilLib_Menu).get();
  for (int i = 0; i < 3; ++i) {
    UtilLib_MenuItem* item = menu->UtilLib_Menu_AddMenuItem();
    for (int state = 0; state < 4; ++state)
      item->AssignScreenObject(state, looks.emplace_back(Solid(1, 2, 3)).get());
    item->GetTextItem()->SetAlignment(64 | 33);
  }
  EXPECT_EQ(menu->GetMenuWidth(), 135);
  const long itemHeight = menu->UtilLib_Menu_GetMenuItem(0)->GetPreferedYSize();
  EXPECT_EQ(menu->GetMenuHeight(), 3 * (itemHeight == -1 ? 21 : itemHeight));
  menu->OpenMenuWindow(button->GetWindowHandle());
  RECT r{};
  GetClientRect(menu->GetMenuWindow(), &r);
  EXPECT_EQ(r.right, 135);
  EXPECT_EQ(r.bottom, menu->GetMenuHeight());
}

TEST_F(Menus, AnItemStartsAsTheDefaultLookUnderItsText) {
  UtilLib_MenuItem item;
  EXPECT_STREQ(item.GetText(), "A Menu Item");
  EXPECT_EQ(item.GetTextItem()->GetAlignement(), 33u);
  ScreenObject_Composite* up = item.GetLook(0);
  ASSERT_EQ(up->ScreenObject_Composite_GetNoChildren(), 2u);
  EXPECT_EQ(up->ScreenObject_Composite_GetChild(0), DefaultButton_Up);
  EXPECT_EQ(up->ScreenObject_Composite_GetChild(1), item.GetTextItem());
  EXPECT_EQ(item.GetLook(3)->ScreenObject_Composite_GetChild(0), DefaultButton_RoDn);
  EXPECT_TRUE(item.SetText(const_cast<char*>("Open")));
  EXPECT_STREQ(item.GetText(), "Open");
  // A wider text widens the item.
  const long narrow = item.GetPreferedXSize();
  item.SetText(const_cast<char*>("Open a much longer entry than before"));
  EXPECT_GT(item.GetPreferedXSize(), narrow);
}

TEST_F(Menus, APopupOpensUnderItsButtonWithOneBoundButtonPerItem) {
  UtilLib_Menu* menu = MakeMenu(3);
  menu->OpenMenuWindow(button->GetWindowHandle());
  Settle();
  ASSERT_TRUE(menu->IsOpen());
  HWND popup = menu->GetMenuWindow();
  RECT r{};
  GetWindowRect(popup, &r);
  EXPECT_EQ(r.left, kLeft + 10);
  EXPECT_EQ(r.top, kTop + 30);
  EXPECT_EQ(r.right - r.left, 80);
  EXPECT_EQ(r.bottom - r.top, 60);
  EXPECT_TRUE(GetWindowLongA(popup, GWL_STYLE) & WS_POPUP);
  EXPECT_TRUE(IsWindowVisible(popup));
  EXPECT_EQ(GetWindow(popup, GW_OWNER) != nullptr, true);
  EXPECT_EQ(menu->GetSelection()->Get(), kNothing);
  BaseWindowClass* layout = Orvane_GetWindowObject(popup);
  ASSERT_NE(layout, nullptr);
  ASSERT_EQ(layout->GetNoChildren(), 3);
  for (int i = 0; i < 3; ++i) {
    auto* item = dynamic_cast<UtilLib_MenuButton*>(
        Orvane_GetWindowObject(WindowFromPoint(ItemPoint(menu, i))));
    ASSERT_NE(item, nullptr) << i;
    EXPECT_EQ(item->Button_GetVariable(), menu->GetSelection());
    EXPECT_EQ(item->Button_GetSelectedState(), i + 1);
    EXPECT_EQ(item->UtilLib_MenuButton_GetMenu(), nullptr);
  }
  // Each item draws its up look; the chosen one its down look.
  EXPECT_EQ(ScreenPixel(ItemPoint(menu, 1)), kUp);
  menu->GetSelection()->Set(2);
  Settle();
  EXPECT_EQ(ScreenPixel(ItemPoint(menu, 1)), kDown);
  EXPECT_EQ(ScreenPixel(ItemPoint(menu, 0)), kUp);
  EXPECT_EQ(ScreenPixel(ItemPoint(menu, 2)), kUp);
  for (int i = 0; i < 3; ++i) {
    HWND w = WindowFromPoint(ItemPoint(menu, i));
    RECT c{};
    GetWindowRect(w, &c);
    EXPECT_EQ(c.top, r.top + 20 * i) << i;
    EXPECT_EQ(c.left, r.left) << i;
    EXPECT_EQ(c.right, r.right) << i;
  }
  menu->OpenMenuWindow(button->GetWindowHandle());  // open already: nothing new
  EXPECT_EQ(menu->GetMenuWindow(), popup);
  menu->CloseMenuWindow();
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_FALSE(menu->IsOpen());
}

TEST_F(Menus, AlignmentBitsPlaceThePopupAgainstItsOpener) {
  UtilLib_Menu* menu = MakeMenu(2);
  RECT opener{};
  GetWindowRect(button->GetWindowHandle(), &opener);
  auto openAt = [&](unsigned alignment) {
    menu->SetAlignement(alignment);
    menu->OpenMenuWindow(button->GetWindowHandle());
    RECT r{};
    GetWindowRect(menu->GetMenuWindow(), &r);
    menu->CloseMenuWindow();
    return POINT{r.left, r.top};
  };
  Move(POINT{kLeft + 300, kTop + 200});
  Settle();
  POINT p = openAt(UtilLib_Menu::kCascade);
  EXPECT_EQ(p.x, opener.right - 8);
  EXPECT_EQ(p.y, opener.top);
  p = openAt(0);  // at the cursor
  EXPECT_EQ(p.x, kLeft + 300);
  EXPECT_EQ(p.y, kTop + 200);
  p = openAt(UtilLib_Menu::kAlignLeftToLeft);
  EXPECT_EQ(p.x, opener.left);
  EXPECT_EQ(p.y, kTop + 200);
  UtilLib_Menu* sub = menu->UtilLib_Menu_GetSubMenu(1u);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->GetAlignement(), UtilLib_Menu::kCascade);
  EXPECT_EQ(sub, menu->UtilLib_Menu_GetSubMenu(menu->UtilLib_Menu_GetMenuItem(1)));
  EXPECT_EQ(sub->GetParentMenu(), menu);
  EXPECT_EQ(menu->UtilLib_Menu_GetSubMenu(5u), nullptr);
}

TEST_F(Menus, ReleasingOverALeafItemEndsTheLoopWithItsNumber) {
  UtilLib_Menu* menu = MakeMenu(3);
  button->UtilLib_MenuButton_AssignMenu(menu);
  bool openDuringLoop = false;
  probe.after = [&](HWND, unsigned message) {
    if (message == WM_MOUSEMOVE) openDuringLoop = menu->IsOpen();
  };
  Press(ButtonPoint());
  Move(DropDownItem(1));
  Release(DropDownItem(1));
  Run();
  EXPECT_TRUE(openDuringLoop);
  EXPECT_EQ(menu->GetSelection()->Get(), 2);
  EXPECT_FALSE(menu->IsOpen());
  EXPECT_EQ(button->Button_GetVariable()->Get(), kNothing);
  // The click on the panel's area under the menu never reached the panel.
  EXPECT_FALSE(Contains(log, "w lclick 15,65"));
}

TEST_F(Menus, HoveringSelectsEachItemInTurnAndTheDownLookFollows) {
  UtilLib_Menu* menu = MakeMenu(3);
  button->UtilLib_MenuButton_AssignMenu(menu);
  std::vector<int> chosen;
  std::vector<std::uint32_t> second;
  probe.after = [&](HWND, unsigned message) {
    if (message != WM_MOUSEMOVE || !menu->IsOpen()) return;
    chosen.push_back(menu->GetSelection()->Get());
    second.push_back(ScreenPixel(ItemPoint(menu, 1)));
  };
  Press(ButtonPoint());
  Move(DropDownItem(0));
  Move(DropDownItem(1));
  Move(DropDownItem(2));
  Release(POINT{kLeft + 400, kTop + 300});  // elsewhere: no choice made there
  Run();
  EXPECT_EQ(chosen, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(second, (std::vector<std::uint32_t>{kUp, kRollDown, kUp}));
  EXPECT_FALSE(menu->IsOpen());
}

TEST_F(Menus, MenusOpenFromInsideMenusAndTheLeafChoiceLandsInTheSubmenu) {
  UtilLib_Menu* menu = MakeMenu(3);
  UtilLib_Menu* sub = MakeMenu(2, menu->UtilLib_Menu_GetSubMenu(0u));
  SizeFreeLooks(button);
  button->UtilLib_MenuButton_AssignMenu(menu);
  RECT subRect{};
  bool bothOpen = false;
  probe.after = [&](HWND, unsigned message) {
    if (message == WM_MOUSEMOVE && sub->IsOpen()) {
      bothOpen = menu->IsOpen();
      GetWindowRect(sub->GetMenuWindow(), &subRect);
    }
  };
  // The cascade opens at the item's right edge less 8, level with it.
  const POINT subItem1{kLeft + 10 + 80 - 8 + 5, kTop + 30 + 20 + 5};
  Press(ButtonPoint());
  Move(DropDownItem(0));
  Move(subItem1);
  Release(subItem1);
  Run();
  EXPECT_TRUE(bothOpen);
  EXPECT_EQ(subRect.left, kLeft + 10 + 80 - 8);
  EXPECT_EQ(subRect.top, kTop + 30);
  EXPECT_EQ(sub->GetSelection()->Get(), 2);
  EXPECT_EQ(menu->GetSelection()->Get(), 1);
  EXPECT_FALSE(menu->IsOpen());
  EXPECT_FALSE(sub->IsOpen());
}

TEST_F(Menus, ReleasingOverAnItemWithASubmenuKeepsTheMenusOpen) {
  UtilLib_Menu* menu = MakeMenu(2);
  UtilLib_Menu* sub = MakeMenu(2, menu->UtilLib_Menu_GetSubMenu(1u));
  button->UtilLib_MenuButton_AssignMenu(menu);
  bool openAfterRelease = false, looping = false;
  probe.after = [&](HWND, unsigned message) {
    if (message == WM_LBUTTONUP) {
      openAfterRelease = menu->IsOpen() && sub->IsOpen();
      looping = UtilLib_MenuButton::IsMenuLoopRunning();
    }
  };
  Press(ButtonPoint());
  Move(DropDownItem(1));
  Release(DropDownItem(1));
  quellor::desktop::TypeKey(VK_ESCAPE);
  Run();
  EXPECT_TRUE(openAfterRelease);
  EXPECT_TRUE(looping);
  EXPECT_FALSE(menu->IsOpen());
  EXPECT_FALSE(sub->IsOpen());
}

TEST_F(Menus, MovingToAnotherItemClosesTheSubmenuOfTheLastOne) {
  UtilLib_Menu* menu = MakeMenu(2);
  UtilLib_Menu* sub = MakeMenu(2, menu->UtilLib_Menu_GetSubMenu(0u));
  button->UtilLib_MenuButton_AssignMenu(menu);
  std::vector<bool> subOpen;
  probe.after = [&](HWND, unsigned message) {
    if (message == WM_MOUSEMOVE) subOpen.push_back(sub->IsOpen());
  };
  Press(ButtonPoint());
  Move(DropDownItem(0));
  Move(DropDownItem(1));
  Release(DropDownItem(1));
  Run();
  EXPECT_EQ(subOpen, (std::vector<bool>{true, false}));
  EXPECT_EQ(menu->GetSelection()->Get(), 2);
}

TEST_F(Menus, AClickOutsideTheMenusIsSwallowedAndEndsTheLoop) {
  UtilLib_Menu* menu = MakeMenu(2);
  button->UtilLib_MenuButton_AssignMenu(menu);
  Press(ButtonPoint());
  Release(ButtonPoint());  // over the button that owns the menu: stays open
  Press(POINT{kLeft + 400, kTop + 300});
  Release(POINT{kLeft + 400, kTop + 300});
  bool openAfterFirstRelease = false;
  probe.after = [&](HWND, unsigned message) {
    if (message == WM_LBUTTONUP && !openAfterFirstRelease) openAfterFirstRelease = menu->IsOpen();
  };
  Run();
  EXPECT_TRUE(openAfterFirstRelease);
  EXPECT_FALSE(menu->IsOpen());
  EXPECT_FALSE(Contains(log, "w lclick 400,300"));
  // The next click outside reaches the panel as usual.
  Press(POINT{kLeft + 400, kTop + 300});
  Release(POINT{kLeft + 400, kTop + 300});
  Run();
  EXPECT_TRUE(Contains(log, "w lclick 400,300"));
}

TEST_F(Menus, AButtonWithoutAMenuLetsGoOfItsPressWhenTheLoopEnds) {
  Dynamic<int> value;
  button->Button_UseVariable(&value);
  button->Button_SetSelectedState(4);
  std::vector<int> seen;
  probe.after = [&](HWND, unsigned message) {
    if (message == WM_MOUSEMOVE) seen.push_back(value.Get());
  };
  Press(ButtonPoint());
  Move(POINT{ButtonPoint().x + 5, ButtonPoint().y});
  Release(ButtonPoint());
  Run();
  EXPECT_EQ(seen, (std::vector<int>{4}));  // pressed while the loop ran
  EXPECT_EQ(value.Get(), kNothing);
  // A release that reaches it outside a loop writes its state.
  ControlNotices heard;
  value.AddDependant(&heard, 0);
  SendMessageA(button->GetWindowHandle(), WM_LBUTTONUP, 0, Point(5, 5));
  EXPECT_EQ(value.Get(), 4);
  EXPECT_EQ(heard.Take(), (Notices{"Button::ReleasedOff"}));
  button->Button_UseVariable(nullptr);
}

TEST_F(Menus, TheOpeningButtonDestroyedDuringTheLoopEndsItAndClosesTheMenu) {
  UtilLib_Menu* menu = MakeMenu(3);
  button->UtilLib_MenuButton_AssignMenu(menu);
  HWND buttonWindow = button->GetWindowHandle();
  probe.after = [&](HWND, unsigned message) {
    if (message == WM_MOUSEMOVE && IsWindow(buttonWindow)) ::DestroyWindow(buttonWindow);
  };
  Press(ButtonPoint());
  Move(DropDownItem(1));
  Move(DropDownItem(2));  // the loop must have ended before this
  Run();
  EXPECT_FALSE(IsWindow(buttonWindow));
  EXPECT_FALSE(menu->IsOpen());
  EXPECT_EQ(Orvane_GetWindowObject(buttonWindow), nullptr);
  // The menu let go of the button that went.
  UtilLib_MenuButton* other = MakeMenuButton(100, 10, 60, 20);
  other->UtilLib_MenuButton_AssignMenu(menu);
  menus.clear();  // deletes the menu: the remaining button forgets it
  EXPECT_EQ(other->UtilLib_MenuButton_GetMenu(), nullptr);
}

TEST_F(Menus, AMenuDeletedDuringTheLoopTakesItsPopupAndLeavesItsButton) {
  UtilLib_Menu* menu = MakeMenu(3);
  MakeMenu(2, menu->UtilLib_Menu_GetSubMenu(0u));
  button->UtilLib_MenuButton_AssignMenu(menu);
  HWND popup = nullptr;
  probe.after = [&](HWND, unsigned message) {
    if (message == WM_MOUSEMOVE && !menus.empty() &&
        menus[0]->UtilLib_Menu_GetSubMenu(0u)->IsOpen()) {
      popup = menus[0]->GetMenuWindow();
      menus.clear();
    }
  };
  Press(ButtonPoint());
  Move(DropDownItem(0));  // opens the submenu
  Move(DropDownItem(1));
  Release(DropDownItem(1));
  Run();
  EXPECT_TRUE(menus.empty());
  EXPECT_NE(popup, nullptr);
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_EQ(button->UtilLib_MenuButton_GetMenu(), nullptr);
}

TEST_F(Menus, APanelDestroyedWhileItsMenuIsOpenTakesThePopupsWithIt) {
  UtilLib_Menu* menu = MakeMenu(2);
  UtilLib_Menu* sub = MakeMenu(2, menu->UtilLib_Menu_GetSubMenu(0u));
  button->UtilLib_MenuButton_AssignMenu(menu);
  button->Button_GetVariable()->Set(button->Button_GetSelectedState());  // pressed: opens
  ASSERT_TRUE(menu->IsOpen());
  menu->GetSelection()->Set(1);  // the first item opens the submenu
  ASSERT_TRUE(sub->IsOpen());
  HWND popup = menu->GetMenuWindow(), subPopup = sub->GetMenuWindow();
  ::DestroyWindow(panel->GetWindowHandle());
  Settle();
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_FALSE(IsWindow(subPopup));
  EXPECT_FALSE(menu->IsOpen());
  EXPECT_FALSE(sub->IsOpen());
  UtilLib_MenuButton::ListOfVars.Clear();  // nothing ran the loop that empties it
}

TEST_F(Menus, DeletingAnItemOfAnOpenMenuRebuildsItsButtons) {
  UtilLib_Menu* menu = MakeMenu(3);
  menu->OpenMenuWindow(button->GetWindowHandle());
  menu->UtilLib_Menu_DeleteMenuItem(0u);
  EXPECT_EQ(menu->UtilLib_Menu_GetNoMenuItems(), 2u);
  ASSERT_TRUE(menu->IsOpen());
  EXPECT_EQ(Orvane_GetWindowObject(menu->GetMenuWindow())->GetNoChildren(), 2);
  RECT r{};
  GetClientRect(menu->GetMenuWindow(), &r);
  EXPECT_EQ(r.bottom, 40);
  menu->UtilLib_Menu_DeleteMenuItem(menu->UtilLib_Menu_GetMenuItem(1));
  menu->UtilLib_Menu_DeleteMenuItem(7u);  // no such item
  EXPECT_EQ(menu->UtilLib_Menu_GetNoMenuItems(), 1u);
}

TEST_F(Menus, AButtonThatCannotBeMadeFailsTheOpeningAndLeavesNoPopup) {
  UtilLib_Menu* menu = MakeMenu(2);
  // No window of the class may be left for it to be taken back.
  ::DestroyWindow(button->GetWindowHandle());
  button = nullptr;
  ASSERT_TRUE(Orvane_UnRegisterControlWindowClass("UtilLib_MenuButton"));
  const char* thrown = nullptr;
  try {
    menu->OpenMenuWindow(panel->GetWindowHandle());
  } catch (const char* text) {
    thrown = text;
  }
  ASSERT_TRUE(
      Orvane_RegisterControlWindowClass("UtilLib_MenuButton", [](char* name) -> PluginClass* {
        return std::strcmp(name, "UtilLib_MenuButton") == 0 ? new UtilLib_MenuButton : nullptr;
      }));
  ASSERT_NE(thrown, nullptr);
  EXPECT_STREQ(thrown, "UtilLib_Menu::OpenMenuWindow A terrible error has occured !");
  EXPECT_FALSE(menu->IsOpen());
}

}  // namespace
