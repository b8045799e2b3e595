#include "NamedObjectLock.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "board/Engine.h"

namespace quellor::board {

namespace {

constexpr const char* kLockSuffix = ".lock";

// File names keep letters, digits, '.', '-' and '_'; every other byte is %XX.
// 80 characters escape to at most 240, within a file name's 255.
std::string EscapeName(const char* name) {
  std::string escaped;
  for (const char* p = name; *p; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
        c == '-' || c == '_') {
      escaped += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      escaped += hex;
    }
  }
  return escaped;
}

std::string UnescapeName(const std::string& escaped) {
  std::string name;
  for (size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] == '%' && i + 2 < escaped.size()) {
      name += static_cast<char>(std::strtol(escaped.substr(i + 1, 2).c_str(), nullptr, 16));
      i += 2;
    } else {
      name += escaped[i];
    }
  }
  return name;
}

bool SameFile(int fd, const std::string& path) {
  struct stat opened, named;
  return fstat(fd, &opened) == 0 && stat(path.c_str(), &named) == 0 &&
         opened.st_ino == named.st_ino && opened.st_dev == named.st_dev;
}

}  // namespace

bool IsValidObjectName(const char* name) {
  if (!name || !*name) return false;
  size_t length = 0;
  for (const char* p = name; *p; ++p, ++length) {
    if (length >= kRtmeMaxNameLength) return false;
    if (static_cast<unsigned char>(*p) < 0x20) return false;
  }
  return true;
}

std::unique_ptr<NamedObjectLock> NamedObjectLock::Acquire(const std::string& folder,
                                                          const char* name, const char* kind) {
  if (!IsValidObjectName(name)) return nullptr;
  const std::string path = folder + "/names/" + EscapeName(name) + kLockSuffix;
  // The releasing owner unlinks the file while it still holds the lock; a
  // lock won on a file that was unlinked meanwhile is worthless, so retry.
  for (int attempt = 0; attempt < 8; ++attempt) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      close(fd);
      return nullptr;
    }
    if (!SameFile(fd, path)) {
      close(fd);
      continue;
    }
    char owner[96];
    const int length = std::snprintf(owner, sizeof owner, "%s %ld\n", kind, (long)getpid());
    if (ftruncate(fd, 0) != 0 || pwrite(fd, owner, static_cast<size_t>(length), 0) != length) {
      // The name is ours even when the note about its owner cannot be written.
    }
    return std::unique_ptr<NamedObjectLock>(new NamedObjectLock(fd, path, name));
  }
  return nullptr;
}

NamedObjectLock::~NamedObjectLock() {
  unlink(path_.c_str());
  close(fd_);
}

std::vector<NamedObjectEntry> ListNamedObjects(const std::string& folder) {
  std::vector<NamedObjectEntry> entries;
  const std::string names = folder + "/names";
  DIR* directory = opendir(names.c_str());
  if (!directory) return entries;
  const size_t suffixLength = std::strlen(kLockSuffix);
  while (const dirent* entry = readdir(directory)) {
    const std::string file = entry->d_name;
    if (file.size() <= suffixLength ||
        file.compare(file.size() - suffixLength, suffixLength, kLockSuffix) != 0)
      continue;
    const std::string path = names + "/" + file;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    if (flock(fd, LOCK_SH | LOCK_NB) == 0) {
      close(fd);  // nobody holds it: left over, and reused by the next owner of the name
      continue;
    }
    char owner[96] = {};
    const ssize_t got = pread(fd, owner, sizeof owner - 1, 0);
    close(fd);
    NamedObjectEntry item;
    item.name = UnescapeName(file.substr(0, file.size() - suffixLength));
    char kind[32] = {};
    long pid = 0;
    if (got > 0 && std::sscanf(owner, "%31s %ld", kind, &pid) == 2) {
      item.kind = kind;
      item.processId = pid;
    }
    entries.push_back(item);
  }
  closedir(directory);
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.name < b.name; });
  return entries;
}

}  // namespace quellor::board
