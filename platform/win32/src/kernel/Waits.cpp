#include "kernel/Waitable.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace quellor::win32 {
namespace {

std::condition_variable& SyncChanged() {
  static auto* changed = new std::condition_variable;
  return *changed;
}

using Clock = std::chrono::steady_clock;
constexpr auto kPollInterval = std::chrono::milliseconds(2);

// Index of the satisfied object (0 for wait-all), or -1.
int SatisfiedIndex(const std::vector<std::shared_ptr<Waitable>>& objects, bool wait_all,
                   DWORD thread_id) {
  if (wait_all) {
    for (const auto& object : objects) {
      if (!object->Signaled(thread_id)) return -1;
    }
    for (const auto& object : objects) object->Acquire(thread_id);
    return 0;
  }
  for (std::size_t i = 0; i < objects.size(); ++i) {
    if (objects[i]->Signaled(thread_id)) {
      objects[i]->Acquire(thread_id);
      return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace

DWORD WaitForObjects(const std::vector<std::shared_ptr<Waitable>>& objects, bool wait_all,
                     DWORD milliseconds) {
  const DWORD thread_id = GetCurrentThreadId();
  const bool polling = std::any_of(objects.begin(), objects.end(),
                                   [](const auto& object) { return object->NeedsPolling(); });
  const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  std::unique_lock lock(SyncMutex());
  for (;;) {
    int index = SatisfiedIndex(objects, wait_all, thread_id);
    if (index >= 0) return WAIT_OBJECT_0 + static_cast<DWORD>(index);
    if (milliseconds == 0) return WAIT_TIMEOUT;
    if (milliseconds == INFINITE) {
      if (polling) {
        SyncChanged().wait_for(lock, kPollInterval);
      } else {
        SyncChanged().wait(lock);
      }
      continue;
    }
    auto now = Clock::now();
    if (now >= deadline) return WAIT_TIMEOUT;
    auto until = polling ? std::min(deadline, now + kPollInterval) : deadline;
    SyncChanged().wait_until(lock, until);
  }
}

std::mutex& SyncMutex() {
  static auto* mutex = new std::mutex;  // used by threads that may outlive statics
  return *mutex;
}

void NotifySyncChange() {
  SyncChanged().notify_all();
}

std::shared_ptr<Waitable> LookupWaitable(HANDLE handle) {
  auto object = HandleTable::instance().lookup(handle);
  switch (object ? object->kind() : ObjectKind::File) {
    case ObjectKind::Event:
    case ObjectKind::Mutex:
    case ObjectKind::Semaphore:
    case ObjectKind::Thread:
    case ObjectKind::Process:
      return std::static_pointer_cast<Waitable>(object);
    default:
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
  }
}

}  // namespace quellor::win32

extern "C" DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  auto object = quellor::win32::LookupWaitable(hHandle);
  if (!object) return WAIT_FAILED;
  return quellor::win32::WaitForObjects({object}, false, dwMilliseconds);
}

extern "C" DWORD WINAPI WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                                               DWORD dwMilliseconds) {
  if (nCount == 0 || nCount > MAXIMUM_WAIT_OBJECTS || lpHandles == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  std::vector<std::shared_ptr<quellor::win32::Waitable>> objects;
  for (DWORD i = 0; i < nCount; ++i) {
    auto object = quellor::win32::LookupWaitable(lpHandles[i]);
    if (!object) return WAIT_FAILED;
    // Wait-all on one object twice could never be satisfied consistently.
    if (bWaitAll && std::find(objects.begin(), objects.end(), object) != objects.end()) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return WAIT_FAILED;
    }
    objects.push_back(std::move(object));
  }
  return quellor::win32::WaitForObjects(objects, bWaitAll, dwMilliseconds);
}
