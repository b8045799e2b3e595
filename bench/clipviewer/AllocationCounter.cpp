#include "AllocationCounter.h"

#include <atomic>
#include <cstddef>
#include <cstring>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace {
thread_local bool tBenchmarkThread = false;
std::atomic<std::uint64_t> gOtherAllocations{0};

void Count() {
  if (!tBenchmarkThread) gOtherAllocations.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

namespace quellor::bench {
void MarkBenchmarkThread() {
  tBenchmarkThread = true;
}
std::uint64_t OtherThreadAllocations() {
  return gOtherAllocations.load();
}
}  // namespace quellor::bench

extern "C" {

void* malloc(std::size_t size) {
  Count();
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
  Count();
  return __libc_calloc(count, size);
}
void* realloc(void* block, std::size_t size) {
  Count();
  return __libc_realloc(block, size);
}
void free(void* block) {
  __libc_free(block);
}
void* memalign(std::size_t alignment, std::size_t size) {
  Count();
  return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
  Count();
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
  Count();
  *result = __libc_memalign(alignment, size);
  return *result != nullptr ? 0 : 12;  // ENOMEM
}

}  // extern "C"
