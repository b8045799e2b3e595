// The drives a recording can go to, and the numbered clip paths at a
// drive's root.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quellor::clipviewer::recorder {

// For A to Z, each drive whose type is fixed, remote or RAM disk, as
// "X:" or, when its volume information can be read, "X: <label>".
std::vector<std::string> RecordingDrives();

// "X:\RecordNo<n>.rtv" for the drive text (cut after its letter and colon)
// with the first n from 0 up for which no file exists. Empty when the text
// is shorter than a letter and colon.
std::string NextRecordingPath(const std::string& driveText);

}  // namespace quellor::clipviewer::recorder
