// Shared checks for the path arguments of the file functions.
#pragma once

#include <windows.h>

#include <string>

namespace quellor::win32 {

// Translates a caller's path; on failure (null, empty, unmapped drive, too
// long) sets the Win32 error and returns false.
bool HostPathArgument(LPCSTR path, std::string& host_path);

// The Win32 code for a path that does not exist: ERROR_PATH_NOT_FOUND when
// its folder is missing too, ERROR_FILE_NOT_FOUND otherwise.
DWORD MissingPathError(const std::string& host_path);

// Copies `text` to a caller's buffer the Win32 way: on success returns the
// length without the NUL; when the buffer is too small returns the size
// needed including the NUL and copies nothing.
DWORD CopyPathResult(const std::string& text, LPSTR buffer, DWORD buffer_size);

}  // namespace quellor::win32
