// GetPrivateProfileStringA / GetPrivateProfileIntA /
// WritePrivateProfileStringA.
//
// A write locks the file (flock) for its whole read-modify-write, writes the
// new text to a temporary file beside it and renames that over the file, so
// readers (which take no lock) always see a whole file, a failed write (disk
// full) leaves the old file intact, and two processes writing different keys
// at the same time both get their key in. A writer that waited for the lock
// checks that the file it locked is still the one under the name; if another
// writer has replaced it meanwhile, it locks the new one instead.
#include <win32/quellor_host.h>

#include "kernel/ErrnoMapping.h"
#include "kernel/PathArgument.h"
#include "kernel/ProfileDocument.h"

#include <win32/testing/SystemCalls.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace quellor::win32 {
namespace {

using testing::CurrentSystemCalls;

bool IsBareName(const char* name) {
  return std::strpbrk(name, "/\\") == nullptr &&
         !(std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':');
}

// Bare names live in the Windows directory; NULL means "win.ini" there.
bool ProfilePath(LPCSTR file_name, std::string& path) {
  if (file_name == nullptr) file_name = "win.ini";
  if (*file_name == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  if (IsBareName(file_name)) {
    path = WindowsDirectory() + "/" + file_name;
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

bool ReadAll(int fd, std::string& text) {
  text.clear();
  char buffer[16384];
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

// The document of a file, read without locking; a missing file is empty.
bool LoadDocument(const std::string& path, ProfileDocument& document) {
  Descriptor file(CurrentSystemCalls().open(path.c_str(), O_RDONLY | O_CLOEXEC, 0));
  std::string text;
  if (file.get() < 0) {
    if (errno != ENOENT && errno != ENOTDIR) return false;
  } else if (!ReadAll(file.get(), text)) {
    return false;
  }
  document = ProfileDocument::Parse(text);
  return true;
}

// Opens and exclusively locks the file now under `path` (creating it when
// `create`). Returns -1 with errno on failure, ENOENT when missing and not
// created.
int OpenLocked(const std::string& path, bool create) {
  auto& calls = CurrentSystemCalls();
  for (;;) {
    int fd = calls.open(path.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0666);
    if (fd < 0) return -1;
    while (::flock(fd, LOCK_EX) != 0) {
      if (errno != EINTR) {
        int error = errno;
        calls.close(fd);
        errno = error;
        return -1;
      }
    }
    struct stat locked, current;
    if (calls.fstat(fd, &locked) == 0 && ::stat(path.c_str(), &current) == 0 &&
        locked.st_dev == current.st_dev && locked.st_ino == current.st_ino) {
      return fd;
    }
    calls.close(fd);  // replaced while we waited: lock the new file
    if (!create && errno == ENOENT) return -1;
  }
}

bool ReplaceFile(const std::string& path, const std::string& text, mode_t mode) {
  auto& calls = CurrentSystemCalls();
  std::string temporary =
      path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(GetCurrentThreadId());
  Descriptor out(calls.open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode));
  if (out.get() < 0) return false;
  if (!WriteAll(out.get(), text) || calls.fsync(out.get()) != 0) {
    int error = errno;
    out.Reset();
    ::unlink(temporary.c_str());
    errno = error;
    return false;
  }
  out.Reset();
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    int error = errno;
    ::unlink(temporary.c_str());
    errno = error;
    return false;
  }
  return true;
}

// Names and values that would break the line structure of the file.
bool FitsOnOneLine(const char* text) {
  return text == nullptr || std::strpbrk(text, "\r\n") == nullptr;
}

template <typename Edit>
BOOL EditProfile(const std::string& path, bool creates, Edit edit) {
  if (creates) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  }
  Descriptor file(OpenLocked(path, creates));
  if (file.get() < 0) {
    if (!creates && errno == ENOENT) return TRUE;  // nothing to delete
    SetLastError(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno));
    return FALSE;
  }
  std::string text;
  struct stat status;
  if (!ReadAll(file.get(), text) || CurrentSystemCalls().fstat(file.get(), &status) != 0) {
    SetLastErrorFromErrno(Transfer::Read);
    return FALSE;
  }
  ProfileDocument document = ProfileDocument::Parse(text);
  if (!edit(document)) return TRUE;
  if (!ReplaceFile(path, document.Text(), status.st_mode & 0777)) {
    SetLastErrorFromErrno(Transfer::Write);
    return FALSE;
  }
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
  ProfileDocument document;
  bool loaded = ProfilePath(lpFileName, path) && LoadDocument(path, document);
  if (lpAppName == nullptr)
    return CopyList(loaded ? document.Sections() : std::vector<std::string>{}, lpReturnedString,
                    nSize);
  if (lpKeyName == nullptr)
    return CopyList(loaded ? document.Keys(lpAppName) : std::vector<std::string>{},
                    lpReturnedString, nSize);
  std::optional<std::string> value;
  if (loaded) value = document.Value(lpAppName, lpKeyName);
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
  ProfileDocument document;
  if (lpAppName == nullptr || lpKeyName == nullptr || !ProfilePath(lpFileName, path) ||
      !LoadDocument(path, document)) {
    return static_cast<UINT>(nDefault);
  }
  auto value = document.Value(lpAppName, lpKeyName);
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
