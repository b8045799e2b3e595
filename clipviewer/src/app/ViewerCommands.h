// The commands of the tray menu (WM_COMMAND identifiers 40001-40027, see
// ViewerTexts.h), run on the main thread. Play, the recorder and the two
// settings dialogs are reached through the viewer's hooks; the dialogs go
// through the viewer's DialogGuard, so each is open at most once.
#pragma once

#include "windows.h"

namespace quellor::clipviewer {

class ClipViewer;

class ViewerCommands {
 public:
  explicit ViewerCommands(ClipViewer& viewer) : viewer_(viewer) {}

  // Unknown identifiers are ignored.
  void Run(UINT command);

 private:
  void OnResize(UINT command);
  void OnDeInterlace();
  void OnEnabled();
  void OnRecord();
  void OnInputSettings();
  void OnOutputSettings();
  // Runs the display routine when clipboard display is enabled.
  void ShowIfEnabled();

  ClipViewer& viewer_;
};

}  // namespace quellor::clipviewer
