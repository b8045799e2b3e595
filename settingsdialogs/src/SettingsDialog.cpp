#include "settingsdialogs/SettingsDialog.h"

#include <utility>

#include "settingsdialogs/DialogExtras.h"
#include "widgets/ValueControls.h"

namespace quellor::settingsdialogs {

INT_PTR SettingsDialog::Show(HWND owner, WORD ownResource, win32::DialogTemplate dialogTemplate) {
  HMODULE module = context_.module ? context_.module : OwnModule();
  WORD resource = context_.resource ? context_.resource : ownResource;
  if (context_.extras) context_.extras->AdjustTemplate(dialogTemplate);
  win32::RegisterDialogResource(module, MAKEINTRESOURCEA(resource), std::move(dialogTemplate));
  return DialogBoxParamA(module, MAKEINTRESOURCEA(resource), owner, Procedure,
                         reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK SettingsDialog::Procedure(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* self = reinterpret_cast<SettingsDialog*>(lParam);
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    self->Open(dialog);
    return TRUE;
  }
  auto* self = reinterpret_cast<SettingsDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!self) return FALSE;
  switch (msg) {
    case widgets::kValueChanged:
      // A value's notification carries its address; the dialog manager's
      // own message of this number (DM_SETDEFID) carries none.
      if (lParam == 0) return FALSE;
      self->Refresh();
      return TRUE;
    case widgets::kValueChanging:
      return lParam != 0;
    case WM_COMMAND: {
      const WORD id = LOWORD(wParam), code = HIWORD(wParam);
      if (self->context_.extras && self->context_.extras->Command(dialog, id, code)) return TRUE;
      if (id == IDCANCEL)
        self->Close();
      else
        self->Command(id, code);
      return TRUE;
    }
    case WM_CLOSE:
      self->Close();
      return TRUE;
    default:
      return FALSE;
  }
}

void SettingsDialog::Open(HWND dialog) {
  dialog_ = dialog;
  Opened();
  if (context_.extras) context_.extras->Opened(dialog);
  Refresh();
}

void SettingsDialog::Close() {
  if (context_.extras) context_.extras->Closing(dialog_);
  Watch(false);
  Closed();
  EndDialog(dialog_, IDCANCEL);
}

}  // namespace quellor::settingsdialogs
