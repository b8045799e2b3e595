#include "OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace quellor::tools {
namespace {

// Temporaries the signal handler removes. A tool has one or two outputs open
// at a time; the table is fixed so that the handler touches no heap.
constexpr std::size_t kMostTemporaries = 8;
struct PendingTemporary {
  std::atomic<bool> used{false};
  char path[PATH_MAX];
};
std::array<PendingTemporary, kMostTemporaries> g_pending;

void RemovePendingAndDie(int signal_number) {
  for (PendingTemporary& pending : g_pending) {
    if (pending.used.load()) unlink(pending.path);  // async-signal-safe
  }
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

void InstallHandlerOnce() {
  static const bool installed = [] {
    for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
      struct sigaction now {};
      // A program that handles the signal itself keeps its handler.
      if (sigaction(signal_number, nullptr, &now) == 0 && now.sa_handler == SIG_DFL) {
        struct sigaction action {};
        action.sa_handler = RemovePendingAndDie;
        sigemptyset(&action.sa_mask);
        sigaction(signal_number, &action, nullptr);
      }
    }
    return true;
  }();
  (void)installed;
}

PendingTemporary* Remember(const std::string& path) {
  if (path.size() >= PATH_MAX) return nullptr;
  InstallHandlerOnce();
  for (PendingTemporary& pending : g_pending) {
    if (pending.used.load()) continue;
    std::memcpy(pending.path, path.c_str(), path.size() + 1);
    pending.used.store(true);
    return &pending;
  }
  return nullptr;
}

void Forget(const std::string& path) {
  for (PendingTemporary& pending : g_pending) {
    if (pending.used.load() && path == pending.path) pending.used.store(false);
  }
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a name finally stands for: a symbolic link is followed so that
// the rename replaces the file and not the link.
std::string ResolveLinks(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) != nullptr) return resolved;
  return path;  // a dangling link: rename replaces the link itself
}

mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {
  }, second{};
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

OutputFile::OutputFile(std::string target) : target_(std::move(target)) {}

OutputFile::~OutputFile() {
  Discard();
}

bool OutputFile::Open(const std::vector<std::string>& inputs, std::string* error) {
  Discard();
  if (target_.empty()) {
    *error = "no output file named";
    return false;
  }
  for (const std::string& input : inputs) {
    if (SameFile(target_, input)) {
      *error = target_ + " is the same file as the input " + input;
      return false;
    }
  }
  final_path_ = ResolveLinks(target_);
  struct stat existing {};
  const bool exists = stat(final_path_.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) {
    *error = "cannot create " + target_ + ": it is a folder";
    return false;
  }
  if (exists && !S_ISREG(existing.st_mode)) {
    // A device or pipe: nothing to replace, the job writes straight to it.
    write_path_ = final_path_;
    return true;
  }
  std::string pattern = FolderOf(final_path_) + "/." + NameOf(final_path_) + ".part-XXXXXX";
  const int fd = mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) {
    *error = "cannot create " + target_ + ": " + std::strerror(errno);
    return false;
  }
  // mkostemp makes 0600; the result gets the old file's mode, or the mode a
  // new file would have had.
  fchmod(fd, exists ? (existing.st_mode & 07777) : NewFileMode());
  close(fd);
  write_path_ = pattern;
  temporary_ = true;
  if (Remember(write_path_) == nullptr) {
    Discard();
    *error = "cannot create " + target_ + ": too many outputs at once";
    return false;
  }
  return true;
}

bool OutputFile::Commit(std::string* error) {
  if (write_path_.empty()) {
    *error = "nothing was written to " + target_;
    return false;
  }
  if (!temporary_) return true;
  // On the disk before it takes the old file's name: after a crash the name
  // holds the old file or the whole new one, never an empty one.
  const int fd = open(write_path_.c_str(), O_RDONLY | O_CLOEXEC);
  const bool synced = fd >= 0 && fsync(fd) == 0;
  const int sync_error = errno;
  if (fd >= 0) close(fd);
  if (!synced) {
    *error = "cannot write " + target_ + ": " + std::strerror(sync_error);
    Discard();
    return false;
  }
  if (rename(write_path_.c_str(), final_path_.c_str()) != 0) {
    *error = "cannot replace " + target_ + ": " + std::strerror(errno);
    Discard();
    return false;
  }
  Forget(write_path_);
  temporary_ = false;
  write_path_.clear();
  return true;
}

void OutputFile::Discard() {
  if (temporary_) {
    unlink(write_path_.c_str());
    Forget(write_path_);
    temporary_ = false;
  }
  write_path_.clear();
}

}  // namespace quellor::tools
