// Reading YUV4MPEG2 4:2:2 streams: the header and FRAME lines, and the
// planar pictures packed into the board's field-ordered 4:2:2 frames.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace quellor::tools {

// How a line of the stream ended: Whole at its '\n'; EndOfInput only when
// the input ended before the line's first byte; Cut when the input ends
// inside the line or the line is longer than any header should be (4096
// characters); Failed when the input could not be read (a read error is no
// end of the stream: what came before it is not the whole stream).
enum class Y4mLineEnd { Whole, EndOfInput, Cut, Failed };

// Reads one '\n'-terminated line (without the '\n').
Y4mLineEnd ReadY4mLine(std::FILE* file, std::string* line);

// "FRAME", alone or followed by frame parameters after a blank.
bool IsY4mFrameLine(const std::string& line);

// Interleaves the Y, Cb and Cr planes of one 4:2:2 picture (Y width x
// height, then Cb and Cr width / 2 x height each) into frame memory: the
// first field (even lines), then the second field (odd lines), rows of
// Cb Y0 Cr Y1, width x 2 bytes each.
void PackY4mPicture(const std::vector<std::uint8_t>& planes, std::uint32_t width,
                    std::uint32_t height, std::uint8_t* frame);

}  // namespace quellor::tools
