// Window functions on raw handles: geometry that keeps layouts up to date.
#pragma once

#include <quellor/Export.h>

#include <windows.h>

QUELLOR_EXPORT long Orvane_GetWindowPosX(HWND window);  // screen coordinates
QUELLOR_EXPORT long Orvane_GetWindowPosY(HWND window);
QUELLOR_EXPORT long Orvane_GetWindowWidth(HWND window);  // client size
QUELLOR_EXPORT long Orvane_GetWindowHeight(HWND window);
// Both lay out the parent afterwards unless window is a popup.
QUELLOR_EXPORT void Orvane_SetWindowSize(HWND window, long width, long height);
QUELLOR_EXPORT void Orvane_SetWindowPosition(HWND window, long x, long y);
QUELLOR_EXPORT bool Orvane_IsPopup(HWND window);
// The nearest popup ancestor, starting with the parent; null when none.
QUELLOR_EXPORT HWND Orvane_GetPopupParent(HWND window);
QUELLOR_EXPORT bool Orvane_IsKeyPressed(int virtualKey);
// Lays window out when its object is a layout manager.
QUELLOR_EXPORT void Orvane_PerformLayout(HWND window);
// Moves child under newParent, telling the old parent, the new parent and the
// child (virtual, then notice), then lays both parents out when asked.
QUELLOR_EXPORT void Orvane_SetParent(HWND child, HWND newParent, bool relayout);
// Lays out window when its object is a layout manager.
QUELLOR_EXPORT void Layout_PerformLayout(HWND window, bool force);
