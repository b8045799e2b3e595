#include "Progress.h"

#include <unistd.h>

#include <cstdio>

namespace quellor::rtvtool {

Progress::Progress(std::string what, std::uint64_t total)
    : what_(std::move(what)), total_(total), shown_(isatty(STDERR_FILENO) == 1) {}

Progress::~Progress() {
  if (drew_) std::fputc('\n', stderr);
}

void Progress::Update(std::uint64_t done) {
  if (!shown_) return;
  // Redraw every 8 frames and at the end: a terminal need not see each one.
  if (done % 8 != 0 && done != total_) return;
  if (total_ != 0) {
    std::fprintf(stderr, "\r%s: frame %llu of %llu (%llu%%)", what_.c_str(),
                 static_cast<unsigned long long>(done), static_cast<unsigned long long>(total_),
                 static_cast<unsigned long long>(done * 100 / total_));
  } else {
    std::fprintf(stderr, "\r%s: frame %llu", what_.c_str(), static_cast<unsigned long long>(done));
  }
  std::fflush(stderr);
  drew_ = true;
}

}  // namespace quellor::rtvtool
