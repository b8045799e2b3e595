// CreateFileA and the functions that work on its handles.
#include "kernel/FileObject.h"
#include "kernel/PathArgument.h"

namespace {

using quellor::win32::FileObject;
using quellor::win32::LookupObject;
using quellor::win32::ObjectKind;

std::shared_ptr<FileObject> LookupFile(HANDLE handle) {
  return LookupObject<FileObject>(handle, ObjectKind::File);
}

}  // namespace

extern "C" HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                     LPSECURITY_ATTRIBUTES, DWORD dwCreationDisposition,
                                     DWORD dwFlagsAndAttributes, HANDLE) {
  quellor::win32::FileOpenRequest request;
  if (!quellor::win32::HostPathArgument(lpFileName, request.host_path)) {
    return INVALID_HANDLE_VALUE;
  }
  request.access = dwDesiredAccess;
  request.share = dwShareMode;
  request.disposition = dwCreationDisposition;
  request.flags = dwFlagsAndAttributes;
  auto file = FileObject::Open(request);
  if (!file) return INVALID_HANDLE_VALUE;
  DWORD open_result = GetLastError();  // ERROR_ALREADY_EXISTS is part of the answer
  HANDLE handle = quellor::win32::HandleTable::instance().insert(std::move(file));
  if (handle == nullptr) return INVALID_HANDLE_VALUE;
  SetLastError(open_result);
  return handle;
}

extern "C" BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                                LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  auto file = LookupFile(hFile);
  if (!file) return FALSE;
  if (lpOverlapped != nullptr || (lpBuffer == nullptr && nNumberOfBytesToRead != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return file->Read(lpBuffer, nNumberOfBytesToRead, lpNumberOfBytesRead);
}

extern "C" BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                                 LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  auto file = LookupFile(hFile);
  if (!file) return FALSE;
  if (lpOverlapped != nullptr || (lpBuffer == nullptr && nNumberOfBytesToWrite != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return file->Write(lpBuffer, nNumberOfBytesToWrite, lpNumberOfBytesWritten);
}

extern "C" DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove,
                                       PLONG lpDistanceToMoveHigh, DWORD dwMoveMethod) {
  auto file = LookupFile(hFile);
  if (!file) return INVALID_SET_FILE_POINTER;
  // Without the high word the distance is a signed 32-bit value; with it the
  // two form one signed 64-bit distance.
  std::int64_t distance = lDistanceToMove;
  if (lpDistanceToMoveHigh) {
    distance = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(static_cast<std::uint32_t>(*lpDistanceToMoveHigh)) << 32) |
        static_cast<std::uint32_t>(lDistanceToMove));
  }
  std::int64_t before = 0, position = 0;
  if (!file->Seek(0, FILE_CURRENT, &before) || !file->Seek(distance, dwMoveMethod, &position)) {
    return INVALID_SET_FILE_POINTER;
  }
  if (lpDistanceToMoveHigh) {
    *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<std::uint64_t>(position) >> 32);
  } else if (position > 0xFFFFFFFFLL) {
    // The answer would not fit in 32 bits: fail and leave the pointer alone.
    file->Seek(before, FILE_BEGIN, nullptr);
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  // A position whose low word is all ones is valid: callers tell it from a
  // failure by GetLastError() == NO_ERROR.
  SetLastError(NO_ERROR);
  return static_cast<DWORD>(position & 0xFFFFFFFFu);
}

extern "C" BOOL WINAPI SetFilePointerEx(HANDLE hFile, LARGE_INTEGER liDistanceToMove,
                                        PLARGE_INTEGER lpNewFilePointer, DWORD dwMoveMethod) {
  auto file = LookupFile(hFile);
  if (!file) return FALSE;
  std::int64_t position = 0;
  if (!file->Seek(liDistanceToMove.QuadPart, dwMoveMethod, &position)) return FALSE;
  if (lpNewFilePointer) lpNewFilePointer->QuadPart = position;
  return TRUE;
}

extern "C" DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  auto file = LookupFile(hFile);
  std::int64_t size = 0;
  if (!file || !file->Size(&size)) return INVALID_FILE_SIZE;
  if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(static_cast<std::uint64_t>(size) >> 32);
  SetLastError(NO_ERROR);  // INVALID_FILE_SIZE may be a valid low word
  return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

extern "C" BOOL WINAPI GetFileSizeEx(HANDLE hFile, PLARGE_INTEGER lpFileSize) {
  auto file = LookupFile(hFile);
  if (!file) return FALSE;
  if (lpFileSize == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::int64_t size = 0;
  if (!file->Size(&size)) return FALSE;
  lpFileSize->QuadPart = size;
  return TRUE;
}

extern "C" BOOL WINAPI SetEndOfFile(HANDLE hFile) {
  auto file = LookupFile(hFile);
  return file ? file->Truncate() : FALSE;
}

extern "C" BOOL WINAPI FlushFileBuffers(HANDLE hFile) {
  auto file = LookupFile(hFile);
  return file ? file->Flush() : FALSE;
}
