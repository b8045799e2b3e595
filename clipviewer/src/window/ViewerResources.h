// The program's resources: the tray and class icon (101) and the menu (102)
// whose first popup is the tray menu.
#pragma once

#include "windows.h"

namespace quellor::clipviewer {

void RegisterViewerResources(HMODULE module);

}  // namespace quellor::clipviewer
