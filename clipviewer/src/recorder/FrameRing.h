// The recorder's 20 frame buffers and the two lists that hand them between
// the engine's field callback (free -> full) and the writer thread
// (full -> disk -> free). Buffers are page-aligned committed memory, as the
// unbuffered clip writes need. The lists are singly linked by index through
// one next-index array (-1 ends a list); a short lock guards them and never
// covers a copy or a disk write.
#pragma once

#include <array>
#include <cstddef>
#include <mutex>

#include "windows.h"

namespace quellor::clipviewer::recorder {

inline constexpr int kFrameBufferCount = 20;
inline constexpr int kNoBuffer = -1;

class FrameRing {
 public:
  // Commits kFrameBufferCount buffers of `frameBytes` each; Allocated() is
  // false when the memory could not be had (whatever was had is given back).
  explicit FrameRing(size_t frameBytes);
  ~FrameRing();
  FrameRing(const FrameRing&) = delete;
  FrameRing& operator=(const FrameRing&) = delete;

  bool Allocated() const { return allocated_; }
  size_t FrameBytes() const { return frameBytes_; }
  BYTE* Buffer(int index) const { return buffers_[static_cast<size_t>(index)]; }

  // The head of the free list, taken off it; kNoBuffer when none is free.
  int TakeFree();
  // Appends at the tail of the full list.
  void PutFull(int index);
  // The head of the full list, taken off it; kNoBuffer when it is empty.
  int TakeFull();
  // Puts a buffer back at the head of the free list.
  void PutFree(int index);

  // Counts, for tests and the benchmark.
  int FreeCount() const;
  int FullCount() const;

 private:
  int CountFrom(int head) const;

  size_t frameBytes_;
  bool allocated_ = false;
  std::array<BYTE*, kFrameBufferCount> buffers_{};
  mutable std::mutex lock_;
  std::array<int, kFrameBufferCount> next_{};
  int freeHead_ = kNoBuffer;
  int fullHead_ = kNoBuffer;
};

}  // namespace quellor::clipviewer::recorder
