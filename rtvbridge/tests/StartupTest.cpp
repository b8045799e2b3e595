// The load-time work: settings, the board check, the refresh-rate warning,
// and the error convention every guarded export shares.
#include <cstdlib>

#include "BridgeProcess.h"
#include "BridgeTestSupport.h"
#include "ExportGuard.h"
#include "RefreshWarning.h"
#include "board/testing/BoardClock.h"
#include "win32/controls.h"
#include "win32/automation/Desktop.h"
#include "win32/automation/Modal.h"

namespace quellor::rtvbridge::testing {
namespace {

using StartupTest = BridgeTest;

TEST_F(StartupTest, MissingVideoModeIsWrittenBackAndGivesNtsc) {
  ASSERT_TRUE(StartPluginAsIs());
  const VideoGeometry& g = Process().geometry;
  EXPECT_EQ(g.width, 720);
  EXPECT_EQ(g.height, 480);
  EXPECT_EQ(g.rateNumerator, 29970026);
  EXPECT_EQ(g.rateDenominator, 1000000);
  EXPECT_FLOAT_EQ(g.frameRate, 29.970026f);
  EXPECT_EQ(g.ntsc, 1);
  const std::string text = SettingsText();
  EXPECT_NE(text.find("VideoMode=1"), std::string::npos);
  EXPECT_NE(text.find("ForceNoFrameDrop=1"), std::string::npos);
  EXPECT_NE(text.find("StopRecordingWhenFramesAreDropped=0"), std::string::npos);
  EXPECT_EQ(ForceNoFrameDrop(), 1);
  EXPECT_FALSE(Process().countDroppedFrames);
}

TEST_F(StartupTest, VideoModeZeroGivesPalAndTheOtherSettingsAreRead) {
  PutSetting("ForceNoFrameDrop", "0");
  PutSetting("StopRecordingWhenFramesAreDropped", "1");
  ASSERT_TRUE(StartPlugin(0));
  const VideoGeometry& g = Process().geometry;
  EXPECT_EQ(g.height, 576);
  EXPECT_EQ(g.rateNumerator, 25);
  EXPECT_EQ(g.rateDenominator, 1);
  EXPECT_FLOAT_EQ(g.frameRate, 25.0f);
  EXPECT_EQ(g.ntsc, 0);
  EXPECT_EQ(ForceNoFrameDrop(), 0);
  EXPECT_TRUE(Process().countDroppedFrames);
}

TEST_F(StartupTest, MissingBoardShowsTheErrorAndFailsTheLoad) {
  setenv("QUELLOR_BOARD", "none", 1);
  board::testing::ResetBoard();
  EXPECT_FALSE(StartPluginAsIs());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].text,
            "The Video Quellor board was not found, this could be because the device driver "
            "failed to load.");
  unsetenv("QUELLOR_BOARD");
}

TEST_F(StartupTest, RefreshWarningTextOnlyWhenTheRateIsNoMultiple) {
  const VideoGeometry ntsc = GeometryForVideoMode(1);
  const VideoGeometry pal = GeometryForVideoMode(0);
  EXPECT_EQ(RefreshWarningText(60, ntsc).value_or(""),
            "Your monitor refresh rate is 60 Hz, your current output setting is set for "
            "29.970026 Hz. For optimal onscreen viewing performance, the monitor refresh rate "
            "should be a multiple of the output setting, eg. 60 Hz, 90 Hz, 120 Hz");
  EXPECT_EQ(RefreshWarningText(60, pal).value_or(""),
            "Your monitor refresh rate is 60 Hz, your current output setting is set for "
            "25.000000 Hz. For optimal onscreen viewing performance, the monitor refresh rate "
            "should be a multiple of the output setting, eg. 50 Hz, 75 Hz, 100 Hz");
  EXPECT_FALSE(RefreshWarningText(75, pal));
  EXPECT_FALSE(RefreshWarningText(50, pal));
  EXPECT_FALSE(RefreshWarningText(1, ntsc));
  EXPECT_FALSE(RefreshWarningText(0, pal));
}

// Acts as the user on the warning dialog: optionally ticks the box, then OK.
struct DialogUser {
  explicit DialogUser(bool tick) {
    desktop::SetModalIdleHook([this, tick](HWND dialog) {
      ++shown;
      char text[1024] = {};
      GetDlgItemTextA(dialog, kWarningTextId, text, sizeof text);
      shownText = text;
      GetWindowTextA(dialog, text, sizeof text);
      caption = text;
      if (tick) CheckDlgButton(dialog, kWarningCheckBoxId, BST_CHECKED);
      SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
  }
  ~DialogUser() { desktop::SetModalIdleHook({}); }
  int shown = 0;
  std::string shownText;
  std::string caption;
};

TEST_F(StartupTest, TickedWarningIsNotShownAgainAndASecondAttachDoesNotCheck) {
  desktop::SetRefreshRate(60);
  ASSERT_TRUE(StartPlugin(1));
  DialogUser user(true);
  ProcessAttach(GetModuleHandleA(nullptr));
  EXPECT_EQ(user.shown, 1);
  EXPECT_EQ(user.caption, "Warning !");
  EXPECT_NE(user.shownText.find("60 Hz, 90 Hz, 120 Hz"), std::string::npos);
  EXPECT_NE(SettingsText().find("Refresh Rate Warning=0"), std::string::npos);
  ProcessAttach(GetModuleHandleA(nullptr));
  EXPECT_EQ(user.shown, 1);
}

TEST_F(StartupTest, UntickedWarningStaysOnAndASuitableRateShowsNothing) {
  desktop::SetRefreshRate(60);
  ASSERT_TRUE(StartPlugin(1));
  {
    DialogUser user(false);
    ProcessAttach(GetModuleHandleA(nullptr));
    EXPECT_EQ(user.shown, 1);
    EXPECT_NE(SettingsText().find("Refresh Rate Warning=1"), std::string::npos);
  }
  // 75 Hz is three PAL frames; no whole refresh rate suits NTSC's 29.970026.
  Process().attachCount = 0;
  Process().geometry = GeometryForVideoMode(0);
  desktop::SetRefreshRate(75);
  DialogUser user(false);
  ProcessAttach(GetModuleHandleA(nullptr));
  EXPECT_EQ(user.shown, 0);
  desktop::SetRefreshRate(60);
}

TEST_F(StartupTest, SwitchedOffWarningIsNotCheckedAndUnattendedLoadsDoNotHang) {
  desktop::SetRefreshRate(60);
  PutSetting("Refresh Rate Warning", "0");
  ASSERT_TRUE(StartPlugin(1));
  DialogUser user(true);
  ProcessAttach(GetModuleHandleA(nullptr));
  EXPECT_EQ(user.shown, 0);
  desktop::SetModalIdleHook({});
  // Nobody to act on the dialog: it closes by itself with OK.
  EXPECT_FALSE(ShowWarningDialog(GetModuleHandleA(nullptr), "text"));
}

TEST_F(StartupTest, GuardShowsThrownTextsAndUnknownErrorsCaptionedWithTheExport) {
  EXPECT_EQ(RunGuarded("AVFILE_Example", []() -> std::int32_t { throw "Some text."; }), 0);
  EXPECT_EQ(RunGuarded("AVFILE_Other", []() -> std::int32_t { throw 42; }), 0);
  EXPECT_EQ(RunGuarded("AVFILE_Fine", []() -> std::int32_t { return 1; }), 1);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "AVFILE_Example");
  EXPECT_EQ(boxes[0].text, "Some text.");
  EXPECT_EQ(boxes[1].caption, "AVFILE_Other");
  EXPECT_EQ(boxes[1].text, "Unknown Internal Error");
}

}  // namespace
}  // namespace quellor::rtvbridge::testing
