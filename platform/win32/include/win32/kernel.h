// KERNEL32 and the window-less services of the Win32 subset: files, paths,
// private-profile files, memory, threads and synchronisation, processes,
// modules and debug output. Every function fails the Win32 way (FALSE, 0,
// NULL or INVALID_HANDLE_VALUE with GetLastError) and never crashes on bad
// arguments.
#pragma once

#include <quellor/Export.h>

#include "types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)
#define INVALID_SET_FILE_POINTER ((DWORD)-1)
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define INFINITE 0xFFFFFFFF

// ---- errors ---------------------------------------------------------------
QUELLOR_EXPORT DWORD WINAPI GetLastError(void);
QUELLOR_EXPORT void WINAPI SetLastError(DWORD dwErrCode);

// ---- files ----------------------------------------------------------------
#define GENERIC_READ 0x80000000L
#define GENERIC_WRITE 0x40000000L
#define GENERIC_EXECUTE 0x20000000L
#define GENERIC_ALL 0x10000000L

#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004

#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_SYSTEM 0x00000004
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080

#define FILE_FLAG_WRITE_THROUGH 0x80000000
#define FILE_FLAG_OVERLAPPED 0x40000000
#define FILE_FLAG_NO_BUFFERING 0x20000000
#define FILE_FLAG_RANDOM_ACCESS 0x10000000
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000
#define FILE_FLAG_DELETE_ON_CLOSE 0x04000000

#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2

typedef struct _SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef struct _OVERLAPPED OVERLAPPED, *LPOVERLAPPED;  // never used: no overlapped I/O

QUELLOR_EXPORT HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess,
                                         DWORD dwShareMode,
                                         LPSECURITY_ATTRIBUTES lpSecurityAttributes,
                                         DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes,
                                         HANDLE hTemplateFile);
QUELLOR_EXPORT BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                                    LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped);
QUELLOR_EXPORT BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                                     LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped);
QUELLOR_EXPORT DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove,
                                           PLONG lpDistanceToMoveHigh, DWORD dwMoveMethod);
QUELLOR_EXPORT BOOL WINAPI SetFilePointerEx(HANDLE hFile, LARGE_INTEGER liDistanceToMove,
                                            PLARGE_INTEGER lpNewFilePointer, DWORD dwMoveMethod);
QUELLOR_EXPORT DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);
QUELLOR_EXPORT BOOL WINAPI GetFileSizeEx(HANDLE hFile, PLARGE_INTEGER lpFileSize);
QUELLOR_EXPORT BOOL WINAPI SetEndOfFile(HANDLE hFile);
QUELLOR_EXPORT BOOL WINAPI FlushFileBuffers(HANDLE hFile);
QUELLOR_EXPORT BOOL WINAPI CloseHandle(HANDLE hObject);
QUELLOR_EXPORT BOOL WINAPI DeleteFileA(LPCSTR lpFileName);
QUELLOR_EXPORT BOOL WINAPI CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName,
                                     BOOL bFailIfExists);

#define MOVEFILE_REPLACE_EXISTING 0x00000001
#define MOVEFILE_COPY_ALLOWED 0x00000002
#define MOVEFILE_WRITE_THROUGH 0x00000008
QUELLOR_EXPORT BOOL WINAPI MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName);
QUELLOR_EXPORT BOOL WINAPI MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName,
                                       DWORD dwFlags);

QUELLOR_EXPORT BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName,
                                            LPSECURITY_ATTRIBUTES lpSecurityAttributes);
QUELLOR_EXPORT BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName);
QUELLOR_EXPORT DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName);
QUELLOR_EXPORT DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer);
QUELLOR_EXPORT DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer,
                                             LPSTR* lpFilePart);
QUELLOR_EXPORT DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer);

typedef struct _WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *PWIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;
typedef WIN32_FIND_DATAA WIN32_FIND_DATA;

QUELLOR_EXPORT HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData);
QUELLOR_EXPORT BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData);
QUELLOR_EXPORT BOOL WINAPI FindClose(HANDLE hFindFile);

QUELLOR_EXPORT BOOL WINAPI GetDiskFreeSpaceExA(LPCSTR lpDirectoryName,
                                               PULARGE_INTEGER lpFreeBytesAvailableToCaller,
                                               PULARGE_INTEGER lpTotalNumberOfBytes,
                                               PULARGE_INTEGER lpTotalNumberOfFreeBytes);
QUELLOR_EXPORT BOOL WINAPI GetDiskFreeSpaceA(LPCSTR lpRootPathName, LPDWORD lpSectorsPerCluster,
                                             LPDWORD lpBytesPerSector,
                                             LPDWORD lpNumberOfFreeClusters,
                                             LPDWORD lpTotalNumberOfClusters);

#define DRIVE_UNKNOWN 0
#define DRIVE_NO_ROOT_DIR 1
#define DRIVE_REMOVABLE 2
#define DRIVE_FIXED 3
#define DRIVE_REMOTE 4
#define DRIVE_CDROM 5
#define DRIVE_RAMDISK 6
QUELLOR_EXPORT UINT WINAPI GetDriveTypeA(LPCSTR lpRootPathName);
QUELLOR_EXPORT DWORD WINAPI GetLogicalDrives(void);
QUELLOR_EXPORT BOOL WINAPI GetVolumeInformationA(
    LPCSTR lpRootPathName, LPSTR lpVolumeNameBuffer, DWORD nVolumeNameSize,
    LPDWORD lpVolumeSerialNumber, LPDWORD lpMaximumComponentLength, LPDWORD lpFileSystemFlags,
    LPSTR lpFileSystemNameBuffer, DWORD nFileSystemNameSize);
QUELLOR_EXPORT DWORD WINAPI SearchPathA(LPCSTR lpPath, LPCSTR lpFileName, LPCSTR lpExtension,
                                        DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart);
QUELLOR_EXPORT UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize);

// ---- private-profile files --------------------------------------------------
QUELLOR_EXPORT DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName,
                                                     LPCSTR lpDefault, LPSTR lpReturnedString,
                                                     DWORD nSize, LPCSTR lpFileName);
QUELLOR_EXPORT UINT WINAPI GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault,
                                                 LPCSTR lpFileName);
QUELLOR_EXPORT BOOL WINAPI WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName,
                                                      LPCSTR lpString, LPCSTR lpFileName);

// ---- memory -----------------------------------------------------------------
#define MEM_COMMIT 0x00001000
#define MEM_RESERVE 0x00002000
#define MEM_DECOMMIT 0x00004000
#define MEM_RELEASE 0x00008000
#define MEM_RESET 0x00080000
#define PAGE_NOACCESS 0x01
#define PAGE_READONLY 0x02
#define PAGE_READWRITE 0x04
#define PAGE_EXECUTE_READWRITE 0x40

QUELLOR_EXPORT LPVOID WINAPI VirtualAlloc(LPVOID lpAddress, SIZE_T dwSize, DWORD flAllocationType,
                                          DWORD flProtect);
QUELLOR_EXPORT BOOL WINAPI VirtualFree(LPVOID lpAddress, SIZE_T dwSize, DWORD dwFreeType);

typedef HANDLE HGLOBAL;
#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GMEM_DDESHARE 0x2000
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)
QUELLOR_EXPORT HGLOBAL WINAPI GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
QUELLOR_EXPORT LPVOID WINAPI GlobalLock(HGLOBAL hMem);
QUELLOR_EXPORT BOOL WINAPI GlobalUnlock(HGLOBAL hMem);
QUELLOR_EXPORT HGLOBAL WINAPI GlobalFree(HGLOBAL hMem);
QUELLOR_EXPORT SIZE_T WINAPI GlobalSize(HGLOBAL hMem);

typedef struct _SYSTEM_INFO {
  WORD wProcessorArchitecture;
  WORD wReserved;
  DWORD dwPageSize;
  LPVOID lpMinimumApplicationAddress;
  LPVOID lpMaximumApplicationAddress;
  DWORD_PTR dwActiveProcessorMask;
  DWORD dwNumberOfProcessors;
  DWORD dwProcessorType;
  DWORD dwAllocationGranularity;
  WORD wProcessorLevel;
  WORD wProcessorRevision;
} SYSTEM_INFO, *LPSYSTEM_INFO;
QUELLOR_EXPORT void WINAPI GetSystemInfo(LPSYSTEM_INFO lpSystemInfo);

// ---- threads and synchronisation -------------------------------------------
typedef DWORD(WINAPI* PTHREAD_START_ROUTINE)(LPVOID lpThreadParameter);
typedef PTHREAD_START_ROUTINE LPTHREAD_START_ROUTINE;

#define CREATE_SUSPENDED 0x00000004
#define STILL_ACTIVE 259

#define THREAD_PRIORITY_IDLE (-15)
#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15
#define THREAD_PRIORITY_ERROR_RETURN (0x7fffffff)

#define IDLE_PRIORITY_CLASS 0x00000040
#define BELOW_NORMAL_PRIORITY_CLASS 0x00004000
#define NORMAL_PRIORITY_CLASS 0x00000020
#define ABOVE_NORMAL_PRIORITY_CLASS 0x00008000
#define HIGH_PRIORITY_CLASS 0x00000080
#define REALTIME_PRIORITY_CLASS 0x00000100

QUELLOR_EXPORT HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes,
                                          SIZE_T dwStackSize, LPTHREAD_START_ROUTINE lpStartAddress,
                                          LPVOID lpParameter, DWORD dwCreationFlags,
                                          LPDWORD lpThreadId);
QUELLOR_EXPORT DWORD WINAPI ResumeThread(HANDLE hThread);
QUELLOR_EXPORT HANDLE WINAPI GetCurrentThread(void);
QUELLOR_EXPORT DWORD WINAPI GetCurrentThreadId(void);
QUELLOR_EXPORT BOOL WINAPI SetThreadPriority(HANDLE hThread, int nPriority);
QUELLOR_EXPORT int WINAPI GetThreadPriority(HANDLE hThread);
QUELLOR_EXPORT BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);
QUELLOR_EXPORT BOOL WINAPI TerminateThread(HANDLE hThread, DWORD dwExitCode);
QUELLOR_EXPORT void WINAPI ExitThread(DWORD dwExitCode);
QUELLOR_EXPORT HANDLE WINAPI GetCurrentProcess(void);
QUELLOR_EXPORT DWORD WINAPI GetCurrentProcessId(void);
QUELLOR_EXPORT BOOL WINAPI SetPriorityClass(HANDLE hProcess, DWORD dwPriorityClass);
QUELLOR_EXPORT DWORD WINAPI GetPriorityClass(HANDLE hProcess);

// A recursive lock. The opaque part holds the POSIX mutex; the Win32 fields
// are kept so that code reading them compiles.
typedef struct _RTL_CRITICAL_SECTION {
  void* DebugInfo;
  LONG LockCount;
  LONG RecursionCount;
  HANDLE OwningThread;
  HANDLE LockSemaphore;
  ULONG_PTR SpinCount;
  alignas(16) unsigned char Opaque[64];
} CRITICAL_SECTION, *LPCRITICAL_SECTION, *PCRITICAL_SECTION, RTL_CRITICAL_SECTION;

QUELLOR_EXPORT void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
QUELLOR_EXPORT BOOL WINAPI
InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION lpCriticalSection, DWORD dwSpinCount);
QUELLOR_EXPORT void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
QUELLOR_EXPORT BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
QUELLOR_EXPORT void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
QUELLOR_EXPORT void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

QUELLOR_EXPORT HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes,
                                          BOOL bManualReset, BOOL bInitialState, LPCSTR lpName);
QUELLOR_EXPORT BOOL WINAPI SetEvent(HANDLE hEvent);
QUELLOR_EXPORT BOOL WINAPI ResetEvent(HANDLE hEvent);
QUELLOR_EXPORT BOOL WINAPI PulseEvent(HANDLE hEvent);
QUELLOR_EXPORT HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES lpMutexAttributes,
                                          BOOL bInitialOwner, LPCSTR lpName);
QUELLOR_EXPORT BOOL WINAPI ReleaseMutex(HANDLE hMutex);
QUELLOR_EXPORT HANDLE WINAPI CreateSemaphoreA(LPSECURITY_ATTRIBUTES lpSemaphoreAttributes,
                                              LONG lInitialCount, LONG lMaximumCount,
                                              LPCSTR lpName);
QUELLOR_EXPORT BOOL WINAPI ReleaseSemaphore(HANDLE hSemaphore, LONG lReleaseCount,
                                            LPLONG lpPreviousCount);

#define WAIT_OBJECT_0 0x00000000L
#define WAIT_ABANDONED 0x00000080L
#define WAIT_ABANDONED_0 0x00000080L
#define WAIT_TIMEOUT 258L
#define WAIT_FAILED ((DWORD)0xFFFFFFFF)
#define MAXIMUM_WAIT_OBJECTS 64

QUELLOR_EXPORT DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
QUELLOR_EXPORT DWORD WINAPI WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles,
                                                   BOOL bWaitAll, DWORD dwMilliseconds);

QUELLOR_EXPORT LONG WINAPI InterlockedIncrement(LONG volatile* Addend);
QUELLOR_EXPORT LONG WINAPI InterlockedDecrement(LONG volatile* Addend);
QUELLOR_EXPORT LONG WINAPI InterlockedExchange(LONG volatile* Target, LONG Value);
QUELLOR_EXPORT LONG WINAPI InterlockedExchangeAdd(LONG volatile* Addend, LONG Value);
QUELLOR_EXPORT LONG WINAPI InterlockedCompareExchange(LONG volatile* Destination, LONG Exchange,
                                                      LONG Comperand);
QUELLOR_EXPORT PVOID WINAPI InterlockedExchangePointer(PVOID volatile* Target, PVOID Value);
QUELLOR_EXPORT PVOID WINAPI InterlockedCompareExchangePointer(PVOID volatile* Destination,
                                                              PVOID Exchange, PVOID Comperand);

QUELLOR_EXPORT void WINAPI Sleep(DWORD dwMilliseconds);
QUELLOR_EXPORT DWORD WINAPI GetTickCount(void);
QUELLOR_EXPORT ULONGLONG WINAPI GetTickCount64(void);
QUELLOR_EXPORT BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount);
QUELLOR_EXPORT BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency);

typedef struct _SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
} SYSTEMTIME, *PSYSTEMTIME, *LPSYSTEMTIME;
QUELLOR_EXPORT void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime);
QUELLOR_EXPORT void WINAPI GetSystemTime(LPSYSTEMTIME lpSystemTime);

// ---- processes ----------------------------------------------------------------
typedef struct _STARTUPINFOA {
  DWORD cb;
  LPSTR lpReserved;
  LPSTR lpDesktop;
  LPSTR lpTitle;
  DWORD dwX;
  DWORD dwY;
  DWORD dwXSize;
  DWORD dwYSize;
  DWORD dwXCountChars;
  DWORD dwYCountChars;
  DWORD dwFillAttribute;
  DWORD dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  LPBYTE lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
} STARTUPINFOA, *LPSTARTUPINFOA;
typedef STARTUPINFOA STARTUPINFO;

typedef struct _PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
} PROCESS_INFORMATION, *PPROCESS_INFORMATION, *LPPROCESS_INFORMATION;

#define STARTF_USESHOWWINDOW 0x00000001
#define DETACHED_PROCESS 0x00000008
#define CREATE_NEW_CONSOLE 0x00000010
#define CREATE_NO_WINDOW 0x08000000

#define PROCESS_TERMINATE 0x0001
#define PROCESS_QUERY_INFORMATION 0x0400
#define SYNCHRONIZE 0x00100000L
#define PROCESS_ALL_ACCESS 0x001FFFFF

QUELLOR_EXPORT BOOL WINAPI CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine,
                                          LPSECURITY_ATTRIBUTES lpProcessAttributes,
                                          LPSECURITY_ATTRIBUTES lpThreadAttributes,
                                          BOOL bInheritHandles, DWORD dwCreationFlags,
                                          LPVOID lpEnvironment, LPCSTR lpCurrentDirectory,
                                          LPSTARTUPINFOA lpStartupInfo,
                                          LPPROCESS_INFORMATION lpProcessInformation);
QUELLOR_EXPORT HANDLE WINAPI OpenProcess(DWORD dwDesiredAccess, BOOL bInheritHandle,
                                         DWORD dwProcessId);
QUELLOR_EXPORT BOOL WINAPI GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode);
QUELLOR_EXPORT BOOL WINAPI TerminateProcess(HANDLE hProcess, UINT uExitCode);
QUELLOR_EXPORT void WINAPI ExitProcess(UINT uExitCode);
QUELLOR_EXPORT LPSTR WINAPI GetCommandLineA(void);
QUELLOR_EXPORT DWORD WINAPI GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize);
QUELLOR_EXPORT BOOL WINAPI SetEnvironmentVariableA(LPCSTR lpName, LPCSTR lpValue);

// ---- modules --------------------------------------------------------------------
// A library may export DllMain (with C linkage); LoadLibraryA calls it with
// DLL_PROCESS_ATTACH after the library's static initialisers have run, and
// FreeLibrary with DLL_PROCESS_DETACH before the last reference is unloaded.
// Returning FALSE (or throwing) from the attach call fails the load with
// ERROR_DLL_INIT_FAILED.
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3
QUELLOR_EXPORT BOOL WINAPI DllMain(HINSTANCE hinstDLL, DWORD fdwReason, LPVOID lpvReserved);

QUELLOR_EXPORT HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName);
QUELLOR_EXPORT BOOL WINAPI FreeLibrary(HMODULE hLibModule);
QUELLOR_EXPORT FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
QUELLOR_EXPORT HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName);
QUELLOR_EXPORT DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);

// ---- debug output -------------------------------------------------------------
QUELLOR_EXPORT void WINAPI OutputDebugStringA(LPCSTR lpOutputString);

#ifdef __cplusplus
}
#endif
