#include "SettingsDialogs.h"

#include "BridgeTexts.h"

namespace quellor::rtvbridge {

void ShowInputSettingsDialog(HWND owner, const char* caption) {
  MessageBoxA(owner, kInputSettingsNotAvailable, caption, MB_OK | MB_ICONINFORMATION);
}

void ShowOutputSettingsDialog(HWND owner, const char* caption) {
  MessageBoxA(owner, kOutputSettingsNotAvailable, caption, MB_OK | MB_ICONINFORMATION);
}

}  // namespace quellor::rtvbridge
