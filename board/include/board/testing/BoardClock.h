// Hand control of the board's field clock, for tests: nothing waits on the
// wall clock. With the manual clock the board makes fields only when told to,
// and runs every delivery (probe callbacks, output fields, completion
// callbacks) on the calling thread before AdvanceFields returns.
#pragma once

#include <quellor/Export.h>

#include <cstdint>

namespace quellor::board::testing {

// Stops the real-time clock thread of this process; currentField becomes the
// time stamp that engine ordinal 98 reports until the next advance.
QUELLOR_EXPORT void UseManualClock(std::uint32_t currentField);
// Runs the next `count` fields (time stamps currentField + 1 ...), one after
// the other, and returns when all their deliveries are done.
QUELLOR_EXPORT void AdvanceFields(std::uint32_t count);
// Back to the clock thread at the field rate.
QUELLOR_EXPORT void UseRealtimeClock();
QUELLOR_EXPORT std::uint32_t CurrentField();
// Fields this process could not deliver because a probe held all its buffers.
QUELLOR_EXPORT std::uint64_t ProcessOverruns();
// Destroys every object of this process and reads QUELLOR_BOARD_DIR and
// QUELLOR_BOARD again (the clock stays as it is).
QUELLOR_EXPORT void ResetBoard();

}  // namespace quellor::board::testing
