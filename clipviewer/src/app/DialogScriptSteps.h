// Script steps for what a user does inside the recorder and the board
// settings dialogs (see ScriptDriver.h). They act on the open dialog: the
// input or output settings dialog when one is up, else the recorder.
//   record | stop            the recorder's Record / Stop buttons
//   drive <index>            choose a drive in the recorder's combo box
//   fields <n>               let n fields of the board pass
//   list                     print the recorder's file list, one
//                            "clipviewer: script: file <path>" a line
//   select <index>           select an entry of the file list
//   move <path>              Move File, answering its save dialog with <path>
//   delete                   Delete File, answering its question with Yes
//   click <id>               click a button (radio, check box, push button)
//   slider <id> <position>   move a slider (-127 to 127) as a drag would
//   edit <id> <text>         type text into a numeric edit
//   close                    the dialog's Close button
#pragma once

#include <string>

#include "windows.h"

namespace quellor::clipviewer {

// True when `verb` is one of these steps and `argument` suits it.
bool IsDialogStep(const std::string& verb, const std::string& argument);
// Runs the step. `switcherClient` gives the board's field clock.
void RunDialogStep(const std::string& verb, const std::string& argument, DWORD switcherClient);
// True while a "fields" step is still waiting for the board.
bool DialogStepWaiting(DWORD switcherClient);

}  // namespace quellor::clipviewer
