#include "DialogTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "board/testing/BoardClock.h"
#include "win32/automation/Desktop.h"
#include "win32/automation/Modal.h"

namespace quellor::settingsdialogs::testing {

void DialogTest::SetUp() {
  const char* root = std::getenv("QUELLOR_TEST_TMP");
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::filesystem::path folder = std::filesystem::path(root ? root : "/tmp") / "settingsdialogs" /
                                 (std::string(info->test_suite_name()) + "." + info->name());
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / "windows");
  std::filesystem::create_directories(folder / "board");
  folder_ = folder.string();
  setenv("QUELLOR_WINDIR", (folder / "windows").c_str(), 1);
  setenv("QUELLOR_BOARD_DIR", (folder / "board").c_str(), 1);
  unsetenv("QUELLOR_BOARD");
  board::testing::ResetBoard();
  desktop::UseManualClock(true);
  desktop::SetModalIdleHook([this](HWND dialog) {
    if (next_ < steps_.size())
      steps_[next_++](dialog);
    else
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    // Every turn leaves a message so that the loop comes back idle.
    PostMessageA(dialog, WM_NULL, 0, 0);
  });
}

void DialogTest::TearDown() {
  desktop::SetModalIdleHook({});
  board::testing::ResetBoard();
}

DialogContext DialogTest::Context() {
  DialogContext context;
  context.settings = &settings;
  context.send = [this](settings::ControlSide side, const char* name, DWORD, int value) {
    sent.push_back({side, name, value});
  };
  context.pause = [this](DWORD ms) { pauses.push_back(ms); };
  context.showLiveInput = [this] { ++liveInputCommands; };
  return context;
}

void DialogTest::Steps(std::vector<std::function<void(HWND)>> steps) {
  steps_ = std::move(steps);
  next_ = 0;
}

std::vector<int> DialogTest::SentValues(const std::string& name) const {
  std::vector<int> values;
  for (const Sent& s : sent)
    if (s.name == name) values.push_back(s.value);
  return values;
}

void DialogTest::SetEditText(HWND dialog, int id, const char* text) {
  // The host window carries the identifier; the edit is its child.
  HWND edit = GetWindow(GetDlgItem(dialog, id), GW_CHILD);
  SetWindowTextA(edit, text);
}

std::string DialogTest::EditText(HWND dialog, int id) {
  char text[64] = "";
  GetWindowTextA(GetWindow(GetDlgItem(dialog, id), GW_CHILD), text, sizeof text);
  return text;
}

void DialogTest::Click(HWND dialog, int id) {
  SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool DialogTest::Checked(HWND dialog, int id) {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

std::string DialogTest::SettingsText() const {
  std::ifstream in(SettingsFile());
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace quellor::settingsdialogs::testing
