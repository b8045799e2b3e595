#include "settings/BoardSettings.h"

#include <string>

#include "settings/IniSettings.h"

namespace quellor::settings {
namespace {

const char* const kInputSuffixes[kInputTypeCount] = {"_Composite", "_YC", "_Component", "_SDI"};

// The per-input keys in the order they are read and written.
struct PerInputKey {
  const char* prefix;
  DoubleSetting (BoardSettings::*doubles)[kInputTypeCount];  // null for the integer HYPK
  int defaults[kInputTypeCount];
};

const PerInputKey kPerInputKeys[] = {
    {"HYPK", nullptr, {0, 1, 1, 2}},
    {"Hue", &BoardSettings::hue, {0, 1, 0, 0}},
    {"Saturation", &BoardSettings::saturation, {-4, -7, 90, 0}},
    {"Contrast", &BoardSettings::contrast, {44, 27, 28, 0}},
    {"Brightness", &BoardSettings::brightness, {24, 21, 23, 0}},
    {"UGain", &BoardSettings::uGain, {-1, 3, 17, 0}},
    {"VGain", &BoardSettings::vGain, {3, 3, 52, 0}},
    {"AGC", &BoardSettings::agc, {0, 0, 0, 0}},
    {"UOffset", &BoardSettings::uOffset, {13, 14, -38, 0}},
    {"VOffset", &BoardSettings::vOffset, {12, 10, 3, 0}},
};

std::string KeyFor(const PerInputKey& key, int input) {
  return std::string(key.prefix) + kInputSuffixes[input];
}

bool IsInputType(int input) {
  return input >= 0 && input < kInputTypeCount;
}

// One row of the input-type table; -1 marks a control that is not sent.
struct InputTypeControls {
  int format, lumaComb, chromaComb, chromaTrap, testGenerator;
};
constexpr InputTypeControls kInputTypeControls[kInputTypeCount] = {
    {0, 10, 8, 0, 0},      // Composite
    {10, 11, 12, 0, 0},    // Y/C
    {15, 11, 12, 0, 1},    // Component
    {1, -1, -1, -1, -1}};  // SDI: format only

}  // namespace

BoardSettings::BoardSettings() : input(0), output(0), videoMode(1), pedestal(1), outputFilter(2) {
  for (const PerInputKey& key : kPerInputKeys) {
    for (int i = 0; i < kInputTypeCount; ++i) {
      if (key.doubles)
        (this->*key.doubles)[i].Set(key.defaults[i]);
      else
        hypk[i].Set(key.defaults[i]);
    }
  }
}

void ReadOutputSettings(BoardSettings& s) {
  s.output.Set(ReadIniInt("Output", 0));
  s.videoMode.Set(ReadIniInt("VideoMode", 1));
  s.pedestal.Set(ReadIniInt("Pedestal", 1));
  s.outputFilter.Set(ReadIniInt("OutputFilter", 2));
  s.scPhase.Set(ReadIniInt("SCPhase", 0));
}

void ReadInputSettings(BoardSettings& s) {
  s.input.Set(ReadIniInt("Input", 0));
  for (const PerInputKey& key : kPerInputKeys) {
    for (int i = 0; i < kInputTypeCount; ++i) {
      int value = ReadIniInt(KeyFor(key, i).c_str(), key.defaults[i]);
      if (key.doubles)
        (s.*key.doubles)[i].Set(value);
      else
        s.hypk[i].Set(value);
    }
  }
}

void WriteOutputSettings(const BoardSettings& s) {
  WriteIniInt("Output", s.output.Get());
  WriteIniInt("VideoMode", s.videoMode.Get());
  WriteIniInt("Pedestal", s.pedestal.Get());
  WriteIniInt("OutputFilter", s.outputFilter.Get());
  WriteIniInt("SCPhase", s.scPhase.Get());
}

void WriteBoardSettings(const BoardSettings& s) {
  WriteOutputSettings(s);
  for (const PerInputKey& key : kPerInputKeys) {
    for (int i = 0; i < kInputTypeCount; ++i) {
      std::string name = KeyFor(key, i);
      if (key.doubles)
        WriteIniInt(name.c_str(), (s.*key.doubles)[i].Get());
      else
        WriteIniInt(name.c_str(), s.hypk[i].Get());
    }
  }
  WriteIniInt("Input", s.input.Get());
}

void SendOutputSettings(const BoardSettings& s, const ControlSender& send) {
  const int pedestalOn = s.pedestal.Get() != 0 ? 1 : 0;
  send(ControlSide::Output, "control.format", kControlTypeSetting, s.output.Get() == 0 ? 1 : 0);
  send(ControlSide::Output, "control.filter", kControlTypeSetting, s.outputFilter.Get());
  send(ControlSide::Output, "control.pedestal", kControlTypeSetting, pedestalOn);
  send(ControlSide::Output, "control.scphase", kControlTypeSetting, TruncateToInt(s.scPhase.Get()));
  send(ControlSide::Input, "control.pedestal", kControlTypeSetting, pedestalOn);
}

void SendInputType(int input, int pedestal, const ControlSender& send) {
  if (IsInputType(input)) {
    const InputTypeControls& row = kInputTypeControls[input];
    const struct {
      const char* name;
      int value;
    } columns[] = {{"control.format", row.format},
                   {"control.lumacomb", row.lumaComb},
                   {"control.chromacomb", row.chromaComb},
                   {"control.ctrap", row.chromaTrap},
                   {"control.tstcgn", row.testGenerator}};
    for (const auto& column : columns) {
      if (column.value >= 0)
        send(ControlSide::Input, column.name, kControlTypeSetting, column.value);
    }
  }
  const int pedestalOn = pedestal != 0 ? 1 : 0;
  send(ControlSide::Output, "control.pedestal", kControlTypeSetting, pedestalOn);
  send(ControlSide::Input, "control.pedestal", kControlTypeSetting, pedestalOn);
}

void SendInputValues(const BoardSettings& s, int input, const ControlSender& send) {
  if (!IsInputType(input)) return;
  const struct {
    const char* name;
    int value;
  } values[] = {{"control.contrast", TruncateToInt(s.contrast[input].Get())},
                {"control.brightness", TruncateToInt(s.brightness[input].Get())},
                {"control.saturation", TruncateToInt(s.saturation[input].Get())},
                {"control.hue", TruncateToInt(s.hue[input].Get())},
                {"control.ugain", TruncateToInt(s.uGain[input].Get())},
                {"control.vgain", TruncateToInt(s.vGain[input].Get())},
                {"control.uoffset", TruncateToInt(s.uOffset[input].Get())},
                {"control.voffset", TruncateToInt(s.vOffset[input].Get())},
                {"control.agc", TruncateToInt(s.agc[input].Get())},
                {"control.hypk", s.hypk[input].Get()}};
  for (const auto& value : values)
    send(ControlSide::Input, value.name, kControlTypeSigned, value.value);
}

void ReadAndSendBoardSettings(BoardSettings& s, const ControlSender& send,
                              const std::function<void(DWORD)>& pause) {
  ReadOutputSettings(s);
  SendOutputSettings(s, send);
  ReadInputSettings(s);
  SendInputType(s.input.Get(), s.pedestal.Get(), send);
  pause(100);  // lets the board settle on the new input type before the values
  SendInputValues(s, s.input.Get(), send);
}

}  // namespace quellor::settings
