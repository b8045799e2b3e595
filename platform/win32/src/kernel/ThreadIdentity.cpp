// Thread and process identities, pseudo-handles and scheduling priorities.
#include "kernel/Scheduling.h"
#include "kernel/Waitable.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace quellor::win32 {

// Pseudo-handles: (HANDLE)-1 is the current process, -2 the current thread.
// They need no closing.
const HANDLE kCurrentProcessPseudoHandle = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));
const HANDLE kCurrentThreadPseudoHandle = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2));

bool ValidThreadPriority(int priority) {
  return priority == THREAD_PRIORITY_IDLE || priority == THREAD_PRIORITY_TIME_CRITICAL ||
         (priority >= THREAD_PRIORITY_LOWEST && priority <= THREAD_PRIORITY_HIGHEST);
}

namespace {

// Nice values for the Win32 levels; raising above normal needs privileges.
int NiceForPriority(int priority) {
  switch (priority) {
    case THREAD_PRIORITY_IDLE:
      return 19;
    case THREAD_PRIORITY_LOWEST:
      return 10;
    case THREAD_PRIORITY_BELOW_NORMAL:
      return 5;
    case THREAD_PRIORITY_ABOVE_NORMAL:
      return -5;
    case THREAD_PRIORITY_HIGHEST:
      return -10;
    case THREAD_PRIORITY_TIME_CRITICAL:
      return -20;
    default:
      return 0;
  }
}

DWORD g_priority_class = NORMAL_PRIORITY_CLASS;  // guarded by SyncMutex()

}  // namespace

void ApplyThreadPriority(pid_t thread_id, int priority) {
  sched_param parameters{};
  if (priority == THREAD_PRIORITY_TIME_CRITICAL) {
    parameters.sched_priority = sched_get_priority_min(SCHED_FIFO) + 1;
    if (::sched_setscheduler(thread_id, SCHED_FIFO, &parameters) == 0) return;
  } else {
    ::sched_setscheduler(thread_id, SCHED_OTHER, &parameters);
  }
  ::setpriority(PRIO_PROCESS, static_cast<id_t>(thread_id), NiceForPriority(priority));
}

}  // namespace quellor::win32

using quellor::win32::kCurrentProcessPseudoHandle;

namespace {

// The kernel thread id, asked once per thread. A forked child's only thread
// has a new id, so the cache is cleared in the child.
thread_local DWORD t_thread_id = 0;

[[maybe_unused]] const int kForgetIdInForkedChild =
    ::pthread_atfork(nullptr, nullptr, [] { t_thread_id = 0; });

}  // namespace

extern "C" DWORD WINAPI GetCurrentThreadId(void) {
  if (t_thread_id == 0) t_thread_id = static_cast<DWORD>(::syscall(SYS_gettid));
  return t_thread_id;
}

extern "C" HANDLE WINAPI GetCurrentThread(void) {
  return quellor::win32::kCurrentThreadPseudoHandle;
}
extern "C" HANDLE WINAPI GetCurrentProcess(void) {
  return kCurrentProcessPseudoHandle;
}
extern "C" DWORD WINAPI GetCurrentProcessId(void) {
  return static_cast<DWORD>(::getpid());
}

extern "C" BOOL WINAPI SetPriorityClass(HANDLE hProcess, DWORD dwPriorityClass) {
  int nice_value;
  switch (dwPriorityClass) {
    case IDLE_PRIORITY_CLASS:
      nice_value = 19;
      break;
    case BELOW_NORMAL_PRIORITY_CLASS:
      nice_value = 5;
      break;
    case NORMAL_PRIORITY_CLASS:
      nice_value = 0;
      break;
    case ABOVE_NORMAL_PRIORITY_CLASS:
      nice_value = -5;
      break;
    case HIGH_PRIORITY_CLASS:
      nice_value = -10;
      break;
    case REALTIME_PRIORITY_CLASS:
      nice_value = -20;
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
  if (hProcess != kCurrentProcessPseudoHandle) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  ::setpriority(PRIO_PROCESS, 0, nice_value);  // refused raises keep the old value
  std::lock_guard lock(quellor::win32::SyncMutex());
  quellor::win32::g_priority_class = dwPriorityClass;
  return TRUE;
}

extern "C" DWORD WINAPI GetPriorityClass(HANDLE hProcess) {
  if (hProcess != kCurrentProcessPseudoHandle) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  std::lock_guard lock(quellor::win32::SyncMutex());
  return quellor::win32::g_priority_class;
}
