// Creating and running dialogs, and the dialog manager's keyboard handling.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "DialogWindow.h"
#include "window/modal/ModalLoop.h"
#include "window/resources/ResourceRegistry.h"

#ifndef ERROR_RESOURCE_NAME_NOT_FOUND
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#endif

using namespace quellor::win32;

namespace {

std::vector<HWND> Controls(HWND dialog) {
  std::vector<HWND> out;
  for (HWND h = GetWindow(dialog, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) out.push_back(h);
  return out;
}

bool CanTakeFocus(HWND h) {
  LONG style = GetWindowLongA(h, GWL_STYLE);
  return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

HWND CreateFromResource(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param,
                        std::shared_ptr<DialogState> state) {
  auto tpl = FindDialogResource(instance, name);
  if (!tpl) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  return CreateDialogFromTemplate(instance, *tpl, owner, proc, param, std::move(state));
}

// Enter: the focused push button, else the default button, else IDOK.
void PressEnter(HWND dialog) {
  HWND focus = GetFocus();
  int id = IDOK;
  if (focus && IsChild(dialog, focus) &&
      (SendMessageA(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
    id = GetDlgCtrlID(focus);
  } else if (LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0); HIWORD(def) == DC_HASDEFID) {
    id = LOWORD(def);
  }
  HWND button = GetDlgItem(dialog, id);
  if (button && !IsWindowEnabled(button)) {
    MessageBeep(0);
    return;
  }
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

void FocusControl(HWND control) {
  if (!control) return;
  SetFocus(control);
  // Tabbing into an edit selects its text.
  if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
    SendMessageA(control, EM_SETSEL, 0, -1);
}

// Arrows move within a group; a radio button reached this way is clicked.
void MoveInGroup(HWND dialog, HWND from, bool previous) {
  HWND to = GetNextDlgGroupItem(dialog, from, previous);
  if (!to || to == from) return;
  SetFocus(to);
  LRESULT code = SendMessageA(to, WM_GETDLGCODE, 0, 0);
  if ((code & DLGC_RADIOBUTTON) &&
      (GetWindowLongA(to, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
    SendMessageA(to, BM_CLICK, 0, 0);
}

}  // namespace

extern "C" {

HWND WINAPI CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  return CreateFromResource(hInstance, lpTemplateName, hWndParent, lpDialogFunc, dwInitParam,
                            std::make_shared<DialogState>());
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  HWND owner = hWndParent ? GetAncestor(hWndParent, GA_ROOT) : nullptr;
  auto state = std::make_shared<DialogState>();
  state->modal = true;
  // The owner takes no input while the dialog runs.
  bool disabledOwner = owner && IsWindowEnabled(owner);
  if (disabledOwner) EnableWindow(owner, FALSE);
  HWND dialog =
      CreateFromResource(hInstance, lpTemplateName, owner, lpDialogFunc, dwInitParam, state);
  if (!dialog) {
    if (disabledOwner) EnableWindow(owner, TRUE);
    return -1;
  }
  if (!state->ended) {
    ShowWindow(dialog, SW_SHOW);
    SetActiveWindow(dialog);
    UpdateWindow(dialog);
  }
  MSG msg;
  while (!state->ended && IsWindow(dialog)) {
    ModalNext next = NextModalMessage(msg, owner, MSGF_DIALOGBOX, dialog, state->ended);
    if (next != ModalNext::Message) break;
    if (!IsDialogMessageA(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  // The owner is enabled before the dialog goes, so that it becomes active.
  if (disabledOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (IsWindow(dialog)) DestroyWindow(dialog);
  if (owner && IsWindow(owner)) SetActiveWindow(owner);
  return state->ended ? state->result : -1;
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
  auto state = DialogStateOf(hDlg);
  if (!state) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  state->ended = true;
  state->result = nResult;
  // A modal dialog is hidden now and destroyed when its loop ends.
  if (state->modal) ShowWindow(hDlg, SW_HIDE);
  return TRUE;
}

BOOL WINAPI IsDialogMessageA(HWND hDlg, LPMSG lpMsg) {
  if (!lpMsg || !IsWindow(hDlg)) return FALSE;
  if (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd)) return FALSE;
  if (lpMsg->message == WM_KEYDOWN) {
    LRESULT code = lpMsg->hwnd ? SendMessageA(lpMsg->hwnd, WM_GETDLGCODE, lpMsg->wParam,
                                              reinterpret_cast<LPARAM>(lpMsg))
                               : 0;
    if (!(code & DLGC_WANTALLKEYS)) {
      switch (lpMsg->wParam) {
        case VK_TAB:
          if (code & DLGC_WANTTAB) break;
          FocusControl(GetNextDlgTabItem(hDlg, GetFocus(), GetKeyState(VK_SHIFT) < 0));
          return TRUE;
        case VK_RETURN:
          PressEnter(hDlg);
          return TRUE;
        case VK_ESCAPE:
          SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDCANCEL)));
          return TRUE;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
          if (code & DLGC_WANTARROWS) break;
          MoveInGroup(hDlg, GetFocus(), lpMsg->wParam == VK_LEFT || lpMsg->wParam == VK_UP);
          return TRUE;
      }
    }
  }
  TranslateMessage(lpMsg);
  DispatchMessageA(lpMsg);
  return TRUE;
}

HWND WINAPI GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
  std::vector<HWND> controls = Controls(hDlg);
  if (controls.empty()) return nullptr;
  size_t n = controls.size(), start = n - 1;
  for (size_t i = 0; i < n; ++i) {
    if (controls[i] == hCtl) start = i;
  }
  if (!hCtl && bPrevious) start = 0;
  for (size_t k = 1; k <= n; ++k) {
    size_t i = bPrevious ? (start + n - k) % n : (start + k) % n;
    HWND h = controls[i];
    if ((GetWindowLongA(h, GWL_STYLE) & WS_TABSTOP) && CanTakeFocus(h)) return h;
  }
  return hCtl;
}

HWND WINAPI GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
  std::vector<HWND> controls = Controls(hDlg);
  size_t self = 0;
  while (self < controls.size() && controls[self] != hCtl) ++self;
  if (self == controls.size()) return nullptr;
  // The group: from the nearest WS_GROUP control at or before, to the next.
  size_t first = self;
  while (first > 0 && !(GetWindowLongA(controls[first], GWL_STYLE) & WS_GROUP)) --first;
  size_t last = self + 1;
  while (last < controls.size() && !(GetWindowLongA(controls[last], GWL_STYLE) & WS_GROUP)) ++last;
  size_t n = last - first;
  for (size_t k = 1; k < n; ++k) {
    size_t i = first + (bPrevious ? (self - first + n - k) % n : (self - first + k) % n);
    if (CanTakeFocus(controls[i])) return controls[i];
  }
  return hCtl;
}

BOOL WINAPI SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  return item ? SetWindowTextA(item, lpString) : FALSE;
}

UINT WINAPI GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
  if (lpString && cchMax > 0) lpString[0] = '\0';
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  return item ? UINT(GetWindowTextA(item, lpString, cchMax)) : 0;
}

BOOL WINAPI SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned) {
  char text[16];
  if (bSigned)
    std::snprintf(text, sizeof text, "%d", int(uValue));
  else
    std::snprintf(text, sizeof text, "%u", uValue);
  return SetDlgItemTextA(hDlg, nIDDlgItem, text);
}

UINT WINAPI GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned) {
  char text[64];
  if (lpTranslated) *lpTranslated = FALSE;
  if (!GetDlgItemTextA(hDlg, nIDDlgItem, text, sizeof text)) return 0;
  char* end = nullptr;
  long long v = std::strtoll(text, &end, 10);
  while (end && *end == ' ') ++end;
  if (end == text || (end && *end) || (!bSigned && v < 0) || v > 0xFFFFFFFFLL ||
      (bSigned && (v < -2147483648LL || v > 2147483647LL)))
    return 0;
  if (lpTranslated) *lpTranslated = TRUE;
  return UINT(v);
}

BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
  HWND item = GetDlgItem(hDlg, nIDButton);
  if (!item) return FALSE;
  SendMessageA(item, BM_SETCHECK, uCheck, 0);
  return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton) {
  HWND item = GetDlgItem(hDlg, nIDButton);
  return item ? UINT(SendMessageA(item, BM_GETCHECK, 0, 0)) : 0;
}

BOOL WINAPI CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
  bool any = false;
  for (HWND h : Controls(hDlg)) {
    int id = GetDlgCtrlID(h);
    if (id < nIDFirstButton || id > nIDLastButton) continue;
    SendMessageA(h, BM_SETCHECK, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED, 0);
    any = true;
  }
  return any ? TRUE : FALSE;
}

LRESULT WINAPI SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam,
                                   LPARAM lParam) {
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  return item ? SendMessageA(item, Msg, wParam, lParam) : 0;
}

}  // extern "C"
