#include "app/BoardDialogHooks.h"

#include "app/ClipViewer.h"
#include "app/Pause.h"
#include "board/Engine.h"
#include "settings/ControlSender.h"
#include "recorder/RecorderDialog.h"
#include "settingsdialogs/InputSettingsDialog.h"
#include "settingsdialogs/OutputSettingsDialog.h"

namespace quellor::clipviewer {
namespace {

settingsdialogs::DialogContext ContextFor(ClipViewer& viewer) {
  settingsdialogs::DialogContext context;
  context.settings = &viewer.BoardSettings();
  context.send = settings::EngineControlSender(viewer.SwitcherClient());
  context.pause = [](DWORD ms) { Pause(ms); };
  const DWORD client = viewer.SwitcherClient();
  context.showLiveInput = [client] {
    const BYTE noParameters[16] = {};
    RTME_SwitcherCommand(client, kRtmeCommandShowLiveInput, noParameters);
  };
  return context;
}

}  // namespace

void InstallBoardDialogHooks(ViewerHooks& hooks) {
  hooks.recorderDialog = [](ClipViewer& viewer) { recorder::RecorderDialog(viewer).Run(); };
  hooks.inputSettingsDialog = [](ClipViewer& viewer) {
    settingsdialogs::InputSettingsDialog(ContextFor(viewer)).Run(viewer.MainWindow());
  };
  // The output keys go to the settings file as the dialog closes; the viewer
  // then reads `VideoMode` back and makes its output for it.
  hooks.outputSettingsDialog = [](ClipViewer& viewer) {
    settingsdialogs::OutputSettingsDialog(ContextFor(viewer)).Run(viewer.MainWindow());
    settings::WriteOutputSettings(viewer.BoardSettings());
  };
}

}  // namespace quellor::clipviewer
