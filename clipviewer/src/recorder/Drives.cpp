#include "recorder/Drives.h"

#include <cstdio>

#include "recorder/RecorderTexts.h"
#include "windows.h"

namespace quellor::clipviewer::recorder {

std::vector<std::string> RecordingDrives() {
  std::vector<std::string> drives;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string drive = std::string(1, letter) + ":";
    const std::string root = drive + "\\";
    const UINT type = GetDriveTypeA(root.c_str());
    if (type != DRIVE_FIXED && type != DRIVE_REMOTE && type != DRIVE_RAMDISK) continue;
    char label[MAX_PATH + 1] = "";
    if (GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr,
                              0))
      drives.push_back(drive + " " + label);
    else
      drives.push_back(drive);
  }
  return drives;
}

// A path is taken only when nothing is there: a clip that exists but cannot
// be read (permissions, another program's lock) must not be overwritten.
std::string NextRecordingPath(const std::string& driveText) {
  if (driveText.size() < 2) return {};
  const std::string drive = driveText.substr(0, 2);
  for (int n = 0; n >= 0; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, kRecordPathFormat, n);
    const std::string path = drive + name;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return path;
  }
  return {};
}

}  // namespace quellor::clipviewer::recorder
