// Kernel objects that WaitForSingleObject/WaitForMultipleObjects can wait on.
//
// All waitable state lives under one process-wide lock with one condition
// variable: a wait checks its objects, and every state change wakes all
// waiters to check again. Waits on many objects at once (wait-all included)
// stay simple and atomic that way, and the objects' traffic is small.
#pragma once

#include "kernel/HandleTable.h"

#include <condition_variable>
#include <mutex>
#include <vector>

namespace quellor::win32 {

std::mutex& SyncMutex();
// Call after changing waitable state (the lock may be held or not).
void NotifySyncChange();

class Waitable : public KernelObject {
 public:
  using KernelObject::KernelObject;
  // Both run with SyncMutex() held. `thread_id` is the waiting thread.
  virtual bool Signaled(DWORD thread_id) const = 0;
  // What a satisfied wait does to the object (auto-reset, count, owner).
  virtual void Acquire(DWORD /*thread_id*/) {}
  // True when the state changes without a NotifySyncChange (a process that
  // is not our child): waits then look again every few milliseconds.
  virtual bool NeedsPolling() const { return false; }
};

// Waits as WaitForMultipleObjects does, on objects already looked up: for the
// window system's waits that include a thread's message queue (a Waitable of
// its own whose state changes are followed by NotifySyncChange).
DWORD WaitForObjects(const std::vector<std::shared_ptr<Waitable>>& objects, bool wait_all,
                     DWORD milliseconds);

// The waitable object of a handle, or null with ERROR_INVALID_HANDLE.
std::shared_ptr<Waitable> LookupWaitable(HANDLE handle);

}  // namespace quellor::win32
