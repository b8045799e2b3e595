// The engine's switcher client of the viewer, named
// "apps.QLClipboard.Switcher<tick count>".
#pragma once

#include "windows.h"

namespace quellor::clipviewer {

// Opens the client, trying a second time (under a fresh name) when the first
// try fails; 0 when the board cannot be reached.
DWORD OpenViewerSwitcherClient();

}  // namespace quellor::clipviewer
