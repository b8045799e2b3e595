// The free space of the drive a clip goes to, in whole stored frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace quellor::rtvbridge {

// The folder whose drive is asked: "X:\" for a path that starts with a drive
// letter and its colon; for any other path the folder that holds it (the
// path itself when it names a folder, "." when it has no folder part).
std::string DriveRootFor(const char* path);

// Free bytes of the whole drive (not only what the caller may use), or
// nothing when they cannot be read.
std::optional<std::uint64_t> FreeBytesOnDrive(const char* path);

// free bytes / bytes of one frame in 64 bits, capped to 32 bits; 0 for a
// frame of 0 bytes.
std::uint32_t FramesThatFit(std::uint64_t free_bytes, std::size_t frame_bytes);

}  // namespace quellor::rtvbridge
