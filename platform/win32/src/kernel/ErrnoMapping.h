// Translation of POSIX errno values into Win32 error codes.
#pragma once

#include <windows.h>

namespace quellor::win32 {

enum class Transfer { None, Read, Write };

// The Win32 code for an errno value; `transfer` picks the read or write
// flavour of device errors (EIO).
DWORD ErrorFromErrno(int error, Transfer transfer = Transfer::None);

// SetLastError(ErrorFromErrno(errno, transfer)).
void SetLastErrorFromErrno(Transfer transfer = Transfer::None);

}  // namespace quellor::win32
