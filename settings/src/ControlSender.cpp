#include "settings/ControlSender.h"

#include "board/Engine.h"

namespace quellor::settings {

ControlSender EngineControlSender(DWORD switcherClient) {
  return [switcherClient](ControlSide side, const char* name, DWORD typeCode, int value) {
    DWORD word = static_cast<DWORD>(value);
    if (side == ControlSide::Input)
      RTME_SetInputControl(switcherClient, 0, 0, name, typeCode, &word);
    else
      RTME_SetOutputControl(switcherClient, 0, 0, name, typeCode, &word);
  };
}

}  // namespace quellor::settings
