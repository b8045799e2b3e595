// A fresh settings folder and board for each dialog test, a recorder of the
// controls sent, and a driver that acts in a modal dialog step by step.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "settings/BoardSettings.h"
#include "settingsdialogs/DialogContext.h"

namespace quellor::settingsdialogs::testing {

struct Sent {
  settings::ControlSide side;
  std::string name;
  int value;
  bool operator==(const Sent&) const = default;
};

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The context over `settings` that records sends, pauses and live-input
  // commands.
  DialogContext Context();
  // Runs `steps` one per idle turn of the dialog's modal loop, then closes
  // the dialog with its Close button.
  void Steps(std::vector<std::function<void(HWND)>> steps);
  // The values sent for `name` (in order).
  std::vector<int> SentValues(const std::string& name) const;
  static void SetEditText(HWND dialog, int id, const char* text);
  static std::string EditText(HWND dialog, int id);
  static void Click(HWND dialog, int id);
  static bool Checked(HWND dialog, int id);
  std::string SettingsFile() const { return folder_ + "/windows/VideoQuellor.ini"; }
  std::string SettingsText() const;

  settings::BoardSettings settings;
  std::vector<Sent> sent;
  std::vector<DWORD> pauses;
  int liveInputCommands = 0;

 private:
  std::vector<std::function<void(HWND)>> steps_;
  size_t next_ = 0;
  std::string folder_;
};

}  // namespace quellor::settingsdialogs::testing
