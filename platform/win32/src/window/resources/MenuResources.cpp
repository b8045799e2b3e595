// LoadMenuA: a new menu made from a registered template.
#include "ResourceRegistry.h"
#include "win32/errors.h"
#include "win32/kernel.h"
#include "win32/user.h"
#include "win32/menus.h"

#ifndef ERROR_RESOURCE_NAME_NOT_FOUND
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#endif

namespace {

bool Fill(HMENU menu, const std::vector<quellor::win32::MenuTemplateItem>& items, int depth) {
  if (depth > 16) return false;  // templates nest a few levels at most
  for (const auto& item : items) {
    if (item.flags & MF_POPUP) {
      HMENU sub = CreatePopupMenu();
      if (!Fill(sub, item.items, depth + 1) ||
          !AppendMenuA(menu, item.flags, reinterpret_cast<UINT_PTR>(sub), item.text.c_str())) {
        DestroyMenu(sub);
        return false;
      }
    } else if (!AppendMenuA(menu, item.flags, item.id, item.text.c_str())) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" HMENU WINAPI LoadMenuA(HINSTANCE hInstance, LPCSTR lpMenuName) {
  auto items = quellor::win32::FindMenuResource(hInstance, lpMenuName);
  if (!items) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  // A menu resource is a menu bar whose items are usually popups.
  HMENU menu = CreateMenu();
  if (!Fill(menu, *items, 0)) {
    DestroyMenu(menu);
    return nullptr;
  }
  return menu;
}
