// The shared heap is the process's C heap: every module of the process links
// the same C library, so any of them may free what another allocated.
#include "qlxrapi/OrvaneHeap.h"

#include <cstdlib>

void* Orvane_malloc(unsigned int size) {
  return std::malloc(size);
}

void Orvane_free(void* block) {
  std::free(block);
}

void* Orvane_realloc(void* block, unsigned int size) {
  return std::realloc(block, size);
}
