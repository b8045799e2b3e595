// The board dialogs inside the viewer: the output settings dialog's format
// choice reaches the viewer's output and the settings file, the recorder's
// "Settings ..." opens the input settings dialog, and a script drives a
// whole recording.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "RecorderTestSupport.h"
#include "app/ScriptDriver.h"
#include "board/BoardControl.h"
#include "board/testing/BoardClock.h"
#include "settings/IniSettings.h"
#include "recorder/RecorderTexts.h"
#include "settingsdialogs/InputSettingsDialog.h"
#include "settingsdialogs/OutputSettingsDialog.h"
#include "win32/automation/Desktop.h"
#include "win32/automation/Modal.h"

namespace quellor::clipviewer::testing {
namespace {

int BoardControl(const std::string& side, const std::string& name) {
  for (const board::ControlEntry& c : board::ListControls())
    if (c.side == side && c.name == name) return c.value;
  return -9999;
}

class BoardDialogsTest : public RecorderTest {
 protected:
  void SetUp() override {
    RecorderTest::SetUp();
    // The real output settings dialog, not the test stand-in.
    ViewerHooks real = StandardHooks();
    Viewer().Hooks().outputSettingsDialog = real.outputSettingsDialog;
    Viewer().Hooks().inputSettingsDialog = real.inputSettingsDialog;
  }
  static std::string Title(HWND window) {
    char text[64] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
  }
};

TEST_F(BoardDialogsTest, ChoosingPalRebuildsTheOutputAndKeepsTheStoreAndFileInStep) {
  std::string title;
  std::vector<std::function<void(HWND)>> steps = {[&](HWND d) {
    title = Title(d);
    SendMessageA(GetDlgItem(d, settingsdialogs::output_ids::kPal), BM_CLICK, 0, 0);
  }};
  size_t next = 0;
  desktop::SetModalIdleHook([&](HWND d) {
    if (next < steps.size())
      steps[next++](d);
    else
      PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(d, WM_NULL, 0, 0);
  });
  Command(Viewer(), kCmdOutputSettings);
  EXPECT_EQ(title, "Output Settings");
  EXPECT_EQ(Viewer().State().videoMode, VideoMode::Pal);
  ASSERT_NE(Viewer().Hub(), nullptr);
  EXPECT_FALSE(Viewer().Hub()->IsNtsc());
  EXPECT_EQ(Viewer().BoardSettings().videoMode.Get(), 0);
  EXPECT_EQ(settings::ReadIniInt("VideoMode", 1), 0);
  // At exit the store writes what the viewer shows.
  ExitAndShutDown(Viewer());
  Viewer().CleanUpStatics();
  EXPECT_EQ(settings::ReadIniInt("VideoMode", 1), 0);
}

TEST_F(BoardDialogsTest, TheRecordersSettingsButtonOpensTheInputSettings) {
  std::vector<std::string> titles;
  std::vector<std::function<void(HWND)>> steps = {
      [&](HWND d) {
        titles.push_back(Title(d));
        SendMessageA(GetDlgItem(d, recorder::kIdSettings), BM_CLICK, 0, 0);
      },
      [&](HWND d) {  // the input settings dialog, over the recorder
        titles.push_back(Title(d));
        SendMessageA(GetDlgItem(d, settingsdialogs::kInputRadioFirst + 3), BM_CLICK, 0, 0);
      },
      [&](HWND d) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); },
      [&](HWND d) { titles.push_back(Title(d)); }};
  size_t next = 0;
  desktop::SetModalIdleHook([&](HWND d) {
    if (next < steps.size())
      steps[next++](d);
    else
      PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(d, WM_NULL, 0, 0);
  });
  Command(Viewer(), kCmdRecord);
  EXPECT_EQ(titles, (std::vector<std::string>{"QL Record", "Input Settings", "QL Record"}));
  EXPECT_EQ(Viewer().BoardSettings().input.Get(), 3);
  EXPECT_EQ(BoardControl("input", "control.format"), 1);  // SDI
  EXPECT_FALSE(Viewer().Dialogs().IsOpen(ViewerDialog::InputSettings));
}

TEST_F(BoardDialogsTest, AScriptRecordsListsAndDeletes) {
  settings::WriteIniInt(recorder::kDiskSettingKey, 0);
  desktop::UseManualClock(true);
  // Each idle turn of a dialog is 10 ms and one field.
  desktop::SetModalIdleHook([](HWND d) {
    desktop::AdvanceClock(10);
    board::testing::AdvanceFields(1);
    PostMessageA(d, WM_NULL, 0, 0);
  });
  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(StartScript(Viewer(),
                          "command 40025; drive 1; record; fields 9; stop; list; "
                          "select 0; delete; list; close"));
  for (int i = 0; i < 200 && IsWindow(Viewer().MainWindow()); ++i) {
    desktop::AdvanceClock(10);
    desktop::RunUntilIdle();
  }
  const std::string echo = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(echo.find("clipviewer: script: file R:\\RecordNo0.rtv\n"), std::string::npos) << echo;
  // The second list is empty: the clip was deleted after a Yes.
  EXPECT_EQ(echo.find("file R:\\RecordNo0.rtv"), echo.rfind("file R:\\RecordNo0.rtv"));
  EXPECT_FALSE(std::filesystem::exists(DriveFolder("R") + "/RecordNo0.rtv"));
  EXPECT_TRUE(BoxTexts().empty() ||
              std::none_of(BoxTexts().begin(), BoxTexts().end(), [](const std::string& t) {
                return t.find(recorder::kFramesDropped) != std::string::npos;
              }));
  desktop::UseManualClock(false);
  if (!IsWindow(Viewer().MainWindow())) Viewer().RunMessageLoop();
}

TEST_F(BoardDialogsTest, ScriptStepsWithBadArgumentsAreRefused) {
  for (const char* script : {"slider 1001 200", "slider x 3", "fields -1", "drive", "record now",
                             "edit 1017", "select a"}) {
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(StartScript(Viewer(), script)) << script;
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("script step not understood"),
              std::string::npos);
  }
}

}  // namespace
}  // namespace quellor::clipviewer::testing
