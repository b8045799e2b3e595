// Writes 32-bit BGRA pictures as 8-bit RGB PNG files: the one PNG writer the
// command-line tools share (clip export, board snapshots).
#pragma once

#include <cstdint>
#include <string>

namespace quellor::tools {

// How hard zlib works: Smallest is libpng's default (adaptive filters, level
// 6); Fast (the sub filter at level 1) takes a fraction of the time for files
// somewhat larger, for pictures rewritten several times a second.
enum class PngEffort { Smallest, Fast };

// `bgra` holds height rows of width x 4 bytes, top row first. False with a
// reason in `error` when the file cannot be written.
bool WritePng(const std::string& path, std::uint32_t width, std::uint32_t height,
              const std::uint8_t* bgra, std::string* error, PngEffort effort = PngEffort::Smallest);

}  // namespace quellor::tools
