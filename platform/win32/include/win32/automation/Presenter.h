// Automation interface of the Win32 subset (supported and stable): what a
// presenter needs to show the in-memory desktop on a real display. The
// presenter runs on a thread of its own; it polls ScreenVersion and
// LastClipboardChange, reads the top-level windows and their pixels, and feeds
// the display's input back through Desktop.h's input functions and
// TurnWheel here. None of these calls a window procedure, so the presenter
// never waits on a program's own threads except through the clipboard.
//
// Loading: when the first top-level window is created, the subset looks at
// the environment. With DISPLAY set and QUELLOR_HEADLESS not "1" it loads
// libquellor_display.so from its own folder and calls its
// `quellor_display_start()` (extern "C", returns false to stay headless).
// Without the library, or when it declines, everything stays headless.
#pragma once

#include <quellor/Export.h>

#include <cstdint>
#include <string>
#include <vector>

#include "win32/user.h"

namespace quellor::desktop {

struct TopLevelWindow {
  HWND hwnd = nullptr;
  HWND owner = nullptr;  // owned windows (dialogs) stay above their owner
  RECT rect{};           // screen coordinates of the virtual desktop
  DWORD style = 0;
  DWORD exStyle = 0;
  bool visible = false;
  bool popupMenu = false;  // a menu's own window (no frame, closes on outside clicks)
  std::string title;
  // The window's shape (SetWindowRgn) as rectangles in window coordinates,
  // in y-x bands; `shaped` false means the whole rectangle.
  bool shaped = false;
  std::vector<RECT> shape;
};

// Every top-level window in z-order, topmost first (hidden ones included).
QUELLOR_EXPORT std::vector<TopLevelWindow> TopLevelWindows();

// The window's pixels as 0x00RRGGBB words, copied into `destination` rows of
// `stride` bytes; at most width x height pixels. Returns false for a window
// without a surface. Saves the allocation CaptureWindow makes per call.
QUELLOR_EXPORT bool CopyWindowPixels(HWND hwnd, void* destination, int stride, int width,
                                     int height);
// The part of a top-level window drawn since the last call, as a rectangle in
// window coordinates (empty when nothing was drawn). A new surface (a new or
// resized window) counts as drawn whole. Meant for one reader: the presenter.
QUELLOR_EXPORT RECT TakeWindowDamage(HWND hwnd);
// CopyWindowPixels for the part `area` (window coordinates) only: pixel
// (x, y) lands at destination + y * stride + x * 4, as in a whole copy.
QUELLOR_EXPORT bool CopyWindowRect(HWND hwnd, void* destination, int stride, int width, int height,
                                   const RECT& area);

// A wheel turn (WHEEL_DELTA = 120 a notch, positive away from the user) at a
// screen position: WM_MOUSEWHEEL to the focus window.
QUELLOR_EXPORT void TurnWheel(int delta, int x, int y);

// The last change of the clipboard's contents (made final by CloseClipboard):
// a number that grows with every change, and the thread that made it, so
// that a bridge can tell its own copies from the programs'.
struct ClipboardChange {
  uint64_t version = 0;
  DWORD thread = 0;
};
QUELLOR_EXPORT ClipboardChange LastClipboardChange();

// A window manager moved or resized a window (PlaceTopLevel) or raised it
// above the others (RaiseTopLevel): the change is made on the window's own
// thread (SetWindowPos with SWP_ASYNCWINDOWPOS), so the presenter does not
// wait for the program.
QUELLOR_EXPORT bool PlaceTopLevel(HWND hwnd, int x, int y, int width, int height);
QUELLOR_EXPORT bool RaiseTopLevel(HWND hwnd);

// Whether the presenter was loaded and started in this process.
QUELLOR_EXPORT bool PresenterRunning();

}  // namespace quellor::desktop
