// The clip input's use of the process-wide table of open clips (8 slots,
// shared by every RTVFileInput): frame counts, field sizes and field reads by
// file name. A clip that cannot be opened is missing: count 0, no size, and
// reads do nothing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quellor::videoproc {

// Whole frames of the clip (fields >> 1); 0 when it cannot be opened.
std::int32_t ClipFrameCount(const char* name);
// Pixels a line and lines a field of video stream 0; false when missing.
bool ClipFieldSize(const char* name, std::uint32_t* width, std::uint32_t* lines);

// Reads field `field` of the clip into a field of width x lines pixels
// (VideoUYVY). A clip whose field has another size is cropped or padded
// with black line by line. False (destination untouched) when the clip is
// missing or the read fails.
bool ReadClipField(const char* name, std::uint64_t field, std::uint8_t* destination,
                   std::uint32_t width, std::uint32_t lines);

}  // namespace quellor::videoproc
