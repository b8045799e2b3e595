// A fresh world for each viewer test: its own settings folder and board, no
// pauses on the wall clock, recorded program launches and message boxes.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ClipViewer.h"
#include "app/ViewerTexts.h"
#include "programs/ProgramLauncher.h"
#include "quellor/testing/ScratchFolder.h"
#include "win32/automation/Answers.h"

namespace quellor::clipviewer::testing {

class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The test's scratch folder (created empty).
  const std::string& Folder() const { return folder_; }
  std::string SettingsFile() const { return folder_ + "/windows/VideoQuellor.ini"; }
  std::vector<std::string> SettingsLines() const;
  // Hooks that count renders and let a test act as the settings dialog.
  ViewerHooks CountingHooks();
  // Puts text on the clipboard (one clipboard-change notification).
  static void PutTextOnClipboard(const std::string& text);
  // Posts a command to the main window and runs the messages until idle.
  static void Command(ClipViewer& viewer, UINT command);
  // Exit, the rest of the message loop and the shut-down steps.
  static void ExitAndShutDown(ClipViewer& viewer);

  std::vector<std::string> launches;     // command lines (or program paths)
  std::vector<DWORD> pauses;             // milliseconds asked for
  std::vector<desktop::Question> boxes;  // message boxes shown
  int renders = 0;
  int outputDialogVideoMode = -1;  // >= 0: the output dialog stores this mode
  bool launchForReal = false;      // pass launches on to CreateProcessA

 private:
  std::optional<quellor::testing::ScratchFolder> scratch_;
  std::string folder_;
};

// A viewer started (statics, start-up, creation messages run) for each test,
// with CountingHooks; the viewer goes with the test.
class StartedViewerTest : public ViewerTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  ClipViewer& Viewer() { return *viewer_; }

 private:
  std::unique_ptr<ClipViewer> viewer_;
};

}  // namespace quellor::clipviewer::testing
