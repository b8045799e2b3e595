// TrackPopupMenu: shows a popup menu at a screen point and runs a modal loop
// until an item is chosen or the menu is dismissed (Escape, a click outside,
// loss of capture). The chosen command is posted to the owner as WM_COMMAND,
// or returned with TPM_RETURNCMD.
#include <algorithm>
#include <cctype>
#include <string>
#include <mutex>

#include "PopupMenuWindow.h"
#include "window/modal/ModalLoop.h"
#include "win32/errors.h"
#include "win32/kernel.h"
#include "win32/automation/Modal.h"

#ifndef ERROR_INVALID_MENU_HANDLE
#define ERROR_INVALID_MENU_HANDLE 1401L
#endif
#ifndef ERROR_POPUP_ALREADY_ACTIVE
#define ERROR_POPUP_ALREADY_ACTIVE 1446L
#endif

using namespace quellor::win32;

namespace {

struct Tracking {
  HWND window = nullptr;
  PopupMenuLayout* layout = nullptr;
};

// The menu being tracked, for the desktop interface (another thread may ask).
std::mutex gTrackingMutex;
Tracking gTracking;

struct MenuSession {
  PopupMenuLayout layout;
  HWND window = nullptr;
  HWND owner = nullptr;
  UINT flags = 0;
  bool ended = false;
  int chosen = -1;  // row

  void SetHot(int row) {
    if (row == layout.hot) return;
    {
      std::lock_guard<std::mutex> lock(gTrackingMutex);
      layout.hot = row;
    }
    InvalidateRect(window, nullptr, FALSE);
  }
  void Choose(int row) {
    if (row < 0 || !IsSelectableRow(layout.rows[size_t(row)])) return;
    chosen = row;
    ended = true;
  }
  void MoveHot(int step) {
    int n = int(layout.rows.size());
    int row = layout.hot;
    for (int i = 0; i < n; ++i) {
      row = row < 0 ? (step > 0 ? 0 : n - 1) : (row + step + n) % n;
      if (!(layout.rows[size_t(row)].flags & MF_SEPARATOR)) {
        SetHot(row);
        return;
      }
    }
  }
  // True when the message was the menu's own.
  bool Handle(MSG& msg);
};

bool IsButtonDown(UINT m) {
  return m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN ||
         m == WM_LBUTTONDBLCLK || m == WM_RBUTTONDBLCLK || m == WM_NCLBUTTONDOWN ||
         m == WM_NCRBUTTONDOWN;
}

bool MnemonicMatches(const std::string& text, char ch) {
  size_t amp = text.find('&');
  while (amp != std::string::npos && amp + 1 < text.size() && text[amp + 1] == '&')
    amp = text.find('&', amp + 2);
  if (amp == std::string::npos || amp + 1 >= text.size()) return false;
  return std::tolower(static_cast<unsigned char>(text[amp + 1])) ==
         std::tolower(static_cast<unsigned char>(ch));
}

bool MenuSession::Handle(MSG& msg) {
  if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
    // The menu holds the capture, so every mouse message is its own, in its
    // client coordinates.
    POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    if (msg.hwnd != window) {
      ScreenToClient(window, &msg.pt);
      p = msg.pt;
    }
    int row = PopupMenuRowAt(layout, p);
    if (msg.message == WM_MOUSEMOVE) {
      SetHot(row);
    } else if (IsButtonDown(msg.message)) {
      if (row < 0)
        ended = true;  // a press outside dismisses the menu
      else
        SetHot(row);
    } else if (msg.message == WM_LBUTTONUP ||
               (msg.message == WM_RBUTTONUP && (flags & TPM_RIGHTBUTTON))) {
      Choose(row);
    }
    return true;
  }
  if (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCMBUTTONDBLCLK) {
    if (IsButtonDown(msg.message)) ended = true;
    return true;
  }
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    switch (msg.wParam) {
      case VK_ESCAPE:
      case VK_MENU:
        ended = true;
        break;
      case VK_DOWN:
        MoveHot(1);
        break;
      case VK_UP:
        MoveHot(-1);
        break;
      case VK_RETURN:
        Choose(layout.hot);
        break;
      default:
        TranslateMessage(&msg);  // mnemonics arrive as WM_CHAR
    }
    return true;
  }
  if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
    for (size_t i = 0; i < layout.rows.size(); ++i) {
      if (MnemonicMatches(layout.rows[i].text, char(msg.wParam))) {
        Choose(int(i));
        break;
      }
    }
    return true;
  }
  return msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP;
}

POINT Place(const SIZE& size, int x, int y, UINT flags) {
  if (flags & TPM_RIGHTALIGN)
    x -= size.cx;
  else if (flags & TPM_CENTERALIGN)
    x -= size.cx / 2;
  if (flags & TPM_BOTTOMALIGN)
    y -= size.cy;
  else if (flags & TPM_VCENTERALIGN)
    y -= size.cy / 2;
  // Kept on the screen, as the shell places menus near an edge.
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  x = std::max(0, std::min<int>(x, sw - size.cx));
  y = std::max(0, std::min<int>(y, sh - size.cy));
  return POINT{x, y};
}

}  // namespace

extern "C" BOOL WINAPI TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int, HWND hWnd,
                                      const RECT*) {
  if (!IsMenu(hMenu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  if (!IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  {
    std::lock_guard<std::mutex> lock(gTrackingMutex);
    if (gTracking.window) {
      SetLastError(ERROR_POPUP_ALREADY_ACTIVE);
      return FALSE;
    }
  }
  bool notify = !(uFlags & TPM_NONOTIFY);
  if (notify) {
    SendMessageA(hWnd, WM_ENTERMENULOOP, TRUE, 0);
    SendMessageA(hWnd, WM_INITMENU, reinterpret_cast<WPARAM>(hMenu), 0);
    SendMessageA(hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hMenu), MAKELPARAM(0, FALSE));
  }
  MenuSession session;
  session.owner = hWnd;
  session.flags = uFlags;
  // Laid out after WM_INITMENUPOPUP, which may change the items.
  if (!LayOutPopupMenu(hMenu, session.layout)) return FALSE;
  POINT at = Place(session.layout.size, x, y, uFlags);
  session.window = CreatePopupMenuWindow(session.layout, hWnd, at.x, at.y);
  if (!session.window) return FALSE;
  {
    std::lock_guard<std::mutex> lock(gTrackingMutex);
    gTracking = Tracking{session.window, &session.layout};
  }
  ShowWindow(session.window, SW_SHOWNOACTIVATE);
  UpdateWindow(session.window);
  SetCapture(session.window);
  MSG msg;
  while (!session.ended) {
    ModalNext next = NextModalMessage(msg, hWnd, MSGF_MENU, session.window, session.ended);
    if (next != ModalNext::Message) break;
    if (GetCapture() != session.window || !IsWindow(hWnd)) break;  // taken away: dismissed
    if (!session.Handle(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  {
    std::lock_guard<std::mutex> lock(gTrackingMutex);
    gTracking = Tracking{};
  }
  if (GetCapture() == session.window) ReleaseCapture();
  DestroyWindow(session.window);
  bool alive = IsWindow(hWnd);
  if (notify && alive) SendMessageA(hWnd, WM_EXITMENULOOP, TRUE, 0);
  if (session.chosen < 0) return FALSE;
  UINT id = UINT(session.layout.rows[size_t(session.chosen)].id);
  if (uFlags & TPM_RETURNCMD) return BOOL(id);
  if (alive) PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
  return TRUE;
}

namespace quellor::desktop {

HWND OpenPopupMenu() {
  std::lock_guard<std::mutex> lock(gTrackingMutex);
  return gTracking.window;
}

bool PopupMenuItemRect(int position, RECT* screen) {
  std::lock_guard<std::mutex> lock(gTrackingMutex);
  if (!gTracking.window || !screen || position < 0 ||
      size_t(position) >= gTracking.layout->rows.size())
    return false;
  RECT r = gTracking.layout->rows[size_t(position)].rect;
  POINT origin{0, 0};
  ClientToScreen(gTracking.window, &origin);
  *screen = RECT{r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
  return true;
}

}  // namespace quellor::desktop
