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

// An flock() held for the lifetime of the object. The descriptor is
// close-on-exec, so a started program never inherits it.
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

bool ReadWholeFile(const std::string& path, std::string& contents);
// Writes a temporary file and renames it over path, so that readers see the
// old or the new contents, never a mix.
bool WriteFileAtomically(const std::string& path, const std::string& contents);

}  // namespace quellor::board
