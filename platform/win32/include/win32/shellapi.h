// SHELL32: the notification-area (tray) icon and files dropped on windows.
// The tray is kept in memory; win32/automation/Shell.h clicks icons, reads their
// tips and drops files.
#pragma once

#include <quellor/Export.h>

#include <stddef.h>

#include "types.h"
#include "windef.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _NOTIFYICONDATAA {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  CHAR szTip[128];  // 64 characters in the first version of the record
  DWORD dwState;
  DWORD dwStateMask;
  CHAR szInfo[256];
  __extension__ union {
    UINT uTimeout;
    UINT uVersion;
  };
  CHAR szInfoTitle[64];
  DWORD dwInfoFlags;
} NOTIFYICONDATAA, *PNOTIFYICONDATAA;
typedef NOTIFYICONDATAA NOTIFYICONDATA;

// The size of the first version of the record, whose tip holds 64 characters.
#define NOTIFYICONDATAA_V1_SIZE (offsetof(NOTIFYICONDATAA, szTip) + 64)

#define NIM_ADD 0x00000000
#define NIM_MODIFY 0x00000001
#define NIM_DELETE 0x00000002

#define NIF_MESSAGE 0x00000001
#define NIF_ICON 0x00000002
#define NIF_TIP 0x00000004

QUELLOR_EXPORT BOOL WINAPI Shell_NotifyIconA(DWORD dwMessage, PNOTIFYICONDATAA lpData);

QUELLOR_DECLARE_HANDLE(HDROP);

QUELLOR_EXPORT void WINAPI DragAcceptFiles(HWND hWnd, BOOL fAccept);
// iFile 0xFFFFFFFF gives the number of files; a null buffer gives the length
// of a name without its terminating zero.
QUELLOR_EXPORT UINT WINAPI DragQueryFileA(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch);
QUELLOR_EXPORT BOOL WINAPI DragQueryPoint(HDROP hDrop, LPPOINT lppt);
QUELLOR_EXPORT void WINAPI DragFinish(HDROP hDrop);

#ifdef __cplusplus
}
#endif
