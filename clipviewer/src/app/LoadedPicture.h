// The picture file chosen with "Play ...", shown when the clipboard has
// nothing usable. Empty until a picture file is loaded.
#pragma once

#include <cstdint>
#include <vector>

namespace quellor::clipviewer {

struct LoadedPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // BGRA, rows top-down
  bool Empty() const { return pixels.empty(); }
};

}  // namespace quellor::clipviewer
