#include "kernel/FileObject.h"

#include "kernel/ErrnoMapping.h"
#include "kernel/PathArgument.h"
#include "kernel/ShareModes.h"

#include <win32/testing/SystemCalls.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quellor::win32 {
namespace {

using testing::CurrentSystemCalls;

int AccessFlags(DWORD access) {
  bool read = access & (GENERIC_READ | GENERIC_ALL);
  bool write = access & (GENERIC_WRITE | GENERIC_ALL);
  if (read && write) return O_RDWR;
  if (write) return O_WRONLY;
  return O_RDONLY;  // read access, or none at all (attribute queries)
}

bool Writable(DWORD access) {
  return access & (GENERIC_WRITE | GENERIC_ALL);
}
bool Readable(DWORD access) {
  return access & (GENERIC_READ | GENERIC_ALL);
}

// Opens the descriptor with O_DIRECT when asked, falling back to a normal
// descriptor on file systems that refuse it (tmpfs answers EINVAL).
int OpenDescriptor(const std::string& path, int flags, mode_t mode, bool direct) {
  auto& calls = CurrentSystemCalls();
  if (direct) {
    int fd;
    do {
      fd = calls.open(path.c_str(), flags | O_DIRECT, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0 || errno != EINVAL) return fd;
  }
  int fd;
  do {
    fd = calls.open(path.c_str(), flags, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Opens per the creation disposition without ever truncating: truncation is
// done by the caller once the share check has passed. `existed` tells whether
// the file was there before.
int OpenForDisposition(const FileOpenRequest& request, bool& existed) {
  // O_NONBLOCK: opening a FIFO would otherwise wait for the other end
  // forever; it is refused below and cleared for everything kept.
  const int base = AccessFlags(request.access) | O_CLOEXEC | O_NONBLOCK |
                   ((request.flags & FILE_FLAG_WRITE_THROUGH) ? O_DSYNC : 0);
  const mode_t mode = (request.flags & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  const bool direct = request.flags & FILE_FLAG_NO_BUFFERING;
  const std::string& path = request.host_path;
  existed = true;
  switch (request.disposition) {
    case CREATE_NEW:
      existed = false;
      return OpenDescriptor(path, base | O_CREAT | O_EXCL, mode, direct);
    case OPEN_EXISTING:
    case TRUNCATE_EXISTING:
      return OpenDescriptor(path, base, mode, direct);
    case CREATE_ALWAYS:
    case OPEN_ALWAYS:
      for (int attempt = 0; attempt < 8; ++attempt) {
        int fd = OpenDescriptor(path, base | O_CREAT | O_EXCL, mode, direct);
        if (fd >= 0 || errno != EEXIST) {
          existed = false;
          return fd;
        }
        fd = OpenDescriptor(path, base, mode, direct);
        if (fd >= 0 || errno != ENOENT) return fd;
        // Deleted between the two opens: try again.
      }
      errno = EAGAIN;
      return -1;
    default:
      errno = EINVAL;
      return -1;
  }
}

DWORD OpenError(int error, const FileOpenRequest& request) {
  if (error == ENOENT) return MissingPathError(request.host_path);
  if (error == EEXIST) return ERROR_FILE_EXISTS;
  if (error == EISDIR) return ERROR_ACCESS_DENIED;
  return ErrorFromErrno(error);
}

}  // namespace

std::shared_ptr<FileObject> FileObject::Open(const FileOpenRequest& request) {
  if (request.disposition < CREATE_NEW || request.disposition > TRUNCATE_EXISTING ||
      (request.disposition == TRUNCATE_EXISTING && !Writable(request.access))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  bool existed = false;
  int fd = OpenForDisposition(request, existed);
  if (fd < 0) {
    SetLastError(OpenError(errno, request));
    return nullptr;
  }
  std::shared_ptr<FileObject> file(new FileObject(fd, request.host_path, request));
  struct stat status;
  if (CurrentSystemCalls().fstat(fd, &status) != 0) {
    SetLastErrorFromErrno();
    return nullptr;
  }
  if (S_ISDIR(status.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);  // directories are not files on Win32
    return nullptr;
  }
  if (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode)) {
    // Reads of a pipe or socket block without end where callers expect a
    // file; the subset has no named pipes.
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (!AcquireShare(status.st_dev, status.st_ino, request.access, request.share, file.get())) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return nullptr;
  }
  file->device_ = status.st_dev;
  file->inode_ = status.st_ino;
  const bool truncate =
      request.disposition == TRUNCATE_EXISTING || (request.disposition == CREATE_ALWAYS && existed);
  if (truncate && status.st_size != 0 && CurrentSystemCalls().ftruncate(fd, 0) != 0) {
    SetLastErrorFromErrno(Transfer::Write);
    return nullptr;
  }
  if (request.flags & FILE_FLAG_SEQUENTIAL_SCAN) {
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);  // a hint: failure is harmless
  }
  // Only an open that succeeded deletes its file at the close: a refused one
  // (shared, a folder, a pipe) must leave the file that is there alone.
  file->delete_on_close_ = request.flags & FILE_FLAG_DELETE_ON_CLOSE;
  const bool reports_existing =
      existed && (request.disposition == CREATE_ALWAYS || request.disposition == OPEN_ALWAYS);
  SetLastError(reports_existing ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return file;
}

FileObject::FileObject(int fd, std::string path, const FileOpenRequest& request)
    : KernelObject(ObjectKind::File),
      fd_(fd),
      path_(std::move(path)),
      access_(request.access),
      unbuffered_(request.flags & FILE_FLAG_NO_BUFFERING),
      delete_on_close_(false) {}

FileObject::~FileObject() {
  if (inode_ != 0) ReleaseShare(device_, inode_, this);
  if (delete_on_close_) {
    // The file goes, not whatever now has its name: a file renamed over the
    // name since it was opened is somebody else's and stays.
    struct stat named {};
    if (::lstat(path_.c_str(), &named) == 0 && named.st_dev == device_ && named.st_ino == inode_) {
      ::unlink(path_.c_str());
    }
  }
  CurrentSystemCalls().close(fd_);
}

bool FileObject::CurrentPosition(off_t& position) {
  position = CurrentSystemCalls().lseek(fd_, 0, SEEK_CUR);
  if (position < 0) {
    SetLastErrorFromErrno();
    return false;
  }
  return true;
}

bool FileObject::AtEndOfFile() {
  struct stat status;
  off_t position = CurrentSystemCalls().lseek(fd_, 0, SEEK_CUR);
  return position >= 0 && CurrentSystemCalls().fstat(fd_, &status) == 0 &&
         position >= status.st_size;
}

// Unbuffered handles move whole sectors only: the buffer address, the byte
// count and the file position must all be multiples of the sector size.
// Called with io_mutex_ held; false with the last error set otherwise.
bool FileObject::MeetsSectorRules(const void* buffer, DWORD count) {
  if (!unbuffered_) return true;
  off_t position;
  if (!CurrentPosition(position)) return false;
  if (reinterpret_cast<std::uintptr_t>(buffer) % kSectorSize == 0 && count % kSectorSize == 0 &&
      static_cast<std::uint64_t>(position) % kSectorSize == 0)
    return true;
  SetLastError(ERROR_INVALID_PARAMETER);
  return false;
}

BOOL FileObject::Read(void* buffer, DWORD count, DWORD* transferred) {
  if (!Readable(access_)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (count == 0) return TRUE;
  std::lock_guard lock(io_mutex_);
  auto& calls = CurrentSystemCalls();
  if (!MeetsSectorRules(buffer, count)) return FALSE;
  auto* bytes = static_cast<unsigned char*>(buffer);
  DWORD done = 0;
  while (done < count) {
    ssize_t got = calls.read(fd_, bytes + done, count - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      SetLastErrorFromErrno(Transfer::Read);
      if (transferred) *transferred = done;
      return FALSE;
    }
    if (got == 0) break;  // end of file: TRUE with fewer bytes
    done += static_cast<DWORD>(got);
    if (unbuffered_ && done < count && AtEndOfFile()) break;
  }
  if (transferred) *transferred = done;
  return TRUE;
}

BOOL FileObject::Write(const void* buffer, DWORD count, DWORD* transferred) {
  if (!Writable(access_)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (count == 0) return TRUE;
  std::lock_guard lock(io_mutex_);
  auto& calls = CurrentSystemCalls();
  if (!MeetsSectorRules(buffer, count)) return FALSE;
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  DWORD done = 0;
  while (done < count) {
    ssize_t put = calls.write(fd_, bytes + done, count - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      // No progress at all is how some devices say "full".
      SetLastError(put == 0 ? ERROR_DISK_FULL : ErrorFromErrno(errno, Transfer::Write));
      if (transferred) *transferred = done;
      return FALSE;
    }
    done += static_cast<DWORD>(put);
  }
  if (transferred) *transferred = done;
  return TRUE;
}

BOOL FileObject::Seek(std::int64_t distance, DWORD method, std::int64_t* new_position) {
  std::lock_guard lock(io_mutex_);
  auto& calls = CurrentSystemCalls();
  std::int64_t base = 0;
  if (method == FILE_CURRENT) {
    off_t position;
    if (!CurrentPosition(position)) return FALSE;
    base = position;
  } else if (method == FILE_END) {
    struct stat status;
    if (calls.fstat(fd_, &status) != 0) {
      SetLastErrorFromErrno();
      return FALSE;
    }
    base = status.st_size;
  } else if (method != FILE_BEGIN) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::int64_t target;
  if (__builtin_add_overflow(base, distance, &target) || target < 0) {
    SetLastError(target < 0 ? ERROR_NEGATIVE_SEEK : ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  off_t moved = calls.lseek(fd_, static_cast<off_t>(target), SEEK_SET);
  if (moved < 0) {
    SetLastErrorFromErrno();
    return FALSE;
  }
  if (new_position) *new_position = moved;
  return TRUE;
}

BOOL FileObject::Size(std::int64_t* size) {
  struct stat status;
  if (CurrentSystemCalls().fstat(fd_, &status) != 0) {
    SetLastErrorFromErrno();
    return FALSE;
  }
  *size = status.st_size;
  return TRUE;
}

BOOL FileObject::Truncate() {
  if (!Writable(access_)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  std::lock_guard lock(io_mutex_);
  off_t position;
  if (!CurrentPosition(position)) return FALSE;
  if (CurrentSystemCalls().ftruncate(fd_, position) != 0) {
    SetLastErrorFromErrno(Transfer::Write);
    return FALSE;
  }
  return TRUE;
}

BOOL FileObject::Flush() {
  if (!Writable(access_)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (CurrentSystemCalls().fsync(fd_) != 0) {
    SetLastErrorFromErrno(Transfer::Write);
    return FALSE;
  }
  return TRUE;
}

}  // namespace quellor::win32
