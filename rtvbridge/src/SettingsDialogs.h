// The board settings dialogs that the recording and sink settings calls
// open: the input settings dialog (with the check box "Stop recording if
// frames are dropped") and the output settings dialog (with "Force no frames
// to be dropped on playback"). They are built in their own module; until the
// plug-in carries it, each call tells the user that the dialog is not
// available here.
#pragma once

#include <windows.h>

namespace quellor::rtvbridge {

// Modal, owned by `owner`; `caption` names the export that asked.
void ShowInputSettingsDialog(HWND owner, const char* caption);
void ShowOutputSettingsDialog(HWND owner, const char* caption);

}  // namespace quellor::rtvbridge
