// Drives a running viewer without a user, for scripts and demonstrations.
// The script is a list of steps separated by ';', run one after the other on
// the main thread:
//   wait <ms>          let the program run on
//   command <id>       post a menu command (e.g. 40005 De-Interlace)
//   tray right|double  click the tray icon (right button, left double click)
//   menu <position>    open the tray menu and choose the item at that position
//   clipboard <text>   put text on the clipboard
//   exit               choose Exit
// When the steps run out the viewer exits.
#pragma once

#include <string>

namespace quellor::clipviewer {

class ClipViewer;

// Starts running `script` against the viewer's main window; false (with a
// message on standard error) when a step cannot be understood.
bool StartScript(ClipViewer& viewer, const std::string& script);

}  // namespace quellor::clipviewer
