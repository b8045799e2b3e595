#include "TakeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "cliplib/clip/ClipWriter.h"

namespace quellor::rtvbridge {
namespace {

void CreateClip(const std::string& path, const VideoGeometry& geometry) {
  clip::ClipWriter::Create(path.c_str(), 2, 0, static_cast<unsigned>(geometry.width),
                           static_cast<unsigned>(geometry.fieldLines()), geometry.frameRate);
}

// A new, empty file of our own beside `path`, never one that already exists
// (it could be the user's); empty when none could be made (errno tells why).
std::string MakePrivateFile(const std::string& path) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    const std::string name =
        path + ".take-" + std::to_string(getpid()) + "-" + std::to_string(attempt) + ".tmp";
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      close(fd);
      return name;
    }
    if (errno != EEXIST) break;
  }
  return {};
}

}  // namespace

void EarlierTake::Hold(const std::string& path) {
  Release();
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  std::lock_guard lock(mutex_);
  fd_ = fd;
}

void EarlierTake::Release() {
  int fd;
  {
    std::lock_guard lock(mutex_);
    fd = fd_;
    fd_ = -1;
  }
  if (fd >= 0) close(fd);
}

void CreateTakeClip(const std::string& path, const VideoGeometry& geometry) {
  // A link (symbolic or hard) is written through, as the user made it:
  // renaming over it would cut the new take off from where the link leads.
  struct stat info;
  if (lstat(path.c_str(), &info) == 0 && (S_ISLNK(info.st_mode) || info.st_nlink > 1)) {
    CreateClip(path, geometry);
    return;
  }
  const std::string made = MakePrivateFile(path);
  if (made.empty()) {
    // A folder the user may not add to, though the clip may be rewritten:
    // in place, as the user's rights allow. Anything else (a full disk, say)
    // fails here and leaves the earlier take whole.
    if (errno == EACCES || errno == EPERM) {
      CreateClip(path, geometry);
      return;
    }
    throw "Cannot open file for output.";
  }
  try {
    CreateClip(made, geometry);
  } catch (...) {
    std::remove(made.c_str());
    throw;
  }
  if (std::rename(made.c_str(), path.c_str()) != 0) {
    std::remove(made.c_str());
    throw "Cannot open file for output.";
  }
}

}  // namespace quellor::rtvbridge
