#include "Clock.h"

#include <atomic>
#include <chrono>

#include "WindowManager.h"

namespace quellor::win32 {
namespace {
std::atomic<bool> gManual{false};
std::atomic<DWORD> gManualNow{0};

DWORD RealNow() {
  static const auto start = std::chrono::steady_clock::now();
  auto elapsed = std::chrono::steady_clock::now() - start;
  // Starts at an arbitrary non-zero value like GetTickCount; wraps at 2^32.
  return DWORD(0x10000 + std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}
}  // namespace

DWORD ClockNow() {
  return gManual ? gManualNow.load() : RealNow();
}
bool ClockIsManual() {
  return gManual;
}

void ClockSetManual(bool manual) {
  if (manual && !gManual) gManualNow = RealNow();
  gManual = manual;
  WakeAllQueues();
}

void ClockAdvance(DWORD milliseconds) {
  gManualNow += milliseconds;
  WakeAllQueues();
}

}  // namespace quellor::win32
