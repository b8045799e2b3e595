// USER32 dialog boxes made from dialog templates (win32/resources.h):
// modeless (CreateDialogParamA) and modal (DialogBoxParamA, which disables
// the owner and runs its own loop until EndDialog), the dialog manager's
// keyboard handling (IsDialogMessageA: Tab, Enter, Escape, arrows in groups)
// and the item helpers.
#pragma once

#include <quellor/Export.h>

#include "types.h"
#include "windef.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);

#define DS_ABSALIGN 0x01L
#define DS_SYSMODAL 0x02L
#define DS_3DLOOK 0x0004L
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define DS_SETFOREGROUND 0x200L
#define DS_CONTROL 0x0400L
#define DS_CENTER 0x0800L

// Extra bytes of the dialog class: the message result, the dialog procedure
// and a value for the program, each pointer-sized.
#define DWLP_MSGRESULT 0
#define DWLP_DLGPROC 8
#define DWLP_USER 16
#define DLGWINDOWEXTRA 32

#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B

QUELLOR_EXPORT HWND WINAPI CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName,
                                              HWND hWndParent, DLGPROC lpDialogFunc,
                                              LPARAM dwInitParam);
#define CreateDialogA(i, t, p, f) CreateDialogParamA(i, t, p, f, 0)
QUELLOR_EXPORT INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName,
                                              HWND hWndParent, DLGPROC lpDialogFunc,
                                              LPARAM dwInitParam);
#define DialogBoxA(i, t, p, f) DialogBoxParamA(i, t, p, f, 0)
QUELLOR_EXPORT BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult);
QUELLOR_EXPORT LRESULT WINAPI DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam);
QUELLOR_EXPORT BOOL WINAPI IsDialogMessageA(HWND hDlg, LPMSG lpMsg);
QUELLOR_EXPORT BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect);
QUELLOR_EXPORT LONG WINAPI GetDialogBaseUnits(void);
QUELLOR_EXPORT HWND WINAPI GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious);
QUELLOR_EXPORT HWND WINAPI GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious);

QUELLOR_EXPORT BOOL WINAPI SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString);
QUELLOR_EXPORT UINT WINAPI GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax);
QUELLOR_EXPORT BOOL WINAPI SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned);
QUELLOR_EXPORT UINT WINAPI GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated,
                                         BOOL bSigned);
QUELLOR_EXPORT BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck);
QUELLOR_EXPORT UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton);
QUELLOR_EXPORT BOOL WINAPI CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton,
                                            int nIDCheckButton);
QUELLOR_EXPORT LRESULT WINAPI SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg,
                                                  WPARAM wParam, LPARAM lParam);

#ifdef __cplusplus
}
#endif
