// Module resources. There is no resource compiler: a module registers C++
// tables of its menus, icons, bitmaps and dialog templates for its module
// handle (ModuleFromAddress of win32/quellor_host.h gives it), and the Load
// functions find them by number (MAKEINTRESOURCE) or by name.
#pragma once

#include <quellor/Export.h>

#include "types.h"
#include "windef.h"

#ifdef __cplusplus
extern "C" {
#endif

#define IDI_APPLICATION MAKEINTRESOURCEA(32512)
#define IDI_HAND MAKEINTRESOURCEA(32513)
#define IDI_QUESTION MAKEINTRESOURCEA(32514)
#define IDI_EXCLAMATION MAKEINTRESOURCEA(32515)
#define IDI_ASTERISK MAKEINTRESOURCEA(32516)
#define IDI_WINLOGO MAKEINTRESOURCEA(32517)
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_ERROR IDI_HAND
#define IDI_INFORMATION IDI_ASTERISK

#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define IMAGE_CURSOR 2
#define LR_DEFAULTCOLOR 0x00000000
#define LR_CREATEDIBSECTION 0x00002000
#define LR_DEFAULTSIZE 0x00000040
#define LR_SHARED 0x00008000

QUELLOR_EXPORT HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName);
QUELLOR_EXPORT BOOL WINAPI DestroyIcon(HICON hIcon);
QUELLOR_EXPORT BOOL WINAPI DestroyCursor(HCURSOR hCursor);
QUELLOR_EXPORT BOOL WINAPI DrawIcon(HDC hDC, int X, int Y, HICON hIcon);
QUELLOR_EXPORT HBITMAP WINAPI LoadBitmapA(HINSTANCE hInstance, LPCSTR lpBitmapName);
QUELLOR_EXPORT HANDLE WINAPI LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy,
                                        UINT fuLoad);

#ifdef __cplusplus
}

#include <cstdint>
#include <string>
#include <vector>

namespace quellor::win32 {

// A menu template item: a command, a separator (MF_SEPARATOR) or a popup
// (MF_POPUP, with its own items). flags take MF_ bits (MF_CHECKED, MF_GRAYED).
struct MenuTemplateItem {
  std::string text;
  UINT id = 0;
  UINT flags = 0;
  std::vector<MenuTemplateItem> items;
};

// Pixels of icons and bitmaps: 0xAARRGGBB words (blue byte first in memory),
// rows top-down. Icons use alpha as opacity; bitmaps ignore it.
struct PixelTemplate {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

// A dialog template: positions and sizes in dialog units (a quarter of the
// average character width and an eighth of the character height of the
// dialog's font). Controls are created in order, each a child with its
// identifier; classes are given by name ("BUTTON", "EDIT", ...).
struct DialogItemTemplate {
  std::string className;
  std::string text;
  WORD id = 0;
  DWORD style = 0;  // WS_CHILD is added
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
  std::string title;
  DWORD style = 0;  // WS_VISIBLE shows a modeless dialog once it is initialised
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::string fontName = "MS Shell Dlg";
  WORD pointSize = 8;
  std::vector<DialogItemTemplate> items;
};

// Registration; a later registration of the same module and number replaces
// the earlier one. A name that is not a number is kept as text.
QUELLOR_EXPORT void RegisterMenuResource(HMODULE module, LPCSTR name,
                                         std::vector<MenuTemplateItem> items);
QUELLOR_EXPORT void RegisterIconResource(HMODULE module, LPCSTR name, PixelTemplate icon);
// Cursors are pictures like icons; LoadCursorA finds them.
QUELLOR_EXPORT void RegisterCursorResource(HMODULE module, LPCSTR name, PixelTemplate cursor);
QUELLOR_EXPORT void RegisterBitmapResource(HMODULE module, LPCSTR name, PixelTemplate bitmap);
QUELLOR_EXPORT void RegisterDialogResource(HMODULE module, LPCSTR name, DialogTemplate dialog);

}  // namespace quellor::win32
#endif
