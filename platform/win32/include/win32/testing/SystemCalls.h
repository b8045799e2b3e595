// The seam between the file layer of the Win32 subset and the POSIX system
// calls. Every open, read, write, seek, size query, truncate, sync and close
// of a file handle goes through the current SystemCalls object, so tests can
// replace it (or decorate it) to simulate short transfers, full disks and
// device errors. Each function has the POSIX contract: it returns -1 and sets
// errno on failure.
#pragma once

#include <quellor/Export.h>

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

namespace quellor::win32::testing {

class QUELLOR_EXPORT SystemCalls {
 public:
  virtual ~SystemCalls() = default;
  virtual int open(const char* path, int flags, mode_t mode) = 0;
  virtual int close(int fd) = 0;
  virtual ssize_t read(int fd, void* buffer, std::size_t count) = 0;
  virtual ssize_t write(int fd, const void* buffer, std::size_t count) = 0;
  virtual off_t lseek(int fd, off_t offset, int whence) = 0;
  virtual int fstat(int fd, struct stat* status) = 0;
  virtual int ftruncate(int fd, off_t length) = 0;
  virtual int fsync(int fd) = 0;
};

// The system calls in use now.
QUELLOR_EXPORT SystemCalls& CurrentSystemCalls();
// The plain POSIX implementation, for decorators to forward to.
QUELLOR_EXPORT SystemCalls& RealSystemCalls();

// Installs a replacement for its lifetime and restores the previous one
// afterwards. Scopes nest (destroy them in reverse order); install them before
// the threads that do file I/O start, or while those threads are idle.
class QUELLOR_EXPORT ScopedSystemCalls {
 public:
  explicit ScopedSystemCalls(SystemCalls& replacement);
  ~ScopedSystemCalls();
  ScopedSystemCalls(const ScopedSystemCalls&) = delete;
  ScopedSystemCalls& operator=(const ScopedSystemCalls&) = delete;

  // What was installed before this scope: forward to it from a decorator.
  SystemCalls& previous() const { return *previous_; }

 private:
  SystemCalls* previous_;
};

}  // namespace quellor::win32::testing
