// The standard control classes exist from the moment the library is loaded,
// as the system classes of Windows do.
#include "windows.h"

namespace quellor::win32 {

void RegisterButtonClass();
void RegisterStaticClass();
void RegisterEditClass();
void RegisterListBoxClass();
void RegisterComboBoxClass();
void RegisterTrackbarClass();

namespace {

const bool gRegistered = [] {
  RegisterButtonClass();
  RegisterStaticClass();
  RegisterEditClass();
  RegisterListBoxClass();
  RegisterComboBoxClass();
  RegisterTrackbarClass();
  return true;
}();

}  // namespace
}  // namespace quellor::win32

// The common controls are registered at load; this is kept for programs
// that call it first, as they must on Windows.
extern "C" BOOL WINAPI InitCommonControls(void) {
  return TRUE;
}
