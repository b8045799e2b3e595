// The viewer's four keys in section "VideoQuellor Configuration" of
// "VideoQuellor.ini": "Resize", "DeInterlace", "ClipboardEnabled" and
// "VideoMode". A missing or unreadable value takes its default and is written
// back at once (the settings store's rule).
#pragma once

#include "app/ViewerState.h"

namespace quellor::clipviewer {

// Reads the four keys into `state` in the order above.
void ReadViewerSettings(ViewerState& state);
// Writes the four keys in the same order, every one even after a failure;
// false when any could not be saved (a folder or pipe under the file's name,
// a read-only folder, no settings folder at all), with GetLastError of the
// first failure.
bool WriteViewerSettings(const ViewerState& state);

bool WriteResizeSetting(ResizeMode mode);
bool WriteDeInterlaceSetting(bool on);
bool WriteClipboardEnabledSetting(bool enabled);
// "VideoMode" as stored (default 1): the output settings dialog changes it in
// the file, and the viewer compares the stored numbers around the dialog.
int ReadStoredVideoMode();

}  // namespace quellor::clipviewer
