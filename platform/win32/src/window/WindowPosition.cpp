// Position, size, z-order, visibility and shape of windows, and coordinate
// mapping between them.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "WindowManager.h"
#include "win32/errors.h"
#include "win32/gdi.h"
#include "win32/kernel.h"

using namespace quellor::win32;

namespace quellor::win32 {
HWND DesktopHandle();
void ActivateWindow(HWND hwnd, bool byClick);
bool PostToWindowLocked(Window& w, UINT msg, WPARAM wParam, LPARAM lParam);
}  // namespace quellor::win32

namespace {

std::mutex& AsyncMutex() {
  static std::mutex mutex;
  return mutex;
}
std::unordered_set<WINDOWPOS*>& AsyncRequests() {
  static std::unordered_set<WINDOWPOS*> requests;
  return requests;
}

Window* Find(HWND hwnd) {
  Window* w = FindWindowLocked(hwnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

// Whether a child window already stands where `after` would put it (a
// layout puts every moved child back behind the same sibling): the list is
// then left as it is.
bool ChildStaysLocked(Window& w, const std::vector<HWND>& list, HWND after) {
  if (!w.parent) return false;
  const size_t at = SiblingIndexLocked(w, list);
  if (at >= list.size()) return false;
  if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) return at == 0;
  if (after == HWND_BOTTOM) return at + 1 == list.size();
  return at > 0 && list[at - 1] == after;
}

void ApplyZOrderLocked(Window& w, HWND after) {
  auto& list = SiblingsLocked(w);
  if (ChildStaysLocked(w, list, after)) return;
  bool topLevel = !w.parent;
  if (after == HWND_TOPMOST && topLevel) w.exStyle |= WS_EX_TOPMOST;
  if (after == HWND_NOTOPMOST && topLevel) w.exStyle &= ~DWORD(WS_EX_TOPMOST);
  list.erase(std::remove(list.begin(), list.end(), w.handle), list.end());
  auto firstOrdinary = [&]() {
    auto it = list.begin();
    if (!topLevel) return it;
    while (it != list.end()) {
      Window* s = FindWindowLocked(*it);
      if (!s || !(s->exStyle & WS_EX_TOPMOST)) break;
      ++it;
    }
    return it;
  };
  bool topmost = topLevel && (w.exStyle & WS_EX_TOPMOST);
  std::vector<HWND>::iterator at;
  if (after == HWND_TOP || after == HWND_TOPMOST) {
    at = topmost ? list.begin() : firstOrdinary();
  } else if (after == HWND_BOTTOM) {
    at = topmost ? firstOrdinary() : list.end();
  } else if (after == HWND_NOTOPMOST) {
    at = firstOrdinary();
  } else {
    at = std::find(list.begin(), list.end(), after);
    if (at != list.end()) ++at;
    // Topmost and ordinary windows stay in their own groups.
    auto boundary = firstOrdinary();
    if (topmost && at > boundary) at = boundary;
    if (!topmost && at < boundary) at = boundary;
  }
  list.insert(at, w.handle);
}

// Invalidates what a child leaves behind in its parent (old rectangle).
void ExposeParentLocked(Window& w, const RECT& oldRect) {
  if (!w.parent) return;
  Window* p = FindWindowLocked(w.parent);
  if (!p) return;
  InvalidateLocked(*p, Region(oldRect), true, 0);
  // Siblings below it that the window covered (those that do not meet the
  // old rectangle are passed over before any region work).
  const auto& siblings = p->children;
  for (size_t i = SiblingIndexLocked(w, siblings) + 1; i < siblings.size(); ++i) {
    Window* s = FindWindowLocked(siblings[i]);
    if (!s || !(s->style & WS_VISIBLE) || IsEmpty(Intersect(oldRect, s->rect))) continue;
    Region part = Region(oldRect).Intersected(s->rect);
    if (part.IsEmpty()) continue;
    part.Offset(-s->rect.left - s->client.left, -s->rect.top - s->client.top);
    InvalidateLocked(*s, part, true, RDW_ALLCHILDREN);
  }
}

void RepaintWholeLocked(Window& w) {
  w.frameDirty = true;
  InvalidateLocked(w, Region(RECT{0, 0, Width(w.client), Height(w.client)}), true, RDW_ALLCHILDREN);
}

}  // namespace

extern "C" {

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                         UINT uFlags) {
  if (uFlags & SWP_ASYNCWINDOWPOS) {
    // Another thread's window changes on its own thread, without this one
    // waiting for it (a display's window manager moving it, for one).
    uFlags &= ~UINT(SWP_ASYNCWINDOWPOS);
    auto lock = Lock();
    Window* w = Find(hWnd);
    if (!w) return FALSE;
    if (w->threadId != CurrentThreadIdentifier()) {
      auto* request = new WINDOWPOS{hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags};
      {
        std::lock_guard<std::mutex> pending(AsyncMutex());
        AsyncRequests().insert(request);
      }
      if (PostToWindowLocked(*w, kAsyncWindowPosMessage, 0, reinterpret_cast<LPARAM>(request)))
        return TRUE;
      delete TakeAsyncWindowPos(reinterpret_cast<LPARAM>(request));
      return FALSE;
    }
  }
  WINDOWPOS pos{hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags};
  {
    auto lock = Lock();
    Window* w = Find(hWnd);
    if (!w) return FALSE;
    if (uFlags & SWP_NOMOVE) {
      pos.x = w->rect.left;
      pos.y = w->rect.top;
    }
    if (uFlags & SWP_NOSIZE) {
      pos.cx = Width(w->rect);
      pos.cy = Height(w->rect);
    }
  }
  if (!(uFlags & SWP_NOSENDCHANGING)) {
    SendToWindow(hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
  }
  pos.cx = std::max(pos.cx, 0);
  pos.cy = std::max(pos.cy, 0);
  RECT newRect{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
  DWORD style, exStyle;
  RECT oldRect;
  {
    auto lock = Lock();
    Window* w = Find(hWnd);
    if (!w) return FALSE;
    style = w->style;
    exStyle = w->exStyle;
    oldRect = w->rect;
  }
  bool sized = Width(newRect) != Width(oldRect) || Height(newRect) != Height(oldRect);
  bool moved = newRect.left != oldRect.left || newRect.top != oldRect.top;
  RECT client = ClientFromWindowRect(newRect, style, exStyle);
  client = Offset(client, newRect.left, newRect.top);
  if (sized || (uFlags & SWP_FRAMECHANGED)) {
    NCCALCSIZE_PARAMS params{};
    params.rgrc[0] = newRect;
    params.rgrc[1] = oldRect;
    params.lppos = &pos;
    SendToWindow(hWnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    client = params.rgrc[0];
  }
  bool activate = false;
  {
    auto lock = Lock();
    Window* w = Find(hWnd);
    if (!w) return FALSE;
    bool wasVisible = IsVisibleLocked(*w);
    RECT before = w->rect;
    RECT clientBefore = w->client;
    if (!(uFlags & SWP_NOZORDER)) ApplyZOrderLocked(*w, hWndInsertAfter);
    w->rect = newRect;
    w->client = Offset(client, -newRect.left, -newRect.top);
    if (uFlags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
    if (uFlags & SWP_HIDEWINDOW) w->style &= ~DWORD(WS_VISIBLE);
    if (!w->parent && sized) {
      // The surface follows the window size; the old picture stays top-left.
      auto fresh = PixelBuffer::Create(std::max(1, pos.cx), std::max(1, pos.cy), 32, false);
      if (fresh && w->surface) {
        std::lock_guard<std::mutex> pixels(w->surface->Mutex());
        int rows = std::min(fresh->Height(), w->surface->Height());
        size_t bytes = size_t(std::min(fresh->Width(), w->surface->Width())) * 4;
        for (int y = 0; y < rows; ++y) std::memcpy(fresh->Row(y), w->surface->Row(y), bytes);
      }
      if (fresh) w->surface = fresh;
    }
    BumpLayoutGenerationLocked();
    bool nowVisible = IsVisibleLocked(*w);
    if (!(uFlags & SWP_NOREDRAW)) {
      bool zChanged = !(uFlags & SWP_NOZORDER);
      if (wasVisible && (!nowVisible || ((moved || sized) && w->parent)))
        ExposeParentLocked(*w, before);
      if (nowVisible && (!wasVisible || sized || (moved && w->parent) || (zChanged && w->parent) ||
                         (uFlags & SWP_FRAMECHANGED) || !(w->client == clientBefore))) {
        RepaintWholeLocked(*w);
      }
    }
    if (!w->parent && nowVisible && !wasVisible && !(uFlags & SWP_NOACTIVATE) &&
        !(w->exStyle & WS_EX_NOACTIVATE)) {
      activate = true;
    }
    if (!(uFlags & SWP_NOMOVE) && !moved) pos.flags |= SWP_NOMOVE;
    if (!(uFlags & SWP_NOSIZE) && !sized) pos.flags |= SWP_NOSIZE;
    if (moved) pos.flags &= ~UINT(SWP_NOMOVE);
    if (sized) pos.flags &= ~UINT(SWP_NOSIZE);
  }
  SendToWindow(hWnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  if (activate) ActivateWindow(hWnd, false);
  return TRUE;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight,
                      SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  bool wasVisible;
  {
    auto lock = Lock();
    Window* w = Find(hWnd);
    if (!w) return FALSE;
    wasVisible = (w->style & WS_VISIBLE) != 0;
  }
  bool show = nCmdShow != SW_HIDE;
  if (show == wasVisible) return wasVisible ? TRUE : FALSE;
  SendToWindow(hWnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
  if (!show || nCmdShow == SW_SHOWNA || nCmdShow == SW_SHOWNOACTIVATE ||
      nCmdShow == SW_SHOWMINNOACTIVE) {
    flags |= SWP_NOACTIVATE;
  }
  SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, flags);
  return wasVisible ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
  auto lock = Lock();
  Window* w = FindWindowLocked(hWnd);
  return w && IsVisibleLocked(*w) ? TRUE : FALSE;
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
  bool wasDisabled;
  {
    auto lock = Lock();
    Window* w = Find(hWnd);
    if (!w) return FALSE;
    wasDisabled = (w->style & WS_DISABLED) != 0;
    if (wasDisabled == !bEnable) return wasDisabled ? TRUE : FALSE;
    if (bEnable) {
      w->style &= ~DWORD(WS_DISABLED);
    } else {
      w->style |= WS_DISABLED;
      InputState& in = Input();
      if (in.focus == hWnd) in.focus = nullptr;
    }
  }
  SendToWindow(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
  return wasDisabled ? TRUE : FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
  auto lock = Lock();
  Window* w = FindWindowLocked(hWnd);
  return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL WINAPI BringWindowToTop(HWND hWnd) {
  return SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  auto lock = Lock();
  Window* w = Find(hWnd);
  if (!w || !lpRect) return FALSE;
  *lpRect = RECT{0, 0, Width(w->client), Height(w->client)};
  return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
  auto lock = Lock();
  if (hWnd == DesktopHandle() && lpRect) {
    *lpRect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return TRUE;
  }
  Window* w = Find(hWnd);
  if (!w || !lpRect) return FALSE;
  *lpRect = ScreenRectLocked(*w);
  return TRUE;
}

BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL, DWORD dwExStyle) {
  if (!lpRect) return FALSE;
  // The frame a window of this style adds around a client area of 1000 x 1000.
  RECT probe{0, 0, 1000, 1000};
  RECT client = ClientFromWindowRect(probe, dwStyle, dwExStyle);
  lpRect->left -= client.left;
  lpRect->top -= client.top;
  lpRect->right += 1000 - client.right;
  lpRect->bottom += 1000 - client.bottom;
  return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu) {
  return AdjustWindowRectEx(lpRect, dwStyle, bMenu, 0);
}

int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
  auto lock = Lock();
  auto clientOrigin = [](HWND h, bool& ok) {
    ok = true;
    if (!h || h == DesktopHandle()) return POINT{0, 0};
    Window* w = FindWindowLocked(h);
    if (!w) {
      ok = false;
      return POINT{0, 0};
    }
    RECT r = ScreenRectLocked(*w);
    return POINT{r.left + w->client.left, r.top + w->client.top};
  };
  bool okFrom, okTo;
  POINT from = clientOrigin(hWndFrom, okFrom), to = clientOrigin(hWndTo, okTo);
  if (!okFrom || !okTo) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  LONG dx = from.x - to.x, dy = from.y - to.y;
  for (UINT i = 0; lpPoints && i < cPoints; ++i) {
    lpPoints[i].x += dx;
    lpPoints[i].y += dy;
  }
  SetLastError(0);
  return MAKELONG(WORD(dx), WORD(dy));
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  if (!lpPoint || !IsWindow(hWnd)) return FALSE;
  MapWindowPoints(hWnd, nullptr, lpPoint, 1);
  return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  if (!lpPoint || !IsWindow(hWnd)) return FALSE;
  MapWindowPoints(nullptr, hWnd, lpPoint, 1);
  return TRUE;
}

HWND WINAPI WindowFromPoint(POINT Point) {
  auto lock = Lock();
  return WindowAtLocked(Point, true);
}

HWND WINAPI ChildWindowFromPoint(HWND hWndParent, POINT Point) {
  auto lock = Lock();
  Window* p = Find(hWndParent);
  if (!p) return nullptr;
  if (!Contains(RECT{0, 0, Width(p->client), Height(p->client)}, Point.x, Point.y)) return nullptr;
  for (HWND h : p->children) {
    Window* c = FindWindowLocked(h);
    if (c && Contains(c->rect, Point.x, Point.y)) return h;
  }
  return hWndParent;
}

}  // extern "C"

namespace quellor::win32 {

WINDOWPOS* TakeAsyncWindowPos(LPARAM lParam) {
  auto* request = reinterpret_cast<WINDOWPOS*>(lParam);
  std::lock_guard<std::mutex> pending(AsyncMutex());
  return AsyncRequests().erase(request) ? request : nullptr;
}

}  // namespace quellor::win32

extern "C" {

int WINAPI SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw) {
  std::shared_ptr<RegionObject> region;
  if (hRgn) {
    region = std::dynamic_pointer_cast<RegionObject>(GdiTable::Find(hRgn));
    if (!region) {
      SetLastError(ERROR_INVALID_HANDLE);
      return 0;
    }
  }
  auto lock = Lock();
  Window* w = Find(hWnd);
  if (!w) return 0;
  RECT before = w->rect;
  // The system owns the region from now on; its handle is no longer valid.
  if (hRgn) {
    GdiTable::Take(hRgn);
    w->shape = region->region;
  } else {
    w->shape.reset();
  }
  BumpLayoutGenerationLocked();
  if (bRedraw && IsVisibleLocked(*w)) {
    ExposeParentLocked(*w, before);
    RepaintWholeLocked(*w);
  }
  return 1;
}

int WINAPI GetWindowRgn(HWND hWnd, HRGN hRgn) {
  auto region = std::dynamic_pointer_cast<RegionObject>(GdiTable::Find(hRgn));
  auto lock = Lock();
  Window* w = Find(hWnd);
  if (!w || !region || !w->shape) return ERROR;
  region->region = *w->shape;
  return region->region.Kind();
}

}  // extern "C"
