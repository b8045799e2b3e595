// The recorder and the two board settings dialogs, put into the viewer's
// hooks.
#pragma once

#include "app/ViewerHooks.h"

namespace quellor::clipviewer {

void InstallBoardDialogHooks(ViewerHooks& hooks);

}  // namespace quellor::clipviewer
