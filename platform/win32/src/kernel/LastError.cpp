#include <windows.h>

namespace {
// Each thread keeps its own last-error code, as on Win32.
thread_local DWORD t_last_error = ERROR_SUCCESS;
}  // namespace

extern "C" DWORD WINAPI GetLastError(void) {
  return t_last_error;
}

extern "C" void WINAPI SetLastError(DWORD dwErrCode) {
  t_last_error = dwErrCode;
}
