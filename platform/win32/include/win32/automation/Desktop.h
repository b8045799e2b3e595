// Automation interface of the Win32 subset (supported and stable): the
// desktop of the in-memory window system, separate from the Win32 names. It
// sets up the virtual screen and clock, feeds mouse and key input at screen
// positions (capture, hit testing and z-order decide which window gets it),
// runs the calling thread's message loop until idle, and reads the screen, a
// window or a device context as pixels or PNG files. Scripted runs of the
// programs (clipviewer's QUELLOR_CLIPVIEWER_SCRIPT), tests and a presenter
// that shows windows on a real display all drive the subset through it.
//
// Stable: every function below, the pixel layout of Picture and the manual
// clock's contract.
#pragma once

#include <quellor/Export.h>

#include <cstdint>
#include <string>
#include <vector>

#include "win32/gdi.h"
#include "win32/user.h"

namespace quellor::desktop {

enum class Button { Left, Right, Middle };

// ---- screen and clock -----------------------------------------------------
QUELLOR_EXPORT void SetScreenSize(int width, int height);  // 1920 x 1080 by default
QUELLOR_EXPORT void SetRefreshRate(int hz);                // GetDeviceCaps(VREFRESH); 60 by default
// With the manual clock, message times, timers and double-click timing only
// move when AdvanceClock is called.
QUELLOR_EXPORT void UseManualClock(bool manual);
QUELLOR_EXPORT void AdvanceClock(DWORD milliseconds);
QUELLOR_EXPORT DWORD Now();

// ---- input ----------------------------------------------------------------
QUELLOR_EXPORT void MoveMouse(int x, int y);
QUELLOR_EXPORT void PressButton(Button button, int x, int y);
QUELLOR_EXPORT void ReleaseButton(Button button, int x, int y);
QUELLOR_EXPORT void Click(Button button, int x, int y);  // press and release
QUELLOR_EXPORT void PressKey(int virtualKey);
QUELLOR_EXPORT void ReleaseKey(int virtualKey);
QUELLOR_EXPORT void TypeKey(int virtualKey);  // press and release
QUELLOR_EXPORT HCURSOR CurrentCursor();

// ---- message loop ---------------------------------------------------------
// Translates and dispatches the calling thread's messages until none is left
// (or `limit` have been dispatched). A WM_QUIT stops it and stays queued for
// the program's own loop. Returns the number of messages dispatched.
QUELLOR_EXPORT int RunUntilIdle(int limit = 100000);

// ---- pixels ---------------------------------------------------------------
// Pixels as 0x00RRGGBB words (the blue, green, red bytes of BGRA; alpha 0),
// rows top-down.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Changes whenever the screen may have changed (drawing into a window,
// moving, showing, hiding or reshaping one): poll it to recompose only then.
QUELLOR_EXPORT uint64_t ScreenVersion();
// The visible top-level windows composed in z-order over the desktop colour.
QUELLOR_EXPORT Picture CaptureScreen();
// A window's rectangle as its top-level surface holds it (whether or not other
// windows cover it on screen).
QUELLOR_EXPORT Picture CaptureWindow(HWND hwnd);
// The bitmap of a memory context, or the client area of a window context.
QUELLOR_EXPORT Picture CaptureDC(HDC hdc);

QUELLOR_EXPORT bool WritePng(const Picture& picture, const std::string& path);
QUELLOR_EXPORT bool WriteScreenPng(const std::string& path);
QUELLOR_EXPORT bool WriteWindowPng(HWND hwnd, const std::string& path);
QUELLOR_EXPORT bool WriteDcPng(HDC hdc, const std::string& path);

}  // namespace quellor::desktop
