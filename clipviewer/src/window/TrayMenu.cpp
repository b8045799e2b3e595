// The tray menu's check marks, set by position before the menu is shown.
#include "app/ClipViewer.h"
#include "app/ViewerTexts.h"
#include "win32/menus.h"

namespace quellor::clipviewer {
namespace {
void Check(HMENU popup, UINT position, bool checked) {
  CheckMenuItem(popup, position, MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
}
}  // namespace

void ClipViewer::SetMenuChecks(HMENU popup) const {
  if (popup == nullptr) return;
  Check(popup, kMenuPosEnabled, clipboardEnabled != 0);
  Check(popup, kMenuPosStretchFit, resizeMode == 0);
  Check(popup, kMenuPosOneToOne, resizeMode == 1);
  Check(popup, kMenuPosDeInterlace, deInterlace != 0);
}

void ClipViewer::ShowTrayMenu() {
  HMENU menu = LoadMenuA(module_, MAKEINTRESOURCEA(kMenuResource));
  if (menu == nullptr) return;
  HMENU popup = GetSubMenu(menu, 0);
  SetMenuChecks(popup);
  POINT cursor = {};
  GetCursorPos(&cursor);
  TrackPopupMenu(popup, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, mainWindow_, nullptr);
  DestroyMenu(menu);
}

}  // namespace quellor::clipviewer
