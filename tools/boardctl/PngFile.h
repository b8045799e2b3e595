// Writing 8-bit RGB pictures as PNG files (libpng).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace boardctl {

// rgb: width x height x 3 bytes, top row first. Returns false with a reason.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb,
              std::string& error);

}  // namespace boardctl
