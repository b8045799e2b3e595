// A C-library file closed on every way out of the function that opened it;
// Close reports whether everything written reached the file.
#pragma once

#include <cstdio>

namespace quellor::rtvtool {

class ScopedFile {
 public:
  explicit ScopedFile(std::FILE* file) : file_(file) {}
  ~ScopedFile() {
    if (file_ != nullptr && file_ != stdin) std::fclose(file_);
  }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;

  std::FILE* get() const { return file_; }
  bool Close() {
    std::FILE* file = file_;
    file_ = nullptr;
    return file != nullptr && std::fclose(file) == 0;
  }

 private:
  std::FILE* file_;
};

}  // namespace quellor::rtvtool
