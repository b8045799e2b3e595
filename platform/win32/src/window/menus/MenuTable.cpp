#include "MenuTable.h"

#include <unordered_map>

namespace quellor::win32 {
namespace {

struct Table {
  std::mutex mutex;
  std::unordered_map<uintptr_t, std::unique_ptr<Menu>> menus;
  uintptr_t next = 0x6E000;
};

Table& T() {
  static Table* table = new Table;  // menus may be destroyed from atexit code
  return *table;
}

ItemRef FindByCommandLocked(Menu& menu, UINT id, int depth) {
  if (depth > 16) return {};  // menus nest a few levels; a cycle must not hang us
  for (size_t i = 0; i < menu.items.size(); ++i) {
    MenuItem& item = menu.items[i];
    if (item.flags & MF_POPUP) {
      if (Menu* sub = FindMenuLocked(item.submenu)) {
        ItemRef found = FindByCommandLocked(*sub, id, depth + 1);
        if (found.menu) return found;
      }
    } else if (!(item.flags & MF_SEPARATOR) && item.id == id) {
      return ItemRef{&menu, i};
    }
  }
  return {};
}

}  // namespace

std::unique_lock<std::mutex> MenuLock() {
  return std::unique_lock<std::mutex>(T().mutex);
}

HMENU AddMenuLocked(bool popup) {
  T().next += 4;  // handles are never reused
  auto menu = std::make_unique<Menu>();
  menu->popup = popup;
  T().menus[T().next] = std::move(menu);
  return reinterpret_cast<HMENU>(T().next);
}

Menu* FindMenuLocked(HMENU menu) {
  auto it = T().menus.find(reinterpret_cast<uintptr_t>(menu));
  return it == T().menus.end() ? nullptr : it->second.get();
}

void RemoveMenuLocked(HMENU menu) {
  auto it = T().menus.find(reinterpret_cast<uintptr_t>(menu));
  if (it == T().menus.end()) return;
  std::unique_ptr<Menu> doomed = std::move(it->second);
  T().menus.erase(it);
  for (MenuItem& item : doomed->items) {
    if (item.flags & MF_POPUP) RemoveMenuLocked(item.submenu);
  }
}

ItemRef FindItemLocked(HMENU handle, UINT item, UINT flags) {
  Menu* menu = FindMenuLocked(handle);
  if (!menu) return {};
  if (flags & MF_BYPOSITION) {
    if (item >= menu->items.size()) return {};
    return ItemRef{menu, item};
  }
  return FindByCommandLocked(*menu, item, 0);
}

}  // namespace quellor::win32
