// The recorder dialog (resource 106, "QL Record"): the drive to record to,
// Record and Stop, the input settings, and the list of clip files with its
// commands. One recording at a time, owned by the dialog while it runs.
#pragma once

#include <memory>
#include <optional>

#include "recorder/Recorder.h"
#include "windows.h"

namespace quellor::clipviewer {
class ClipViewer;
}

namespace quellor::clipviewer::recorder {

class RecorderDialog {
 public:
  explicit RecorderDialog(ClipViewer& viewer) : viewer_(viewer) {}
  RecorderDialog(const RecorderDialog&) = delete;
  RecorderDialog& operator=(const RecorderDialog&) = delete;

  // Shows the dialog modally over the viewer's main window; returns when it
  // has closed. An error raised inside (the engine's failure texts) is
  // raised again here, once the dialog is gone.
  void Run();

  // The dialog that is open (main thread), or null; for scripts and tests.
  static RecorderDialog* Open();
  HWND Handle() const { return dialog_; }
  Recorder* ActiveRecording() const { return recorder_.get(); }

 private:
  static INT_PTR CALLBACK Procedure(HWND, UINT, WPARAM, LPARAM);
  void Initialise(HWND dialog);
  void Command(WORD id, WORD code);
  void Record();
  void Stop();
  void Close();
  void ShowFramesWritten();
  void EnableRecordControls(bool enable);

  ClipViewer& viewer_;
  HWND dialog_ = nullptr;
  std::unique_ptr<Recorder> recorder_;
  std::optional<const char*> raised_;
};

}  // namespace quellor::clipviewer::recorder
