// Reading and writing handles: a heap copy of the clip's path, which every
// later call looks up in the open clip file table. The plug-in remembers the
// handles it gave out, so that an unknown handle, or one already closed, is
// refused instead of being read or freed a second time.
#pragma once

#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace quellor::rtvbridge {

class ClipHandles {
 public:
  // A heap copy of `path`, remembered; null when it cannot be allocated.
  char* Open(const char* path);
  // A copy of the handle's path when the handle is one of ours and still
  // open, else nothing. A copy, taken under the lock: a close on another
  // thread may free the handle as soon as the lock is released.
  std::optional<std::string> PathOf(const void* handle) const;
  // Forgets and frees the handle; false for a handle that is not open.
  bool Close(const void* handle);
  // Forgets and frees every open handle (the plug-in's unload: a host that
  // never closed them cannot use them afterwards).
  void CloseAll();

  // The process's reading handles and writing handles.
  static ClipHandles& Reading();
  static ClipHandles& Writing();

 private:
  mutable std::mutex mutex_;
  std::set<const void*> open_;
};

}  // namespace quellor::rtvbridge
