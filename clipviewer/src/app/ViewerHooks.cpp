#include "app/ViewerHooks.h"

#include "app/BoardDialogHooks.h"

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
  InstallBoardDialogHooks(hooks);
  return hooks;
}

}  // namespace quellor::clipviewer
