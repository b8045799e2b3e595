#include "app/ViewerHooks.h"

#include <memory>

#include "display/ClipboardDisplay.h"
#include "play/PlayCommand.h"
#include "windows.h"

namespace quellor::clipviewer {
namespace {

std::function<void(ClipViewer&)> LogOnly(const char* what) {
  return [what](ClipViewer&) {
    OutputDebugStringA("clipviewer: ");
    OutputDebugStringA(what);
    OutputDebugStringA(" (not built yet)\n");
  };
}

}  // namespace

ViewerHooks PlaceholderHooks() {
  ViewerHooks hooks;
  hooks.renderOutput = [display = std::make_shared<ClipboardDisplay>()](ClipViewer& viewer) {
    display->Render(viewer);
  };
  hooks.playFile = [play = std::make_shared<PlayCommand>()](ClipViewer& viewer) {
    play->Run(viewer);
  };
  hooks.recorderDialog = LogOnly("recorder dialog");
  hooks.inputSettingsDialog = LogOnly("input settings dialog");
  hooks.outputSettingsDialog = LogOnly("output settings dialog");
  return hooks;
}

}  // namespace quellor::clipviewer
