// The waveform monitors' part of the plug-in's load and unload: the two
// controls registered by name (with their window classes) and the
// process-wide graticules.
#pragma once

#include <windows.h>

namespace quellor::videoproc {

// On attach registers "WaveformMonitor" and "WaveformMonitorOut" and loads
// the graticules; on detach frees and removes them. Throws "Could not
// register window class ##Type." when a window class cannot be registered.
bool AnswerScopeEntryPoint(DWORD reason);

}  // namespace quellor::videoproc
