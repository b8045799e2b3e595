// Sleep, tick counts, the performance counter and the calendar clock.
#include <windows.h>

#include <sched.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

namespace {

std::uint64_t MonotonicNanoseconds() {
  timespec now;
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000000000u +
         static_cast<std::uint64_t>(now.tv_nsec);
}

// The performance counter runs at 10 MHz, as on current Windows: fine enough,
// and counts times 1000 stay far from overflow.
constexpr LONGLONG kPerformanceFrequency = 10000000;

void FillSystemTime(const tm& parts, long milliseconds, LPSYSTEMTIME result) {
  result->wYear = static_cast<WORD>(parts.tm_year + 1900);
  result->wMonth = static_cast<WORD>(parts.tm_mon + 1);
  result->wDayOfWeek = static_cast<WORD>(parts.tm_wday);
  result->wDay = static_cast<WORD>(parts.tm_mday);
  result->wHour = static_cast<WORD>(parts.tm_hour);
  result->wMinute = static_cast<WORD>(parts.tm_min);
  result->wSecond = static_cast<WORD>(parts.tm_sec);
  result->wMilliseconds = static_cast<WORD>(milliseconds);
}

void CalendarTime(bool local, LPSYSTEMTIME result) {
  if (result == nullptr) return;
  timespec now;
  ::clock_gettime(CLOCK_REALTIME, &now);
  tm parts;
  if (local) {
    ::localtime_r(&now.tv_sec, &parts);
  } else {
    ::gmtime_r(&now.tv_sec, &parts);
  }
  FillSystemTime(parts, now.tv_nsec / 1000000, result);
}

}  // namespace

extern "C" void WINAPI Sleep(DWORD dwMilliseconds) {
  if (dwMilliseconds == 0) {
    ::sched_yield();  // gives up the rest of the time slice, as Sleep(0) does
    return;
  }
  if (dwMilliseconds == INFINITE) {
    for (;;) ::pause();
  }
  timespec remaining{static_cast<time_t>(dwMilliseconds / 1000),
                     static_cast<long>(dwMilliseconds % 1000) * 1000000};
  while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

extern "C" ULONGLONG WINAPI GetTickCount64(void) {
  return MonotonicNanoseconds() / 1000000u;
}

extern "C" DWORD WINAPI GetTickCount(void) {
  return static_cast<DWORD>(GetTickCount64());  // wraps after 49.7 days, as on Win32
}

extern "C" BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
  if (lpPerformanceCount == nullptr) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  lpPerformanceCount->QuadPart =
      static_cast<LONGLONG>(MonotonicNanoseconds() / (1000000000 / kPerformanceFrequency));
  return TRUE;
}

extern "C" BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
  if (lpFrequency == nullptr) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  lpFrequency->QuadPart = kPerformanceFrequency;
  return TRUE;
}

extern "C" void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime) {
  CalendarTime(true, lpSystemTime);
}

extern "C" void WINAPI GetSystemTime(LPSYSTEMTIME lpSystemTime) {
  CalendarTime(false, lpSystemTime);
}
