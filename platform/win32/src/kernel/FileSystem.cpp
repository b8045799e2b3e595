// Whole-file and folder operations: delete, copy, move, folders, attributes
// and full path names.
#include "kernel/ErrnoMapping.h"
#include "kernel/FileInfo.h"
#include "kernel/PathArgument.h"

#include <win32/testing/SystemCalls.h>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace quellor::win32 {
namespace {

using testing::CurrentSystemCalls;

// The Win32 error for a failed call on `host_path`.
DWORD PathError(int error, const std::string& host_path) {
  if (error == ENOENT) return MissingPathError(host_path);
  return ErrorFromErrno(error);
}

bool Exists(const std::string& host_path) {
  struct stat status;
  return ::lstat(host_path.c_str(), &status) == 0;
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) CurrentSystemCalls().close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

bool CopyContents(int from, int to) {
  auto& calls = CurrentSystemCalls();
  std::vector<char> buffer(1 << 20);
  for (;;) {
    ssize_t got = calls.read(from, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      SetLastErrorFromErrno(Transfer::Read);
      return false;
    }
    if (got == 0) return true;
    for (ssize_t done = 0; done < got;) {
      ssize_t put = calls.write(to, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        SetLastError(put == 0 ? ERROR_DISK_FULL : ErrorFromErrno(errno, Transfer::Write));
        return false;
      }
      done += put;
    }
  }
}

// Copies into a temporary file beside the destination and renames it into
// place, so that a failed or interrupted copy never leaves a partial file
// under the destination's name.
bool CopyFileContents(const std::string& from, const std::string& to, bool replace) {
  auto& calls = CurrentSystemCalls();
  Descriptor source(calls.open(from.c_str(), O_RDONLY | O_CLOEXEC, 0));
  if (source.get() < 0) {
    SetLastError(PathError(errno, from));
    return false;
  }
  struct stat status;
  if (calls.fstat(source.get(), &status) != 0 || S_ISDIR(status.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  std::string temporary =
      to + ".copy-" + std::to_string(::getpid()) + "-" + std::to_string(GetCurrentThreadId()) + "~";
  bool copied;
  {
    Descriptor target(calls.open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                                 status.st_mode & 0777));
    if (target.get() < 0) {
      SetLastError(PathError(errno, temporary));
      return false;
    }
    copied = CopyContents(source.get(), target.get());
    if (copied && calls.fsync(target.get()) != 0) {
      SetLastErrorFromErrno(Transfer::Write);
      copied = false;
    }
  }
  if (copied) {
    int renamed =
        replace ? ::rename(temporary.c_str(), to.c_str())
                : ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    if (renamed == 0) return true;
    SetLastError(errno == EEXIST ? ERROR_FILE_EXISTS : ErrorFromErrno(errno));
  }
  ::unlink(temporary.c_str());
  return false;
}

std::string CurrentDirectory() {
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

// Resolves "." and ".." and doubled separators without touching the disk.
std::string Normalised(const std::string& absolute) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= absolute.size()) {
    std::size_t end = absolute.find('/', start);
    if (end == std::string::npos) end = absolute.size();
    std::string part = absolute.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string result;
  for (const auto& part : parts) result += "/" + part;
  if (result.empty()) result = "/";
  if (absolute.size() > 1 && absolute.back() == '/' && result != "/") result += '/';
  return result;
}

}  // namespace
}  // namespace quellor::win32

using namespace quellor::win32;

extern "C" BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
  std::string path;
  if (!HostPathArgument(lpFileName, path)) return FALSE;
  struct stat status;
  if (::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (::unlink(path.c_str()) != 0) {
    SetLastError(PathError(errno, path));
    return FALSE;
  }
  return TRUE;
}

extern "C" BOOL WINAPI CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName,
                                 BOOL bFailIfExists) {
  std::string from, to;
  if (!HostPathArgument(lpExistingFileName, from) || !HostPathArgument(lpNewFileName, to)) {
    return FALSE;
  }
  return CopyFileContents(from, to, !bFailIfExists) ? TRUE : FALSE;
}

extern "C" BOOL WINAPI MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags) {
  std::string from, to;
  if (!HostPathArgument(lpExistingFileName, from) || !HostPathArgument(lpNewFileName, to)) {
    return FALSE;
  }
  const bool replace = dwFlags & MOVEFILE_REPLACE_EXISTING;
  if (!Exists(from)) {
    SetLastError(MissingPathError(from));
    return FALSE;
  }
  int renamed = replace
                    ? ::rename(from.c_str(), to.c_str())
                    : ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
  if (renamed != 0 && errno == EINVAL && !replace) {
    // A file system without RENAME_NOREPLACE: check, then rename.
    if (Exists(to)) {
      SetLastError(ERROR_ALREADY_EXISTS);
      return FALSE;
    }
    renamed = ::rename(from.c_str(), to.c_str());
  }
  if (renamed == 0) return TRUE;
  if (errno == EEXIST || (errno == ENOTEMPTY && !replace)) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return FALSE;
  }
  if (errno != EXDEV) {
    SetLastError(PathError(errno, to));
    return FALSE;
  }
  if (!(dwFlags & MOVEFILE_COPY_ALLOWED)) {
    SetLastError(ERROR_NOT_SAME_DEVICE);
    return FALSE;
  }
  // Across file systems: copy, then remove the original only once the copy is
  // complete and in place.
  if (!CopyFileContents(from, to, replace)) {
    if (GetLastError() == ERROR_FILE_EXISTS) SetLastError(ERROR_ALREADY_EXISTS);
    return FALSE;
  }
  ::unlink(from.c_str());
  return TRUE;
}

extern "C" BOOL WINAPI MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName) {
  return MoveFileExA(lpExistingFileName, lpNewFileName, MOVEFILE_COPY_ALLOWED);
}

extern "C" BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
  std::string path;
  if (!HostPathArgument(lpPathName, path)) return FALSE;
  if (::mkdir(path.c_str(), 0777) != 0) {
    SetLastError(errno == EEXIST   ? ERROR_ALREADY_EXISTS
                 : errno == ENOENT ? ERROR_PATH_NOT_FOUND
                                   : ErrorFromErrno(errno));
    return FALSE;
  }
  return TRUE;
}

extern "C" BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName) {
  std::string path;
  if (!HostPathArgument(lpPathName, path)) return FALSE;
  if (::rmdir(path.c_str()) != 0) {
    SetLastError(errno == ENOTDIR ? ERROR_DIRECTORY : PathError(errno, path));
    return FALSE;
  }
  return TRUE;
}

extern "C" DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
  std::string path;
  if (!HostPathArgument(lpFileName, path)) return INVALID_FILE_ATTRIBUTES;
  struct stat status;
  if (::stat(path.c_str(), &status) != 0) {
    SetLastError(PathError(errno, path));
    return INVALID_FILE_ATTRIBUTES;
  }
  std::size_t slash = path.find_last_of('/', path.size() > 1 ? path.size() - 2 : 0);
  return AttributesFromStat(status, slash == std::string::npos ? path : path.substr(slash + 1));
}

extern "C" DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer) {
  std::string current = CurrentDirectory();
  if (current.empty()) {
    SetLastErrorFromErrno();
    return 0;
  }
  return CopyPathResult(current, lpBuffer, nBufferLength);
}

extern "C" DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer,
                                         LPSTR* lpFilePart) {
  std::string path;
  if (!HostPathArgument(lpFileName, path)) return 0;
  if (path[0] != '/') {
    // Without the current folder (removed under the program) a relative name
    // has no full form: "/" + name would be a different file.
    std::string current = CurrentDirectory();
    if (current.empty()) {
      SetLastErrorFromErrno();
      return 0;
    }
    path = current + "/" + path;
  }
  std::string full = Normalised(path);
  DWORD result = CopyPathResult(full, lpBuffer, nBufferLength);
  if (lpFilePart) {
    *lpFilePart = nullptr;
    if (result == full.size() && full.back() != '/') {
      *lpFilePart = lpBuffer + full.find_last_of('/') + 1;
    }
  }
  return result;
}

extern "C" DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer) {
  const char* folder = std::getenv("TMPDIR");
  std::string path = folder && *folder ? folder : "/tmp";
  if (path.back() != '/') path += '/';  // Win32 gives the folder with its separator
  return CopyPathResult(path, lpBuffer, nBufferLength);
}
