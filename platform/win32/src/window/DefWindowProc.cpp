// The default handling of window messages.
#include <algorithm>
#include <cstring>

#include "WindowManager.h"
#include "win32/gdi.h"

using namespace quellor::win32;

namespace quellor::win32 {
HWND DesktopHandle();
}

namespace {

LRESULT HitTest(HWND hwnd, LPARAM lParam) {
  auto lock = Lock();
  Window* w = FindWindowLocked(hwnd);
  if (!w) return HTNOWHERE;
  RECT r = ScreenRectLocked(*w);
  LONG x = GET_X_LPARAM(lParam) - r.left, y = GET_Y_LPARAM(lParam) - r.top;
  if (!Contains(RECT{0, 0, Width(r), Height(r)}, x, y)) return HTNOWHERE;
  if (Contains(w->client, x, y)) return HTCLIENT;
  if ((w->style & WS_CAPTION) == WS_CAPTION && y >= w->client.top - 19 && y < w->client.top &&
      x >= w->client.left && x < w->client.right) {
    return HTCAPTION;
  }
  if (w->style & WS_THICKFRAME) {
    bool left = x < w->client.left, right = x >= w->client.right;
    bool top = y < 4, bottom = y >= w->client.bottom;
    if (top && left) return HTTOPLEFT;
    if (top && right) return HTTOPRIGHT;
    if (bottom && left) return HTBOTTOMLEFT;
    if (bottom && right) return HTBOTTOMRIGHT;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
    if (top) return HTTOP;
    if (bottom) return HTBOTTOM;
  }
  return HTBORDER;
}

void PaintFrame(HWND hwnd) {
  RECT rect, client;
  DWORD style;
  std::string title;
  bool active;
  {
    auto lock = Lock();
    Window* w = FindWindowLocked(hwnd);
    if (!w) return;
    rect = RECT{0, 0, Width(w->rect), Height(w->rect)};
    client = w->client;
    style = w->style;
    title = w->text;
    active = Input().active == hwnd;
  }
  HDC hdc = GetWindowDC(hwnd);
  if (!hdc) return;
  // Everything outside the client area is frame.
  HRGN frame = CreateRectRgnIndirect(&rect);
  HRGN inner = CreateRectRgnIndirect(&client);
  CombineRgn(frame, frame, inner, RGN_DIFF);
  SelectClipRgn(hdc, frame);
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  FillRect(hdc, &rect, face);
  HBRUSH dark = GetSysColorBrush(COLOR_BTNSHADOW);
  FrameRect(hdc, &rect, dark);
  if ((style & WS_CAPTION) == WS_CAPTION) {
    RECT bar{client.left, client.top - 19, client.right, client.top - 1};
    FillRect(hdc, &bar, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    HGDIOBJ oldFont = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(COLOR_CAPTIONTEXT));
    RECT text = bar;
    text.left += 4;
    DrawTextA(hdc, title.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(hdc, oldFont);
  }
  SelectClipRgn(hdc, nullptr);
  DeleteObject(frame);
  DeleteObject(inner);
  ReleaseDC(hwnd, hdc);
}

LRESULT EraseBackground(HWND hwnd, HDC hdc) {
  HBRUSH background;
  {
    auto lock = Lock();
    Window* w = FindWindowLocked(hwnd);
    if (!w) return 0;
    background = w->cls->background;
  }
  if (!background) return 0;
  RECT r;
  GetClientRect(hwnd, &r);
  FillRect(hdc, &r, background);
  return 1;
}

LRESULT SetCursorDefault(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  HWND parent;
  HCURSOR cursor;
  {
    auto lock = Lock();
    Window* w = FindWindowLocked(hwnd);
    if (!w) return FALSE;
    parent = (w->style & WS_CHILD) ? w->parent : nullptr;
    cursor = w->cls->cursor;
  }
  // A parent may choose the cursor for its children first.
  if (parent && SendToWindow(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
  if (LOWORD(lParam) == HTCLIENT) {
    if (cursor) {
      SetCursor(cursor);
      return TRUE;
    }
    return FALSE;
  }
  SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  return FALSE;
}

}  // namespace

extern "C" LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  switch (Msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
      if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) {
        auto lock = Lock();
        if (Window* w = FindWindowLocked(hWnd)) w->text = cs->lpszName;
      }
      return TRUE;
    }
    case WM_NCCALCSIZE: {
      auto lock = Lock();
      Window* w = FindWindowLocked(hWnd);
      if (!w || !lParam) return 0;
      RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                       : reinterpret_cast<RECT*>(lParam);
      RECT c = ClientFromWindowRect(*r, w->style, w->exStyle);
      *r = Offset(c, r->left, r->top);
      return 0;
    }
    case WM_NCHITTEST:
      return HitTest(hWnd, lParam);
    case WM_NCPAINT:
      PaintFrame(hWnd);
      return 0;
    case WM_SETTEXT: {
      bool caption;
      {
        auto lock = Lock();
        Window* w = FindWindowLocked(hWnd);
        if (!w) return FALSE;
        w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        caption = (w->style & WS_CAPTION) == WS_CAPTION && IsVisibleLocked(*w);
      }
      if (caption) PaintFrame(hWnd);  // the title shows at once
      return TRUE;
    }
    case WM_GETTEXT: {
      if (wParam == 0 || !lParam) return 0;
      auto lock = Lock();
      Window* w = FindWindowLocked(hWnd);
      if (!w) return 0;
      size_t n = std::min(w->text.size(), size_t(wParam) - 1);
      std::memcpy(reinterpret_cast<char*>(lParam), w->text.data(), n);
      reinterpret_cast<char*>(lParam)[n] = '\0';
      return LRESULT(n);
    }
    case WM_GETTEXTLENGTH: {
      auto lock = Lock();
      Window* w = FindWindowLocked(hWnd);
      return w ? LRESULT(w->text.size()) : 0;
    }
    case WM_CLOSE:
      DestroyWindow(hWnd);
      return 0;
    case WM_ERASEBKGND:
      return EraseBackground(hWnd, reinterpret_cast<HDC>(wParam));
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hWnd, &ps);
      EndPaint(hWnd, &ps);
      return 0;
    }
    case WM_WINDOWPOSCHANGED: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      if (!pos) return 0;
      RECT rect, client;
      {
        auto lock = Lock();
        Window* w = FindWindowLocked(hWnd);
        if (!w) return 0;
        rect = w->rect;
        client = w->client;
      }
      if (!(pos->flags & SWP_NOMOVE)) {
        SendToWindow(hWnd, WM_MOVE, 0, MAKELPARAM(rect.left + client.left, rect.top + client.top));
      }
      if (!(pos->flags & SWP_NOSIZE)) {
        SendToWindow(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(Width(client), Height(client)));
      }
      return 0;
    }
    case WM_SETCURSOR:
      return SetCursorDefault(hWnd, wParam, lParam);
    case WM_MOUSEACTIVATE:
      return MA_ACTIVATE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        HWND focus = GetFocus();
        if (!focus || (focus != hWnd && !IsChild(hWnd, focus))) SetFocus(hWnd);
      }
      return 0;
    case WM_GETMINMAXINFO:
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(hWnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_SYSKEYDOWN:
      // Alt+F4 closes the top-level window.
      if (wParam == VK_F4) {
        HWND top = GetAncestor(hWnd, GA_ROOT);
        SendMessageA(top, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_GETFONT:
      return 0;
    case WM_GETDLGCODE:
      return 0;
    case WM_NCACTIVATE: {
      bool caption;
      {
        auto lock = Lock();
        Window* w = FindWindowLocked(hWnd);
        caption = w && (w->style & WS_CAPTION) == WS_CAPTION && IsVisibleLocked(*w);
      }
      if (caption) PaintFrame(hWnd);  // active and inactive captions differ
      return TRUE;
    }
    case WM_SHOWWINDOW:
      return 0;
    case WM_DROPFILES:
      return 0;
    case WM_PARENTNOTIFY:
      return 0;
  }
  return 0;
}
