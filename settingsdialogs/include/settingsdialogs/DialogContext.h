// What both settings dialogs work on: the settings store, the way controls
// reach the engine, the pause between an input switch and its values, and
// the live-input switcher command.
#pragma once

#include <functional>

#include "settings/BoardSettings.h"
#include "settings/ControlSender.h"
#include "windows.h"

namespace quellor::settingsdialogs {

class DialogExtras;

struct DialogContext {
  settings::BoardSettings* settings = nullptr;
  settings::ControlSender send;
  // Milliseconds; empty waits with Sleep.
  std::function<void(DWORD)> pause;
  // Sends switcher command 2068 (the output shows the live input). Empty: the
  // carrier does not want the input dialog to switch (the editor plug-in while
  // a recording context is open).
  std::function<void()> showLiveInput;
  // Module whose dialog resources the dialog registers and loads; null: the
  // module this library is linked into.
  HMODULE module = nullptr;
  WORD resource = 0;               // 0: the dialog's own number (104 / 105)
  DialogExtras* extras = nullptr;  // may be null
};

// Waits through the context's pause, or Sleep.
void PauseFor(const DialogContext& context, DWORD milliseconds);
// The module this library is linked into.
HMODULE OwnModule();

}  // namespace quellor::settingsdialogs
