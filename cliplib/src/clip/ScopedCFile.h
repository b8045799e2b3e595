// A C-library file that is closed on every way out of the function that opened
// it, and whose explicit close reports the C library's verdict. Used for the
// header steps that the clip format does through stdio.
#pragma once

#include <cstdio>

namespace quellor::clip {

class ScopedCFile {
 public:
  explicit ScopedCFile(std::FILE* file) : file_(file) {}
  ~ScopedCFile() {
    if (file_ != nullptr) std::fclose(file_);
  }
  ScopedCFile(const ScopedCFile&) = delete;
  ScopedCFile& operator=(const ScopedCFile&) = delete;

  std::FILE* get() const { return file_; }

  // Closes now; false when the C library reports a failure.
  bool Close() {
    std::FILE* file = file_;
    file_ = nullptr;
    return std::fclose(file) == 0;
  }

 private:
  std::FILE* file_;
};

}  // namespace quellor::clip
