// GetPrivateProfileStringA / GetPrivateProfileIntA /
// WritePrivateProfileStringA.
//
// A write locks the file (flock) for its whole read-modify-write, writes the
// new text to a temporary file beside it and renames that over the file, so
// readers (which take no lock) always see a whole file, a failed write (disk
// full) leaves the old file intact, and two processes writing different keys
// at the same time both get their key in. A writer that waited for the lock
// checks that the file it locked is still the one under the name; if another
// writer has replaced it meanwhile, it locks the new one instead. The wait
// for the lock is bounded: a holder that never lets go (a stopped process)
// makes the write fail with ERROR_LOCK_VIOLATION.
//
// The parsed document is kept between calls (ProfileCache) and used again
// while the file is unchanged, so a read costs a stat and a lookup, and a
// write that changes a key costs one write of the file; another process's
// change is seen at the next call. Only regular files are settings files: a
// pipe, device or folder under the name fails the call without blocking.
#include <win32/quellor_host.h>

#include "kernel/ErrnoMapping.h"
#include "kernel/PathArgument.h"
#include "kernel/ProfileCache.h"
#include "kernel/ProfileDocument.h"

#include <win32/testing/SystemCalls.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace quellor::win32 {
namespace {

using testing::CurrentSystemCalls;

// How long a writer waits for another's lock, and how often it looks.
constexpr int kLockWaitMilliseconds = 10000;
constexpr int kLockPollMilliseconds = 5;

bool IsBareName(const char* name) {
  return std::strpbrk(name, "/\\") == nullptr &&
         !(std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':');
}

// Bare names live in the Windows directory; NULL means "win.ini" there. With
// no Windows directory (no QUELLOR_WINDIR, XDG_CONFIG_HOME or HOME) a bare
// name has no place: ERROR_PATH_NOT_FOUND rather than a file at the root.
bool ProfilePath(LPCSTR file_name, std::string& path) {
  if (file_name == nullptr) file_name = "win.ini";
  if (*file_name == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (IsBareName(file_name)) {
    const std::string folder = WindowsDirectory();
    if (folder.empty()) {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return false;
    }
    path = folder + "/" + file_name;
    return true;
  }
  return HostPathArgument(file_name, path);
}

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() { Reset(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  void Reset(int fd = -1) {
    if (fd_ >= 0) CurrentSystemCalls().close(fd_);
    fd_ = fd;
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

bool ReadAll(int fd, std::string& text, off_t size_hint) {
  text.clear();
  if (size_hint > 0) text.reserve(static_cast<std::size_t>(size_hint));
  char buffer[65536];
  for (;;) {
    ssize_t got = CurrentSystemCalls().read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    text.append(buffer, static_cast<std::size_t>(got));
  }
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t put = CurrentSystemCalls().write(fd, text.data() + done, text.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(put);
  }
  return true;
}

// Opens `path` without blocking (a FIFO would wait for a writer forever) and
// keeps it only when it is a regular file; otherwise -1 with errno EISDIR
// for a folder and EINVAL for anything else.
int OpenRegular(const std::string& path, int flags, struct stat& status) {
  auto& calls = CurrentSystemCalls();
  int fd;
  do {
    fd = calls.open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  if (calls.fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    const int error = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    calls.close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

std::shared_ptr<const ProfileDocument> EmptyDocument() {
  static const auto empty = std::make_shared<const ProfileDocument>();
  return empty;
}

// The document of a file, read without locking; a missing file is empty.
// Null (errno set) when the file cannot be read or is not a regular file.
std::shared_ptr<const ProfileDocument> LoadDocument(const std::string& path) {
  struct stat named {};
  if (::stat(path.c_str(), &named) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return EmptyDocument();
    return nullptr;
  }
  if (!S_ISREG(named.st_mode)) {
    errno = S_ISDIR(named.st_mode) ? EISDIR : EINVAL;
    return nullptr;
  }
  if (auto cached = ProfileCache::Instance().Find(path, FileStamp::Of(named))) return cached;
  struct stat before {
  }, after{};
  Descriptor file(OpenRegular(path, O_RDONLY, before));
  if (file.get() < 0) return errno == ENOENT ? EmptyDocument() : nullptr;
  std::string text;
  if (!ReadAll(file.get(), text, before.st_size)) return nullptr;
  auto document = std::make_shared<const ProfileDocument>(ProfileDocument::Parse(text));
  // Kept only when nothing changed the file while it was read.
  if (CurrentSystemCalls().fstat(file.get(), &after) == 0 &&
      FileStamp::Of(before) == FileStamp::Of(after)) {
    ProfileCache::Instance().Store(path, FileStamp::Of(after), document, false);
  }
  return document;
}

// Takes the exclusive lock, waiting at most kLockWaitMilliseconds; false
// with errno EWOULDBLOCK when the holder never let go.
bool LockWithin(int fd) {
  for (int waited = 0;; waited += kLockPollMilliseconds) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK || waited >= kLockWaitMilliseconds) return false;
    const timespec pause{0, kLockPollMilliseconds * 1000000L};
    nanosleep(&pause, nullptr);
  }
}

// Opens and exclusively locks the file now under `path` (creating it when
// `create`). Returns -1 with errno on failure, ENOENT when missing and not
// created.
int OpenLocked(const std::string& path, bool create, struct stat& locked) {
  auto& calls = CurrentSystemCalls();
  for (;;) {
    int fd = OpenRegular(path, O_RDWR | (create ? O_CREAT : 0), locked);
    if (fd < 0) return -1;
    if (!LockWithin(fd)) {
      int error = errno;
      calls.close(fd);
      errno = error;
      return -1;
    }
    struct stat current;
    if (calls.fstat(fd, &locked) == 0 && ::stat(path.c_str(), &current) == 0 &&
        locked.st_dev == current.st_dev && locked.st_ino == current.st_ino) {
      return fd;
    }
    calls.close(fd);  // replaced while we waited: lock the new file
    if (!create && errno == ENOENT) return -1;
  }
}

// Writes `text` to a temporary beside `path` and renames it over `path`;
// `stamp` then describes the new file.
bool ReplaceFile(const std::string& path, const std::string& text, mode_t mode, FileStamp& stamp) {
  auto& calls = CurrentSystemCalls();
  std::string temporary =
      path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(GetCurrentThreadId());
  // A new file of our own: one left by a crashed writer of the same number
  // goes first, and a link planted under the name is never written through.
  ::unlink(temporary.c_str());
  Descriptor out(
      calls.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
  if (out.get() < 0) return false;
  if (!WriteAll(out.get(), text) || calls.fsync(out.get()) != 0) {
    int error = errno;
    out.Reset();
    ::unlink(temporary.c_str());
    errno = error;
    return false;
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    int error = errno;
    out.Reset();
    ::unlink(temporary.c_str());
    errno = error;
    return false;
  }
  // Stamped after the rename, which changes the file's change time.
  struct stat status {};
  if (calls.fstat(out.get(), &status) == 0) stamp = FileStamp::Of(status);
  return true;
}

// Names and values that would break the line structure of the file.
bool FitsOnOneLine(const char* text) {
  return text == nullptr || std::strpbrk(text, "\r\n") == nullptr;
}

// The locked file's document, editable: the cached one when no reader holds
// it, else a copy, else read from `fd`.
std::shared_ptr<ProfileDocument> EditableDocument(const std::string& path, int fd,
                                                  const struct stat& status) {
  auto cached = ProfileCache::Instance().Take(path, FileStamp::Of(status));
  if (cached != nullptr) {
    // Only the cache made it, as a non-const object; once taken out and
    // held by no reader, editing it in place saves a copy of the file.
    if (cached.use_count() == 1) return std::const_pointer_cast<ProfileDocument>(cached);
    return std::make_shared<ProfileDocument>(*cached);
  }
  std::string text;
  if (!ReadAll(fd, text, status.st_size)) return nullptr;
  return std::make_shared<ProfileDocument>(ProfileDocument::Parse(text));
}

// The file a settings name finally stands for: a name that is a symbolic
// link (settings kept elsewhere and linked in) is edited where it points, so
// that the rename replaces that file and the link stays. A dangling link is
// followed too, creating the file it names.
std::string LinkTarget(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(path, error)) return path;
  const std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
  return error ? path : target.string();
}

template <typename Edit>
BOOL EditProfile(const std::string& name, bool creates, Edit edit) {
  // The cache knows the file by the name readers use; the work is done on
  // the file itself.
  const std::string path = LinkTarget(name);
  if (creates) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  }
  struct stat status {};
  Descriptor file(OpenLocked(path, creates, status));
  if (file.get() < 0) {
    if (!creates && errno == ENOENT) return TRUE;  // nothing to delete
    if (errno == EWOULDBLOCK) {
      SetLastError(ERROR_LOCK_VIOLATION);
    } else if (errno == EISDIR || errno == EINVAL) {
      SetLastError(ERROR_ACCESS_DENIED);  // a folder, pipe or device: not a settings file
    } else {
      SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno));
    }
    return FALSE;
  }
  std::shared_ptr<ProfileDocument> document = EditableDocument(name, file.get(), status);
  if (document == nullptr) {
    SetLastErrorFromErrno(Transfer::Read);
    return FALSE;
  }
  if (!edit(*document)) {
    ProfileCache::Instance().Store(name, FileStamp::Of(status), std::move(document), false);
    return TRUE;
  }
  FileStamp written;
  if (!ReplaceFile(path, document->Text(), status.st_mode & 0777, written)) {
    SetLastErrorFromErrno(Transfer::Write);
    return FALSE;  // the edited document is dropped: the file still has the old text
  }
  ProfileCache::Instance().Store(name, written, std::move(document), true);
  return TRUE;
}

DWORD CopyString(const std::string& text, LPSTR buffer, DWORD size) {
  DWORD length = static_cast<DWORD>(std::min<std::size_t>(text.size(), size - 1));
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return length;
}

// A double-NUL list; when it does not fit, the last name is cut and the
// buffer ends with two NULs, the answer then being size - 2.
DWORD CopyList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
  std::string list;
  for (const auto& name : names) list += name + '\0';
  if (list.size() + 1 <= size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    if (list.empty() && size >= 2) buffer[1] = '\0';
    return static_cast<DWORD>(list.size());
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, list.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

}  // namespace
}  // namespace quellor::win32

using namespace quellor::win32;

extern "C" DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName,
                                                 LPCSTR lpDefault, LPSTR lpReturnedString,
                                                 DWORD nSize, LPCSTR lpFileName) {
  if (lpReturnedString == nullptr || nSize == 0) return 0;
  std::string path;
  std::shared_ptr<const ProfileDocument> document;
  if (ProfilePath(lpFileName, path)) document = LoadDocument(path);
  const bool loaded = document != nullptr;
  if (lpAppName == nullptr)
    return CopyList(loaded ? document->Sections() : std::vector<std::string>{}, lpReturnedString,
                    nSize);
  if (lpKeyName == nullptr)
    return CopyList(loaded ? document->Keys(lpAppName) : std::vector<std::string>{},
                    lpReturnedString, nSize);
  std::optional<std::string> value;
  if (loaded) value = document->Value(lpAppName, lpKeyName);
  if (!value) {
    // The default loses its trailing blanks, as on Win32.
    std::string fallback = lpDefault ? lpDefault : "";
    while (!fallback.empty() && fallback.back() == ' ') fallback.pop_back();
    value = std::move(fallback);
    SetLastError(ERROR_FILE_NOT_FOUND);
  } else {
    SetLastError(ERROR_SUCCESS);
  }
  return CopyString(*value, lpReturnedString, nSize);
}

extern "C" UINT WINAPI GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault,
                                             LPCSTR lpFileName) {
  std::string path;
  std::shared_ptr<const ProfileDocument> document;
  if (lpAppName == nullptr || lpKeyName == nullptr || !ProfilePath(lpFileName, path) ||
      (document = LoadDocument(path)) == nullptr) {
    return static_cast<UINT>(nDefault);
  }
  auto value = document->Value(lpAppName, lpKeyName);
  if (!value) return static_cast<UINT>(nDefault);
  // The leading decimal number of the value; text that does not start with
  // one gives 0.
  return static_cast<UINT>(std::strtol(value->c_str(), nullptr, 10));
}

extern "C" BOOL WINAPI WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName,
                                                  LPCSTR lpString, LPCSTR lpFileName) {
  std::string path;
  if (lpAppName == nullptr || *lpAppName == '\0' || std::strchr(lpAppName, ']') ||
      !FitsOnOneLine(lpAppName) || !FitsOnOneLine(lpKeyName) || !FitsOnOneLine(lpString) ||
      (lpKeyName && (*lpKeyName == '\0' || std::strchr(lpKeyName, '=')))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!ProfilePath(lpFileName, path)) return FALSE;
  if (lpKeyName == nullptr) {
    return EditProfile(path, false, [&](ProfileDocument& d) { return d.DeleteSection(lpAppName); });
  }
  if (lpString == nullptr) {
    return EditProfile(path, false,
                       [&](ProfileDocument& d) { return d.DeleteKey(lpAppName, lpKeyName); });
  }
  return EditProfile(path, true,
                     [&](ProfileDocument& d) { return d.Set(lpAppName, lpKeyName, lpString); });
}
