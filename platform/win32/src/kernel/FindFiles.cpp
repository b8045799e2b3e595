// FindFirstFileA / FindNextFileA / FindClose. The folder is read once when
// the search starts; like on Win32 the list includes "." and ".." when the
// pattern matches them.
#include "kernel/FileInfo.h"
#include "kernel/HandleTable.h"
#include "kernel/PathArgument.h"
#include "kernel/WildcardMatch.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

namespace quellor::win32 {

// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

FILETIME FileTimeFromTimespec(const timespec& time) {
  std::uint64_t ticks = kUnixEpochAsFileTime + static_cast<std::uint64_t>(time.tv_sec) * 10000000u +
                        static_cast<std::uint64_t>(time.tv_nsec) / 100u;
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

DWORD AttributesFromStat(const struct stat& status, const std::string& name) {
  DWORD attributes = 0;
  if (S_ISDIR(status.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (!(status.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
  if (!name.empty() && name[0] == '.' && name != "." && name != "..") {
    attributes |= FILE_ATTRIBUTE_HIDDEN;
  }
  return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

namespace {

class FindObject final : public KernelObject {
 public:
  explicit FindObject(std::vector<WIN32_FIND_DATAA> entries)
      : KernelObject(ObjectKind::Find), entries_(std::move(entries)) {}

  bool Next(WIN32_FIND_DATAA* data) {
    std::lock_guard lock(mutex_);
    if (next_ >= entries_.size()) return false;
    *data = entries_[next_++];
    return true;
  }

 private:
  std::mutex mutex_;
  std::vector<WIN32_FIND_DATAA> entries_;
  std::size_t next_ = 0;
};

WIN32_FIND_DATAA DescribeEntry(const std::string& folder, const std::string& name) {
  WIN32_FIND_DATAA data{};
  struct stat status {};
  std::string full = folder + "/" + name;
  if (::stat(full.c_str(), &status) != 0) ::lstat(full.c_str(), &status);  // dangling link
  data.dwFileAttributes = AttributesFromStat(status, name);
  data.ftCreationTime = FileTimeFromTimespec(status.st_ctim);
  data.ftLastAccessTime = FileTimeFromTimespec(status.st_atim);
  data.ftLastWriteTime = FileTimeFromTimespec(status.st_mtim);
  if (!S_ISDIR(status.st_mode)) {
    auto size = static_cast<std::uint64_t>(status.st_size);
    data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  }
  std::memcpy(data.cFileName, name.c_str(), name.size() + 1);
  return data;
}

}  // namespace
}  // namespace quellor::win32

extern "C" HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
  using namespace quellor::win32;
  std::string host_path;
  if (!HostPathArgument(lpFileName, host_path)) return INVALID_HANDLE_VALUE;
  if (lpFindFileData == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::size_t slash = host_path.find_last_of('/');
  std::string folder = slash == std::string::npos ? std::string(".")
                       : slash == 0               ? std::string("/")
                                                  : host_path.substr(0, slash);
  std::string pattern = slash == std::string::npos ? host_path : host_path.substr(slash + 1);
  if (pattern.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);  // "folder\" names no file
    return INVALID_HANDLE_VALUE;
  }
  DIR* directory = ::opendir(folder.c_str());
  if (directory == nullptr) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::vector<WIN32_FIND_DATAA> entries;
  while (dirent* entry = ::readdir(directory)) {
    std::string name = entry->d_name;
    if (name.size() >= MAX_PATH || !MatchesWildcard(pattern, name)) continue;
    entries.push_back(DescribeEntry(folder, name));
  }
  ::closedir(directory);
  if (entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  auto search = std::make_shared<FindObject>(std::move(entries));
  search->Next(lpFindFileData);
  HANDLE handle = HandleTable::instance().insert(std::move(search));
  return handle ? handle : INVALID_HANDLE_VALUE;
}

extern "C" BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
  using namespace quellor::win32;
  auto search = LookupObject<FindObject>(hFindFile, ObjectKind::Find);
  if (!search) return FALSE;
  if (lpFindFileData == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!search->Next(lpFindFileData)) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  return TRUE;
}

extern "C" BOOL WINAPI FindClose(HANDLE hFindFile) {
  using namespace quellor::win32;
  if (!LookupObject<FindObject>(hFindFile, ObjectKind::Find)) return FALSE;
  return HandleTable::instance().close(hFindFile) ? TRUE : FALSE;
}
