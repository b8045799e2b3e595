// Drives a running viewer without a user, for scripts and demonstrations,
// through the Win32 subset's automation interface (win32/automation/). The
// script is a list of steps separated by ';', run one after the other on the
// main thread (blank steps are skipped):
//   wait <ms>          let the program run on (the window system's clock)
//   command <id>       post a menu command (e.g. 40005 De-Interlace)
//   tray right|double  click the tray icon (right button, left double click)
//   menu <position>    open the tray menu and choose the item at that
//                      position; a separator or missing item dismisses it
//   clipboard <text>   put text on the clipboard
//   exit               choose Exit
// Numbers are whole numbers from 0 to 2147483647. Each step is echoed to
// standard error as "clipviewer: script: <step> <argument>" when it runs; the
// next one waits while the tray menu is open. When the steps run out the
// viewer exits.
#pragma once

#include <string>

namespace quellor::clipviewer {

class ClipViewer;

// Starts running `script` against the viewer's main window. The whole script
// is checked first: false, with "clipviewer: script step not understood:
// "<step>"" on standard error and no step run, when a step has an unknown
// verb or a missing or bad argument.
bool StartScript(ClipViewer& viewer, const std::string& script);

}  // namespace quellor::clipviewer
