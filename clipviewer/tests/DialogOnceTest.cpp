// The modal dialogs open at most once: a second open while one is up (another
// menu pick handled by the dialog's own message loop, or the recorder's
// "Settings ..." while the input settings dialog is up) does nothing.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ViewerTestSupport.h"
#include "app/DialogGuard.h"
#include "settings/IniSettings.h"
#include "win32/automation/Desktop.h"

namespace quellor::clipviewer::testing {
namespace {

class DialogOnceTest : public StartedViewerTest {
 protected:
  // A dialog stand-in that, while it is up, lets the menu command `again`
  // arrive through a message loop of its own, as a modal dialog's loop would.
  std::function<void(ClipViewer&)> DialogThatGets(UINT again, int* opened) {
    return [again, opened](ClipViewer& viewer) {
      ++*opened;
      if (*opened > 1) return;
      PostMessageA(viewer.MainWindow(), WM_COMMAND, again, 0);
      desktop::RunUntilIdle();
    };
  }
};

TEST_F(DialogOnceTest, SecondRecordCommandWhileTheRecorderIsUpDoesNothing) {
  int opened = 0;
  Viewer().Hooks().recorderDialog = DialogThatGets(kCmdRecord, &opened);
  PutTextOnClipboard("shown");
  ASSERT_EQ(renders, 1);
  Command(Viewer(), kCmdRecord);
  EXPECT_EQ(opened, 1);
  // The refused pick still refreshes the output afterwards, as the closed
  // dialog does.
  EXPECT_EQ(renders, 3);
  EXPECT_FALSE(Viewer().Dialogs().IsOpen(ViewerDialog::Recorder));
  Command(Viewer(), kCmdRecord);  // closed: opens again
  EXPECT_EQ(opened, 2);
}

TEST_F(DialogOnceTest, SecondInputSettingsCommandWhileItIsUpDoesNothing) {
  int opened = 0;
  Viewer().Hooks().inputSettingsDialog = DialogThatGets(kCmdInputSettings, &opened);
  Command(Viewer(), kCmdInputSettings);
  EXPECT_EQ(opened, 1);
  Command(Viewer(), kCmdInputSettings);
  EXPECT_EQ(opened, 2);
}

TEST_F(DialogOnceTest, SecondOutputSettingsCommandWhileItIsUpDoesNothing) {
  int opened = 0;
  Viewer().Hooks().outputSettingsDialog = [&](ClipViewer& viewer) {
    ++opened;
    if (opened > 1) return;
    settings::WriteIniInt("VideoMode", 0);
    PostMessageA(viewer.MainWindow(), WM_COMMAND, kCmdOutputSettings, 0);
    desktop::RunUntilIdle();
  };
  Command(Viewer(), kCmdOutputSettings);
  EXPECT_EQ(opened, 1);
  // The refused pick saw no change of its own; the dialog's close made the
  // PAL hub and showed the output once.
  EXPECT_EQ(renders, 1);
  ASSERT_NE(Viewer().Hub(), nullptr);
  EXPECT_FALSE(Viewer().Hub()->IsNtsc());
  EXPECT_EQ(Viewer().State().videoMode, VideoMode::Pal);
}

TEST_F(DialogOnceTest, RecorderSettingsButtonSharesTheInputSettingsGuard) {
  int inputOpened = 0;
  bool nestedShown = true;
  // The input settings dialog is up when the recorder's "Settings ..." is
  // pressed (the recorder opened from within it, for the test's sake).
  Viewer().Hooks().inputSettingsDialog = [&](ClipViewer& viewer) {
    ++inputOpened;
    nestedShown =
        viewer.ShowDialog(ViewerDialog::InputSettings, viewer.Hooks().inputSettingsDialog);
  };
  Command(Viewer(), kCmdInputSettings);
  EXPECT_EQ(inputOpened, 1);
  EXPECT_FALSE(nestedShown);
  EXPECT_FALSE(Viewer().Dialogs().IsOpen(ViewerDialog::InputSettings));
}

TEST(DialogGuardTest, EachDialogHasItsOwnFlagAndAFailedDialogCountsAsClosed) {
  DialogGuard guard;
  bool recorderOpened = false;
  bool outputOpened = false;
  EXPECT_TRUE(guard.RunOnce(ViewerDialog::InputSettings, [&] {
    EXPECT_TRUE(guard.IsOpen(ViewerDialog::InputSettings));
    EXPECT_FALSE(guard.RunOnce(ViewerDialog::InputSettings, [] { ADD_FAILURE(); }));
    recorderOpened = guard.RunOnce(ViewerDialog::Recorder, [] {});
    outputOpened = guard.RunOnce(ViewerDialog::OutputSettings, [] {});
  }));
  EXPECT_TRUE(recorderOpened);
  EXPECT_TRUE(outputOpened);
  EXPECT_FALSE(guard.RunOnce(ViewerDialog::Recorder, {}));  // nothing to show

  EXPECT_THROW(guard.RunOnce(ViewerDialog::Recorder, [] { throw std::runtime_error("x"); }),
               std::runtime_error);
  EXPECT_FALSE(guard.IsOpen(ViewerDialog::Recorder));
}

}  // namespace
}  // namespace quellor::clipviewer::testing
