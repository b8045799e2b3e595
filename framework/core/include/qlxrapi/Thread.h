// Thread: an object whose work runs on operating-system threads.
#pragma once

#include <quellor/Export.h>

#include <windows.h>

class QUELLOR_EXPORT Thread {
 public:
  Thread() = default;
  // The thread's work; the thread ends when it returns (exit code 0). A text
  // thrown out of it (a char*) is written to the debug output and ends the
  // thread with exit code 1; anything else thrown ends it with exit code 2.
  virtual void ThreadEntryPoint() = 0;
  // Neither waits for nor stops the threads: owners end them first. Closes
  // the handle of the last thread started.
  virtual ~Thread();

  // A copy would share the thread handle.
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Starts another thread running ThreadEntryPoint() at normal priority and
  // returns false when none could be started. May be called more than once;
  // the members then describe the last thread (the handle of the previous one
  // is closed, which does not stop it).
  bool StartThread();

  // Null before the first start.
  HANDLE GetThreadHandle() const { return m_handle; }
  DWORD GetThreadIdentifier() const { return m_identifier; }

 private:
  HANDLE m_handle = nullptr;
  DWORD m_identifier = 0;
};
