#include "AllocationCounter.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <new>

extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* __libc_realloc(void* block, std::size_t size);
extern "C" void* __libc_memalign(std::size_t alignment, std::size_t size);

namespace {

std::atomic<std::uint64_t> g_allocations{0};
thread_local int t_uncounted = 0;

void Count() {
  if (t_uncounted == 0) g_allocations.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

std::uint64_t quellor::bench::AllocationCount() {
  return g_allocations.load(std::memory_order_relaxed);
}

quellor::bench::UncountedScope::UncountedScope() {
  ++t_uncounted;
}

quellor::bench::UncountedScope::~UncountedScope() {
  --t_uncounted;
}

extern "C" void* malloc(std::size_t size) {
  Count();
  return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size) {
  Count();
  return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, std::size_t size) {
  Count();
  return __libc_realloc(block, size);
}

extern "C" int posix_memalign(void** block, std::size_t alignment, std::size_t size) {
  Count();
  void* got = __libc_memalign(alignment, size);
  if (got == nullptr) return ENOMEM;
  *block = got;
  return 0;
}

extern "C" void* aligned_alloc(std::size_t alignment, std::size_t size) {
  Count();
  return __libc_memalign(alignment, size);
}

void* operator new(std::size_t size) {
  Count();
  if (void* block = __libc_malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
  return operator new(size);
}

void operator delete(void* block) noexcept {
  std::free(block);
}

void operator delete[](void* block) noexcept {
  std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept {
  std::free(block);
}
