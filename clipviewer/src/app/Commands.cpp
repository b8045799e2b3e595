// The commands of the tray menu.
#include "app/ClipViewer.h"
#include "app/ViewerTexts.h"
#include "board/Engine.h"
#include "settings/IniSettings.h"

namespace quellor::clipviewer {

using settings::ReadIniInt;
using settings::WriteIniInt;

void ClipViewer::OnCommand(UINT command) {
  switch (command) {
    case kCmdExit:
      DestroyWindow(mainWindow_);
      break;
    case kCmdOneToOne:
    case kCmdStretchFit:
      resizeMode = command == kCmdOneToOne ? 1 : 0;
      if (clipboardEnabled) RunDisplayRoutine();
      WriteIniInt("Resize", resizeMode);
      break;
    case kCmdDeInterlace:
      deInterlace = deInterlace ? 0 : 1;
      if (clipboardEnabled) RunDisplayRoutine();
      WriteIniInt("DeInterlace", deInterlace);
      break;
    case kCmdEnabled:
      OnEnabled();
      break;
    case kCmdPlay:
      if (hooks_.playFile) hooks_.playFile(*this);
      break;
    case kCmdRecord:
      RunDialogOnce(recorderOpen, hooks_.recorderDialog);
      if (clipboardEnabled) RunDisplayRoutine();
      break;
    case kCmdInputSettings:
      RunDialogOnce(inputSettingsOpen, hooks_.inputSettingsDialog);
      if (clipboardEnabled) RunDisplayRoutine();
      break;
    case kCmdOutputSettings:
      OnOutputSettings();
      break;
    case kCmdOutputPreview:
      outputPreview_.Start();
      break;
    case kCmdInputPreview:
      inputPreview_.Start();
      break;
    default:
      break;
  }
}

void ClipViewer::RunDialogOnce(bool& open, const std::function<void(ClipViewer&)>& dialog) {
  if (open || !dialog) return;
  open = true;
  dialog(*this);
  open = false;
}

void ClipViewer::OnEnabled() {
  clipboardEnabled = clipboardEnabled ? 0 : 1;
  WriteIniInt("ClipboardEnabled", clipboardEnabled);
  if (clipboardEnabled) {
    RunDisplayRoutine();
  } else {
    const BYTE noParameters[16] = {};
    RTME_SwitcherCommand(switcherClient_, kRtmeCommandShowLiveInput, noParameters);
  }
}

void ClipViewer::OnOutputSettings() {
  const int before = ReadIniInt("VideoMode", 1);
  RunDialogOnce(outputSettingsOpen, hooks_.outputSettingsDialog);
  videoMode = ReadIniInt("VideoMode", 1);
  if (videoMode == before) return;
  OutputDebugStringA("clipviewer: video mode changed, output hub made again\n");
  CreateHub();
  RunDisplayRoutine();
}

}  // namespace quellor::clipviewer
