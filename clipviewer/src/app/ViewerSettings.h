// The viewer's four keys in section "VideoQuellor Configuration" of
// "VideoQuellor.ini": "Resize", "DeInterlace", "ClipboardEnabled" and
// "VideoMode". A missing or unreadable value takes its default and is written
// back at once (the settings store's rule).
#pragma once

#include "app/ViewerState.h"

namespace quellor::clipviewer {

// Reads the four keys into `state` in the order above.
void ReadViewerSettings(ViewerState& state);
// Writes the four keys in the same order.
void WriteViewerSettings(const ViewerState& state);

void WriteResizeSetting(ResizeMode mode);
void WriteDeInterlaceSetting(bool on);
void WriteClipboardEnabledSetting(bool enabled);
// "VideoMode" as stored (default 1): the output settings dialog changes it in
// the file, and the viewer compares the stored numbers around the dialog.
int ReadStoredVideoMode();

}  // namespace quellor::clipviewer
