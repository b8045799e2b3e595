// Building and querying menus.
#include <algorithm>
#include <cstring>

#include "MenuTable.h"
#include "win32/errors.h"
#include "win32/kernel.h"

#ifndef ERROR_INVALID_MENU_HANDLE
#define ERROR_INVALID_MENU_HANDLE 1401L
#endif
#ifndef ERROR_MENU_ITEM_NOT_FOUND
#define ERROR_MENU_ITEM_NOT_FOUND 1456L
#endif

using namespace quellor::win32;

namespace {

constexpr UINT kStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT;

Menu* FindOrFail(HMENU menu) {
  Menu* m = FindMenuLocked(menu);
  if (!m) SetLastError(ERROR_INVALID_MENU_HANDLE);
  return m;
}

bool MakeItem(UINT flags, UINT_PTR id, LPCSTR text, MenuItem& item) {
  item.flags = flags & ~UINT(MF_BYPOSITION | MF_APPEND | MF_CHANGE | MF_DELETE | MF_REMOVE);
  if (flags & MF_POPUP) {
    item.submenu = reinterpret_cast<HMENU>(id);
    if (!FindMenuLocked(item.submenu)) return false;
    item.id = id;
  } else {
    item.id = id;
  }
  // Bitmap and owner-drawn items carry a value, not a text.
  if (!(flags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW)) && text) item.text = text;
  return true;
}

BOOL Remove(HMENU hMenu, UINT uPosition, UINT uFlags, bool destroySubmenu) {
  auto lock = MenuLock();
  ItemRef ref = FindItemLocked(hMenu, uPosition, uFlags);
  if (!ref.menu) {
    SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return FALSE;
  }
  MenuItem item = *ref.Item();
  ref.menu->items.erase(ref.menu->items.begin() + long(ref.index));
  if (destroySubmenu && (item.flags & MF_POPUP)) RemoveMenuLocked(item.submenu);
  return TRUE;
}

}  // namespace

extern "C" {

HMENU WINAPI CreateMenu(void) {
  auto lock = MenuLock();
  return AddMenuLocked(false);
}

HMENU WINAPI CreatePopupMenu(void) {
  auto lock = MenuLock();
  return AddMenuLocked(true);
}

BOOL WINAPI DestroyMenu(HMENU hMenu) {
  auto lock = MenuLock();
  if (!FindOrFail(hMenu)) return FALSE;
  RemoveMenuLocked(hMenu);
  return TRUE;
}

BOOL WINAPI IsMenu(HMENU hMenu) {
  auto lock = MenuLock();
  return FindMenuLocked(hMenu) ? TRUE : FALSE;
}

BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem) {
  return InsertMenuA(hMenu, 0xFFFFFFFFu, uFlags | MF_BYPOSITION, uIDNewItem, lpNewItem);
}

BOOL WINAPI InsertMenuA(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem,
                        LPCSTR lpNewItem) {
  auto lock = MenuLock();
  Menu* menu = FindOrFail(hMenu);
  if (!menu) return FALSE;
  size_t position = menu->items.size();  // 0xFFFFFFFF by position appends
  if (!(uFlags & MF_BYPOSITION)) {
    // By command: before the item with that command, in whichever menu holds it.
    ItemRef ref = FindItemLocked(hMenu, uPosition, MF_BYCOMMAND);
    if (!ref.menu) {
      SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
      return FALSE;
    }
    menu = ref.menu;
    position = ref.index;
  } else if (uPosition < menu->items.size()) {
    position = uPosition;
  }
  MenuItem item;
  if (!MakeItem(uFlags, uIDNewItem, lpNewItem, item)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  menu->items.insert(menu->items.begin() + long(position), item);
  return TRUE;
}

BOOL WINAPI DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags) {
  return Remove(hMenu, uPosition, uFlags, true);
}

BOOL WINAPI RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags) {
  return Remove(hMenu, uPosition, uFlags, false);
}

HMENU WINAPI GetSubMenu(HMENU hMenu, int nPos) {
  auto lock = MenuLock();
  Menu* menu = FindOrFail(hMenu);
  if (!menu || nPos < 0 || size_t(nPos) >= menu->items.size()) return nullptr;
  const MenuItem& item = menu->items[size_t(nPos)];
  return (item.flags & MF_POPUP) ? item.submenu : nullptr;
}

int WINAPI GetMenuItemCount(HMENU hMenu) {
  auto lock = MenuLock();
  Menu* menu = FindOrFail(hMenu);
  return menu ? int(menu->items.size()) : -1;
}

UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos) {
  auto lock = MenuLock();
  Menu* menu = FindOrFail(hMenu);
  if (!menu || nPos < 0 || size_t(nPos) >= menu->items.size()) return 0xFFFFFFFFu;
  const MenuItem& item = menu->items[size_t(nPos)];
  if (item.flags & MF_POPUP) return 0xFFFFFFFFu;
  return (item.flags & MF_SEPARATOR) ? 0 : UINT(item.id);
}

UINT WINAPI GetMenuState(HMENU hMenu, UINT uId, UINT uFlags) {
  auto lock = MenuLock();
  ItemRef ref = FindItemLocked(hMenu, uId, uFlags);
  if (!ref.menu) return 0xFFFFFFFFu;
  const MenuItem& item = *ref.Item();
  UINT state = item.flags & (kStateBits | MF_SEPARATOR | MF_POPUP | MF_BITMAP | MF_OWNERDRAW);
  if (item.flags & MF_POPUP) {
    // The high byte of a submenu's state is its item count.
    Menu* sub = FindMenuLocked(item.submenu);
    state = (state & 0xFF) | (UINT(sub ? sub->items.size() : 0) << 8);
  }
  return state;
}

int WINAPI GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags) {
  auto lock = MenuLock();
  ItemRef ref = FindItemLocked(hMenu, uIDItem, flags);
  if (!ref.menu) return 0;
  const std::string& text = ref.Item()->text;
  if (!lpString || cchMax <= 0) return int(text.size());
  size_t n = std::min(text.size(), size_t(cchMax) - 1);
  std::memcpy(lpString, text.data(), n);
  lpString[n] = '\0';
  return int(n);
}

DWORD WINAPI CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck) {
  auto lock = MenuLock();
  ItemRef ref = FindItemLocked(hMenu, uIDCheckItem, uCheck);
  if (!ref.menu) return 0xFFFFFFFFu;
  MenuItem& item = *ref.Item();
  DWORD previous = item.flags & MF_CHECKED;
  item.flags = (item.flags & ~UINT(MF_CHECKED)) | (uCheck & MF_CHECKED);
  return previous;
}

BOOL WINAPI EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable) {
  auto lock = MenuLock();
  ItemRef ref = FindItemLocked(hMenu, uIDEnableItem, uEnable);
  if (!ref.menu) return -1;
  MenuItem& item = *ref.Item();
  BOOL previous = BOOL(item.flags & (MF_GRAYED | MF_DISABLED));
  item.flags =
      (item.flags & ~UINT(MF_GRAYED | MF_DISABLED)) | (uEnable & (MF_GRAYED | MF_DISABLED));
  return previous;
}

}  // extern "C"
