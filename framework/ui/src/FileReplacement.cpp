#include "FileReplacement.h"

#include <climits>
#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include <windows.h>

namespace quellor::win {
namespace {

// The file a name finally stands for, so that the rename replaces the file
// and not a link to it. A dangling link is replaced itself.
std::string ResolveLinks(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

// A new, empty file beside `target` that nobody else uses: ".NAME.part-PID-N"
// in the target's folder (the same file system, so the rename is atomic).
HANDLE CreateBeside(const std::string& target, std::string& made) {
  const std::size_t slash = target.find_last_of('/');
  const std::string folder =
      slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    made = folder + "." + name + ".part-" + std::to_string(::getpid()) + "-" +
           std::to_string(__atomic_fetch_add(&counter, 1, __ATOMIC_RELAXED));
    HANDLE file = CreateFileA(made.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    // One call moves at most 4 GiB - 1 bytes.
    const DWORD part = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(file, bytes, part, &written, nullptr) || written != part) return false;
    bytes += part;
    size -= part;
  }
  return true;
}

}  // namespace

bool ReplaceFileContents(const char* hostPath, const void* data, std::size_t size) {
  if (hostPath == nullptr || *hostPath == '\0') return false;
  const std::string target = ResolveLinks(hostPath);
  std::string made;
  HANDLE file = CreateBeside(target, made);
  if (file == INVALID_HANDLE_VALUE) return false;
  // The new file keeps the old one's permissions (a private picture stays
  // private); a new name gets what a new file would.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::chmod(made.c_str(), old.st_mode & 07777);
  bool ok = WriteAll(file, data, size) && FlushFileBuffers(file);
  ok = CloseHandle(file) && ok;
  if (ok && MoveFileExA(made.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  const DWORD error = GetLastError();
  DeleteFileA(made.c_str());
  SetLastError(error);
  return false;
}

}  // namespace quellor::win
