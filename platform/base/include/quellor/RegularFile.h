// Opening a file a user named without waiting on a peer: open() of a FIFO
// waits until the other end is opened, which may never happen, and a
// terminal or socket waits for input that may never come. Only regular files
// are opened; the rest is refused at once.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace quellor {

// The file at `path` opened as fopen(path, "rb") does, when it is a regular
// file; nullptr with errno otherwise (EINVAL for a pipe, socket or device).
inline std::FILE* OpenRegularFileForReading(const char* path) {
  if (path == nullptr) {
    errno = EINVAL;
    return nullptr;
  }
  int fd;
  do {
    fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return nullptr;
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    // A failed fstat leaves the mode 0: neither a folder nor a regular file.
    const int error = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    errno = error;
    return nullptr;
  }
  // Reads of a regular file never wait on a peer; the flag only served the open.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* file = ::fdopen(fd, "rb");
  if (file == nullptr) ::close(fd);
  return file;
}

// The file at `path` opened as fopen(path, "wb") does (created, or emptied),
// when it is a regular file or not there yet; nullptr otherwise. A file that
// is something else is refused before anything in it is touched.
inline std::FILE* OpenRegularFileForWriting(const char* path) {
  if (path == nullptr) {
    errno = EINVAL;
    return nullptr;
  }
  int fd;
  do {
    fd = ::open(path, O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return nullptr;
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    errno = EINVAL;
    return nullptr;
  }
  // Emptied only once known to be a file.
  if (::ftruncate(fd, 0) != 0 || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return nullptr;
  }
  std::FILE* file = ::fdopen(fd, "wb");
  if (file == nullptr) ::close(fd);
  return file;
}

// True when `path` names something other than a regular file (a pipe, a
// socket, a device, a folder): a caller that must go through its own open
// refuses such a path before opening it.
inline bool IsPresentButNotRegular(const char* path) {
  struct stat status;
  return path != nullptr && ::stat(path, &status) == 0 && !S_ISREG(status.st_mode);
}

}  // namespace quellor
