// A thread object with a virtual entry point (Run) and a priority that can be
// set before or while it runs, up to time-critical (THREAD_PRIORITY_ values
// of the Win32 subset). A derived class must call Join() in its own
// destructor, while its Run() can still be reached.
#pragma once

#include <quellor/Export.h>

#include <atomic>

#include "windows.h"

namespace quellor::widgets {

class QUELLOR_EXPORT Thread {
 public:
  Thread() = default;
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  virtual ~Thread();

  // Starts Run() on a new thread; false when it is already started or the
  // thread cannot be created.
  bool Start();
  // Waits for Run() to return; does nothing when the thread never started.
  void Join();
  bool Running() const { return running_.load(); }

  // THREAD_PRIORITY_IDLE .. THREAD_PRIORITY_TIME_CRITICAL; applied at once
  // when running, else at the start. False for an unknown value or when the
  // system refuses it.
  bool SetPriority(int priority);
  int Priority() const { return priority_.load(); }

 protected:
  virtual void Run() = 0;

 private:
  static DWORD WINAPI Entry(LPVOID self);

  HANDLE handle_ = nullptr;
  std::atomic<bool> running_{false};
  std::atomic<int> priority_{THREAD_PRIORITY_NORMAL};
};

}  // namespace quellor::widgets
