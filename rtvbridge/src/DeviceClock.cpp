#include "DeviceClock.h"

#include <windows.h>

#include <mutex>
#include <utility>

namespace quellor::rtvbridge {
namespace {

std::int64_t CounterMicroseconds() {
  static const struct Origin {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER start{};
    ULONGLONG startTicks = 0;
    bool counter = false;
    Origin() {
      counter = QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0 &&
                QueryPerformanceCounter(&start);
      startTicks = GetTickCount64();
    }
  } origin;
  if (!origin.counter)
    return static_cast<std::int64_t>(GetTickCount64() - origin.startTicks) * 1000;
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  // 64-bit: a counter at 10 MHz overflows the product after ~10 days of
  // uptime since the origin, so split it into whole seconds and the rest.
  const std::int64_t ticks = now.QuadPart - origin.start.QuadPart;
  const std::int64_t frequency = origin.frequency.QuadPart;
  return ticks / frequency * 1000000 + ticks % frequency * 1000000 / frequency;
}

std::mutex g_mutex;
std::function<std::int64_t()> g_clock;

}  // namespace

std::int64_t DeviceClockMicroseconds() {
  std::function<std::int64_t()> clock;
  {
    std::lock_guard lock(g_mutex);
    clock = g_clock;
  }
  return clock ? clock() : CounterMicroseconds();
}

void SetDeviceClock(std::function<std::int64_t()> clock) {
  std::lock_guard lock(g_mutex);
  g_clock = std::move(clock);
}

}  // namespace quellor::rtvbridge
