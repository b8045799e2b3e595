// What a program that carries the board settings dialogs adds to them: more
// controls in the dialog template and the handling of those controls. The
// clipboard viewer adds nothing; the editor plug-in adds its recording and
// preview check boxes through this hook.
#pragma once

#include "win32/resources.h"
#include "windows.h"

namespace quellor::settingsdialogs {

class DialogExtras {
 public:
  virtual ~DialogExtras() = default;
  // Changes the template before the dialog is made: add items, grow the
  // dialog, or replace an item the carrier gives another meaning.
  virtual void AdjustTemplate(win32::DialogTemplate& dialog) { (void)dialog; }
  // The dialog is shown and its own controls are set.
  virtual void Opened(HWND dialog) { (void)dialog; }
  // A WM_COMMAND; true when the extras handled it (the dialog then does
  // nothing more with it).
  virtual bool Command(HWND dialog, WORD id, WORD code) {
    (void)dialog;
    (void)id;
    (void)code;
    return false;
  }
  // Just before the dialog ends (its controls still exist).
  virtual void Closing(HWND dialog) { (void)dialog; }
};

}  // namespace quellor::settingsdialogs
