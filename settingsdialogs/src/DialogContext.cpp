#include "settingsdialogs/DialogContext.h"

#include "win32/quellor_host.h"

namespace quellor::settingsdialogs {

void PauseFor(const DialogContext& context, DWORD milliseconds) {
  if (context.pause)
    context.pause(milliseconds);
  else
    Sleep(milliseconds);
}

HMODULE OwnModule() {
  return win32::ModuleFromAddress(reinterpret_cast<const void*>(&OwnModule));
}

}  // namespace quellor::settingsdialogs
