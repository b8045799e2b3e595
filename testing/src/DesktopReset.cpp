#include "quellor/testing/DesktopReset.h"

#include "win32/automation/Answers.h"
#include "win32/automation/Desktop.h"
#include "win32/automation/Modal.h"
#include "windows.h"

namespace quellor::testing {
namespace {

BOOL CALLBACK DestroyOwn(HWND hwnd, LPARAM) {
  DestroyWindow(hwnd);  // fails harmlessly for other threads' windows
  return TRUE;
}

}  // namespace

void ResetDesktop() {
  desktop::UseManualClock(true);
  desktop::SetScreenSize(1920, 1080);
  ReleaseCapture();
}

void ReleaseHeldInput() {
  for (int vk : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON}) {
    if (GetAsyncKeyState(vk) & 0x8000) {
      desktop::ReleaseButton(vk == VK_LBUTTON   ? desktop::Button::Left
                             : vk == VK_RBUTTON ? desktop::Button::Right
                                                : desktop::Button::Middle,
                             0, 0);
    }
  }
  for (int vk = 8; vk < 256; ++vk) {
    if (GetAsyncKeyState(vk) & 0x8000) desktop::ReleaseKey(vk);
  }
  desktop::RunUntilIdle();
}

void ClearDesktopHooks() {
  desktop::SetAnswerHook({});
  desktop::SetModalIdleHook({});
}

void DestroyThreadWindows() {
  EnumWindows(DestroyOwn, 0);
  ReleaseCapture();
}

void DrainThreadQueue() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

}  // namespace quellor::testing
