// Load and unload of rtvbridge.so: the static initialisation (settings,
// board connection, board settings) and then the entry point's process
// attach, and the exit-time work at unload. A machine without the board
// ends the host's process with exit code 1, as the editing host expects.
#include <windows.h>

#include "BridgeProcess.h"
#include "win32/quellor_host.h"

// This object's handle for the C++ run-time's exit list.
extern "C" void* __dso_handle;
extern "C" int __cxa_atexit(void (*function)(void*), void* argument, void* dso);

namespace {

HMODULE ThisModule() {
  static const int marker = 0;
  return quellor::win32::ModuleFromAddress(&marker);
}

void UnloadRtvBridge(void*) {
  quellor::rtvbridge::CleanUpStatics();
}

__attribute__((constructor)) void LoadRtvBridge() {
  if (!quellor::rtvbridge::InitialiseStatics()) ExitProcess(1);
  // Registered after the process state and the clip table exist, so that it
  // runs before they go, at unload and at process exit alike. Tied to this
  // object as its static destructors are: a plain atexit may be kept for
  // the process's exit (sanitizer run-times do so) and then call into a
  // library that was unloaded long before.
  __cxa_atexit(UnloadRtvBridge, nullptr, &__dso_handle);
  quellor::rtvbridge::ProcessAttach(ThisModule());
}

}  // namespace
