// The "open once" rule of the viewer's modal dialogs: a dialog that is open is
// not opened a second time (a second menu pick, or the recorder's
// "Settings ..." while the input settings dialog is already up, does nothing).
// One guard per process, kept by ClipViewer; every opener goes through it.
#pragma once

#include <array>
#include <functional>

namespace quellor::clipviewer {

enum class ViewerDialog { Recorder, InputSettings, OutputSettings };

class DialogGuard {
 public:
  bool IsOpen(ViewerDialog dialog) const { return open_[Index(dialog)]; }

  // Runs `show` (which returns when the dialog has closed) unless `dialog` is
  // open already; false when it was refused. The dialog counts as closed
  // again however `show` ends.
  bool RunOnce(ViewerDialog dialog, const std::function<void()>& show);

 private:
  static constexpr int Index(ViewerDialog dialog) { return static_cast<int>(dialog); }
  std::array<bool, 3> open_{};
};

}  // namespace quellor::clipviewer
