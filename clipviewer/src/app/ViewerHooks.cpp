#include "app/ViewerHooks.h"

#include <memory>

#include "app/BoardDialogHooks.h"
#include "display/ClipboardDisplay.h"
#include "play/PlayCommand.h"

namespace quellor::clipviewer {
ViewerHooks StandardHooks() {
  ViewerHooks hooks;
  hooks.renderOutput = [display = std::make_shared<ClipboardDisplay>()](ClipViewer& viewer) {
    display->Render(viewer);
  };
  hooks.playFile = [play = std::make_shared<PlayCommand>()](ClipViewer& viewer) {
    play->Run(viewer);
  };
  InstallBoardDialogHooks(hooks);
  return hooks;
}

}  // namespace quellor::clipviewer
