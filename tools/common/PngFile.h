// Writes 32-bit BGRA pictures as 8-bit RGB PNG files: the one PNG writer the
// command-line tools share (clip export, board snapshots).
#pragma once

#include <cstdint>
#include <string>

namespace quellor::tools {

// `bgra` holds height rows of width x 4 bytes, top row first. False with a
// reason in `error` when the file cannot be written.
bool WritePng(const std::string& path, std::uint32_t width, std::uint32_t height,
              const std::uint8_t* bgra, std::string* error);

}  // namespace quellor::tools
