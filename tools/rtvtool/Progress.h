// Progress of a long conversion, shown on standard error only when it is a
// terminal, so that scripts and tests see clean output.
#pragma once

#include <cstdint>
#include <string>

namespace quellor::rtvtool {

class Progress {
 public:
  // `total` 0 means unknown.
  Progress(std::string what, std::uint64_t total);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void Update(std::uint64_t done);

 private:
  std::string what_;
  std::uint64_t total_;
  bool shown_;
  bool drew_ = false;
};

}  // namespace quellor::rtvtool
