// The pauses between engine teardown steps and at start-up. Tests replace the
// wait so that they never sleep on the wall clock.
#pragma once

#include <functional>

#include "windows.h"

namespace quellor::clipviewer {

using PauseFunction = std::function<void(DWORD milliseconds)>;

void Pause(DWORD milliseconds);
// Installs a replacement (an empty function restores Sleep); returns the
// previous one. Not thread-safe: set it before the program's threads start.
PauseFunction SetPauseFunction(PauseFunction pause);

}  // namespace quellor::clipviewer
