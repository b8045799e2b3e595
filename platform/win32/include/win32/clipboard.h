// USER32 clipboard and clipboard viewer chain. The clipboard is shared by all
// threads of the process; text, bitmaps, device-independent bitmaps and
// enhanced metafiles can be put on it, and Windows' conversions between
// CF_BITMAP and CF_DIB are made when the other form is asked for.
#pragma once

#include <quellor/Export.h>

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

QUELLOR_EXPORT BOOL WINAPI OpenClipboard(HWND hWndNewOwner);
QUELLOR_EXPORT BOOL WINAPI CloseClipboard(void);
QUELLOR_EXPORT BOOL WINAPI EmptyClipboard(void);
QUELLOR_EXPORT HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem);
QUELLOR_EXPORT HANDLE WINAPI GetClipboardData(UINT uFormat);
QUELLOR_EXPORT BOOL WINAPI IsClipboardFormatAvailable(UINT format);
QUELLOR_EXPORT int WINAPI GetPriorityClipboardFormat(UINT* paFormatPriorityList, int cFormats);
QUELLOR_EXPORT int WINAPI CountClipboardFormats(void);
QUELLOR_EXPORT UINT WINAPI EnumClipboardFormats(UINT format);
QUELLOR_EXPORT HWND WINAPI GetClipboardOwner(void);
QUELLOR_EXPORT HWND WINAPI GetOpenClipboardWindow(void);

QUELLOR_EXPORT HWND WINAPI SetClipboardViewer(HWND hWndNewViewer);
QUELLOR_EXPORT HWND WINAPI GetClipboardViewer(void);
QUELLOR_EXPORT BOOL WINAPI ChangeClipboardChain(HWND hWndRemove, HWND hWndNewNext);

#ifdef __cplusplus
}
#endif
