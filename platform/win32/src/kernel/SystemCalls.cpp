#include <win32/testing/SystemCalls.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>

namespace quellor::win32::testing {
namespace {

class PosixSystemCalls final : public SystemCalls {
 public:
  int open(const char* path, int flags, mode_t mode) override { return ::open(path, flags, mode); }
  int close(int fd) override { return ::close(fd); }
  ssize_t read(int fd, void* buffer, std::size_t count) override {
    return ::read(fd, buffer, count);
  }
  ssize_t write(int fd, const void* buffer, std::size_t count) override {
    return ::write(fd, buffer, count);
  }
  off_t lseek(int fd, off_t offset, int whence) override { return ::lseek(fd, offset, whence); }
  int fstat(int fd, struct stat* status) override { return ::fstat(fd, status); }
  int ftruncate(int fd, off_t length) override { return ::ftruncate(fd, length); }
  int fsync(int fd) override { return ::fsync(fd); }
};

std::atomic<SystemCalls*>& Current() {
  static std::atomic<SystemCalls*> current{&RealSystemCalls()};
  return current;
}

}  // namespace

SystemCalls& RealSystemCalls() {
  static auto* real = new PosixSystemCalls;  // outlives every static destructor
  return *real;
}

SystemCalls& CurrentSystemCalls() {
  return *Current().load(std::memory_order_acquire);
}

ScopedSystemCalls::ScopedSystemCalls(SystemCalls& replacement)
    : previous_(Current().exchange(&replacement, std::memory_order_acq_rel)) {}

ScopedSystemCalls::~ScopedSystemCalls() {
  Current().store(previous_, std::memory_order_release);
}

}  // namespace quellor::win32::testing
