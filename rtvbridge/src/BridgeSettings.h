// The plug-in's use of the shared settings store: "VideoQuellor.ini",
// section "VideoQuellor Configuration", and the board settings it sends to
// the engine. The only place that names the store's headers.
#pragma once

#include <windows.h>

#include <functional>

#include "settings/BoardSettings.h"
#include "settings/IniSettings.h"
#include "widgets/SettingValue.h"

namespace quellor::rtvbridge {

struct BridgeSettingsState {
  explicit BridgeSettingsState(int forceNoFrameDropValue)
      : forceNoFrameDrop(forceNoFrameDropValue) {}
  // Edited by the output settings dialog's check box "Force no frames to be
  // dropped on playback"; reported by the sink information.
  widgets::IntSetting forceNoFrameDrop;
  settings::BoardSettings board;
};

// ReadIniInt / WriteIniInt of the store: a missing or unreadable key is
// written back with its default.
inline int ReadSetting(const char* key, int defaultValue) {
  return settings::ReadIniInt(key, defaultValue);
}
inline void WriteSetting(const char* key, int value) {
  settings::WriteIniInt(key, value);
}

// Output settings read and sent, then the input settings (with `pause`
// between the input type and the input values).
inline void ReadAndSendBoardSettings(BridgeSettingsState& state, DWORD switcherClient,
                                     const std::function<void(DWORD)>& pause) {
  settings::ReadAndSendBoardSettings(state.board, settings::EngineControlSender(switcherClient),
                                     pause);
}

// The exit-time save of both groups.
inline void SaveBoardSettings(const BridgeSettingsState& state) {
  settings::WriteBoardSettings(state.board);
}

}  // namespace quellor::rtvbridge
