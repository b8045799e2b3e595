#include "recorder/FrameRing.h"

#include <cstring>

namespace quellor::clipviewer::recorder {

FrameRing::FrameRing(size_t frameBytes) : frameBytes_(frameBytes) {
  for (auto& buffer : buffers_) {
    buffer = static_cast<BYTE*>(
        VirtualAlloc(nullptr, frameBytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (buffer == nullptr) return;
    // Touch every page now: a first touch inside the field callback would be
    // a page fault (and a page of zeros) per 4 KB, some 85 a field.
    std::memset(buffer, 0, frameBytes);
  }
  allocated_ = true;
  // At first every buffer is free, in order, and the full list is empty.
  for (int i = 0; i < kFrameBufferCount; ++i)
    next_[static_cast<size_t>(i)] = i + 1 < kFrameBufferCount ? i + 1 : kNoBuffer;
  freeHead_ = 0;
}

FrameRing::~FrameRing() {
  for (BYTE* buffer : buffers_)
    if (buffer != nullptr) VirtualFree(buffer, 0, MEM_RELEASE);
}

int FrameRing::TakeFree() {
  std::lock_guard<std::mutex> hold(lock_);
  const int index = freeHead_;
  if (index != kNoBuffer) freeHead_ = next_[static_cast<size_t>(index)];
  return index;
}

void FrameRing::PutFull(int index) {
  std::lock_guard<std::mutex> hold(lock_);
  next_[static_cast<size_t>(index)] = kNoBuffer;
  if (fullHead_ == kNoBuffer) {
    fullHead_ = index;
    return;
  }
  int tail = fullHead_;
  while (next_[static_cast<size_t>(tail)] != kNoBuffer) tail = next_[static_cast<size_t>(tail)];
  next_[static_cast<size_t>(tail)] = index;
}

int FrameRing::TakeFull() {
  std::lock_guard<std::mutex> hold(lock_);
  const int index = fullHead_;
  if (index != kNoBuffer) fullHead_ = next_[static_cast<size_t>(index)];
  return index;
}

void FrameRing::PutFree(int index) {
  std::lock_guard<std::mutex> hold(lock_);
  next_[static_cast<size_t>(index)] = freeHead_;
  freeHead_ = index;
}

int FrameRing::CountFrom(int head) const {
  int count = 0;
  for (int i = head; i != kNoBuffer; i = next_[static_cast<size_t>(i)]) ++count;
  return count;
}

int FrameRing::FreeCount() const {
  std::lock_guard<std::mutex> hold(lock_);
  return CountFrom(freeHead_);
}

int FrameRing::FullCount() const {
  std::lock_guard<std::mutex> hold(lock_);
  return CountFrom(fullHead_);
}

}  // namespace quellor::clipviewer::recorder
