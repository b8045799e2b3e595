// Critical sections: recursive POSIX mutexes kept in the structure's opaque
// part. OwningThread and RecursionCount are kept up to date by the owner for
// code that inspects them.
#include <windows.h>

#include <pthread.h>

#include <new>

namespace {

static_assert(sizeof(pthread_mutex_t) <= sizeof(CRITICAL_SECTION::Opaque));
static_assert(alignof(pthread_mutex_t) <= 16);

pthread_mutex_t* MutexOf(LPCRITICAL_SECTION section) {
  return std::launder(reinterpret_cast<pthread_mutex_t*>(section->Opaque));
}

}  // namespace

extern "C" void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  if (lpCriticalSection == nullptr) return;
  lpCriticalSection->DebugInfo = nullptr;
  lpCriticalSection->LockCount = -1;
  lpCriticalSection->RecursionCount = 0;
  lpCriticalSection->OwningThread = nullptr;
  lpCriticalSection->LockSemaphore = nullptr;
  lpCriticalSection->SpinCount = 0;
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(new (lpCriticalSection->Opaque) pthread_mutex_t, &attributes);
  pthread_mutexattr_destroy(&attributes);
}

extern "C" BOOL WINAPI InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION lpCriticalSection,
                                                             DWORD dwSpinCount) {
  if (lpCriticalSection == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  InitializeCriticalSection(lpCriticalSection);
  lpCriticalSection->SpinCount = dwSpinCount;
  return TRUE;
}

namespace {
void NoteEntered(LPCRITICAL_SECTION section) {
  section->OwningThread = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(GetCurrentThreadId()));
  ++section->RecursionCount;
}
}  // namespace

extern "C" void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  if (lpCriticalSection == nullptr) return;
  pthread_mutex_lock(MutexOf(lpCriticalSection));
  NoteEntered(lpCriticalSection);
}

extern "C" BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  if (lpCriticalSection == nullptr) return FALSE;
  if (pthread_mutex_trylock(MutexOf(lpCriticalSection)) != 0) return FALSE;
  NoteEntered(lpCriticalSection);
  return TRUE;
}

extern "C" void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  if (lpCriticalSection == nullptr) return;
  const auto self = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(GetCurrentThreadId()));
  // Leaving a section the thread does not hold would corrupt it for the owner.
  if (lpCriticalSection->OwningThread != self || lpCriticalSection->RecursionCount <= 0) return;
  if (--lpCriticalSection->RecursionCount == 0) lpCriticalSection->OwningThread = nullptr;
  pthread_mutex_unlock(MutexOf(lpCriticalSection));
}

extern "C" void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  if (lpCriticalSection == nullptr) return;
  pthread_mutex_destroy(MutexOf(lpCriticalSection));
}
