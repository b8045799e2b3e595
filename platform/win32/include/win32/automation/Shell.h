// Automation interface of the Win32 subset (supported and stable): the
// shell side of the desktop. The icons in the notification area, mouse events
// on them, and files dropped on windows.
//
// Stable: TrayIcon's fields, TrayIcons, ClickTrayIcon, TrayIconTip and
// DropFiles as described.
#pragma once

#include <quellor/Export.h>

#include <string>
#include <vector>

#include "win32/shellapi.h"
#include "win32/user.h"

namespace quellor::desktop {

struct TrayIcon {
  HWND owner = nullptr;
  UINT id = 0;
  UINT flags = 0;  // NIF_ bits given so far
  UINT callbackMessage = 0;
  HICON icon = nullptr;
  std::string tip;
};

// The icons in the order they were added.
QUELLOR_EXPORT std::vector<TrayIcon> TrayIcons();
// Reports a mouse event (WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_LBUTTONDBLCLK, ...)
// on an icon the way the shell does: the callback message is posted to the
// owner with the icon identifier in wParam and the mouse message in lParam.
// False when there is no such icon or it has no callback message.
QUELLOR_EXPORT bool ClickTrayIcon(HWND owner, UINT id, UINT mouseMessage);
// The tip of an icon; empty when there is none.
QUELLOR_EXPORT std::string TrayIconTip(HWND owner, UINT id);

// Drops files at a screen point, as a user dragging them from a file manager
// would: the deepest window there that accepts files, or its nearest ancestor
// that does, gets WM_DROPFILES. False when no window there accepts files.
QUELLOR_EXPORT bool DropFiles(POINT screen, const std::vector<std::string>& paths);

}  // namespace quellor::desktop
