#include "app/ViewerHooks.h"

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
  hooks.renderOutput = LogOnly("render the clipboard onto the output");
  hooks.playFile = LogOnly("choose and play a clip or picture file");
  hooks.recorderDialog = LogOnly("recorder dialog");
  hooks.inputSettingsDialog = LogOnly("input settings dialog");
  hooks.outputSettingsDialog = LogOnly("output settings dialog");
  return hooks;
}

}  // namespace quellor::clipviewer
