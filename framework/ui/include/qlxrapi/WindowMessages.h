// The framework's private window messages. Their numbers are fixed: other
// modules send them to windows they did not create.
#pragma once

#include <windows.h>

#include "qlxrapi/PluginClass.h"  // WM_ORVANE_QUERY_OBJECT (7024)

// wParam points to a pointer-sized slot, zeroed by the sender; a framework
// window writes its BaseWindowClass pointer there and returns 0. A window
// that is not a framework window leaves the slot null.
constexpr UINT WM_ORVANE_OBJECT = WM_ORVANE_QUERY_OBJECT;
constexpr UINT WM_ORVANE_MOUSE_ENTER = 0x1B72;  // 7026, the mouse entered
constexpr UINT WM_ORVANE_MOUSE_EXIT = 0x1B73;   // 7027, the mouse left
constexpr UINT WM_ORVANE_OPENED = 0x1B75;       // 7029, posted by a window to itself
constexpr UINT WM_ORVANE_DEFERRED = 0x1B76;     // 7030, the caller's wParam and lParam
