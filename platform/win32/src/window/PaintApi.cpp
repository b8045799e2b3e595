// Update regions, WM_PAINT support and window device contexts.
#include <algorithm>

#include "WindowManager.h"
#include "win32/errors.h"
#include "win32/kernel.h"

using namespace quellor::win32;

namespace {

Window* Find(HWND hwnd) {
  Window* w = FindWindowLocked(hwnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

RECT ClientBox(const Window& w) {
  return RECT{0, 0, Width(w.client), Height(w.client)};
}

std::shared_ptr<DeviceContext> MakeWindowDC(Window& w, bool clientArea) {
  if (w.ownDC && clientArea) return w.ownDC;
  auto dc = std::make_shared<DeviceContext>(DeviceContext::Kind::Window);
  dc->window = w.handle;
  dc->clientArea = clientArea;
  return dc;
}

bool HasFrame(const Window& w) {
  return !(w.client == RECT{0, 0, Width(w.rect), Height(w.rect)});
}

// Paints the window now if it has anything to paint, then (optionally) its
// children.
void PaintNow(HWND hwnd, bool children) {
  bool needs;
  std::vector<HWND> kids;
  {
    auto lock = Lock();
    Window* w = FindWindowLocked(hwnd);
    if (!w) return;
    needs = !w->update.IsEmpty() || w->internalPaint;
    if (children) kids = w->children;
  }
  if (needs) SendToWindow(hwnd, WM_PAINT, 0, 0);
  for (HWND c : kids) PaintNow(c, true);
}

}  // namespace

extern "C" {

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  if (!lpPaint) return nullptr;
  Region update;
  bool erase, frame;
  std::shared_ptr<DeviceContext> dc;
  {
    auto lock = Lock();
    Window* w = Find(hWnd);
    if (!w) return nullptr;
    update = w->update;
    erase = w->erasePending;
    frame = w->frameDirty && HasFrame(*w);
    w->frameDirty = false;
    // BeginPaint validates the whole update region.
    w->update = Region();
    w->erasePending = false;
    w->internalPaint = false;
    dc = MakeWindowDC(*w, true);
  }
  if (frame) SendToWindow(hWnd, WM_NCPAINT, 1, 0);
  {
    auto dcLock = dc->Lock();
    dc->paintRegion = update;
  }
  HDC hdc = dc->Handle() ? static_cast<HDC>(dc->Handle()) : AddDC(dc);
  BOOL erased = FALSE;
  if (erase)
    erased = SendToWindow(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? TRUE : FALSE;
  *lpPaint = PAINTSTRUCT{};
  lpPaint->hdc = hdc;
  lpPaint->fErase = erase && !erased ? TRUE : FALSE;
  lpPaint->rcPaint = update.Bounds();
  return hdc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT* lpPaint) {
  if (!lpPaint) return FALSE;
  auto dc = FindDC(lpPaint->hdc);
  if (!dc) return FALSE;
  if (dc->ownedByWindow) {
    auto lock = dc->Lock();
    dc->paintRegion.reset();
  } else {
    GdiTable::Remove(lpPaint->hdc);
  }
  return TRUE;
}

HDC WINAPI GetDCEx(HWND hWnd, HRGN hrgnClip, DWORD flags) {
  if (!hWnd) {
    // The screen: a context that answers questions; drawing on the screen
    // itself is not supported.
    return AddDC(std::make_shared<DeviceContext>(DeviceContext::Kind::Information));
  }
  std::shared_ptr<DeviceContext> dc;
  {
    auto lock = Lock();
    Window* w = Find(hWnd);
    if (!w) return nullptr;
    dc = MakeWindowDC(*w, !(flags & DCX_WINDOW));
  }
  if (auto region = GdiTable::FindAs<RegionObject>(hrgnClip)) {
    auto lock = dc->Lock();
    if (flags & DCX_INTERSECTRGN) dc->extraClip = region->region;
    if (flags & DCX_EXCLUDERGN) {
      Region all(RECT{-0x4000000, -0x4000000, 0x4000000, 0x4000000});
      dc->extraClip = all.Subtracted(region->region);
    }
  }
  if (dc->Handle()) return static_cast<HDC>(dc->Handle());
  return AddDC(dc);
}

HDC WINAPI GetDC(HWND hWnd) {
  return GetDCEx(hWnd, nullptr, 0);
}
HDC WINAPI GetWindowDC(HWND hWnd) {
  return GetDCEx(hWnd, nullptr, DCX_WINDOW);
}

int WINAPI ReleaseDC(HWND, HDC hDC) {
  auto dc = FindDC(hDC);
  if (!dc) return 0;
  if (dc->ownedByWindow) {
    auto lock = dc->Lock();
    dc->extraClip.reset();
    return 1;
  }
  GdiTable::Remove(hDC);
  return 1;
}

HWND WINAPI WindowFromDC(HDC hDC) {
  auto dc = FindDC(hDC);
  return dc ? dc->window : nullptr;
}

BOOL WINAPI RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags) {
  {
    auto lock = Lock();
    Window* w = Find(hWnd);
    if (!w) return FALSE;
    Region area;
    if (auto region = GdiTable::FindAs<RegionObject>(hrgnUpdate)) {
      area = region->region;
    } else if (lprcUpdate) {
      area = Region(*lprcUpdate);
    } else {
      area = Region(ClientBox(*w));
    }
    bool children = (flags & RDW_ALLCHILDREN) != 0;
    if (flags & RDW_INVALIDATE) {
      if (flags & RDW_FRAME) w->frameDirty = true;
      InvalidateLocked(*w, area, (flags & RDW_ERASE) != 0, flags);
    }
    if (flags & RDW_INTERNALPAINT) {
      w->internalPaint = true;
      NotePaintPendingLocked(*w);
      if (w->queue) WakeQueueLocked(*w->queue);
    }
    if (flags & RDW_VALIDATE) {
      ValidateLocked(*w, area, children);
      if (flags & RDW_NOERASE) w->erasePending = false;
    }
    if (flags & RDW_NOINTERNALPAINT) w->internalPaint = false;
  }
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) PaintNow(hWnd, (flags & RDW_ALLCHILDREN) != 0);
  return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  if (!hWnd) return FALSE;  // the whole desktop: nothing of ours to repaint
  return RedrawWindow(hWnd, lpRect, nullptr, RDW_INVALIDATE | (bErase ? RDW_ERASE : 0));
}

BOOL WINAPI InvalidateRgn(HWND hWnd, HRGN hRgn, BOOL bErase) {
  return RedrawWindow(hWnd, nullptr, hRgn, RDW_INVALIDATE | (bErase ? RDW_ERASE : 0));
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect) {
  return RedrawWindow(hWnd, lpRect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL WINAPI ValidateRgn(HWND hWnd, HRGN hRgn) {
  return RedrawWindow(hWnd, nullptr, hRgn, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
  bool erase;
  bool any;
  {
    auto lock = Lock();
    Window* w = Find(hWnd);
    if (!w) return FALSE;
    any = !w->update.IsEmpty();
    if (lpRect) *lpRect = w->update.Bounds();
    erase = any && bErase && w->erasePending;
    if (erase) w->erasePending = false;
  }
  if (erase) {
    HDC hdc = GetDC(hWnd);
    SendToWindow(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    ReleaseDC(hWnd, hdc);
  }
  return any ? TRUE : FALSE;
}

int WINAPI GetUpdateRgn(HWND hWnd, HRGN hRgn, BOOL) {
  auto region = GdiTable::FindAs<RegionObject>(hRgn);
  auto lock = Lock();
  Window* w = Find(hWnd);
  if (!w || !region) return ERROR;
  region->region = w->update;
  return region->region.Kind();
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
  if (!IsWindow(hWnd)) return FALSE;
  PaintNow(hWnd, false);
  return TRUE;
}

}  // extern "C"
