// Per-test settings folder and a recorder of engine control calls.
#pragma once

#include <string>
#include <vector>

#include "settings/ControlSender.h"

namespace quellor::settings::testing {

// Points QUELLOR_WINDIR at a fresh folder named after the running test and
// returns the full path of its settings file.
std::string UseFreshWindowsDirectory();
// The settings file's lines in file order ("" when it does not exist).
std::vector<std::string> SettingsFileLines(const std::string& path);

struct RecordedControl {
  ControlSide side;
  std::string name;
  DWORD typeCode;
  int value;
  bool operator==(const RecordedControl&) const = default;
};

class ControlRecorder {
 public:
  ControlSender Sender() {
    return [this](ControlSide side, const char* name, DWORD type, int value) {
      calls.push_back({side, name, type, value});
    };
  }
  std::vector<RecordedControl> calls;
};

}  // namespace quellor::settings::testing
