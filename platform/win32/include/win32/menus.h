// USER32 menus: popup menus built at run time or loaded from a module's
// resources (win32/resources.h), check marks, and TrackPopupMenu, which shows
// a menu as a popup window and runs its own modal loop until an item is
// chosen or the menu is dismissed.
#pragma once

#include <quellor/Export.h>

#include "types.h"
#include "windef.h"

#ifdef __cplusplus
extern "C" {
#endif

#define MF_INSERT 0x00000000L
#define MF_CHANGE 0x00000080L
#define MF_APPEND 0x00000100L
#define MF_DELETE 0x00000200L
#define MF_REMOVE 0x00001000L
#define MF_BYCOMMAND 0x00000000L
#define MF_BYPOSITION 0x00000400L
#define MF_SEPARATOR 0x00000800L
#define MF_ENABLED 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_UNCHECKED 0x00000000L
#define MF_CHECKED 0x00000008L
#define MF_STRING 0x00000000L
#define MF_BITMAP 0x00000004L
#define MF_OWNERDRAW 0x00000100L
#define MF_POPUP 0x00000010L
#define MF_MENUBARBREAK 0x00000020L
#define MF_MENUBREAK 0x00000040L
#define MF_UNHILITE 0x00000000L
#define MF_HILITE 0x00000080L
#define MF_DEFAULT 0x00001000L

#define TPM_LEFTBUTTON 0x0000L
#define TPM_RIGHTBUTTON 0x0002L
#define TPM_LEFTALIGN 0x0000L
#define TPM_CENTERALIGN 0x0004L
#define TPM_RIGHTALIGN 0x0008L
#define TPM_TOPALIGN 0x0000L
#define TPM_VCENTERALIGN 0x0010L
#define TPM_BOTTOMALIGN 0x0020L
#define TPM_NONOTIFY 0x0080L
#define TPM_RETURNCMD 0x0100L

// WM_ENTERIDLE wParam: the kind of modal loop that has gone idle.
#define MSGF_DIALOGBOX 0
#define MSGF_MENU 2

QUELLOR_EXPORT HMENU WINAPI CreateMenu(void);
QUELLOR_EXPORT HMENU WINAPI CreatePopupMenu(void);
QUELLOR_EXPORT BOOL WINAPI DestroyMenu(HMENU hMenu);
QUELLOR_EXPORT BOOL WINAPI IsMenu(HMENU hMenu);
QUELLOR_EXPORT BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem,
                                       LPCSTR lpNewItem);
QUELLOR_EXPORT BOOL WINAPI InsertMenuA(HMENU hMenu, UINT uPosition, UINT uFlags,
                                       UINT_PTR uIDNewItem, LPCSTR lpNewItem);
QUELLOR_EXPORT BOOL WINAPI DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
QUELLOR_EXPORT BOOL WINAPI RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
QUELLOR_EXPORT HMENU WINAPI GetSubMenu(HMENU hMenu, int nPos);
QUELLOR_EXPORT int WINAPI GetMenuItemCount(HMENU hMenu);
QUELLOR_EXPORT UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos);
QUELLOR_EXPORT UINT WINAPI GetMenuState(HMENU hMenu, UINT uId, UINT uFlags);
QUELLOR_EXPORT int WINAPI GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax,
                                         UINT flags);
QUELLOR_EXPORT DWORD WINAPI CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck);
QUELLOR_EXPORT BOOL WINAPI EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable);
QUELLOR_EXPORT BOOL WINAPI TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved,
                                          HWND hWnd, const RECT* prcRect);
QUELLOR_EXPORT HMENU WINAPI LoadMenuA(HINSTANCE hInstance, LPCSTR lpMenuName);

#ifdef __cplusplus
}
#endif
