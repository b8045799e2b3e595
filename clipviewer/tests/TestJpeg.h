// JPEG files for the Play tests, written with libjpeg (kept apart from the
// Win32 headers, whose INT32 libjpeg also defines).
#pragma once

#include <cstdint>
#include <string>

namespace quellor::clipviewer::testing {

// A baseline JPEG of one colour (0xRRGGBB), grey when components is 1.
void WriteJpeg(const std::string& path, int width, int height, int components, std::uint32_t rgb);

}  // namespace quellor::clipviewer::testing
