// CreateThread and its thread objects. A thread object is signalled when its
// routine returns or it calls ExitThread; thread ids are the kernel's.
#include "kernel/Scheduling.h"
#include "kernel/Waitable.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>

namespace quellor::win32 {
namespace {

class ThreadObject final : public Waitable {
 public:
  ThreadObject(LPTHREAD_START_ROUTINE routine, LPVOID parameter, bool suspended)
      : Waitable(ObjectKind::Thread),
        routine_(routine),
        parameter_(parameter),
        suspend_count_(suspended ? 1 : 0) {}

  bool Signaled(DWORD) const override { return finished_; }

  void Run();  // on the new thread
  DWORD Id();  // waits until the new thread has told it
  DWORD Resume();
  DWORD ExitCode();
  void Finish(DWORD code);
  void SetExitCode(DWORD code);
  int priority() const { return priority_.load(); }
  void SetPriority(int priority) {
    priority_ = priority;
    ApplyThreadPriority(static_cast<pid_t>(Id()), priority);
  }

 private:
  LPTHREAD_START_ROUTINE routine_;
  LPVOID parameter_;
  std::mutex start_mutex_;  // start-up handshake: id and suspension
  std::condition_variable start_changed_;
  DWORD suspend_count_;
  DWORD id_ = 0;
  std::atomic<int> priority_{THREAD_PRIORITY_NORMAL};
  // Guarded by SyncMutex():
  bool finished_ = false;
  bool exit_code_set_ = false;
  DWORD exit_code_ = STILL_ACTIVE;
};

thread_local ThreadObject* t_current_thread = nullptr;
thread_local int t_priority = THREAD_PRIORITY_NORMAL;  // threads not made by CreateThread

// Marks the thread finished however it ends: by returning, or by the forced
// unwinding of ExitThread (pthread_exit).
struct FinishOnExit {
  ThreadObject* thread;
  DWORD code = 0;
  ~FinishOnExit() { thread->Finish(code); }
};

void ThreadObject::Run() {
  {
    std::unique_lock lock(start_mutex_);
    id_ = GetCurrentThreadId();
    start_changed_.notify_all();
    start_changed_.wait(lock, [this] { return suspend_count_ == 0; });
  }
  t_current_thread = this;
  FinishOnExit finish{this};
  finish.code = routine_(parameter_);
}

DWORD ThreadObject::Id() {
  std::unique_lock lock(start_mutex_);
  start_changed_.wait(lock, [this] { return id_ != 0; });
  return id_;
}

DWORD ThreadObject::Resume() {
  std::lock_guard lock(start_mutex_);
  DWORD previous = suspend_count_;
  if (suspend_count_ > 0 && --suspend_count_ == 0) start_changed_.notify_all();
  return previous;
}

DWORD ThreadObject::ExitCode() {
  std::lock_guard lock(SyncMutex());
  return finished_ ? exit_code_ : STILL_ACTIVE;
}

void ThreadObject::SetExitCode(DWORD code) {
  std::lock_guard lock(SyncMutex());
  exit_code_ = code;
  exit_code_set_ = true;
}

void ThreadObject::Finish(DWORD code) {
  {
    std::lock_guard lock(SyncMutex());
    if (!exit_code_set_) exit_code_ = code;
    finished_ = true;
  }
  NotifySyncChange();
}

extern "C" void* ThreadEntry(void* argument) {
  std::shared_ptr<ThreadObject> thread;
  {
    auto* owned = static_cast<std::shared_ptr<ThreadObject>*>(argument);
    thread = std::move(*owned);
    delete owned;
  }
  thread->Run();
  return nullptr;
}

std::shared_ptr<ThreadObject> LookupThread(HANDLE handle) {
  return LookupObject<ThreadObject>(handle, ObjectKind::Thread);
}

}  // namespace
}  // namespace quellor::win32

using quellor::win32::ThreadObject;

extern "C" HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T dwStackSize,
                                      LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                                      DWORD dwCreationFlags, LPDWORD lpThreadId) {
  if (lpStartAddress == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto thread = std::make_shared<ThreadObject>(lpStartAddress, lpParameter,
                                               dwCreationFlags & CREATE_SUSPENDED);
  HANDLE handle = quellor::win32::HandleTable::instance().insert(thread);
  if (handle == nullptr) return nullptr;

  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  if (dwStackSize != 0) {
    long page = ::sysconf(_SC_PAGESIZE);
    SIZE_T size = std::max<SIZE_T>(dwStackSize, PTHREAD_STACK_MIN);
    size = (size + page - 1) / page * page;
    pthread_attr_setstacksize(&attributes, size);
  }
  auto* argument = new std::shared_ptr<ThreadObject>(thread);
  pthread_t native;
  int error = pthread_create(&native, &attributes, quellor::win32::ThreadEntry, argument);
  pthread_attr_destroy(&attributes);
  if (error != 0) {
    delete argument;
    quellor::win32::HandleTable::instance().close(handle);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (lpThreadId) *lpThreadId = thread->Id();
  return handle;
}

extern "C" DWORD WINAPI ResumeThread(HANDLE hThread) {
  auto thread = quellor::win32::LookupThread(hThread);
  return thread ? thread->Resume() : static_cast<DWORD>(-1);
}

extern "C" BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
  auto thread = quellor::win32::LookupThread(hThread);
  if (!thread) return FALSE;
  if (lpExitCode == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *lpExitCode = thread->ExitCode();
  return TRUE;
}

// Killing a thread from outside leaves its locks and heap in an unknown
// state; the subset does not offer it.
extern "C" BOOL WINAPI TerminateThread(HANDLE hThread, DWORD) {
  if (!quellor::win32::LookupThread(hThread)) return FALSE;
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

extern "C" void WINAPI ExitThread(DWORD dwExitCode) {
  if (quellor::win32::t_current_thread) {
    quellor::win32::t_current_thread->SetExitCode(dwExitCode);
  }
  pthread_exit(nullptr);
}

extern "C" BOOL WINAPI SetThreadPriority(HANDLE hThread, int nPriority) {
  using namespace quellor::win32;
  std::shared_ptr<ThreadObject> thread;
  if (hThread == kCurrentThreadPseudoHandle) {
    if (t_current_thread == nullptr) {
      if (!ValidThreadPriority(nPriority)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      ApplyThreadPriority(static_cast<pid_t>(GetCurrentThreadId()), nPriority);
      t_priority = nPriority;
      return TRUE;
    }
  } else if (!(thread = LookupThread(hThread))) {
    return FALSE;
  }
  if (!ValidThreadPriority(nPriority)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  (thread ? thread.get() : t_current_thread)->SetPriority(nPriority);
  return TRUE;
}

extern "C" int WINAPI GetThreadPriority(HANDLE hThread) {
  using namespace quellor::win32;
  if (hThread == kCurrentThreadPseudoHandle) {
    return t_current_thread ? t_current_thread->priority() : t_priority;
  }
  auto thread = LookupThread(hThread);
  return thread ? thread->priority() : THREAD_PRIORITY_ERROR_RETURN;
}
