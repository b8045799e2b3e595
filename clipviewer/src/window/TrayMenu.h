// The tray menu: the first popup of menu resource 102, loaded afresh each time
// it is shown, its check marks set by position from the viewer's state.
#pragma once

#include "app/ViewerState.h"
#include "windows.h"

namespace quellor::clipviewer {

class TrayMenu {
 public:
  explicit TrayMenu(HMODULE module) : module_(module) {}

  // Enabled (position 0), Stretch Fit (2), 1-to-1 (3), De-Interlace (4).
  static void SetChecks(HMENU popup, const ViewerState& state);

  // Shows the menu at the cursor for `owner` (left-button tracking); the chosen
  // item arrives at the owner as WM_COMMAND.
  void Show(HWND owner, const ViewerState& state) const;

 private:
  HMODULE module_;
};

}  // namespace quellor::clipviewer
