#include "window/TrayMenu.h"

#include "app/ViewerTexts.h"
#include "win32/menus.h"

namespace quellor::clipviewer {
namespace {
void Check(HMENU popup, UINT position, bool checked) {
  CheckMenuItem(popup, position, MF_BYPOSITION | (checked ? MF_CHECKED : MF_UNCHECKED));
}
}  // namespace

void TrayMenu::SetChecks(HMENU popup, const ViewerState& state) {
  if (popup == nullptr) return;
  Check(popup, kMenuPosEnabled, state.clipboardEnabled);
  Check(popup, kMenuPosStretchFit, state.resizeMode == ResizeMode::StretchToFit);
  Check(popup, kMenuPosOneToOne, state.resizeMode == ResizeMode::OneToOne);
  Check(popup, kMenuPosDeInterlace, state.deInterlace);
}

void TrayMenu::Show(HWND owner, const ViewerState& state) const {
  HMENU menu = LoadMenuA(module_, MAKEINTRESOURCEA(kMenuResource));
  if (menu == nullptr) return;
  HMENU popup = GetSubMenu(menu, 0);
  SetChecks(popup, state);
  POINT cursor = {};
  GetCursorPos(&cursor);
  TrackPopupMenu(popup, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
  DestroyMenu(menu);
}

}  // namespace quellor::clipviewer
