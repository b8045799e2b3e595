#include <win32/testing/FileFaults.h>
#include <win32/testing/SystemCalls.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <string>

namespace quellor::win32::testing {
namespace {

bool AffectsWrites(FileFault fault) {
  return fault == FileFault::ShortWrite || fault == FileFault::DiskFull ||
         fault == FileFault::WriteError;
}

std::string PathOfDescriptor(int fd) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char target[4096];
  ssize_t length = ::readlink(link, target, sizeof target - 1);
  return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

bool IsDirect(int fd) {
  int flags = ::fcntl(fd, F_GETFL);
  return flags >= 0 && (flags & O_DIRECT);
}

// How much of a `count`-byte transfer a short one moves: half, kept to whole
// sectors on O_DIRECT descriptors, which cannot transfer part of one.
std::size_t ShortenedCount(int fd, std::size_t count) {
  if (IsDirect(fd)) {
    if (count < 1024) return count;
    return (count / 2) / 512 * 512;
  }
  return std::max<std::size_t>(count / 2, count > 0 ? 1 : 0);
}

}  // namespace

class ScopedFileFault::Injector final : public SystemCalls {
 public:
  Injector(std::string path_part, FileFault fault, int count)
      : path_part_(std::move(path_part)), fault_(fault), remaining_(count), scope_(*this) {}

  void SetAllowance(std::uint64_t bytes) {
    std::lock_guard lock(mutex_);
    allowance_ = bytes;
  }
  int Triggered() const {
    std::lock_guard lock(mutex_);
    return triggered_;
  }

  int open(const char* path, int flags, mode_t mode) override {
    return next().open(path, flags, mode);
  }
  int close(int fd) override { return next().close(fd); }
  off_t lseek(int fd, off_t offset, int whence) override {
    return next().lseek(fd, offset, whence);
  }
  int fstat(int fd, struct stat* status) override { return next().fstat(fd, status); }
  int ftruncate(int fd, off_t length) override { return next().ftruncate(fd, length); }
  int fsync(int fd) override { return next().fsync(fd); }

  ssize_t read(int fd, void* buffer, std::size_t count) override {
    std::size_t allowed = count;
    if (AffectsWrites(fault_) || !Claim(fd, count, allowed)) {
      return next().read(fd, buffer, count);
    }
    if (allowed > 0) return next().read(fd, buffer, allowed);
    if (fault_ == FileFault::ReadError) {
      errno = EIO;
      return -1;
    }
    return next().read(fd, buffer, ShortenedCount(fd, count));
  }

  ssize_t write(int fd, const void* buffer, std::size_t count) override {
    std::size_t allowed = count;
    if (!AffectsWrites(fault_) || !Claim(fd, count, allowed)) {
      return next().write(fd, buffer, count);
    }
    if (allowed > 0) return next().write(fd, buffer, allowed);
    if (fault_ == FileFault::ShortWrite) return next().write(fd, buffer, ShortenedCount(fd, count));
    errno = fault_ == FileFault::DiskFull ? ENOSPC : EIO;
    return -1;
  }

 private:
  SystemCalls& next() { return scope_.previous(); }

  // Decides whether this call on `fd` is faulted. When an allowance of
  // untouched bytes is left, `allowed` is how many go through cleanly (a call
  // that crosses the limit is cut at it); otherwise `allowed` is 0 and the
  // fault applies.
  bool Claim(int fd, std::size_t count, std::size_t& allowed) {
    std::string path = PathOfDescriptor(fd);
    std::lock_guard lock(mutex_);
    if (remaining_ == 0 || path.find(path_part_) == std::string::npos) return false;
    if (allowance_ > 0) {
      allowed = static_cast<std::size_t>(std::min<std::uint64_t>(allowance_, count));
      allowance_ -= allowed;
      if (allowed == count) return false;
      return true;  // cut short at the limit; the fault applies from the next call
    }
    allowed = 0;
    if (remaining_ > 0) --remaining_;
    ++triggered_;
    return true;
  }

  const std::string path_part_;
  const FileFault fault_;
  mutable std::mutex mutex_;
  int remaining_;
  int triggered_ = 0;
  std::uint64_t allowance_ = 0;
  ScopedSystemCalls scope_;
};

ScopedFileFault::ScopedFileFault(std::string path_part, FileFault fault, int count)
    : injector_(std::make_unique<Injector>(std::move(path_part), fault, count)) {}

ScopedFileFault::~ScopedFileFault() = default;

ScopedFileFault& ScopedFileFault::AfterBytes(std::uint64_t bytes) {
  injector_->SetAllowance(bytes);
  return *this;
}

int ScopedFileFault::Triggered() const {
  return injector_->Triggered();
}

}  // namespace quellor::win32::testing
