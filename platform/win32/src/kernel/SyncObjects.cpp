// Events, mutexes and semaphores. Named objects are shared within the
// process: creating one that exists returns a new handle to it with
// ERROR_ALREADY_EXISTS.
#include "kernel/Waitable.h"

#include <map>
#include <string>
#include <thread>

namespace quellor::win32 {
namespace {

class EventObject final : public Waitable {
 public:
  EventObject(bool manual_reset, bool signaled)
      : Waitable(ObjectKind::Event), manual_reset_(manual_reset), signaled_(signaled) {}
  bool Signaled(DWORD) const override { return signaled_; }
  void Acquire(DWORD) override {
    if (!manual_reset_) signaled_ = false;
  }
  void Set(bool signaled) { signaled_ = signaled; }
  bool manual_reset() const { return manual_reset_; }

 private:
  const bool manual_reset_;
  bool signaled_;  // guarded by SyncMutex()
};

class MutexObject final : public Waitable {
 public:
  MutexObject() : Waitable(ObjectKind::Mutex) {}
  bool Signaled(DWORD thread_id) const override { return owner_ == 0 || owner_ == thread_id; }
  void Acquire(DWORD thread_id) override {
    owner_ = thread_id;
    ++recursion_;
  }
  bool Release(DWORD thread_id) {
    if (owner_ != thread_id || recursion_ == 0) return false;
    if (--recursion_ == 0) owner_ = 0;
    return true;
  }

 private:
  DWORD owner_ = 0;  // guarded by SyncMutex()
  DWORD recursion_ = 0;
};

class SemaphoreObject final : public Waitable {
 public:
  SemaphoreObject(LONG count, LONG maximum)
      : Waitable(ObjectKind::Semaphore), count_(count), maximum_(maximum) {}
  bool Signaled(DWORD) const override { return count_ > 0; }
  void Acquire(DWORD) override { --count_; }
  bool Release(LONG amount, LONG* previous) {
    if (amount <= 0 || amount > maximum_ - count_) return false;
    if (previous) *previous = count_;
    count_ += amount;
    return true;
  }

 private:
  LONG count_;  // guarded by SyncMutex()
  const LONG maximum_;
};

struct NamedObjects {
  std::mutex mutex;
  std::map<std::string, std::weak_ptr<Waitable>> by_name;
};

NamedObjects& TheNamedObjects() {
  static auto* named = new NamedObjects;
  return *named;
}

// Creates (or, for a name in use, finds) an object and returns a handle.
template <typename Make>
HANDLE CreateNamed(LPCSTR name, ObjectKind kind, Make make) {
  std::shared_ptr<Waitable> object;
  bool existed = false;
  if (name != nullptr && *name != '\0') {
    NamedObjects& named = TheNamedObjects();
    std::lock_guard lock(named.mutex);
    std::erase_if(named.by_name, [](const auto& entry) { return entry.second.expired(); });
    auto& slot = named.by_name[name];
    object = slot.lock();
    if (object && object->kind() != kind) {
      SetLastError(ERROR_INVALID_HANDLE);  // the name belongs to another kind of object
      return nullptr;
    }
    existed = object != nullptr;
    if (!object) {
      object = make();
      slot = object;
    }
  } else {
    object = make();
  }
  HANDLE handle = HandleTable::instance().insert(std::move(object));
  if (handle != nullptr) SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

template <typename T>
std::shared_ptr<T> Lookup(HANDLE handle, ObjectKind kind) {
  return LookupObject<T>(handle, kind);
}

BOOL ChangeEvent(HANDLE handle, bool signaled) {
  auto event = Lookup<EventObject>(handle, ObjectKind::Event);
  if (!event) return FALSE;
  {
    std::lock_guard lock(SyncMutex());
    event->Set(signaled);
  }
  if (signaled) NotifySyncChange();
  return TRUE;
}

}  // namespace
}  // namespace quellor::win32

using quellor::win32::ObjectKind;

extern "C" HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState,
                                      LPCSTR lpName) {
  return quellor::win32::CreateNamed(lpName, ObjectKind::Event, [&] {
    return std::make_shared<quellor::win32::EventObject>(bManualReset, bInitialState);
  });
}

extern "C" BOOL WINAPI SetEvent(HANDLE hEvent) {
  return quellor::win32::ChangeEvent(hEvent, true);
}

extern "C" BOOL WINAPI ResetEvent(HANDLE hEvent) {
  return quellor::win32::ChangeEvent(hEvent, false);
}

// Pulsing releases the threads waiting at this moment: it sets the event,
// lets every waiter look (those that are woken take it; an auto-reset event
// lets only one), and resets it. Like on Win32 this is best effort: a thread
// that is between two waits misses the pulse.
extern "C" BOOL WINAPI PulseEvent(HANDLE hEvent) {
  using namespace quellor::win32;
  auto event = Lookup<EventObject>(hEvent, ObjectKind::Event);
  if (!event) return FALSE;
  {
    std::lock_guard lock(SyncMutex());
    event->Set(true);
  }
  NotifySyncChange();
  std::this_thread::yield();
  {
    std::lock_guard lock(SyncMutex());
    event->Set(false);
  }
  return TRUE;
}

extern "C" HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL bInitialOwner, LPCSTR lpName) {
  using namespace quellor::win32;
  HANDLE handle =
      CreateNamed(lpName, ObjectKind::Mutex, [] { return std::make_shared<MutexObject>(); });
  if (handle != nullptr && bInitialOwner && GetLastError() != ERROR_ALREADY_EXISTS) {
    auto mutex = Lookup<MutexObject>(handle, ObjectKind::Mutex);
    std::lock_guard lock(SyncMutex());
    mutex->Acquire(GetCurrentThreadId());
  }
  return handle;
}

extern "C" BOOL WINAPI ReleaseMutex(HANDLE hMutex) {
  using namespace quellor::win32;
  auto mutex = Lookup<MutexObject>(hMutex, ObjectKind::Mutex);
  if (!mutex) return FALSE;
  bool released;
  {
    std::lock_guard lock(SyncMutex());
    released = mutex->Release(GetCurrentThreadId());
  }
  if (!released) {
    SetLastError(ERROR_NOT_OWNER);
    return FALSE;
  }
  NotifySyncChange();
  return TRUE;
}

extern "C" HANDLE WINAPI CreateSemaphoreA(LPSECURITY_ATTRIBUTES, LONG lInitialCount,
                                          LONG lMaximumCount, LPCSTR lpName) {
  using namespace quellor::win32;
  if (lMaximumCount <= 0 || lInitialCount < 0 || lInitialCount > lMaximumCount) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateNamed(lpName, ObjectKind::Semaphore, [&] {
    return std::make_shared<SemaphoreObject>(lInitialCount, lMaximumCount);
  });
}

extern "C" BOOL WINAPI ReleaseSemaphore(HANDLE hSemaphore, LONG lReleaseCount,
                                        LPLONG lpPreviousCount) {
  using namespace quellor::win32;
  auto semaphore = Lookup<SemaphoreObject>(hSemaphore, ObjectKind::Semaphore);
  if (!semaphore) return FALSE;
  bool released;
  {
    std::lock_guard lock(SyncMutex());
    released = semaphore->Release(lReleaseCount, lpPreviousCount);
  }
  if (!released) {
    SetLastError(lReleaseCount <= 0 ? ERROR_INVALID_PARAMETER : ERROR_TOO_MANY_POSTS);
    return FALSE;
  }
  NotifySyncChange();
  return TRUE;
}
