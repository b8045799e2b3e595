#include "kernel/PathArgument.h"

#include <win32/quellor_host.h>

#include <sys/stat.h>

#include <cstring>

namespace quellor::win32 {
namespace {
// Host paths may be longer than MAX_PATH; PATH_MAX is the real limit.
constexpr std::size_t kLongestPath = 4095;
}  // namespace

bool HostPathArgument(LPCSTR path, std::string& host_path) {
  if (path == nullptr || *path == '\0') {
    SetLastError(path == nullptr ? ERROR_INVALID_PARAMETER : ERROR_PATH_NOT_FOUND);
    return false;
  }
  std::optional<std::string> translated = ToHostPath(path);
  if (!translated) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  if (translated->size() > kLongestPath) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  host_path = std::move(*translated);
  return true;
}

DWORD MissingPathError(const std::string& host_path) {
  std::size_t slash = host_path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return ERROR_FILE_NOT_FOUND;
  struct stat status;
  std::string folder = host_path.substr(0, slash);
  if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
    return ERROR_PATH_NOT_FOUND;
  }
  return ERROR_FILE_NOT_FOUND;
}

DWORD CopyPathResult(const std::string& text, LPSTR buffer, DWORD buffer_size) {
  if (buffer == nullptr || buffer_size <= text.size()) {
    return static_cast<DWORD>(text.size() + 1);
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

}  // namespace quellor::win32
