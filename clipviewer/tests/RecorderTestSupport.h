// A started viewer with two drives of its own (C: and R:, both folders of
// the test), the board on its manual clock, and a driver that acts in the
// recorder dialog one step per idle turn of its modal loop.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ViewerTestSupport.h"
#include "recorder/RecorderDialog.h"

namespace quellor::clipviewer::testing {

class RecorderTest : public ViewerTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  ClipViewer& Viewer() { return *viewer_; }

  // Opens the recorder through its menu command, runs `steps`, then closes
  // it with its Close button.
  void RunRecorder(std::vector<std::function<void(HWND)>> steps);
  // Host folder of a test drive ("C", "R", ...).
  std::string DriveFolder(const std::string& letter) const { return Folder() + "/" + letter; }
  // The open dialog's recording (null when none).
  static recorder::Recorder* Recording();
  static void Click(HWND dialog, int id);
  static std::string ItemText(HWND dialog, int id);
  static std::vector<std::string> ListEntries(HWND dialog);
  static void SelectListEntry(HWND dialog, int index);
  // Advances the board by `fields` and waits until the writer has written
  // every frame captured.
  static void RecordFields(unsigned fields);
  std::vector<std::string> BoxTexts() const;

  // Answers of the file dialogs, in order (an empty path cancels).
  std::vector<std::string> fileAnswers;
  // Answer to a yes/no question.
  int questionAnswer = IDYES;

 private:
  std::unique_ptr<ClipViewer> viewer_;
  std::vector<std::function<void(HWND)>> steps_;
  size_t next_ = 0;
};

}  // namespace quellor::clipviewer::testing
