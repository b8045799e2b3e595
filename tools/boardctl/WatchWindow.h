// boardctl watch --window: the board's output (or input) live in a window,
// scaled to the window, refreshed at the field rate, with the field number
// and standard in the title.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/BoardControl.h"

namespace quellor::boardctl {

// Weaves a frame's two fields into a BGRA picture (field 0 on even lines).
std::vector<std::uint8_t> FrameToBgra(const board::BoardFrame& frame, std::uint32_t& width,
                                      std::uint32_t& height);

// The window's title for a field: "boardctl: output, field 1234, NTSC".
std::string WatchTitle(bool input, std::uint32_t field, board::VideoStandard standard);

// Runs the window until it is closed or the process is interrupted; returns
// the exit status. Fails (1, with a message) without a display to show it on.
int WatchWindow(bool input);

}  // namespace quellor::boardctl
