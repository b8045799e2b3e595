// Menus behind HMENU handles. One lock guards every menu; callers take it
// through MenuLock() and copy what they need before calling out.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "win32/menus.h"

namespace quellor::win32 {

struct MenuItem {
  UINT flags = 0;  // MF_ state and type bits (MF_SEPARATOR, MF_POPUP, MF_CHECKED, MF_GRAYED, ...)
  UINT_PTR id = 0;
  HMENU submenu = nullptr;  // MF_POPUP items
  std::string text;
};

struct Menu {
  bool popup = false;
  std::vector<MenuItem> items;
};

std::unique_lock<std::mutex> MenuLock();
HMENU AddMenuLocked(bool popup);
Menu* FindMenuLocked(HMENU menu);
// Destroys a menu and its submenus.
void RemoveMenuLocked(HMENU menu);

struct ItemRef {
  Menu* menu = nullptr;
  size_t index = 0;
  MenuItem* Item() const { return menu ? &menu->items[index] : nullptr; }
};
// Finds an item by position or by command (searching submenus too, as
// Windows does); an empty reference when there is none.
ItemRef FindItemLocked(HMENU menu, UINT item, UINT flags);

}  // namespace quellor::win32
