// Window functions on raw handles.
#include "qlxrapi/WindowFunctions.h"

#include "WindowHold.h"
#include "qlxrapi/BaseWindowClass.h"

using quellor::win::WindowHold;

long Orvane_GetWindowPosX(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r.left;
}

long Orvane_GetWindowPosY(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r.top;
}

long Orvane_GetWindowWidth(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return r.right;
}

long Orvane_GetWindowHeight(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return r.bottom;
}

void Orvane_SetWindowSize(HWND window, long width, long height) {
  SetWindowPos(window, nullptr, 0, 0, static_cast<int>(width), static_cast<int>(height),
               SWP_NOZORDER | SWP_NOMOVE);
  if (!Orvane_IsPopup(window)) Orvane_PerformLayout(GetParent(window));
}

void Orvane_SetWindowPosition(HWND window, long x, long y) {
  SetWindowPos(window, nullptr, static_cast<int>(x), static_cast<int>(y), 0, 0,
               SWP_NOZORDER | SWP_NOSIZE);
  if (!Orvane_IsPopup(window)) Orvane_PerformLayout(GetParent(window));
}

bool Orvane_IsPopup(HWND window) {
  return (static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & WS_POPUP) != 0;
}

HWND Orvane_GetPopupParent(HWND window) {
  for (HWND at = GetParent(window); at != nullptr; at = GetParent(at))
    if (Orvane_IsPopup(at)) return at;
  return nullptr;
}

bool Orvane_IsKeyPressed(int virtualKey) {
  return (static_cast<unsigned short>(GetAsyncKeyState(virtualKey)) & 0x8000u) != 0;
}

void Layout_PerformLayout(HWND window, bool force) {
  BaseWindowClass* object = Orvane_GetWindowObject(window);
  auto* manager = dynamic_cast<BaseWindowLayoutManager*>(object);
  if (manager == nullptr) return;
  WindowHold hold(object);
  manager->Layout_PerformLayout(window, force);
}

void Orvane_PerformLayout(HWND window) {
  Layout_PerformLayout(window, true);
}

void Orvane_SetParent(HWND child, HWND newParent, bool relayout) {
  HWND oldParent = GetParent(child);
  if (BaseWindowClass* old = Orvane_GetWindowObject(oldParent)) {
    WindowHold hold(old);
    old->Child_AboutToLeave(child);
    old->Changed("BaseWindowClass::ChildAboutToLeave", child);
  }
  SetParent(child, newParent);
  if (BaseWindowClass* fresh = Orvane_GetWindowObject(newParent)) {
    WindowHold hold(fresh);
    fresh->Child_JustEntered(child);
    fresh->Changed("BaseWindowClass::ChildJustEntered", child);
  }
  if (BaseWindowClass* own = Orvane_GetWindowObject(child)) {
    WindowHold hold(own);
    own->ParentChanged(oldParent, newParent);
    own->Changed("BaseWindowClass::ParentChanged", oldParent, newParent);
  }
  if (!relayout) return;
  if (oldParent != nullptr) Orvane_PerformLayout(oldParent);
  if (newParent != nullptr) Orvane_PerformLayout(newParent);
}
