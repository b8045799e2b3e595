// The frame buffers of this process's engine outputs, for tests and scripts
// that run the manual clock: they tell whether a program has rendered into
// every buffer the board gave back, so the clock can be moved on without
// guessing how long a render takes.
#pragma once

#include <quellor/Export.h>

#include <cstdint>
#include <vector>

#include "win32/types.h"

namespace quellor::board::testing {

struct OutputFrameCounts {
  DWORD output = 0;          // the engine output's handle
  std::uint32_t free = 0;    // the board's, ready to be lent
  std::uint32_t lent = 0;    // taken by the program, neither shown nor given back yet
  std::uint32_t queued = 0;  // shown by the program: waiting for the output or on it
};

// One entry per engine output of this process, in no particular order.
QUELLOR_EXPORT std::vector<OutputFrameCounts> OutputFrames();

}  // namespace quellor::board::testing
