#include "ClipHandles.h"

#include <cstdlib>
#include <cstring>

namespace quellor::rtvbridge {

char* ClipHandles::Open(const char* path) {
  if (path == nullptr) return nullptr;
  const std::size_t length = std::strlen(path);
  auto* copy = static_cast<char*>(std::malloc(length + 1));
  if (copy == nullptr) return nullptr;
  std::memcpy(copy, path, length + 1);
  std::lock_guard<std::mutex> lock(mutex_);
  open_.insert(copy);
  return copy;
}

std::optional<std::string> ClipHandles::PathOf(const void* handle) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (open_.count(handle) == 0) return std::nullopt;
  return std::string(static_cast<const char*>(handle));
}

bool ClipHandles::Close(const void* handle) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (open_.erase(handle) == 0) return false;
  }
  std::free(const_cast<void*>(handle));
  return true;
}

void ClipHandles::CloseAll() {
  std::set<const void*> open;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    open.swap(open_);
  }
  for (const void* handle : open) std::free(const_cast<void*>(handle));
}

ClipHandles& ClipHandles::Reading() {
  static ClipHandles handles;
  return handles;
}

ClipHandles& ClipHandles::Writing() {
  static ClipHandles handles;
  return handles;
}

}  // namespace quellor::rtvbridge
