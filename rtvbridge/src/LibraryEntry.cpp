// Load and unload of rtvbridge.so: the static initialisation (settings,
// board connection, board settings) and then the entry point's process
// attach, and the exit-time work at unload. A machine without the board
// ends the host's process with exit code 1, as the editing host expects.
#include <windows.h>

#include <cstdlib>

#include "BridgeProcess.h"
#include "win32/quellor_host.h"

namespace {

HMODULE ThisModule() {
  static const int marker = 0;
  return quellor::win32::ModuleFromAddress(&marker);
}

void UnloadRtvBridge() {
  quellor::rtvbridge::CleanUpStatics();
}

__attribute__((constructor)) void LoadRtvBridge() {
  if (!quellor::rtvbridge::InitialiseStatics()) ExitProcess(1);
  // Registered after the process state and the clip table exist, so that it
  // runs before they go, at unload and at process exit alike.
  std::atexit(UnloadRtvBridge);
  quellor::rtvbridge::ProcessAttach(ThisModule());
}

}  // namespace
