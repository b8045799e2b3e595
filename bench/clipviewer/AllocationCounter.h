// Counts heap allocations made by threads other than the benchmark's own
// (there: the output hub's converter thread; the board's clock is manual, so
// it has no thread). malloc and its kin are taken over in this program and
// passed on to the C library's own.
#pragma once

#include <cstdint>

namespace quellor::bench {

// Marks the calling thread as the benchmark's: its allocations are not counted.
void MarkBenchmarkThread();
std::uint64_t OtherThreadAllocations();

}  // namespace quellor::bench
