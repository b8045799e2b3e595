// Exclusive board-wide names. A named object holds an flock() on
// names/<name>.lock in the board folder for as long as it exists; the kernel
// drops the lock when the owning process ends, so a dead process's names are
// free again at once.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "board/BoardControl.h"

namespace quellor::board {

// Non-empty, at most kRtmeMaxNameLength characters, no control characters.
bool IsValidObjectName(const char* name);

class NamedObjectLock {
 public:
  // Null when the name is taken (by this or any other process) or invalid.
  static std::unique_ptr<NamedObjectLock> Acquire(const std::string& folder, const char* name,
                                                  const char* kind);
  ~NamedObjectLock();
  NamedObjectLock(const NamedObjectLock&) = delete;
  NamedObjectLock& operator=(const NamedObjectLock&) = delete;
  const std::string& name() const { return name_; }

 private:
  NamedObjectLock(int fd, std::string path, std::string name)
      : fd_(fd), path_(std::move(path)), name_(std::move(name)) {}
  int fd_;
  std::string path_;
  std::string name_;
};

// Names held now, in name order.
std::vector<NamedObjectEntry> ListNamedObjects(const std::string& folder);

}  // namespace quellor::board
