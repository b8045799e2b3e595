#include "DialogWindow.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <string>

namespace quellor::win32 {
namespace {

const char kDialogClass[] = "#32770";

std::mutex gMutex;
std::map<HWND, std::shared_ptr<DialogState>>& States() {
  static std::map<HWND, std::shared_ptr<DialogState>> states;
  return states;
}

// Messages whose answer is the dialog procedure's own return value rather
// than DWLP_MSGRESULT.
bool ReturnsDirectly(UINT msg) {
  return msg == WM_INITDIALOG || (msg >= WM_CTLCOLOREDIT && msg <= WM_CTLCOLORSTATIC) ||
         msg == WM_CTLCOLORSTATIC;
}

HWND DefaultButton(HWND dialog) {
  for (HWND h = GetWindow(dialog, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) return h;
  }
  return nullptr;
}

SIZE BaseUnitsOf(HFONT font) {
  HDC hdc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(hdc, font);
  TEXTMETRICA tm{};
  GetTextMetricsA(hdc, &tm);
  SIZE extent{0, 0};
  const char sample[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  GetTextExtentPoint32A(hdc, sample, 52, &extent);
  SelectObject(hdc, old);
  DeleteDC(hdc);
  // Windows' rule: the average of the 52 letters, rounded.
  return SIZE{std::max<LONG>(1, (extent.cx / 26 + 1) / 2), std::max<LONG>(1, tm.tmHeight)};
}

RECT ToPixels(const SIZE& base, short x, short y, short cx, short cy) {
  LONG left = x * base.cx / 4, top = y * base.cy / 8;
  return RECT{left, top, left + cx * base.cx / 4, top + cy * base.cy / 8};
}

LRESULT CALLBACK DialogClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* holder = static_cast<std::shared_ptr<DialogState>*>(cs->lpCreateParams);
    if (holder) {
      std::lock_guard<std::mutex> lock(gMutex);
      States()[hwnd] = *holder;
    }
  }
  return DefDlgProcA(hwnd, msg, wParam, lParam);
}

void RegisterDialogClass() {
  static std::once_flag once;
  std::call_once(once, [] {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS | CS_SAVEBITS | CS_GLOBALCLASS;
    wc.lpfnWndProc = DialogClassProc;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kDialogClass;
    RegisterClassA(&wc);
  });
}

}  // namespace

std::shared_ptr<DialogState> DialogStateOf(HWND dialog) {
  std::lock_guard<std::mutex> lock(gMutex);
  auto it = States().find(dialog);
  return it == States().end() ? nullptr : it->second;
}

HWND CreateDialogFromTemplate(HINSTANCE instance, const DialogTemplate& tpl, HWND owner,
                              DLGPROC proc, LPARAM param, std::shared_ptr<DialogState> state) {
  RegisterDialogClass();
  // The font of the template, at 96 pixels an inch.
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  int height = -(tpl.pointSize * (dpi > 0 ? dpi : 96) + 36) / 72;
  state->font = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0,
                            DEFAULT_QUALITY, DEFAULT_PITCH, tpl.fontName.c_str());
  state->ownsFont = state->font != nullptr;
  if (!state->font) state->font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  state->baseUnits = BaseUnitsOf(state->font);
  DWORD style = tpl.style & ~DWORD(WS_VISIBLE);
  DWORD exStyle = tpl.exStyle | ((tpl.style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0);
  RECT client = ToPixels(state->baseUnits, 0, 0, tpl.cx, tpl.cy);
  RECT frame = client;
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  RECT at = ToPixels(state->baseUnits, tpl.x, tpl.y, 0, 0);
  int x = at.left, y = at.top, w = frame.right - frame.left, h = frame.bottom - frame.top;
  if (tpl.style & DS_CENTER) {
    x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
    y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  } else if (owner && !(tpl.style & DS_ABSALIGN) && !(style & WS_CHILD)) {
    POINT origin{0, 0};
    ClientToScreen(owner, &origin);
    x += origin.x;
    y += origin.y;
  }
  auto holder = state;
  HWND dialog = CreateWindowExA(exStyle, kDialogClass, tpl.title.c_str(), style, x, y, w, h, owner,
                                nullptr, instance, &holder);
  if (!dialog) return nullptr;
  SendMessageA(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(state->font), FALSE);
  for (const DialogItemTemplate& item : tpl.items) {
    RECT r = ToPixels(state->baseUnits, item.x, item.y, item.cx, item.cy);
    HWND control =
        CreateWindowExA(item.exStyle, item.className.c_str(), item.text.c_str(),
                        item.style | WS_CHILD, r.left, r.top, r.right - r.left, r.bottom - r.top,
                        dialog, reinterpret_cast<HMENU>(uintptr_t(item.id)), instance, nullptr);
    if (!control) {
      // As on Windows, a control that cannot be made fails the dialog.
      DestroyWindow(dialog);
      return nullptr;
    }
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(state->font), FALSE);
  }
  state->proc = proc;
  SetWindowLongPtrA(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
  HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
  if (proc && proc(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && first) {
    SetFocus(first);
  }
  if (!IsWindow(dialog)) return nullptr;
  if (tpl.style & WS_VISIBLE) ShowWindow(dialog, SW_SHOW);
  return dialog;
}

}  // namespace quellor::win32

using namespace quellor::win32;

extern "C" LRESULT WINAPI DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
  auto state = DialogStateOf(hDlg);
  if (state && state->proc) {
    SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, 0);
    INT_PTR handled = state->proc(hDlg, Msg, wParam, lParam);
    if (handled) {
      return ReturnsDirectly(Msg) ? LRESULT(handled) : GetWindowLongPtrA(hDlg, DWLP_MSGRESULT);
    }
  }
  switch (Msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hDlg, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_CLOSE:
      // Closing a dialog is cancelling it.
      SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDCANCEL)));
      return 0;
    case WM_GETFONT:
      return state ? reinterpret_cast<LRESULT>(state->font) : 0;
    case DM_GETDEFID: {
      HWND button = DefaultButton(hDlg);
      return button ? MAKELRESULT(WORD(GetDlgCtrlID(button)), DC_HASDEFID) : 0;
    }
    case WM_ACTIVATE:
      // Focus goes back to the control that had it, not to the dialog.
      if (LOWORD(wParam) != WA_INACTIVE && state) {
        HWND target = state->lastFocus && IsChild(hDlg, state->lastFocus)
                          ? state->lastFocus
                          : GetNextDlgTabItem(hDlg, nullptr, FALSE);
        if (target && GetFocus() != target && !IsChild(hDlg, GetFocus())) SetFocus(target);
        return 0;
      }
      if (LOWORD(wParam) == WA_INACTIVE && state && IsChild(hDlg, GetFocus()))
        state->lastFocus = GetFocus();
      return 0;
    case WM_NCDESTROY: {
      std::shared_ptr<DialogState> gone;
      {
        std::lock_guard<std::mutex> lock(gMutex);
        auto it = States().find(hDlg);
        if (it != States().end()) {
          gone = it->second;
          States().erase(it);
        }
      }
      if (gone && gone->ownsFont) {
        DeleteObject(gone->font);
        gone->ownsFont = false;
      }
      break;
    }
  }
  return DefWindowProcA(hDlg, Msg, wParam, lParam);
}

extern "C" BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect) {
  auto state = DialogStateOf(hDlg);
  if (!state || !lpRect) return FALSE;
  const SIZE& b = state->baseUnits;
  *lpRect = RECT{lpRect->left * b.cx / 4, lpRect->top * b.cy / 8, lpRect->right * b.cx / 4,
                 lpRect->bottom * b.cy / 8};
  return TRUE;
}

extern "C" LONG WINAPI GetDialogBaseUnits(void) {
  static const SIZE base = BaseUnitsOf(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
  return MAKELONG(WORD(base.cx), WORD(base.cy));
}
