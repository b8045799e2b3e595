// The dialog window class "#32770" and the state of each dialog.
#pragma once

#include <memory>

#include "windows.h"

namespace quellor::win32 {

struct DialogState {
  DLGPROC proc = nullptr;
  HFONT font = nullptr;
  bool ownsFont = false;
  SIZE baseUnits{4, 8};  // average character width and height, in pixels
  bool modal = false;
  bool ended = false;
  INT_PTR result = 0;
  HWND lastFocus = nullptr;
};

std::shared_ptr<DialogState> DialogStateOf(HWND dialog);
// Makes the dialog window and its controls from a template and sends
// WM_INITDIALOG; null when a control cannot be made.
HWND CreateDialogFromTemplate(HINSTANCE instance, const DialogTemplate& tpl, HWND owner,
                              DLGPROC proc, LPARAM param, std::shared_ptr<DialogState> state);

}  // namespace quellor::win32
