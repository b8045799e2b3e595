// The parts of the viewer behind its commands: the display path, the clip
// and picture files, the recorder and the settings dialogs. The program uses
// StandardHooks(); tests put their own in.
#pragma once

#include <functional>

namespace quellor::clipviewer {

class ClipViewer;

struct ViewerHooks {
  // The main window exists and the message loop is about to run (scripted
  // runs start their driver here).
  std::function<void(ClipViewer&)> started;
  // Renders the clipboard (or loaded picture) onto the output; called by the
  // display routine from its third call on.
  std::function<void(ClipViewer&)> renderOutput;
  // "Play ..." and the tray icon's double click: the file dialog and player.
  std::function<void(ClipViewer&)> playFile;
  // Modal dialogs; each returns when the dialog has closed.
  std::function<void(ClipViewer&)> recorderDialog;
  std::function<void(ClipViewer&)> inputSettingsDialog;
  std::function<void(ClipViewer&)> outputSettingsDialog;
};

// The display path, Play, the recorder and the two board settings dialogs.
ViewerHooks StandardHooks();

}  // namespace quellor::clipviewer
