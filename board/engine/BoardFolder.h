// The board folder: where one user's board keeps what every process shares
// (named-object locks, control values, the input setting, the shown frame).
#pragma once

#include <string>

namespace quellor::board {

// QUELLOR_BOARD_DIR, else $XDG_RUNTIME_DIR/quellor-board, else
// /tmp/quellor-board-<uid>.
std::string ResolveBoardFolder();
// Creates the folder and its "names" sub-folder (mode 0700) when missing.
bool EnsureBoardFolder(const std::string& folder);

// How long a lock of the board folder is waited for, and how often tried.
inline constexpr int kLockWaitMilliseconds = 5000;
inline constexpr int kLockPollMilliseconds = 5;

// An flock() held for the lifetime of the object. The descriptor is
// close-on-exec, so a started program never inherits it. Not locked when the
// lock file is not a regular file or another holder kept the lock for
// kLockWaitMilliseconds.
class FileLock {
 public:
  FileLock(const std::string& path, bool exclusive);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool locked() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// False for a file that is missing, unreadable or not a regular file (a pipe
// or device is never opened in a way that could block).
bool ReadWholeFile(const std::string& path, std::string& contents);
// True for a regular file or no file at all under `path`.
bool IsRegularOrMissing(const std::string& path);
// Writes a temporary file and renames it over path, so that readers see the
// old or the new contents, never a mix.
bool WriteFileAtomically(const std::string& path, const std::string& contents);

}  // namespace quellor::board
