// The process-wide table of kernel objects behind HANDLE values.
//
// A HANDLE is a small table index in disguise (never 0 and never one of the
// pseudo-handles -1/-2). Lookups hand out shared_ptr references, so an object
// stays alive while a call uses it even if another thread closes the handle
// at the same moment; the closing call only drops the table's reference.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <deque>
#include <vector>

namespace quellor::win32 {

enum class ObjectKind { File, Find, Event, Mutex, Semaphore, Thread, Process };

class KernelObject {
 public:
  explicit KernelObject(ObjectKind kind) : kind_(kind) {}
  virtual ~KernelObject() = default;
  KernelObject(const KernelObject&) = delete;
  KernelObject& operator=(const KernelObject&) = delete;

  ObjectKind kind() const { return kind_; }

 private:
  ObjectKind kind_;
};

class HandleTable {
 public:
  static HandleTable& instance();

  HANDLE insert(std::shared_ptr<KernelObject> object);
  std::shared_ptr<KernelObject> lookup(HANDLE handle) const;
  // Removes the entry; returns false when the handle was not open.
  bool close(HANDLE handle);

 private:
  struct Slot {
    std::shared_ptr<KernelObject> object;
    std::uint32_t generation = 0;  // bumped on close, so stale handles miss
  };
  mutable std::mutex mutex_;
  std::vector<Slot> slots_;
  std::deque<std::size_t> free_slots_;  // oldest first: delays reuse
};

// Looks a handle up and checks its kind; on failure sets ERROR_INVALID_HANDLE
// and returns null.
template <typename T>
std::shared_ptr<T> LookupObject(HANDLE handle, ObjectKind kind) {
  auto object = HandleTable::instance().lookup(handle);
  if (!object || object->kind() != kind) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return std::static_pointer_cast<T>(object);
}

}  // namespace quellor::win32
