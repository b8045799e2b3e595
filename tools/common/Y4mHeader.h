// The stream header line of YUV4MPEG2 files as the tools read and write it:
// "YUV4MPEG2 W720 H480 F30000:1001 It A10:11 C422".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quellor::tools {

struct Y4mHeader {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t rate_numerator = 0;  // frames per second as a fraction
  std::uint32_t rate_denominator = 1;
  char interlace = '?';                // 't' top field first, 'b', 'p', 'm' or '?'
  std::uint32_t aspect_numerator = 0;  // pixel aspect, 0:0 unknown
  std::uint32_t aspect_denominator = 0;
  std::string chroma = "420jpeg";  // the format's default when C is absent
};

// Parses the header line (without its newline). On failure returns nullopt
// and says why in `error`.
std::optional<Y4mHeader> ParseY4mHeader(const std::string& line, std::string* error);

// The header line, newline included.
std::string FormatY4mHeader(const Y4mHeader& header);

// Whether a clip's field rate gives a frame rate fraction at all: finite,
// positive, and at least a thousandth of a frame per second once halved.
bool UsableFieldRate(float field_rate);

// Frame rate fraction for a clip's field rate (a usable one): the broadcast rates exactly
// (30000:1001, 25:1), others to a thousandth of a frame.
void FrameRateFromFieldRate(float field_rate, std::uint32_t* numerator, std::uint32_t* denominator);

// The frame rate a clip is created with: 30000:1001 gives the suite's NTSC
// constant 29.970026, so that NTSC clips survive a round trip bit for bit.
float FrameRateForClip(std::uint32_t numerator, std::uint32_t denominator);

}  // namespace quellor::tools
