#include "widgets/Thread.h"

namespace quellor::widgets {

Thread::~Thread() {
  // Run() is gone with the derived part by now; all that is left to do is to
  // let go of the handle (a derived class has joined already).
  if (handle_) CloseHandle(handle_);
}

DWORD WINAPI Thread::Entry(LPVOID self) {
  auto* thread = static_cast<Thread*>(self);
  thread->Run();
  thread->running_ = false;
  return 0;
}

bool Thread::Start() {
  if (handle_) return false;
  running_ = true;
  // Created suspended so that the priority is in place before Run() starts.
  HANDLE h = CreateThread(nullptr, 0, &Thread::Entry, this, CREATE_SUSPENDED, nullptr);
  if (!h) {
    running_ = false;
    return false;
  }
  handle_ = h;
  if (priority_ != THREAD_PRIORITY_NORMAL) SetThreadPriority(h, priority_);
  ResumeThread(h);
  return true;
}

void Thread::Join() {
  if (handle_) WaitForSingleObject(handle_, INFINITE);
}

bool Thread::SetPriority(int priority) {
  switch (priority) {
    case THREAD_PRIORITY_IDLE:
    case THREAD_PRIORITY_LOWEST:
    case THREAD_PRIORITY_BELOW_NORMAL:
    case THREAD_PRIORITY_NORMAL:
    case THREAD_PRIORITY_ABOVE_NORMAL:
    case THREAD_PRIORITY_HIGHEST:
    case THREAD_PRIORITY_TIME_CRITICAL:
      break;
    default:
      return false;
  }
  if (handle_ && running_ && !SetThreadPriority(handle_, priority)) return false;
  priority_ = priority;
  return true;
}

}  // namespace quellor::widgets
