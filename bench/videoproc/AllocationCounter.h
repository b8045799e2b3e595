// Counts the allocations of the whole process (operator new and the C
// library's malloc family, which the shared heap uses), so that a benchmark
// can report allocations per frame. The replacements live in
// AllocationCounter.cpp and take effect in every module of the process.
#pragma once

#include <cstdint>

namespace quellor::bench {

std::uint64_t AllocationCount();

// While one lives, the calling thread's allocations are not counted (for
// work that drives the measurement, such as the board's hand clock).
class UncountedScope {
 public:
  UncountedScope();
  ~UncountedScope();
  UncountedScope(const UncountedScope&) = delete;
  UncountedScope& operator=(const UncountedScope&) = delete;
};

}  // namespace quellor::bench
