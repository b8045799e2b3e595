// The board's input and output settings as observable values, with their
// keys and defaults in the settings file and the sends that put them on the
// engine's named controls.
#pragma once

#include <functional>

#include "settings/ControlSender.h"
#include "widgets/SettingValue.h"

namespace quellor::settings {

using widgets::DoubleSetting;
using widgets::IntSetting;

// Input types; every per-input setting holds one value for each, in this
// order (keys end in "_Composite", "_YC", "_Component", "_SDI").
enum InputType : int { kInputComposite = 0, kInputYC = 1, kInputComponent = 2, kInputSDI = 3 };
inline constexpr int kInputTypeCount = 4;

struct BoardSettings {
  BoardSettings();  // every value at its default
  BoardSettings(const BoardSettings&) = delete;
  BoardSettings& operator=(const BoardSettings&) = delete;

  IntSetting input;         // selected InputType
  IntSetting output;        // 0 Component, 1 Y/C output
  IntSetting videoMode;     // 1 NTSC, 0 PAL
  IntSetting pedestal;      // 1 NTSC pedestal on
  IntSetting outputFilter;  // 0 to 3
  DoubleSetting scPhase;    // -127 to 127

  // Per input type, -127 to 127 unless noted.
  DoubleSetting contrast[kInputTypeCount];
  DoubleSetting brightness[kInputTypeCount];
  DoubleSetting saturation[kInputTypeCount];
  DoubleSetting hue[kInputTypeCount];
  DoubleSetting uGain[kInputTypeCount];
  DoubleSetting vGain[kInputTypeCount];
  DoubleSetting uOffset[kInputTypeCount];
  DoubleSetting vOffset[kInputTypeCount];
  DoubleSetting agc[kInputTypeCount];  // not in the dialogs
  IntSetting hypk[kInputTypeCount];    // not in the dialogs
};

// Reads `Output`, `VideoMode`, `Pedestal`, `OutputFilter`, `SCPhase`.
void ReadOutputSettings(BoardSettings& settings);
// Reads `Input` and every per-input key: HYPK, Hue, Saturation, Contrast,
// Brightness, UGain, VGain, AGC, UOffset, VOffset, each for the four inputs.
void ReadInputSettings(BoardSettings& settings);
// Writes the output keys in the order they are read.
void WriteOutputSettings(const BoardSettings& settings);
// The exit-time write: output keys, then every per-input key, then `Input`.
void WriteBoardSettings(const BoardSettings& settings);

// "control.format", "control.filter", "control.pedestal", "control.scphase" on
// the output side, then the pedestal again on the input side.
void SendOutputSettings(const BoardSettings& settings, const ControlSender& send);
// The input type's format, comb, trap and test-generator controls (SDI: only
// the format), then the pedestal on the output side and on the input side.
// An input number outside 0..3 sends only the pedestal.
void SendInputType(int input, int pedestal, const ControlSender& send);
// The selected input's picture values, truncated, on the input side. An
// input number outside 0..3 sends nothing.
void SendInputValues(const BoardSettings& settings, int input, const ControlSender& send);

// What a program does before its entry point: read the output settings and
// send them, read the input settings, send the input type, pause 100 ms
// (through `pause`, milliseconds) and send the input values.
void ReadAndSendBoardSettings(BoardSettings& settings, const ControlSender& send,
                              const std::function<void(DWORD)>& pause);

}  // namespace quellor::settings
