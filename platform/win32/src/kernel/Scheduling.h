// Mapping of Win32 thread priorities onto Linux scheduling.
#pragma once

#include <windows.h>

#include <sys/types.h>

namespace quellor::win32 {

bool ValidThreadPriority(int priority);

// Time-critical asks for SCHED_FIFO, then for the lowest nice value; the
// other levels map to nice values. Whatever the system refuses is silently
// left as it was.
void ApplyThreadPriority(pid_t thread_id, int priority);

extern const HANDLE kCurrentProcessPseudoHandle;
extern const HANDLE kCurrentThreadPseudoHandle;

}  // namespace quellor::win32
