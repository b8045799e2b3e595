// Capture, focus, activation, key state and cursors, and the injection of
// input that routes mouse and keys to windows as Windows does.
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "Clock.h"
#include "Input.h"
#include "WindowManager.h"
#include "win32/errors.h"
#include "win32/kernel.h"

using namespace quellor::win32;

namespace quellor::win32 {

HCURSOR LoadModuleCursor(HINSTANCE instance, LPCSTR name);  // resources/IconApi.cpp
bool PostToWindowLocked(Window& w, UINT msg, WPARAM wParam, LPARAM lParam);

void ActivateWindow(HWND hwnd, bool byClick) {
  HWND top, old;
  {
    auto lock = Lock();
    Window* w = FindWindowLocked(hwnd);
    if (!w) return;
    top = TopLevelOfLocked(*w)->handle;
    InputState& in = Input();
    if (in.active == top) return;
    old = in.active;
    in.active = top;
    in.foreground = top;
  }
  SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (old && IsWindow(old)) {
    SendToWindow(old, WM_NCACTIVATE, FALSE, 0);
    SendToWindow(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(top));
  }
  SendToWindow(top, WM_NCACTIVATE, TRUE, 0);
  SendToWindow(top, WM_ACTIVATE, byClick ? WA_CLICKACTIVE : WA_ACTIVE,
               reinterpret_cast<LPARAM>(old));
}

}  // namespace quellor::win32

namespace {

constexpr UINT kDoubleClickTime = 500;  // milliseconds
constexpr int kDoubleClickSize = 4;     // pixels (SM_CXDOUBLECLK)

WPARAM MouseKeysLocked() {
  const BYTE* k = Input().keys;
  WPARAM w = 0;
  if (k[VK_LBUTTON] & 0x80) w |= MK_LBUTTON;
  if (k[VK_RBUTTON] & 0x80) w |= MK_RBUTTON;
  if (k[VK_MBUTTON] & 0x80) w |= MK_MBUTTON;
  if (k[VK_SHIFT] & 0x80) w |= MK_SHIFT;
  if (k[VK_CONTROL] & 0x80) w |= MK_CONTROL;
  return w;
}

void SetKeyLocked(int vk, bool down) {
  BYTE& k = Input().keys[vk & 0xFF];
  if (down && !(k & 0x80)) k ^= 0x01;  // the toggle state flips on each press
  k = BYTE(down ? (k | 0x80) : (k & ~0x80));
}

// Routes one mouse message. Returns the window to activate (button presses
// on an inactive window of this thread), or null.
HWND RouteMouseLocked(UINT message, POINT screen, bool buttonDown) {
  InputState& in = Input();
  in.cursor = screen;
  HWND target = in.capture;
  bool captured = target != nullptr;
  if (!captured) target = WindowAtLocked(screen, true);
  Window* w = FindWindowLocked(target);
  if (!w) return nullptr;
  if (!captured && (TopLevelOfLocked(*w)->style & WS_DISABLED)) return nullptr;
  UINT msg = message;
  if (buttonDown && (w->cls->style & CS_DBLCLKS)) {
    DWORD now = ClockNow();
    bool isDouble = in.lastButton == message && in.lastClickWindow == target &&
                    now - in.lastClickTime <= kDoubleClickTime &&
                    std::abs(screen.x - in.lastClickPoint.x) <= kDoubleClickSize / 2 &&
                    std::abs(screen.y - in.lastClickPoint.y) <= kDoubleClickSize / 2;
    if (isDouble) {
      msg = message + (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN);
      in.lastButton = 0;
    } else {
      in.lastButton = message;
      in.lastClickTime = now;
      in.lastClickPoint = screen;
      in.lastClickWindow = target;
    }
  }
  RECT sr = ScreenRectLocked(*w);
  LONG cx = screen.x - sr.left - w->client.left, cy = screen.y - sr.top - w->client.top;
  MSG m{target, msg, MouseKeysLocked(), MAKELPARAM(cx & 0xFFFF, cy & 0xFFFF), ClockNow(), screen};
  PostInputLocked(*w, m, !captured);
  HWND top = TopLevelOfLocked(*w)->handle;
  if (buttonDown && in.active != top) {
    if (w->threadId == CurrentThreadIdentifier()) return top;
    in.active = in.foreground = top;  // another thread's window: no messages from here
  }
  return nullptr;
}

HCURSOR StockCursor(WORD id) {
  return reinterpret_cast<HCURSOR>(uintptr_t(0x5000000) + id);
}

}  // namespace

namespace quellor::win32 {

void InjectMouseMove(POINT screen) {
  auto lock = Lock();
  RouteMouseLocked(WM_MOUSEMOVE, screen, false);
}

void InjectMouseButton(MouseButton button, bool down, POINT screen) {
  UINT base = button == MouseButton::Left    ? WM_LBUTTONDOWN
              : button == MouseButton::Right ? WM_RBUTTONDOWN
                                             : WM_MBUTTONDOWN;
  int vk = button == MouseButton::Left    ? VK_LBUTTON
           : button == MouseButton::Right ? VK_RBUTTON
                                          : VK_MBUTTON;
  HWND activate;
  {
    auto lock = Lock();
    SetKeyLocked(vk, down);
    activate = RouteMouseLocked(down ? base : base + 1, screen, down);
  }
  if (activate) ActivateWindow(activate, true);
}

void InjectKey(int virtualKey, bool down) {
  auto lock = Lock();
  InputState& in = Input();
  bool wasDown = in.keys[virtualKey & 0xFF] & 0x80;
  SetKeyLocked(virtualKey, down);
  // Left and right variants also set the generic key.
  if (virtualKey == VK_LSHIFT || virtualKey == VK_RSHIFT) SetKeyLocked(VK_SHIFT, down);
  if (virtualKey == VK_LCONTROL || virtualKey == VK_RCONTROL) SetKeyLocked(VK_CONTROL, down);
  if (virtualKey == VK_LMENU || virtualKey == VK_RMENU) SetKeyLocked(VK_MENU, down);
  HWND target = in.focus ? in.focus : in.active;
  Window* w = FindWindowLocked(target);
  if (!w) return;
  bool alt = (in.keys[VK_MENU] & 0x80) && !(in.keys[VK_CONTROL] & 0x80);
  UINT msg = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN)
                  : (alt || virtualKey == VK_MENU ? WM_SYSKEYUP : WM_KEYUP);
  // Repeat count 1, scan code, previous state (bit 30), transition (bit 31).
  LPARAM lParam = 1 | (LPARAM(virtualKey & 0xFF) << 16);
  if (alt) lParam |= LPARAM(1) << 29;
  if (down ? wasDown : true) lParam |= LPARAM(1) << 30;
  if (!down) lParam |= LPARAM(1) << 31;
  MSG m{target, msg, WPARAM(virtualKey), LPARAM(DWORD(lParam)), ClockNow(), in.cursor};
  PostInputLocked(*w, m, false);
}

void InjectWheel(int delta, POINT screen) {
  auto lock = Lock();
  InputState& in = Input();
  HWND target = in.focus ? in.focus : in.active;
  Window* w = FindWindowLocked(target);
  if (!w) return;
  // Keys in the low word, the signed delta in the high word; the position in
  // screen coordinates, as the real message carries it.
  const WPARAM wParam = (MouseKeysLocked() & 0xFFFF) | (WPARAM(WORD(SHORT(delta))) << 16);
  const LPARAM lParam = LPARAM(DWORD(WORD(SHORT(screen.x)) | (DWORD(WORD(SHORT(screen.y))) << 16)));
  MSG m{target, WM_MOUSEWHEEL, wParam, lParam, ClockNow(), screen};
  PostInputLocked(*w, m, false);
}

HCURSOR CurrentCursor() {
  auto lock = Lock();
  return Input().cursorShape;
}

}  // namespace quellor::win32

extern "C" {

HWND WINAPI SetCapture(HWND hWnd) {
  HWND old;
  {
    auto lock = Lock();
    if (!FindWindowLocked(hWnd)) return nullptr;
    old = std::exchange(Input().capture, hWnd);
  }
  if (old && old != hWnd) SendToWindow(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
  return old;
}

BOOL WINAPI ReleaseCapture(void) {
  HWND old;
  {
    auto lock = Lock();
    old = std::exchange(Input().capture, nullptr);
  }
  if (old) SendToWindow(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND WINAPI GetCapture(void) {
  auto lock = Lock();
  return Input().capture;
}

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
  if (!lpPoint) return FALSE;
  auto lock = Lock();
  *lpPoint = Input().cursor;
  return TRUE;
}

BOOL WINAPI SetCursorPos(int X, int Y) {
  InjectMouseMove(POINT{X, Y});
  return TRUE;
}

SHORT WINAPI GetAsyncKeyState(int vKey) {
  if (vKey < 0 || vKey > 255) return 0;
  auto lock = Lock();
  return (Input().keys[vKey] & 0x80) ? SHORT(0x8000) : 0;
}

SHORT WINAPI GetKeyState(int nVirtKey) {
  if (nVirtKey < 0 || nVirtKey > 255) return 0;
  auto q = CurrentQueue();
  auto lock = Lock();
  BYTE k = q->keys[nVirtKey];
  return SHORT(((k & 0x80) ? 0xFF80 : 0) | (k & 0x01));
}

UINT WINAPI GetDoubleClickTime(void) {
  return kDoubleClickTime;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
  if (hInstance || !IS_INTRESOURCE(lpCursorName)) {
    // Cursors of modules come from their registered resources.
    return LoadModuleCursor(hInstance, lpCursorName);
  }
  WORD id = WORD(reinterpret_cast<uintptr_t>(lpCursorName));
  static const WORD known[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                               32644, 32645, 32646, 32648, 32649, 32650, 32651};
  if (std::find(std::begin(known), std::end(known), id) == std::end(known)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  return StockCursor(id);
}

HCURSOR WINAPI SetCursor(HCURSOR hCursor) {
  auto lock = Lock();
  return std::exchange(Input().cursorShape, hCursor);
}

HCURSOR WINAPI GetCursor(void) {
  auto lock = Lock();
  return Input().cursorShape;
}

int WINAPI ShowCursor(BOOL bShow) {
  static int counter = 0;
  auto lock = Lock();
  counter += bShow ? 1 : -1;
  return counter;
}

HWND WINAPI SetFocus(HWND hWnd) {
  HWND old;
  if (hWnd) {
    HWND top = GetAncestor(hWnd, GA_ROOT);
    if (!top) return nullptr;
    if (GetActiveWindow() != top) ActivateWindow(top, false);
  }
  {
    auto lock = Lock();
    if (hWnd) {
      Window* w = FindWindowLocked(hWnd);
      if (!w || (w->style & WS_DISABLED)) return nullptr;
    }
    old = Input().focus;
    if (old == hWnd) return old;
    Input().focus = hWnd;
  }
  if (old && IsWindow(old)) SendToWindow(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
  if (hWnd) SendToWindow(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND WINAPI GetFocus(void) {
  auto lock = Lock();
  return Input().focus;
}

HWND WINAPI SetActiveWindow(HWND hWnd) {
  HWND old = GetActiveWindow();
  if (hWnd && IsWindow(hWnd)) ActivateWindow(hWnd, false);
  return old;
}

HWND WINAPI GetActiveWindow(void) {
  auto lock = Lock();
  return Input().active;
}

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
  if (!IsWindow(hWnd)) return FALSE;
  ActivateWindow(hWnd, false);
  return TRUE;
}

HWND WINAPI GetForegroundWindow(void) {
  auto lock = Lock();
  return Input().foreground;
}

BOOL WINAPI MessageBeep(UINT) {
  return TRUE;
}

}  // extern "C"
