// Test material without outside tools: 75% colour bars with a white marker
// that moves along the bottom band from frame to frame.
#pragma once

#include <cstdint>

namespace quellor::rtvtool {

// Draws frame `number` into `bgra` (width x height pixels, top row first).
void DrawColourBars(std::uint32_t width, std::uint32_t height, std::uint64_t number,
                    std::uint8_t* bgra);

}  // namespace quellor::rtvtool
