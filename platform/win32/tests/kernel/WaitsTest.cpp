#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

DWORD ElapsedMs(Clock::time_point start) {
  return static_cast<DWORD>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

TEST(Events, ManualResetStaysSignalledAutoResetReleasesOne) {
  HANDLE manual = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE automatic = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  ASSERT_NE(manual, nullptr);
  ASSERT_NE(automatic, nullptr);
  EXPECT_EQ(WaitForSingleObject(manual, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  ASSERT_TRUE(SetEvent(manual));
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  ASSERT_TRUE(ResetEvent(manual));
  EXPECT_EQ(WaitForSingleObject(manual, 0), static_cast<DWORD>(WAIT_TIMEOUT));

  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  CloseHandle(manual);
  CloseHandle(automatic);
}

TEST(Events, TimeoutsAreHonouredAndWakeupsArePrompt) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  auto start = Clock::now();
  EXPECT_EQ(WaitForSingleObject(event, 5), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_GE(ElapsedMs(start), 5u);

  std::thread setter([&] { SetEvent(event); });
  EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
  setter.join();
  CloseHandle(event);
}

TEST(Events, WaitForMultipleAnyAndAll) {
  HANDLE events[3];
  for (HANDLE& event : events) event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 2), static_cast<DWORD>(WAIT_TIMEOUT));
  SetEvent(events[2]);
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 2);
  EXPECT_EQ(WaitForMultipleObjects(3, events, TRUE, 2), static_cast<DWORD>(WAIT_TIMEOUT));
  SetEvent(events[0]);
  SetEvent(events[1]);
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0);  // lowest index wins
  EXPECT_EQ(WaitForMultipleObjects(3, events, TRUE, 0), WAIT_OBJECT_0);

  HANDLE twice[2] = {events[0], events[0]};
  EXPECT_EQ(WaitForMultipleObjects(2, twice, TRUE, 0), WAIT_FAILED);
  EXPECT_EQ(WaitForMultipleObjects(0, events, FALSE, 0), WAIT_FAILED);
  HANDLE with_bad[2] = {events[0], reinterpret_cast<HANDLE>(0x7777770)};
  EXPECT_EQ(WaitForMultipleObjects(2, with_bad, FALSE, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  for (HANDLE event : events) CloseHandle(event);
  EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_FAILED);
}

TEST(Events, WaitAllTakesAutoResetEventsTogether) {
  HANDLE a = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  HANDLE b = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE both[2] = {a, b};
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 1), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_OBJECT_0);  // not consumed by the failed wait-all
  SetEvent(a);
  SetEvent(b);
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(a, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(WaitForSingleObject(b, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  CloseHandle(a);
  CloseHandle(b);
}

TEST(NamedObjects, SameNameSameObject) {
  HANDLE first = CreateEventA(nullptr, TRUE, FALSE, "quellor.test.event");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  HANDLE second = CreateEventA(nullptr, TRUE, FALSE, "quellor.test.event");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  ASSERT_NE(first, second);
  SetEvent(first);
  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
  EXPECT_EQ(CreateMutexA(nullptr, FALSE, "quellor.test.event"), nullptr);
  CloseHandle(first);
  CloseHandle(second);
}

TEST(Mutexes, OwnershipIsRecursiveAndPerThread) {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);  // owner may re-enter
  DWORD other_result = 0;
  std::thread other([&] {
    other_result = WaitForSingleObject(mutex, 1);
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
  });
  other.join();
  EXPECT_EQ(other_result, static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_FALSE(ReleaseMutex(mutex));
  std::thread taker([&] {
    other_result = WaitForSingleObject(mutex, 0);
    ReleaseMutex(mutex);
  });
  taker.join();
  EXPECT_EQ(other_result, WAIT_OBJECT_0);
  CloseHandle(mutex);
}

TEST(Semaphores, CountAndMaximum) {
  HANDLE semaphore = CreateSemaphoreA(nullptr, 1, 2, nullptr);
  EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(semaphore, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  LONG previous = -1;
  EXPECT_TRUE(ReleaseSemaphore(semaphore, 2, &previous));
  EXPECT_EQ(previous, 0);
  EXPECT_FALSE(ReleaseSemaphore(semaphore, 1, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TOO_MANY_POSTS));
  EXPECT_EQ(CreateSemaphoreA(nullptr, 3, 2, nullptr), nullptr);
  CloseHandle(semaphore);
}

DWORD WINAPI ReturnParameter(LPVOID parameter) {
  return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(parameter));
}

DWORD WINAPI ExitEarly(LPVOID) {
  ExitThread(77);
  return 1;
}

DWORD WINAPI WaitForEvent(LPVOID event) {
  WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
  return GetCurrentThreadId();
}

TEST(Threads, ExitCodesIdsAndWaits) {
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, ReturnParameter, reinterpret_cast<LPVOID>(42), 0, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, GetCurrentThreadId());
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  CloseHandle(thread);

  HANDLE exiting = CreateThread(nullptr, 64 * 1024, ExitEarly, nullptr, 0, nullptr);
  EXPECT_EQ(WaitForSingleObject(exiting, INFINITE), WAIT_OBJECT_0);
  GetExitCodeThread(exiting, &code);
  EXPECT_EQ(code, 77u);
  CloseHandle(exiting);
}

TEST(Threads, RunningAndSuspendedThreads) {
  HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, WaitForEvent, go, CREATE_SUSPENDED, &id);
  ASSERT_NE(thread, nullptr);
  DWORD code = 0;
  GetExitCodeThread(thread, &code);
  EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(WaitForSingleObject(thread, 2), static_cast<DWORD>(WAIT_TIMEOUT));
  SetEvent(go);
  EXPECT_EQ(WaitForSingleObject(thread, 2), static_cast<DWORD>(WAIT_TIMEOUT));  // still suspended
  EXPECT_EQ(ResumeThread(thread), 1u);
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  GetExitCodeThread(thread, &code);
  EXPECT_EQ(code, id);  // the id it was given is the id it runs with
  EXPECT_EQ(ResumeThread(thread), 0u);
  CloseHandle(thread);
  CloseHandle(go);
}

TEST(Threads, TimeCriticalPriorityNeverFails) {
  std::thread worker([] {
    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_TIME_CRITICAL);
    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL));
    EXPECT_FALSE(SetThreadPriority(GetCurrentThread(), 7));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  });
  worker.join();
  HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = CreateThread(nullptr, 0, WaitForEvent, go, 0, nullptr);
  EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL));
  EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_TIME_CRITICAL);
  SetEvent(go);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  CloseHandle(go);
  EXPECT_TRUE(SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS));
  EXPECT_FALSE(SetPriorityClass(GetCurrentProcess(), 12345));
}

TEST(Threads, AForkedChildKnowsItsOwnThreadId) {
  ASSERT_NE(GetCurrentThreadId(), 0u);  // cached in this thread before the fork
  pid_t child = ::fork();
  if (child == 0) ::_exit(GetCurrentThreadId() == static_cast<DWORD>(::getpid()) ? 0 : 1);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(CriticalSections, AreRecursiveAndExclusive) {
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  EnterCriticalSection(&section);
  EnterCriticalSection(&section);
  EXPECT_EQ(section.RecursionCount, 2);
  BOOL other_got_it = TRUE;
  std::thread other([&] { other_got_it = TryEnterCriticalSection(&section); });
  other.join();
  EXPECT_FALSE(other_got_it);
  LeaveCriticalSection(&section);
  LeaveCriticalSection(&section);
  LeaveCriticalSection(&section);  // one too many: ignored, not corrupting

  long counter = 0;
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t) {
    workers.emplace_back([&] {
      for (int i = 0; i < 10000; ++i) {
        EnterCriticalSection(&section);
        ++counter;
        LeaveCriticalSection(&section);
      }
    });
  }
  for (auto& worker : workers) worker.join();
  EXPECT_EQ(counter, 40000);
  DeleteCriticalSection(&section);
}

TEST(Interlocked, ReturnValuesFollowWin32) {
  volatile LONG value = 5;
  EXPECT_EQ(InterlockedIncrement(&value), 6);
  EXPECT_EQ(InterlockedDecrement(&value), 5);
  EXPECT_EQ(InterlockedExchange(&value, 9), 5);
  EXPECT_EQ(InterlockedExchangeAdd(&value, 3), 9);
  EXPECT_EQ(InterlockedCompareExchange(&value, 1, 99), 12);  // no match: unchanged
  EXPECT_EQ(value, 12);
  EXPECT_EQ(InterlockedCompareExchange(&value, 1, 12), 12);
  EXPECT_EQ(value, 1);
  int a = 0, b = 0;
  PVOID volatile pointer = &a;
  EXPECT_EQ(InterlockedCompareExchangePointer(&pointer, &b, &a), &a);
  EXPECT_EQ(InterlockedExchangePointer(&pointer, nullptr), &b);
}

TEST(Clocks, CountersMoveForward) {
  LARGE_INTEGER frequency, first, second;
  ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
  EXPECT_EQ(frequency.QuadPart, 10000000);
  QueryPerformanceCounter(&first);
  DWORD ticks = GetTickCount();
  Sleep(2);
  QueryPerformanceCounter(&second);
  EXPECT_GE(second.QuadPart - first.QuadPart, 2 * frequency.QuadPart / 1000);
  EXPECT_GE(GetTickCount() - ticks, 1u);
  SYSTEMTIME now;
  GetLocalTime(&now);
  EXPECT_GE(now.wYear, 2024);
  EXPECT_LE(now.wMonth, 12);
}

}  // namespace
