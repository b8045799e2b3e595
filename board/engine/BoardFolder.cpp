#include "BoardFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace quellor::board {

std::string ResolveBoardFolder() {
  if (const char* folder = std::getenv("QUELLOR_BOARD_DIR"); folder && *folder) return folder;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
    return std::string(runtime) + "/quellor-board";
  return "/tmp/quellor-board-" + std::to_string(static_cast<unsigned long>(getuid()));
}

static bool MakeFolder(const std::string& path) {
  if (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) return true;
  if (errno != ENOENT) return false;
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return false;
  if (!MakeFolder(path.substr(0, slash))) return false;
  return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

bool EnsureBoardFolder(const std::string& folder) {
  return MakeFolder(folder) && MakeFolder(folder + "/names");
}

// Opens `path` without blocking (a FIFO planted in the board folder would
// otherwise wait for a writer forever) and keeps it only when it is a
// regular file.
static int OpenRegular(const std::string& path, int flags) {
  const int fd = open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    errno = EINVAL;
    return -1;
  }
  return fd;
}

bool IsRegularOrMissing(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode);
}

FileLock::FileLock(const std::string& path, bool exclusive) {
  fd_ = OpenRegular(path, O_RDWR | O_CREAT);
  if (fd_ < 0) return;
  // Holders keep these locks for one read or write of a small file; one that
  // has not let go after kLockWaitMilliseconds is stuck (a stopped process),
  // and waiting longer would only hang the caller too.
  const timespec pause{0, kLockPollMilliseconds * 1000000L};
  for (int waited = 0;; waited += kLockPollMilliseconds) {
    if (flock(fd_, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) return;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK || waited >= kLockWaitMilliseconds) break;
    nanosleep(&pause, nullptr);
  }
  close(fd_);
  fd_ = -1;
}

FileLock::~FileLock() {
  if (fd_ >= 0) close(fd_);  // closing drops the lock
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
  const int fd = OpenRegular(path, O_RDONLY);
  if (fd < 0) return false;
  contents.clear();
  char chunk[4096];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      close(fd);
      return got == 0;
    }
    contents.append(chunk, static_cast<size_t>(got));
  }
}

bool WriteFileAtomically(const std::string& path, const std::string& contents) {
  const std::string temporary = path + ".tmp." + std::to_string(getpid());
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < contents.size()) {
    const ssize_t wrote = write(fd, contents.data() + done, contents.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      close(fd);
      unlink(temporary.c_str());
      return false;
    }
    done += static_cast<size_t>(wrote);
  }
  if (close(fd) != 0 || rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace quellor::board
