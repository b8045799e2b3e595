// Window creation and destruction, the window tree and window data.
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "Presenter.h"
#include "WindowManager.h"
#include "win32/errors.h"
#include "win32/kernel.h"

#ifndef ERROR_TLW_WITH_WSCHILD
#define ERROR_TLW_WITH_WSCHILD 1406L
#endif
#ifndef ERROR_CANNOT_FIND_WND_CLASS
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#endif
#ifndef ERROR_INVALID_INDEX
#define ERROR_INVALID_INDEX 1413L
#endif

using namespace quellor::win32;

namespace {

// The desktop is not a real window here; its handle stands for "no parent".
const HWND kDesktop = reinterpret_cast<HWND>(uintptr_t(0x10010));

HWND NewHandle() {
  static uintptr_t next = 0x20000;
  next += 4;
  return reinterpret_cast<HWND>(next);
}

Window* Find(HWND hwnd) {
  Window* w = FindWindowLocked(hwnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

// Top-level windows: topmost ones first, then the others; a new window goes
// to the top of its group.
void InsertTopLevelLocked(HWND hwnd, bool topmost) {
  auto& list = TopLevelsLocked();
  auto it = list.begin();
  if (!topmost) {
    while (it != list.end()) {
      Window* w = FindWindowLocked(*it);
      if (!w || !(w->exStyle & WS_EX_TOPMOST)) break;
      ++it;
    }
  }
  list.insert(it, hwnd);
}

void RemoveFromSiblingsLocked(Window& w) {
  auto& list = SiblingsLocked(w);
  list.erase(std::remove(list.begin(), list.end(), w.handle), list.end());
}

void DefaultPlacement(DWORD style, bool child, int& x, int& y, int& cx, int& cy) {
  if (child || (style & WS_POPUP)) {
    if (x == CW_USEDEFAULT) x = y = 0;
    if (cx == CW_USEDEFAULT) cx = cy = 0;
    return;
  }
  if (x == CW_USEDEFAULT) {
    x = 64;
    y = 64;
  }
  if (cx == CW_USEDEFAULT) {
    cx = 640;
    cy = 480;
  }
}

void SendDestroyTo(HWND hwnd) {
  SendToWindow(hwnd, WM_DESTROY, 0, 0);
  std::vector<HWND> children;
  {
    auto lock = Lock();
    if (Window* w = FindWindowLocked(hwnd)) children = w->children;
  }
  for (HWND c : children) {
    bool alive;
    {
      auto lock = Lock();
      Window* w = FindWindowLocked(c);
      alive = w != nullptr;
      if (w) w->destroying = true;
    }
    if (alive) SendDestroyTo(c);
  }
}

void ForgetWindowLocked(Window& w) {
  InputState& in = Input();
  if (in.focus == w.handle) in.focus = nullptr;
  if (in.active == w.handle) in.active = nullptr;
  if (in.foreground == w.handle) in.foreground = nullptr;
  if (in.lastClickWindow == w.handle) in.lastClickWindow = nullptr;
  if (w.queue) {
    auto& timers = w.queue->timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [&](const Timer& t) { return t.hwnd == w.handle; }),
                 timers.end());
  }
}

void FreeWindowTree(HWND hwnd) {
  std::vector<HWND> children;
  {
    auto lock = Lock();
    if (Window* w = FindWindowLocked(hwnd)) children = w->children;
  }
  for (HWND c : children) FreeWindowTree(c);
  SendToWindow(hwnd, WM_NCDESTROY, 0, 0);
  std::unique_ptr<Window> doomed;
  std::shared_ptr<DeviceContext> ownDC;
  {
    auto lock = Lock();
    auto& table = WindowTableLocked();
    auto it = table.find(reinterpret_cast<uintptr_t>(hwnd));
    if (it == table.end()) return;
    Window& w = *it->second;
    ForgetWindowLocked(w);
    RemoveFromSiblingsLocked(w);
    // Owned windows lose their owner.
    for (auto& [key, other] : table) {
      if (other->owner == hwnd) other->owner = nullptr;
    }
    w.cls->windows--;
    ownDC = w.ownDC;
    doomed = std::move(it->second);
    ForgetHandleLocked(hwnd);
    table.erase(it);
    BumpLayoutGenerationLocked();
  }
  if (ownDC) GdiTable::Remove(ownDC->Handle());
}

}  // namespace

namespace quellor::win32 {
HWND DesktopHandle() {
  return kDesktop;
}
}  // namespace quellor::win32

extern "C" {

HWND WINAPI GetDesktopWindow(void) {
  return kDesktop;
}

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                            int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                            HINSTANCE hInstance, LPVOID lpParam) {
  if (hWndParent == kDesktop || hWndParent == HWND_MESSAGE) hWndParent = nullptr;
  bool child = (dwStyle & WS_CHILD) != 0;
  // The first top-level window brings up the display presenter, if wanted.
  if (!child) StartPresenterOnce();
  auto queue = CurrentQueue();
  HWND hwnd;
  CREATESTRUCTA cs{};
  {
    auto lock = Lock();
    auto cls = FindClassLocked(lpClassName);
    if (!cls) {
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    Window* parent = hWndParent ? FindWindowLocked(hWndParent) : nullptr;
    if (hWndParent && !parent) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    if (child && !parent) {
      SetLastError(ERROR_TLW_WITH_WSCHILD);
      return nullptr;
    }
    DefaultPlacement(dwStyle, child, X, Y, nWidth, nHeight);
    auto w = std::make_unique<Window>();
    hwnd = NewHandle();
    w->handle = hwnd;
    w->cls = cls;
    // The window starts hidden; WS_VISIBLE is applied by ShowWindow at the end.
    w->style = dwStyle & ~DWORD(WS_VISIBLE);
    if (!child) w->style |= WS_CLIPSIBLINGS;  // top-level windows always clip siblings
    w->exStyle = dwExStyle;
    w->rect = RECT{X, Y, X + std::max(nWidth, 0), Y + std::max(nHeight, 0)};
    w->client = ClientFromWindowRect(w->rect, w->style, w->exStyle);
    w->proc = cls->proc;
    w->instance = hInstance;
    w->id = child ? reinterpret_cast<LONG_PTR>(hMenu) : 0;
    w->extra.assign(size_t(cls->windowExtraBytes), 0);
    w->threadId = queue->threadId;
    w->queue = queue;
    if (child) {
      w->parent = hWndParent;
      parent->children.push_back(hwnd);  // new children go to the bottom of the z-order
    } else {
      if (parent) w->owner = TopLevelOfLocked(*parent)->handle;
      w->surface = PixelBuffer::Create(std::max(1, nWidth), std::max(1, nHeight), 32, false);
      if (!w->surface) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
      }
    }
    if (cls->style & (CS_OWNDC | CS_CLASSDC)) {
      auto dc = std::make_shared<DeviceContext>(DeviceContext::Kind::Window);
      dc->window = hwnd;
      dc->ownedByWindow = true;
      w->ownDC = dc;
    }
    cls->windows++;
    WindowTableLocked()[reinterpret_cast<uintptr_t>(hwnd)] = std::move(w);
    if (!child) InsertTopLevelLocked(hwnd, (dwExStyle & WS_EX_TOPMOST) != 0);
    BumpLayoutGenerationLocked();
    cs = CREATESTRUCTA{lpParam, hInstance, hMenu,         hWndParent,   nHeight,     nWidth,
                       Y,       X,         LONG(dwStyle), lpWindowName, lpClassName, dwExStyle};
  }
  {
    auto lock = Lock();
    if (Window* w = FindWindowLocked(hwnd); w && w->ownDC) AddDC(w->ownDC);
  }
  if (!SendToWindow(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    FreeWindowTree(hwnd);
    return nullptr;
  }
  RECT r;
  {
    auto lock = Lock();
    Window* w = FindWindowLocked(hwnd);
    if (!w) return nullptr;
    r = w->rect;
  }
  SendToWindow(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r));
  {
    auto lock = Lock();
    Window* w = FindWindowLocked(hwnd);
    if (!w) return nullptr;
    w->client = Offset(r, -w->rect.left, -w->rect.top);
  }
  if (SendToWindow(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  if (child && !(dwExStyle & WS_EX_NOPARENTNOTIFY)) {
    SendToWindow(hWndParent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, LOWORD(uintptr_t(hMenu))),
                 reinterpret_cast<LPARAM>(hwnd));
  }
  RECT client, rect;
  {
    auto lock = Lock();
    Window* w = FindWindowLocked(hwnd);
    if (!w) return nullptr;
    client = w->client;
    rect = w->rect;
  }
  SendToWindow(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(Width(client), Height(client)));
  SendToWindow(hwnd, WM_MOVE, 0, MAKELPARAM(rect.left + client.left, rect.top + client.top));
  if (dwStyle & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
  std::vector<HWND> owned;
  HWND parent = nullptr;
  DWORD exStyle = 0;
  LONG_PTR id = 0;
  bool visible;
  {
    auto lock = Lock();
    Window* w = Find(hWnd);
    if (!w) return FALSE;
    if (w->threadId != CurrentThreadIdentifier()) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    if (w->destroying) return TRUE;  // already on its way (WM_DESTROY calling back)
    w->destroying = true;
    for (auto& [key, other] : WindowTableLocked()) {
      if (other->owner == hWnd && !other->destroying) owned.push_back(other->handle);
    }
    parent = w->parent;
    exStyle = w->exStyle;
    id = w->id;
    visible = (w->style & WS_VISIBLE) != 0;
  }
  for (HWND o : owned) DestroyWindow(o);
  if (parent && !(exStyle & WS_EX_NOPARENTNOTIFY)) {
    SendToWindow(parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, LOWORD(id)),
                 reinterpret_cast<LPARAM>(hWnd));
  }
  if (visible) {
    SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  }
  HWND captureLost = nullptr;
  {
    auto lock = Lock();
    InputState& in = Input();
    if (in.capture) {
      for (Window* c = FindWindowLocked(in.capture); c;
           c = c->parent ? FindWindowLocked(c->parent) : nullptr) {
        if (c->handle == hWnd) {
          captureLost = in.capture;
          in.capture = nullptr;
          break;
        }
      }
    }
  }
  if (captureLost) SendToWindow(captureLost, WM_CAPTURECHANGED, 0, 0);
  SendDestroyTo(hWnd);
  FreeWindowTree(hWnd);
  return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) {
  auto lock = Lock();
  return FindWindowLocked(hWnd) ? TRUE : FALSE;
}

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd) {
  auto lock = Lock();
  Window* w = FindWindowLocked(hWnd);
  while (w && w->parent) {
    if (w->parent == hWndParent) return TRUE;
    w = FindWindowLocked(w->parent);
  }
  return FALSE;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
  auto lock = Lock();
  Window* w = Find(hWnd);
  if (!w) return 0;
  switch (nIndex) {
    case GWLP_WNDPROC:
      return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE:
      return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
    case GWLP_ID:
      return w->id;
    case GWL_STYLE:
      return LONG_PTR(LONG(w->style));
    case GWL_EXSTYLE:
      return LONG_PTR(LONG(w->exStyle));
    case GWLP_USERDATA:
      return w->userData;
  }
  if (nIndex >= 0 && size_t(nIndex) + sizeof(LONG_PTR) <= w->extra.size()) {
    LONG_PTR v;
    std::memcpy(&v, w->extra.data() + nIndex, sizeof v);
    return v;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  if (nIndex == GWL_STYLE || nIndex == GWL_EXSTYLE) {
    DWORD old;
    {
      auto lock = Lock();
      Window* w = Find(hWnd);
      if (!w) return 0;
      old = nIndex == GWL_STYLE ? w->style : w->exStyle;
    }
    struct {
      DWORD styleOld, styleNew;
    } change{old, DWORD(dwNewLong)};
    SendToWindow(hWnd, WM_STYLECHANGING, WPARAM(nIndex), reinterpret_cast<LPARAM>(&change));
    {
      auto lock = Lock();
      Window* w = Find(hWnd);
      if (!w) return 0;
      if (nIndex == GWL_STYLE) {
        w->style = change.styleNew;
      } else {
        w->exStyle = change.styleNew;
      }
      BumpLayoutGenerationLocked();
    }
    SendToWindow(hWnd, WM_STYLECHANGED, WPARAM(nIndex), reinterpret_cast<LPARAM>(&change));
    return LONG_PTR(LONG(old));
  }
  auto lock = Lock();
  Window* w = Find(hWnd);
  if (!w) return 0;
  LONG_PTR old = 0;
  switch (nIndex) {
    case GWLP_WNDPROC:
      old = reinterpret_cast<LONG_PTR>(w->proc);
      w->proc = reinterpret_cast<WNDPROC>(dwNewLong);
      return old;
    case GWLP_HINSTANCE:
      old = reinterpret_cast<LONG_PTR>(w->instance);
      w->instance = reinterpret_cast<HINSTANCE>(dwNewLong);
      return old;
    case GWLP_HWNDPARENT:
      old = reinterpret_cast<LONG_PTR>(w->owner);
      if (!w->parent) w->owner = reinterpret_cast<HWND>(dwNewLong);
      return old;
    case GWLP_ID:
      return std::exchange(w->id, dwNewLong);
    case GWLP_USERDATA:
      return std::exchange(w->userData, dwNewLong);
  }
  if (nIndex >= 0 && size_t(nIndex) + sizeof(LONG_PTR) <= w->extra.size()) {
    std::memcpy(&old, w->extra.data() + nIndex, sizeof old);
    std::memcpy(w->extra.data() + nIndex, &dwNewLong, sizeof dwNewLong);
    return old;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}

LONG WINAPI GetWindowLongA(HWND hWnd, int nIndex) {
  // The system's own fields (negative indices) are the pointer-sized
  // call's: one trip to the window table, not two.
  if (nIndex >= 0) {
    auto lock = Lock();
    Window* w = Find(hWnd);
    if (!w) return 0;
    if (nIndex >= 0 && size_t(nIndex) + sizeof(LONG) <= w->extra.size()) {
      LONG v;
      std::memcpy(&v, w->extra.data() + nIndex, sizeof v);
      return v;
    }
  }
  return LONG(GetWindowLongPtrA(hWnd, nIndex));
}

LONG WINAPI SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
  // The system's own fields (negative indices) are the pointer-sized
  // call's: one trip to the window table, not two.
  if (nIndex >= 0) {
    auto lock = Lock();
    Window* w = Find(hWnd);
    if (!w) return 0;
    if (nIndex >= 0 && size_t(nIndex) + sizeof(LONG) <= w->extra.size()) {
      LONG old;
      std::memcpy(&old, w->extra.data() + nIndex, sizeof old);
      std::memcpy(w->extra.data() + nIndex, &dwNewLong, sizeof dwNewLong);
      return old;
    }
  }
  return LONG(SetWindowLongPtrA(hWnd, nIndex, dwNewLong));
}

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                               LPARAM lParam) {
  if (!lpPrevWndFunc) return 0;
  return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  if (!IsWindow(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return SendToWindow(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) ? TRUE : FALSE;
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
  if (!lpString || nMaxCount <= 0) return 0;
  lpString[0] = '\0';
  bool sameThread;
  {
    auto lock = Lock();
    Window* w = Find(hWnd);
    if (!w) return 0;
    sameThread = w->threadId == CurrentThreadIdentifier();
    if (!sameThread) {
      // Another thread's window: read the stored text, as Windows does.
      int n = std::min(int(w->text.size()), nMaxCount - 1);
      std::memcpy(lpString, w->text.data(), size_t(n));
      lpString[n] = '\0';
      return n;
    }
  }
  return int(SendToWindow(hWnd, WM_GETTEXT, WPARAM(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthA(HWND hWnd) {
  if (!IsWindow(hWnd)) return 0;
  return int(SendToWindow(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
  auto lock = Lock();
  Window* w = Find(hWnd);
  if (!w) return 0;
  if (lpdwProcessId) *lpdwProcessId = DWORD(getpid());
  return w->threadId;
}

HWND WINAPI GetParent(HWND hWnd) {
  auto lock = Lock();
  Window* w = Find(hWnd);
  if (!w) return nullptr;
  if (w->style & WS_CHILD) return w->parent;
  if (w->style & WS_POPUP) return w->owner;  // as Windows answers for popups
  return nullptr;
}

HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags) {
  auto lock = Lock();
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  switch (gaFlags) {
    case GA_PARENT:
      return w->parent ? w->parent : kDesktop;
    case GA_ROOT:
      return TopLevelOfLocked(*w)->handle;
    case GA_ROOTOWNER: {
      Window* root = TopLevelOfLocked(*w);
      while (root->owner) {
        Window* o = FindWindowLocked(root->owner);
        if (!o) break;
        root = TopLevelOfLocked(*o);
      }
      return root->handle;
    }
  }
  return nullptr;
}

HWND WINAPI SetParent(HWND hWndChild, HWND hWndNewParent) {
  if (hWndNewParent == kDesktop) hWndNewParent = nullptr;
  auto lock = Lock();
  Window* w = Find(hWndChild);
  if (!w) return nullptr;
  Window* np = hWndNewParent ? Find(hWndNewParent) : nullptr;
  if (hWndNewParent && !np) return nullptr;
  // A window cannot become its own descendant.
  for (Window* a = np; a; a = a->parent ? FindWindowLocked(a->parent) : nullptr) {
    if (a == w) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
  }
  HWND old = w->parent ? w->parent : kDesktop;
  if (Window* op = w->parent ? FindWindowLocked(w->parent) : nullptr) {
    InvalidateLocked(*op, Region(w->rect), true, 0);
  }
  RemoveFromSiblingsLocked(*w);
  w->parent = hWndNewParent;
  if (np) {
    np->children.insert(np->children.begin(), hWndChild);
    w->surface.reset();
  } else {
    InsertTopLevelLocked(hWndChild, (w->exStyle & WS_EX_TOPMOST) != 0);
    w->surface = PixelBuffer::Create(std::max<LONG>(1, Width(w->rect)),
                                     std::max<LONG>(1, Height(w->rect)), 32, false);
  }
  BumpLayoutGenerationLocked();
  // What the window (or its subtree) had to paint is now pending under its
  // new parent.
  if (!w->update.IsEmpty() || w->internalPaint || w->paintBelow) NotePaintPendingLocked(*w);
  InvalidateLocked(*w, Region(RECT{0, 0, Width(w->client), Height(w->client)}), true,
                   RDW_ALLCHILDREN);
  return old;
}

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
  auto lock = Lock();
  Window* w = Find(hWnd);
  if (!w) return nullptr;
  if (uCmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (uCmd == GW_OWNER) return w->owner;
  if (uCmd == GW_ENABLEDPOPUP) return nullptr;
  auto& list = SiblingsLocked(*w);
  auto it = list.begin() + std::ptrdiff_t(SiblingIndexLocked(*w, list));
  switch (uCmd) {
    case GW_HWNDFIRST:
      return list.empty() ? nullptr : list.front();
    case GW_HWNDLAST:
      return list.empty() ? nullptr : list.back();
    case GW_HWNDNEXT:
      return it == list.end() || it + 1 == list.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV:
      return it == list.begin() || it == list.end() ? nullptr : *(it - 1);
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

HWND WINAPI GetTopWindow(HWND hWnd) {
  auto lock = Lock();
  if (!hWnd || hWnd == kDesktop)
    return TopLevelsLocked().empty() ? nullptr : TopLevelsLocked().front();
  Window* w = Find(hWnd);
  if (!w) return nullptr;
  return w->children.empty() ? nullptr : w->children.front();
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
  auto lock = Lock();
  Window* w = Find(hDlg);
  if (!w) return nullptr;
  for (HWND h : w->children) {
    Window* c = FindWindowLocked(h);
    if (c && c->id == nIDDlgItem) return h;
  }
  return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
  auto lock = Lock();
  Window* w = Find(hWnd);
  return w && w->parent ? int(w->id) : 0;
}

BOOL WINAPI EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam) {
  if (!lpEnumFunc) return FALSE;
  std::vector<HWND> list;
  {
    auto lock = Lock();
    list = TopLevelsLocked();
  }
  for (HWND h : list) {
    if (!IsWindow(h)) continue;
    if (!lpEnumFunc(h, lParam)) break;
  }
  return TRUE;
}

BOOL WINAPI EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam) {
  if (!lpEnumFunc) return FALSE;
  std::vector<HWND> list;
  {
    auto lock = Lock();
    std::vector<HWND> roots;
    if (!hWndParent || hWndParent == kDesktop) {
      roots = TopLevelsLocked();
    } else if (Window* w = Find(hWndParent)) {
      roots = w->children;
    }
    // Depth first: each child, then its own children.
    std::vector<HWND> stack(roots.rbegin(), roots.rend());
    while (!stack.empty()) {
      HWND h = stack.back();
      stack.pop_back();
      list.push_back(h);
      if (Window* c = FindWindowLocked(h))
        stack.insert(stack.end(), c->children.rbegin(), c->children.rend());
    }
  }
  for (HWND h : list) {
    if (!IsWindow(h)) continue;
    if (!lpEnumFunc(h, lParam)) break;
  }
  return TRUE;
}

HWND WINAPI FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
  auto lock = Lock();
  std::shared_ptr<WindowClass> cls;
  if (lpClassName) {
    cls = FindClassLocked(lpClassName);
    if (!cls) return nullptr;
  }
  for (HWND h : TopLevelsLocked()) {
    Window* w = FindWindowLocked(h);
    if (!w) continue;
    if (cls && w->cls != cls) continue;
    if (lpWindowName && w->text != lpWindowName) continue;
    return h;
  }
  return nullptr;
}

}  // extern "C"
