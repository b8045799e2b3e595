// Rectangle helpers, system metrics and system colours.
#include <algorithm>
#include <mutex>

#include "Display.h"
#include "GdiObjects.h"
#include "Geometry.h"
#include "win32/user.h"

using namespace quellor::win32;

extern "C" {

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
  if (!lprc) return FALSE;
  *lprc = RECT{xLeft, yTop, xRight, yBottom};
  return TRUE;
}
BOOL WINAPI SetRectEmpty(LPRECT lprc) {
  return SetRect(lprc, 0, 0, 0, 0);
}
BOOL WINAPI CopyRect(LPRECT lprcDst, const RECT* lprcSrc) {
  if (!lprcDst || !lprcSrc) return FALSE;
  *lprcDst = *lprcSrc;
  return TRUE;
}
BOOL WINAPI InflateRect(LPRECT lprc, int dx, int dy) {
  if (!lprc) return FALSE;
  *lprc = RECT{lprc->left - dx, lprc->top - dy, lprc->right + dx, lprc->bottom + dy};
  return TRUE;
}
BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy) {
  if (!lprc) return FALSE;
  *lprc = Offset(*lprc, dx, dy);
  return TRUE;
}
BOOL WINAPI IsRectEmpty(const RECT* lprc) {
  return !lprc || IsEmpty(*lprc) ? TRUE : FALSE;
}
BOOL WINAPI EqualRect(const RECT* a, const RECT* b) {
  return a && b && *a == *b ? TRUE : FALSE;
}
BOOL WINAPI PtInRect(const RECT* lprc, POINT pt) {
  return lprc && Contains(*lprc, pt.x, pt.y) ? TRUE : FALSE;
}
BOOL WINAPI IntersectRect(LPRECT lprcDst, const RECT* a, const RECT* b) {
  if (!lprcDst || !a || !b) return FALSE;
  *lprcDst = Intersect(*a, *b);
  return IsEmpty(*lprcDst) ? FALSE : TRUE;
}
BOOL WINAPI UnionRect(LPRECT lprcDst, const RECT* a, const RECT* b) {
  if (!lprcDst || !a || !b) return FALSE;
  if (IsEmpty(*a)) {
    *lprcDst = IsEmpty(*b) ? RECT{0, 0, 0, 0} : *b;
  } else if (IsEmpty(*b)) {
    *lprcDst = *a;
  } else {
    *lprcDst = RECT{std::min(a->left, b->left), std::min(a->top, b->top),
                    std::max(a->right, b->right), std::max(a->bottom, b->bottom)};
  }
  return IsEmpty(*lprcDst) ? FALSE : TRUE;
}
BOOL WINAPI SubtractRect(LPRECT lprcDst, const RECT* a, const RECT* b) {
  if (!lprcDst || !a || !b) return FALSE;
  RECT r = *a;
  RECT i = Intersect(*a, *b);
  // Only a subtraction that leaves a rectangle changes the result.
  if (!IsEmpty(i)) {
    if (i.top == r.top && i.bottom == r.bottom) {
      if (i.left == r.left)
        r.left = i.right;
      else if (i.right == r.right)
        r.right = i.left;
    } else if (i.left == r.left && i.right == r.right) {
      if (i.top == r.top)
        r.top = i.bottom;
      else if (i.bottom == r.bottom)
        r.bottom = i.top;
    }
  }
  *lprcDst = IsEmpty(r) ? RECT{0, 0, 0, 0} : r;
  return IsEmpty(r) ? FALSE : TRUE;
}

int WINAPI GetSystemMetrics(int nIndex) {
  DisplayMode mode = CurrentDisplayMode();
  switch (nIndex) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN:
    case SM_CXMAXIMIZED:
    case SM_CXFULLSCREEN:
      return mode.width;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
    case SM_CYMAXIMIZED:
      return mode.height;
    case SM_CYFULLSCREEN:
      return mode.height - 19;
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN:
      return 0;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
      return 16;
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
      return 16;
    case SM_CYCAPTION:
      return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
      return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
      return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
      return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
      return 16;
    case SM_CYMENU:
      return 19;
    case SM_CXSIZE:
    case SM_CYSIZE:
      return 18;
    case SM_CXMIN:
      return 112;
    case SM_CYMIN:
      return 27;
    case SM_CXMINTRACK:
      return 112;
    case SM_CYMINTRACK:
      return 27;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
      return 4;
    case SM_CXDRAG:
    case SM_CYDRAG:
      return 4;
    case SM_MOUSEPRESENT:
      return 1;
    case SM_CMOUSEBUTTONS:
      return 3;
    case SM_SWAPBUTTON:
      return 0;
    case SM_CMONITORS:
      return 1;
  }
  return 0;
}

DWORD WINAPI GetSysColor(int nIndex) {
  return SystemColor(nIndex);
}

HBRUSH WINAPI GetSysColorBrush(int nIndex) {
  static std::mutex mutex;
  static HBRUSH brushes[32] = {};
  if (nIndex < 0 || nIndex > COLOR_INFOBK) return nullptr;
  std::lock_guard<std::mutex> lock(mutex);
  if (!brushes[nIndex]) {
    brushes[nIndex] = static_cast<HBRUSH>(
        GdiTable::AddStock(std::make_shared<BrushObject>(BS_SOLID, SystemColor(nIndex))));
  }
  return brushes[nIndex];
}

}  // extern "C"
