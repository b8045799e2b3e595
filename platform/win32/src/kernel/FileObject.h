// An open file behind a HANDLE from CreateFileA.
#pragma once

#include "kernel/HandleTable.h"

#include <sys/types.h>

#include <cstdint>
#include <mutex>
#include <string>

namespace quellor::win32 {

// Unbuffered handles follow the Win32 sector rules: buffer address, byte
// count and file position must all be multiples of this.
constexpr std::uint64_t kSectorSize = 512;

struct FileOpenRequest {
  std::string host_path;
  DWORD access = 0;
  DWORD share = 0;
  DWORD disposition = 0;
  DWORD flags = 0;
};

class FileObject final : public KernelObject {
 public:
  // Opens the file; on failure sets the Win32 error and returns null.
  static std::shared_ptr<FileObject> Open(const FileOpenRequest& request);
  ~FileObject() override;

  BOOL Read(void* buffer, DWORD count, DWORD* transferred);
  BOOL Write(const void* buffer, DWORD count, DWORD* transferred);
  // Moves the position; on success stores the new one.
  BOOL Seek(std::int64_t distance, DWORD method, std::int64_t* new_position);
  BOOL Size(std::int64_t* size);
  BOOL Truncate();
  BOOL Flush();

  const std::string& path() const { return path_; }
  bool unbuffered() const { return unbuffered_; }

 private:
  FileObject(int fd, std::string path, const FileOpenRequest& request);
  bool MeetsSectorRules(const void* buffer, DWORD count);
  bool CurrentPosition(off_t& position);
  // After a short read of an unbuffered handle: a read from an unaligned end
  // of file would fail on an O_DIRECT descriptor rather than return 0.
  bool AtEndOfFile();

  int fd_;
  std::string path_;
  DWORD access_;
  bool unbuffered_;
  bool delete_on_close_;
  dev_t device_ = 0;
  ino_t inode_ = 0;
  std::mutex io_mutex_;  // keeps position checks and transfers of one handle together
};

}  // namespace quellor::win32
