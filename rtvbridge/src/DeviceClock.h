// The output device's clock: microseconds since its first use, from the
// high-resolution performance counter (the millisecond tick count where
// there is none). Presentation times of the sink are measured on it.
#pragma once

#include <cstdint>
#include <functional>

namespace quellor::rtvbridge {

std::int64_t DeviceClockMicroseconds();

// Tests drive the clock by hand; an empty function restores the counter.
void SetDeviceClock(std::function<std::int64_t()> clock);

}  // namespace quellor::rtvbridge
