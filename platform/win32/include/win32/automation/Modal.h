// Automation interface of the Win32 subset (supported and stable): modal
// loops. Modal loops of the window system (popup menus, modal dialog boxes)
// run until the user acts. Each time such a loop finds its thread's queue
// empty it sends WM_ENTERIDLE to its owner, as Windows does, and then calls
// the modal idle hook, through which a script, test or presenter acts as the
// user: click a menu item, press Enter. The loop waits for input only after
// the hook returns.
//
// Stable: SetModalIdleHook, OpenPopupMenu and PopupMenuItemRect as described.
#pragma once

#include <quellor/Export.h>

#include <functional>

#include "win32/menus.h"
#include "win32/user.h"

namespace quellor::desktop {

// `modalWindow` is the popup menu or dialog box whose loop has gone idle.
using ModalIdleHook = std::function<void(HWND modalWindow)>;
// Installs the hook (an empty function removes it); returns the previous one.
QUELLOR_EXPORT ModalIdleHook SetModalIdleHook(ModalIdleHook hook);

// The popup menu window being tracked, or null.
QUELLOR_EXPORT HWND OpenPopupMenu();
// The screen rectangle of item `position` of the open popup menu; false when
// no menu is open or there is no such item.
QUELLOR_EXPORT bool PopupMenuItemRect(int position, RECT* screen);

}  // namespace quellor::desktop
