#include "app/ViewerCommands.h"

#include "app/ClipViewer.h"
#include "app/ViewerSettings.h"
#include "app/ViewerTexts.h"
#include "board/Engine.h"

namespace quellor::clipviewer {

void ViewerCommands::Run(UINT command) {
  switch (command) {
    case kCmdExit:
      DestroyWindow(viewer_.MainWindow());
      break;
    case kCmdOneToOne:
    case kCmdStretchFit:
      OnResize(command);
      break;
    case kCmdDeInterlace:
      OnDeInterlace();
      break;
    case kCmdEnabled:
      OnEnabled();
      break;
    case kCmdPlay:
      if (viewer_.Hooks().playFile) viewer_.Hooks().playFile(viewer_);
      break;
    case kCmdRecord:
      OnRecord();
      break;
    case kCmdInputSettings:
      OnInputSettings();
      break;
    case kCmdOutputSettings:
      OnOutputSettings();
      break;
    case kCmdOutputPreview:
      viewer_.OutputPreview().Start();
      break;
    case kCmdInputPreview:
      viewer_.InputPreview().Start();
      break;
    default:
      break;
  }
}

void ViewerCommands::ShowIfEnabled() {
  if (viewer_.State().clipboardEnabled) viewer_.RunDisplayRoutine();
}

void ViewerCommands::OnResize(UINT command) {
  ViewerState& state = viewer_.State();
  state.resizeMode = command == kCmdOneToOne ? ResizeMode::OneToOne : ResizeMode::StretchToFit;
  ShowIfEnabled();
  WriteResizeSetting(state.resizeMode);
}

void ViewerCommands::OnDeInterlace() {
  ViewerState& state = viewer_.State();
  state.deInterlace = !state.deInterlace;
  ShowIfEnabled();
  WriteDeInterlaceSetting(state.deInterlace);
}

void ViewerCommands::OnEnabled() {
  ViewerState& state = viewer_.State();
  state.clipboardEnabled = !state.clipboardEnabled;
  WriteClipboardEnabledSetting(state.clipboardEnabled);
  if (state.clipboardEnabled) {
    viewer_.RunDisplayRoutine();
  } else {
    const BYTE noParameters[16] = {};
    RTME_SwitcherCommand(viewer_.SwitcherClient(), kRtmeCommandShowLiveInput, noParameters);
  }
}

// A refused second open still refreshes the output afterwards, as a closed
// dialog does.
void ViewerCommands::OnRecord() {
  viewer_.ShowDialog(ViewerDialog::Recorder, viewer_.Hooks().recorderDialog);
  ShowIfEnabled();
}

void ViewerCommands::OnInputSettings() {
  viewer_.ShowDialog(ViewerDialog::InputSettings, viewer_.Hooks().inputSettingsDialog);
  ShowIfEnabled();
}

// The output settings dialog changes "VideoMode" in the settings file; a
// different video mode needs an output hub made for it.
void ViewerCommands::OnOutputSettings() {
  const int before = ReadStoredVideoMode();
  viewer_.ShowDialog(ViewerDialog::OutputSettings, viewer_.Hooks().outputSettingsDialog);
  const int after = ReadStoredVideoMode();
  viewer_.State().videoMode = VideoModeFromSetting(after);
  if (after == before) return;
  OutputDebugStringA("clipviewer: video mode changed, output hub made again\n");
  viewer_.CreateHub();
  viewer_.RunDisplayRoutine();
}

}  // namespace quellor::clipviewer
