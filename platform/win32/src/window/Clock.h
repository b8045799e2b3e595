// The tick source of the window system (message times, timers, double-click
// timing). Real milliseconds by default; tests switch to a manual clock and
// advance it by hand so that nothing waits on wall-clock time.
#pragma once

#include "win32/types.h"

namespace quellor::win32 {

DWORD ClockNow();
bool ClockIsManual();
void ClockSetManual(bool manual);
// Advances the manual clock and wakes every message queue (timers may be due).
void ClockAdvance(DWORD milliseconds);

}  // namespace quellor::win32
