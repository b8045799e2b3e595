// What the input and output settings dialogs share: the template registered
// under the carrier's module and number and shown modally, the dialog
// procedure (value notifications refresh the dialog, the carrier's extra
// controls see each command first, Cancel and the close box close it), and
// the order of opening and closing around the carrier's extras.
#pragma once

#include "settingsdialogs/DialogContext.h"
#include "win32/resources.h"

namespace quellor::settingsdialogs {

// The value sliders and edits of both dialogs: -127..127, ticks 32 apart.
inline constexpr double kValueMinimum = -127.0;
inline constexpr double kValueMaximum = 127.0;
inline constexpr int kSliderTicks = 32;
inline constexpr int kSliderFlags = 0;

class SettingsDialog {
 public:
  SettingsDialog(const SettingsDialog&) = delete;
  SettingsDialog& operator=(const SettingsDialog&) = delete;

 protected:
  explicit SettingsDialog(DialogContext context) : context_(std::move(context)) {}
  virtual ~SettingsDialog() = default;

  // Registers `dialogTemplate` (after the extras adjusted it) as the
  // context's resource, or `ownResource`, of the context's module, or of
  // this library's, and shows it modally over `owner`.
  INT_PTR Show(HWND owner, WORD ownResource, win32::DialogTemplate dialogTemplate);

  // Makes the dialog a dependant of every value it shows (add), or no
  // longer one.
  virtual void Watch(bool add) = 0;
  // The dialog's own opening work (controls, values watched), before the
  // extras open and the first refresh.
  virtual void Opened() = 0;
  // Shows the values in force and sends them to the board.
  virtual void Refresh() = 0;
  // A command that the extras did not take and that is not Cancel.
  virtual void Command(WORD id, WORD code) = 0;
  // The dialog's own closing work, after the values are no longer watched.
  virtual void Closed() {}

  // Extras, values, the dialog's own work, then the end of the dialog.
  void Close();

  template <class Setting>
  void WatchValue(Setting& value, bool add) {
    if (add)
      value.AddDependant(dialog_);
    else
      value.RemoveDependant(dialog_);
  }

  DialogContext context_;
  HWND dialog_ = nullptr;

 private:
  static INT_PTR CALLBACK Procedure(HWND, UINT, WPARAM, LPARAM);
  void Open(HWND dialog);
};

}  // namespace quellor::settingsdialogs
