// Fault injection for tests of code that writes or reads files through the
// Win32 subset (CreateFileA / WriteFile / ReadFile).
//
//   using quellor::win32::testing::FileFault;
//   quellor::win32::testing::ScopedFileFault full("clip.rtv", FileFault::DiskFull);
//   // next write on a file whose path contains "clip.rtv" fails: WriteFile
//   // returns FALSE, GetLastError() == ERROR_DISK_FULL.
//
// A fault applies to the underlying write (or read) system calls on open
// files whose full path contains the given text, whether the file was opened
// before or after the scope began. WriteFile and ReadFile loop over short
// transfers, so a ShortWrite or ShortRead alone is invisible to their callers
// except in the number of system calls made.
#pragma once

#include <quellor/Export.h>

#include <cstdint>
#include <memory>
#include <string>

namespace quellor::win32::testing {

enum class FileFault {
  ShortWrite,  // a write transfers half of what was asked (in 512-byte units on
               // unbuffered files when at least 1024 bytes were asked)
  DiskFull,    // a write fails with ENOSPC (WriteFile: ERROR_DISK_FULL)
  WriteError,  // a write fails with EIO (WriteFile: ERROR_WRITE_FAULT)
  ShortRead,   // a read transfers half of what was asked
  ReadError,   // a read fails with EIO (ReadFile: ERROR_READ_FAULT)
};

class QUELLOR_EXPORT ScopedFileFault {
 public:
  // Makes the next `count` matching system calls misbehave; count < 0 means
  // every matching call while the scope lives.
  ScopedFileFault(std::string path_part, FileFault fault, int count = 1);
  ~ScopedFileFault();
  ScopedFileFault(const ScopedFileFault&) = delete;
  ScopedFileFault& operator=(const ScopedFileFault&) = delete;

  // Lets `bytes` more bytes through untouched before the fault starts; the
  // call that crosses the limit is cut short at it. With DiskFull this models
  // a disk that fills up after `bytes` bytes.
  ScopedFileFault& AfterBytes(std::uint64_t bytes);

  // How many system calls the fault has changed so far.
  int Triggered() const;

 private:
  class Injector;
  std::unique_ptr<Injector> injector_;
};

}  // namespace quellor::win32::testing
