// A board frame (first field, then second field, 1440 bytes a line of
// 4:2:2) as a top-down BGRA picture: the first field on the even lines.
#pragma once

#include <cstdint>
#include <vector>

namespace quellor::preview {

// fieldLines: 240 (NTSC) or 288 (PAL); `frame` holds 2 x fieldLines lines.
std::vector<std::uint8_t> FrameToBgra(const std::uint8_t* frame, std::uint32_t fieldLines);
// The lines of one field (parity 0: the first field, the even lines) into
// `bgra`, a picture of 720 x 2 * fieldLines.
void FieldToBgra(const std::uint8_t* frame, std::uint32_t fieldLines, std::uint32_t parity,
                 std::uint8_t* bgra);
// The whole frame into `bgra`, which keeps its memory from one picture to the next
// (a new 1.4 MB block every field costs more than the conversion).
void FrameToBgra(const std::uint8_t* frame, std::uint32_t fieldLines,
                 std::vector<std::uint8_t>& bgra);

}  // namespace quellor::preview
