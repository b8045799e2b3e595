// The output device's conversions of a host frame into the board's
// field-ordered 4:2:2 (first field, then second; 1440 bytes a line):
//   Copy422  the board's layout already: copied, the trailer left out
//   Bgra     RGBA-32, rows bottom-up: row height - 1 - 2k is line k of the
//            first field, row height - 2 - 2k line k of the second
//   Yuva444  Y Cb Cr A, lines top-down: even lines to the first field, odd
//            to the second, each pixel pair keeping the first one's chroma
#pragma once

#include <cstdint>

#include "VideoGeometry.h"

namespace quellor::rtvbridge {

enum class SinkConversion { None, Bgra, Copy422, Yuva444 };

// `board` holds geometry.storedFrameBytes(); `host` a frame of the format.
void ConvertSinkFrame(SinkConversion conversion, const std::uint8_t* host, std::uint8_t* board,
                      const VideoGeometry& geometry);

}  // namespace quellor::rtvbridge
