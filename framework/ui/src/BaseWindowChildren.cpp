// BaseWindowClass: children, geometry and the window's shape.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "WindowDispatch.h"
#include "WindowHold.h"
#include "qlxrapi/BaseWindowClass.h"
#include "qlxrapi/WindowBitmap.h"
#include "qlxrapi/WindowFunctions.h"
#include "qlxrapi/WindowSystem.h"

using quellor::win::CurrentWindowSystem;
using quellor::win::WindowHold;

HWND BaseWindowClass::GetParent() {
  return m_window ? ::GetParent(m_window) : nullptr;
}

BaseWindowClass* BaseWindowClass::GetParentBWC() {
  HWND parent = GetParent();
  return parent ? Orvane_GetWindowObject(parent) : nullptr;
}

int BaseWindowClass::GetNoChildren() {
  if (m_window == nullptr) return 0;
  int count = 0;
  for (HWND child = GetWindow(m_window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    ++count;
  return count;
}

HWND BaseWindowClass::GetChildhWnd(int index) {
  if (m_window == nullptr || index < 0) return nullptr;
  HWND child = GetWindow(m_window, GW_CHILD);
  for (int i = 0; child != nullptr && i < index; ++i) child = GetWindow(child, GW_HWNDNEXT);
  return child;
}

BaseWindowClass* BaseWindowClass::GetChild(int index) {
  return Orvane_GetWindowObject(GetChildhWnd(index));
}

int BaseWindowClass::GetChildNo(HWND window) {
  if (m_window == nullptr || window == nullptr) return -1;
  int index = 0;
  for (HWND child = GetWindow(m_window, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT), ++index)
    if (child == window) return index;
  return -1;
}

void BaseWindowClass::GetControlPosition(HWND child, RECT* out) {
  if (out == nullptr) return;
  *out = RECT{};
  if (m_window != nullptr && child != nullptr)
    CurrentWindowSystem().ChildRectangle(m_window, child, out);
}

long BaseWindowClass::GetWindowPosX() {
  return Orvane_GetWindowPosX(m_window);
}
long BaseWindowClass::GetWindowPosY() {
  return Orvane_GetWindowPosY(m_window);
}
long BaseWindowClass::GetWindowWidth() {
  return Orvane_GetWindowWidth(m_window);
}
long BaseWindowClass::GetWindowHeight() {
  return Orvane_GetWindowHeight(m_window);
}
void BaseWindowClass::SetWindowSize(long w, long h) {
  Orvane_SetWindowSize(m_window, w, h);
}
void BaseWindowClass::SetWindowPosition(long x, long y) {
  Orvane_SetWindowPosition(m_window, x, y);
}
void BaseWindowClass::EnableWindow(bool enable) {
  ::EnableWindow(m_window, enable ? TRUE : FALSE);
}
void BaseWindowClass::ShowWindow(long command) {
  ::ShowWindow(m_window, static_cast<int>(command));
}
bool BaseWindowClass::IsWindowVisible() {
  return ::IsWindowVisible(m_window) != FALSE;
}

void BaseWindowClass::InvalidateRect(long x, long y, long width, long height) {
  RECT r{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + width),
         static_cast<LONG>(y + height)};
  RedrawWindow(m_window, &r, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
}

void BaseWindowClass::RePaint() {
  InvalidateRect(0, 0, GetWindowWidth(), GetWindowHeight());
}

void BaseWindowClass::DragAndDrop_DisplayRedShadeAutomatically(bool on) {
  m_redShade = on;
  if (m_window != nullptr) RePaint();
}

long BaseWindowClass::GetFontHeight() {
  HDC dc = GetDC(m_window);
  if (dc == nullptr) return 0;
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEVICE_DEFAULT_FONT));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(m_window, dc);
  return metrics.tmHeight;
}

long BaseWindowClass::GetScreenWidth() {
  return GetSystemMetrics(SM_CXSCREEN);
}
long BaseWindowClass::GetScreenHeight() {
  return GetSystemMetrics(SM_CYSCREEN);
}

void BaseWindowClass::ExclusiveInput(bool on) {
  if (on) {
    SetCapture(m_window);
  } else if (IsExclusive()) {
    ReleaseCapture();
  }
}

bool BaseWindowClass::IsExclusive() {
  return m_window != nullptr && GetCapture() == m_window;
}

void BaseWindowClass::SetCursor(char* cursorId) {
  CurrentWindowSystem().ShowCursor(cursorId);
}

HWND BaseWindowClass::OpenChild(char* className, long x, long y, long width, long height,
                                unsigned style) {
  HWND child = CreateWindowExA(0, className, "", style, static_cast<int>(x), static_cast<int>(y),
                               static_cast<int>(width), static_cast<int>(height), m_window, nullptr,
                               nullptr, nullptr);
  if (child == nullptr) return nullptr;
  if (auto* manager = dynamic_cast<BaseWindowLayoutManager*>(this))
    manager->Layout_PerformLayout(m_window, true);
  return child;
}

namespace {

INT_PTR CALLBACK HiddenDialogProcedure(HWND dialog, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_INITDIALOG) {
    ShowWindow(dialog, SW_HIDE);
    return TRUE;
  }
  return DefWindowProcA(dialog, message, w, l);
}

}  // namespace

int BaseWindowClass::OpenChildren(int dialogId) {
  HWND dialog =
      CreateDialogParamA(nullptr, MAKEINTRESOURCEA(dialogId), m_window, &HiddenDialogProcedure, 0);
  if (dialog == nullptr) return false;
  std::vector<HWND> children;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    ::SetParent(*it, m_window);
    ::ShowWindow(*it, SW_SHOWNORMAL);
  }
  ::DestroyWindow(dialog);
  if (auto* manager = dynamic_cast<BaseWindowLayoutManager*>(GetParentBWC()))
    manager->Layout_PerformLayout(GetParent(), true);
  return true;
}

void BaseWindowClass::CloseAllChildren() {
  if (m_window == nullptr) return;
  auto* manager = dynamic_cast<BaseWindowLayoutManager*>(GetParentBWC());
  if (manager != nullptr) manager->MultipleLayouts_Start();
  // Child 0 until none is left; a child that will not go (a foreign window
  // that refuses) is stepped over rather than tried for ever.
  int index = 0;
  for (HWND child = GetChildhWnd(0); child != nullptr; child = GetChildhWnd(index)) {
    const int before = GetNoChildren();
    // A framework child deletes its object with its window; other windows
    // are destroyed plainly.
    ::DestroyWindow(child);
    if (GetNoChildren() >= before) ++index;
  }
  if (manager != nullptr) manager->MultipleLayouts_Finished(true);
}

void BaseWindowClass::ResizeToChildren(bool atLeastParent) {
  long width = 0, height = 0;
  RECT parentClient{};
  HWND parent = GetParent();
  const bool useParent = atLeastParent && parent != nullptr && GetClientRect(parent, &parentClient);
  if (GetNoChildren() > 0) {
    RECT all{};
    bool first = true;
    for (HWND child = GetWindow(m_window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      RECT r{};
      CurrentWindowSystem().ChildRectangle(m_window, child, &r);
      if (first) {
        all = r;
        first = false;
      } else {
        all.left = std::min(all.left, r.left);
        all.top = std::min(all.top, r.top);
        all.right = std::max(all.right, r.right);
        all.bottom = std::max(all.bottom, r.bottom);
      }
    }
    width = all.right - all.left;
    height = all.bottom - all.top;
    if (useParent) {
      width = std::max<long>(width, parentClient.right);
      height = std::max<long>(height, parentClient.bottom);
    }
  } else if (useParent) {
    width = parentClient.right;
    height = parentClient.bottom;
  }
  SetWindowSize(width, height);
}

void BaseWindowClass::ApplyWindowMaskFromChildren() {
  if (m_window == nullptr) return;
  const int count = GetNoChildren();
  std::vector<unsigned char> data(sizeof(RGNDATAHEADER) + sizeof(RECT) * std::size_t(count));
  auto* region = reinterpret_cast<RGNDATA*>(data.data());
  region->rdh.dwSize = sizeof(RGNDATAHEADER);
  region->rdh.iType = RDH_RECTANGLES;
  region->rdh.nCount = static_cast<DWORD>(count);
  region->rdh.nRgnSize = static_cast<DWORD>(sizeof(RECT) * std::size_t(count));
  GetClientRect(m_window, &region->rdh.rcBound);
  auto* rects = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
  int i = 0;
  for (HWND child = GetWindow(m_window, GW_CHILD); child && i < count;
       child = GetWindow(child, GW_HWNDNEXT), ++i)
    CurrentWindowSystem().ChildRectangle(m_window, child, &rects[i]);
  HRGN shape = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), region);
  if (shape != nullptr) SetWindowRgn(m_window, shape, TRUE);
}

void BaseWindowClass::ApplyWindowMask(WindowBitmap* bitmap) {
  if (bitmap != nullptr && m_window != nullptr) bitmap->ApplyAsMask(m_window);
}
