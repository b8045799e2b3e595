#include "qlxrapi/Thread.h"

namespace {

DWORD WINAPI RunThreadEntryPoint(LPVOID object) {
  // An exception must not leave the thread: it would end the process.
  try {
    static_cast<Thread*>(object)->ThreadEntryPoint();
  } catch (const char* text) {
    OutputDebugStringA(text);
    OutputDebugStringA("\n");
    return 1;
  } catch (...) {
    OutputDebugStringA("Unknown Internal Error\n");
    return 2;
  }
  return 0;
}

}  // namespace

Thread::~Thread() {
  if (m_handle != nullptr) CloseHandle(m_handle);
}

bool Thread::StartThread() {
  DWORD identifier = 0;
  HANDLE handle = CreateThread(nullptr, 0, RunThreadEntryPoint, this, 0, &identifier);
  if (handle == nullptr) return false;
  if (m_handle != nullptr) CloseHandle(m_handle);
  m_handle = handle;
  m_identifier = identifier;
  return true;
}
