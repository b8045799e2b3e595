// Start-up and shut-down of the viewer, in the program's order:
//   InitialiseStatics  before the entry point: switcher client, the viewer's
//                      settings, the board settings sent, the empty picture
//   StartUp            start-up clip; ends here for the "exit" command line;
//                      output hub, resources, window class, main window
//   RunMessageLoop     until the main window has gone
//   ShutDown           window class, output hub, the viewer's settings written,
//                      preview programs closed
//   CleanUpStatics     after main: board settings written, client closed
// Run is the entry point's part: StartUp, loop and ShutDown, with every raised
// error shown in one message box.
#pragma once

#include <string>

namespace quellor::clipviewer {

class ClipViewer;

class ViewerLifecycle {
 public:
  explicit ViewerLifecycle(ClipViewer& viewer) : viewer_(viewer) {}

  // False, after the "board was not found" message box, when the board is
  // missing: the program then ends with exit code 1.
  bool InitialiseStatics();
  void CleanUpStatics();

  // Returns the program's result.
  int Run(const std::string& commandLine);
  // False for the "exit" command line (nothing is created then).
  bool StartUp(const std::string& commandLine);
  // Raises again an error the window procedure caught.
  void RunMessageLoop();
  // False when the settings could not be saved (the user has been told).
  bool ShutDown();
  static void ShowError(const char* text);

 private:
  ClipViewer& viewer_;
};

}  // namespace quellor::clipviewer
