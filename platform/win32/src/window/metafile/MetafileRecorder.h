// The table of open metafile contexts and the records they have collected.
#pragma once

#include <optional>

#include "MetafileRecord.h"

namespace quellor::win32::metafile {

// Starts collecting the drawing calls made on `hdc`. `frame` is the picture
// frame in device units, or none for the bounds of what gets drawn.
void BeginRecording(HDC hdc, std::optional<RECT> frame);
// Ends the recording of `hdc` and hands back its picture; false when `hdc`
// was not recording.
bool EndRecording(HDC hdc, Picture& picture);

}  // namespace quellor::win32::metafile
