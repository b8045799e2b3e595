// Win32 views of POSIX file status.
#pragma once

#include <windows.h>

#include <sys/stat.h>

#include <string>

namespace quellor::win32 {

FILETIME FileTimeFromTimespec(const timespec& time);
// Attributes of a file; `name` (its last path component) decides "hidden".
DWORD AttributesFromStat(const struct stat& status, const std::string& name);

}  // namespace quellor::win32
