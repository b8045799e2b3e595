// Window classes.
#include <cstring>
#include <type_traits>
#include <utility>

#include "WindowManager.h"
#include "win32/errors.h"
#include "win32/kernel.h"

#ifndef ERROR_CLASS_HAS_WINDOWS
#define ERROR_CLASS_HAS_WINDOWS 1412L
#endif

using namespace quellor::win32;

namespace {

ATOM Register(const WNDCLASSEXA& wc) {
  if (!wc.lpszClassName || (!IS_INTRESOURCE(wc.lpszClassName) && !*wc.lpszClassName) ||
      IS_INTRESOURCE(wc.lpszClassName) || wc.cbClsExtra < 0 || wc.cbWndExtra < 0 ||
      wc.cbClsExtra > 40 * 1024 || wc.cbWndExtra > 40 * 1024) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto lock = Lock();
  if (FindClassLocked(wc.lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  static ATOM nextAtom = 0xC000;  // string atoms start here on Windows
  auto c = std::make_shared<WindowClass>();
  c->name = wc.lpszClassName;
  c->style = wc.style;
  c->proc = wc.lpfnWndProc;
  c->classExtraBytes = wc.cbClsExtra;
  c->windowExtraBytes = wc.cbWndExtra;
  c->instance = wc.hInstance;
  c->icon = wc.hIcon;
  c->smallIcon = wc.hIconSm;
  c->cursor = wc.hCursor;
  c->background = wc.hbrBackground;
  if (IS_INTRESOURCE(wc.lpszMenuName)) {
    c->menuName = wc.lpszMenuName;
  } else {
    c->menuNameCopy = wc.lpszMenuName;
    c->menuName = c->menuNameCopy.c_str();
  }
  c->classExtra.assign(size_t(wc.cbClsExtra), 0);
  c->atom = nextAtom++;
  ClassesLocked().push_back(c);
  return c->atom;
}

}  // namespace

extern "C" {

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
  if (!lpWndClass) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSEXA wc{sizeof(WNDCLASSEXA),      lpWndClass->style,         lpWndClass->lpfnWndProc,
                 lpWndClass->cbClsExtra,   lpWndClass->cbWndExtra,    lpWndClass->hInstance,
                 lpWndClass->hIcon,        lpWndClass->hCursor,       lpWndClass->hbrBackground,
                 lpWndClass->lpszMenuName, lpWndClass->lpszClassName, nullptr};
  return Register(wc);
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* lpWndClass) {
  if (!lpWndClass || lpWndClass->cbSize != sizeof(WNDCLASSEXA)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return Register(*lpWndClass);
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE) {
  auto lock = Lock();
  auto c = FindClassLocked(lpClassName);
  if (!c) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (c->windows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  auto& classes = ClassesLocked();
  for (size_t i = 0; i < classes.size(); ++i) {
    if (classes[i] == c) {
      classes.erase(classes.begin() + long(i));
      break;
    }
  }
  return TRUE;
}

BOOL WINAPI GetClassInfoExA(HINSTANCE, LPCSTR lpszClass, LPWNDCLASSEXA lpwcx) {
  if (!lpwcx) return FALSE;
  auto lock = Lock();
  auto c = FindClassLocked(lpszClass);
  if (!c) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  *lpwcx = WNDCLASSEXA{sizeof(WNDCLASSEXA), c->style,    c->proc,   c->classExtraBytes,
                       c->windowExtraBytes, c->instance, c->icon,   c->cursor,
                       c->background,       c->menuName, lpszClass, c->smallIcon};
  return c->atom;
}

BOOL WINAPI GetClassInfoA(HINSTANCE hInstance, LPCSTR lpClassName, LPWNDCLASSA lpWndClass) {
  WNDCLASSEXA ex;
  if (!lpWndClass || !GetClassInfoExA(hInstance, lpClassName, &ex)) return FALSE;
  *lpWndClass =
      WNDCLASSA{ex.style, ex.lpfnWndProc, ex.cbClsExtra,    ex.cbWndExtra,   ex.hInstance,
                ex.hIcon, ex.hCursor,     ex.hbrBackground, ex.lpszMenuName, ex.lpszClassName};
  return TRUE;
}

int WINAPI GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
  auto lock = Lock();
  Window* w = FindWindowLocked(hWnd);
  if (!w || !lpClassName || nMaxCount <= 0) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  int n = std::min(int(w->cls->name.size()), nMaxCount - 1);
  std::memcpy(lpClassName, w->cls->name.data(), size_t(n));
  lpClassName[n] = '\0';
  return n;
}

ULONG_PTR WINAPI GetClassLongPtrA(HWND hWnd, int nIndex) {
  auto lock = Lock();
  Window* w = FindWindowLocked(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  WindowClass& c = *w->cls;
  switch (nIndex) {
    case GCLP_MENUNAME:
      return reinterpret_cast<ULONG_PTR>(c.menuName);
    case GCLP_HBRBACKGROUND:
      return reinterpret_cast<ULONG_PTR>(c.background);
    case GCLP_HCURSOR:
      return reinterpret_cast<ULONG_PTR>(c.cursor);
    case GCLP_HICON:
      return reinterpret_cast<ULONG_PTR>(c.icon);
    case GCLP_HICONSM:
      return reinterpret_cast<ULONG_PTR>(c.smallIcon);
    case GCLP_HMODULE:
      return reinterpret_cast<ULONG_PTR>(c.instance);
    case GCL_CBWNDEXTRA:
      return ULONG_PTR(c.windowExtraBytes);
    case GCL_CBCLSEXTRA:
      return ULONG_PTR(c.classExtraBytes);
    case GCLP_WNDPROC:
      return reinterpret_cast<ULONG_PTR>(c.proc);
    case GCL_STYLE:
      return c.style;
  }
  if (nIndex >= 0 && size_t(nIndex) + sizeof(LONG_PTR) <= c.classExtra.size()) {
    LONG_PTR v;
    std::memcpy(&v, c.classExtra.data() + nIndex, sizeof v);
    return ULONG_PTR(v);
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}

ULONG_PTR WINAPI SetClassLongPtrA(HWND hWnd, int nIndex, LONG_PTR v) {
  auto lock = Lock();
  Window* w = FindWindowLocked(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  WindowClass& c = *w->cls;
  // Stores the new value in the field and returns the old one, both as the
  // pointer-sized integers the call trades in.
  auto swap = [v](auto& field) {
    using T = std::remove_reference_t<decltype(field)>;
    ULONG_PTR old;
    if constexpr (std::is_pointer_v<T>) {
      old = reinterpret_cast<ULONG_PTR>(field);
      field = reinterpret_cast<T>(v);
    } else {
      old = ULONG_PTR(field);
      field = T(v);
    }
    return old;
  };
  switch (nIndex) {
    case GCLP_HBRBACKGROUND:
      return swap(c.background);
    case GCLP_HCURSOR:
      return swap(c.cursor);
    case GCLP_HICON:
      return swap(c.icon);
    case GCLP_HICONSM:
      return swap(c.smallIcon);
    case GCLP_WNDPROC:
      return swap(c.proc);
    case GCL_STYLE:
      return swap(c.style);
  }
  if (nIndex >= 0 && size_t(nIndex) + sizeof(LONG_PTR) <= c.classExtra.size()) {
    LONG_PTR old;
    std::memcpy(&old, c.classExtra.data() + nIndex, sizeof old);
    std::memcpy(c.classExtra.data() + nIndex, &v, sizeof v);
    return ULONG_PTR(old);
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return 0;
}

}  // extern "C"
