#include "app/ViewerSettings.h"

#include "settings/IniSettings.h"

namespace quellor::clipviewer {

using settings::ReadIniInt;
using settings::WriteIniInt;

void ReadViewerSettings(ViewerState& state) {
  state.resizeMode = ResizeModeFromSetting(ReadIniInt("Resize", 0));
  state.deInterlace = ReadIniInt("DeInterlace", 1) != 0;
  state.clipboardEnabled = ReadIniInt("ClipboardEnabled", 1) != 0;
  state.videoMode = VideoModeFromSetting(ReadStoredVideoMode());
}

void WriteViewerSettings(const ViewerState& state) {
  WriteResizeSetting(state.resizeMode);
  WriteDeInterlaceSetting(state.deInterlace);
  WriteClipboardEnabledSetting(state.clipboardEnabled);
  WriteIniInt("VideoMode", ToSetting(state.videoMode));
}

void WriteResizeSetting(ResizeMode mode) {
  WriteIniInt("Resize", ToSetting(mode));
}

void WriteDeInterlaceSetting(bool on) {
  WriteIniInt("DeInterlace", on ? 1 : 0);
}

void WriteClipboardEnabledSetting(bool enabled) {
  WriteIniInt("ClipboardEnabled", enabled ? 1 : 0);
}

int ReadStoredVideoMode() {
  return ReadIniInt("VideoMode", 1);
}

}  // namespace quellor::clipviewer
