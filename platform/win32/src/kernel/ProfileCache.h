// Parsed private-profile documents kept between calls, so that a program
// reading forty keys at start-up parses its settings file once and not forty
// times. An entry is used only while the file under the path is still the
// one it was read from: same device, inode, size, and modification and
// change times to the nanosecond. Writers of the subset always replace the
// file (a new inode), so their changes are always seen; a file rewritten in
// place within one tick of the file system's clock is caught by treating a
// document read within that tick of its last change as unconfirmed.
#pragma once

#include <sys/stat.h>

#include <memory>
#include <string>

#include "kernel/ProfileDocument.h"

namespace quellor::win32 {

struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  timespec changed{};

  static FileStamp Of(const struct stat& status);
  bool operator==(const FileStamp& other) const;
};

class ProfileCache {
 public:
  static ProfileCache& Instance();

  // The document read from `stamp`'s file, or null when it is not cached or
  // not confirmed.
  std::shared_ptr<const ProfileDocument> Find(const std::string& path, const FileStamp& stamp);
  // Takes the entry out so that a writer can edit it without copying when no
  // reader holds it; null as for Find.
  std::shared_ptr<const ProfileDocument> Take(const std::string& path, const FileStamp& stamp);
  // `document` is what the file of `stamp` holds. `written_by_us` when this
  // process wrote that file whole (no one can have changed it in place yet).
  void Store(const std::string& path, const FileStamp& stamp,
             std::shared_ptr<const ProfileDocument> document, bool written_by_us);
  void Forget(const std::string& path);
};

}  // namespace quellor::win32
