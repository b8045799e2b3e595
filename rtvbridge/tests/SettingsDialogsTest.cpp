// The settings calls open the plug-in's variants of the board settings
// dialogs; the tests act in them as a user would, one step per idle turn of
// the modal loop, and look at the board's controls and the settings file.
#include <functional>
#include <string>
#include <vector>

#include "BridgeProcess.h"
#include "BridgeSettings.h"
#include "BridgeTestSupport.h"
#include "SettingsDialogs.h"
#include "board/BoardControl.h"
#include "rtvbridge/AvFileRecords.h"
#include "settingsdialogs/InputSettingsDialog.h"
#include "settingsdialogs/OutputSettingsDialog.h"
#include "win32/automation/Desktop.h"
#include "win32/automation/Modal.h"

namespace quellor::rtvbridge::testing {
namespace {

using Step = std::function<void(HWND)>;

class SettingsDialogsTest : public BridgeTest {
 protected:
  void SetUp() override {
    BridgeTest::SetUp();
    desktop::UseManualClock(true);
    desktop::SetModalIdleHook([this](HWND dialog) {
      if (next_ < steps_.size()) {
        steps_[next_++](dialog);
      } else {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      }
      PostMessageA(dialog, WM_NULL, 0, 0);
    });
  }
  void TearDown() override {
    desktop::SetModalIdleHook({});
    BridgeTest::TearDown();
  }
  void Steps(std::vector<Step> steps) {
    steps_ = std::move(steps);
    next_ = 0;
  }
  // The settings call with bit 0 set (show the dialog).
  static RecordingSettingsRecord ShowRecord() {
    RecordingSettingsRecord settings{};
    settings.size = kMinRecordingSettingsSize;
    settings.flags = 1;
    return settings;
  }
  static void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
  static bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
  static std::string Text(HWND dialog, int id) {
    char text[128] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
  }
  static int Control(const char* side, const char* name) {
    for (const board::ControlEntry& c : board::ListControls())
      if (c.side == side && c.name == name) return c.value;
    return -1000;
  }

 private:
  std::vector<Step> steps_;
  size_t next_ = 0;
};

TEST_F(SettingsDialogsTest, TheInputDialogIsResource101WithTheDropCheckBox) {
  ASSERT_TRUE(StartPlugin());
  std::string title;
  bool shownChecked = true;
  bool liveInput = false;
  Steps({[&](HWND d) {
           char text[64] = "";
           GetWindowTextA(d, text, sizeof text);
           title = text;
           shownChecked = Checked(d, kStopOnDropCheck);
           liveInput = settingsdialogs::InputSettingsDialog::LiveInputShown();
           EXPECT_EQ(Text(d, kStopOnDropCheck), "Stop recording if frames are dropped");
         },
         [&](HWND d) { Click(d, kStopOnDropCheck); },
         // The flag takes the box's state only when the dialog closes.
         [&](HWND d) {
           EXPECT_TRUE(Checked(d, kStopOnDropCheck));
           EXPECT_FALSE(Process().countDroppedFrames.load());
         },
         [&](HWND d) { Click(d, settingsdialogs::kInputRadioFirst + 3); }});
  RecordingSettingsRecord settings = ShowRecord();
  ASSERT_EQ(AVFILE_SetRecordingSettings(&settings), 1);
  EXPECT_EQ(title, "Input Settings");
  EXPECT_FALSE(shownChecked);  // "StopRecordingWhenFramesAreDropped" defaults to 0
  EXPECT_TRUE(liveInput);
  EXPECT_FALSE(settingsdialogs::InputSettingsDialog::LiveInputShown());
  EXPECT_TRUE(Process().countDroppedFrames.load());
  // The SDI choice reached the engine: composite's format 0 became SDI's 1.
  EXPECT_EQ(Control("input", "control.format"), 1);
  EXPECT_EQ(Process().settings->board.input.Get(), 3);
  EXPECT_TRUE(boxes.empty());
  // Reopened, the box shows the flag; unticking clears it on close.
  bool reopenedChecked = false;
  Steps({[&](HWND d) { reopenedChecked = Checked(d, kStopOnDropCheck); },
         [&](HWND d) { Click(d, kStopOnDropCheck); }});
  ASSERT_EQ(AVFILE_SetRecordingSettings(&settings), 1);
  EXPECT_TRUE(reopenedChecked);
  EXPECT_FALSE(Process().countDroppedFrames.load());
}

TEST_F(SettingsDialogsTest, WhileRecordingTheInputDialogLeavesTheLiveInputAlone) {
  ASSERT_TRUE(StartPlugin());
  Process().recordingOpen = true;
  bool liveInput = true;
  Steps({[&](HWND) { liveInput = settingsdialogs::InputSettingsDialog::LiveInputShown(); }});
  RecordingSettingsRecord settings = ShowRecord();
  EXPECT_EQ(AVFILE_SetRecordingSettings(&settings), 1);
  Process().recordingOpen = false;
  EXPECT_FALSE(liveInput);
}

TEST_F(SettingsDialogsTest, TheOutputDialogForcesNoDropAndWritesItAtOnce) {
  PutSetting("ForceNoFrameDrop", "1");
  ASSERT_TRUE(StartPlugin());
  bool shownChecked = false;
  std::string fileDuringDialog;
  Steps({[&](HWND d) {
           shownChecked = Checked(d, kForceNoDropCheck);
           EXPECT_EQ(Text(d, kForceNoDropCheck), "Force no frames to be dropped on playback");
         },
         [&](HWND d) { Click(d, kForceNoDropCheck); },
         [&](HWND d) {
           EXPECT_FALSE(Checked(d, kForceNoDropCheck));
           EXPECT_EQ(ForceNoFrameDrop(), 0);
           fileDuringDialog = SettingsText();
         },
         [&](HWND d) { Click(d, settingsdialogs::output_ids::kFilterFirst + 2); },
         [&](HWND d) { Click(d, settingsdialogs::output_ids::kPal); }});
  RecordingSettingsRecord settings = ShowRecord();
  ASSERT_EQ(AVFILE_SetSinkSettings(&settings), 1);
  EXPECT_TRUE(shownChecked);
  EXPECT_NE(fileDuringDialog.find("ForceNoFrameDrop=0"), std::string::npos);
  EXPECT_EQ(Control("output", "control.filter"), 2);
  // The output keys are written when the dialog has closed.
  const std::string file = SettingsText();
  EXPECT_NE(file.find("OutputFilter=2"), std::string::npos);
  EXPECT_NE(file.find("VideoMode=0"), std::string::npos);
  EXPECT_TRUE(boxes.empty());
  // Ticked again: the value and the file follow.
  Steps({[&](HWND d) { Click(d, kForceNoDropCheck); }});
  ASSERT_EQ(AVFILE_SetSinkSettings(&settings), 1);
  EXPECT_EQ(ForceNoFrameDrop(), 1);
  EXPECT_NE(SettingsText().find("ForceNoFrameDrop=1"), std::string::npos);
}

// The preview boxes show and write the keys that decide whether the next
// recording context or sink starts its preview program.
TEST_F(SettingsDialogsTest, ThePreviewBoxesDecideWhetherTheNextPreviewStarts) {
  PutSetting("EdgeWrightVideoPreviewIn", "0");
  ASSERT_TRUE(StartPlugin());
  bool inputShown = true;
  Steps({[&](HWND d) {
           inputShown = Checked(d, kInputPreviewCheck);
           // Still the shared dialog's U Gain edit under 1025.
           EXPECT_FALSE(Checked(d, 1025));
         },
         [&](HWND d) { Click(d, kInputPreviewCheck); }});
  RecordingSettingsRecord settings = ShowRecord();
  ASSERT_EQ(AVFILE_SetRecordingSettings(&settings), 1);
  EXPECT_FALSE(inputShown);
  EXPECT_NE(SettingsText().find("EdgeWrightVideoPreviewIn=1"), std::string::npos);

  bool outputShown = false;
  Steps({[&](HWND d) { outputShown = Checked(d, kOutputPreviewCheck); },
         [&](HWND d) { Click(d, kOutputPreviewCheck); }});
  ASSERT_EQ(AVFILE_SetSinkSettings(&settings), 1);
  EXPECT_TRUE(outputShown);  // the key's default is 1
  EXPECT_NE(SettingsText().find("EdgeWrightVideoPreviewOut=0"), std::string::npos);
  EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace quellor::rtvbridge::testing
