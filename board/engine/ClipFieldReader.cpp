#include "SignalSource.h"

namespace quellor::board {

std::unique_ptr<ClipFieldReader> OpenClipFieldReader(const std::string& path, std::string& error) {
  error = "clip input is not available yet: " + path;
  return nullptr;
}

}  // namespace quellor::board
