// USER32 clipboard and clipboard viewer chain. The clipboard is shared by all
// threads of the process; text, bitmaps, device-independent bitmaps and
// enhanced metafiles can be put on it, and Windows' conversions between
// CF_BITMAP and CF_DIB are made when the other form is asked for.
#pragma once

#include "types.h"
#include "windef.h"

#ifdef __cplusplus
extern "C" {
#endif

#define CF_TEXT 1
#define CF_BITMAP 2
#define CF_DIB 8
#define CF_ENHMETAFILE 14

#define WM_DESTROYCLIPBOARD 0x0307

BOOL WINAPI OpenClipboard(HWND hWndNewOwner);
BOOL WINAPI CloseClipboard(void);
BOOL WINAPI EmptyClipboard(void);
HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem);
HANDLE WINAPI GetClipboardData(UINT uFormat);
BOOL WINAPI IsClipboardFormatAvailable(UINT format);
int WINAPI GetPriorityClipboardFormat(UINT* paFormatPriorityList, int cFormats);
int WINAPI CountClipboardFormats(void);
UINT WINAPI EnumClipboardFormats(UINT format);
HWND WINAPI GetClipboardOwner(void);
HWND WINAPI GetOpenClipboardWindow(void);

HWND WINAPI SetClipboardViewer(HWND hWndNewViewer);
HWND WINAPI GetClipboardViewer(void);
BOOL WINAPI ChangeClipboardChain(HWND hWndRemove, HWND hWndNewNext);

#ifdef __cplusplus
}
#endif
