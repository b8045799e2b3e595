#include "app/ViewerSettings.h"

#include "settings/IniSettings.h"
#include "windows.h"

namespace quellor::clipviewer {

using settings::ReadIniInt;
using settings::WriteIniInt;

void ReadViewerSettings(ViewerState& state) {
  state.resizeMode = ResizeModeFromSetting(ReadIniInt("Resize", 0));
  state.deInterlace = ReadIniInt("DeInterlace", 1) != 0;
  state.clipboardEnabled = ReadIniInt("ClipboardEnabled", 1) != 0;
  state.videoMode = VideoModeFromSetting(ReadStoredVideoMode());
}

bool WriteViewerSettings(const ViewerState& state) {
  DWORD firstError = ERROR_SUCCESS;
  const auto note = [&firstError](bool written) {
    if (!written && firstError == ERROR_SUCCESS) firstError = GetLastError();
  };
  note(WriteResizeSetting(state.resizeMode));
  note(WriteDeInterlaceSetting(state.deInterlace));
  note(WriteClipboardEnabledSetting(state.clipboardEnabled));
  note(WriteIniInt("VideoMode", ToSetting(state.videoMode)));
  SetLastError(firstError);
  return firstError == ERROR_SUCCESS;
}

bool WriteResizeSetting(ResizeMode mode) {
  return WriteIniInt("Resize", ToSetting(mode));
}

bool WriteDeInterlaceSetting(bool on) {
  return WriteIniInt("DeInterlace", on ? 1 : 0);
}

bool WriteClipboardEnabledSetting(bool enabled) {
  return WriteIniInt("ClipboardEnabled", enabled ? 1 : 0);
}

int ReadStoredVideoMode() {
  return ReadIniInt("VideoMode", 1);
}

}  // namespace quellor::clipviewer
