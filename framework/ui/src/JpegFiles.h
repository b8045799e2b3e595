// JPEG reading and writing of 32-bit BGRA top-down pictures (no padding).
#pragma once

#include <cstdint>
#include <functional>

namespace quellor::win {

// Makes the picture width x height and returns its pixels, or null.
using SizePicture = std::function<std::uint8_t*(unsigned long width, unsigned long height)>;

// Colour mode: 4 components are RGBA, 3 RGB (alpha kept), 1 grey (alpha
// kept). Alpha mode writes only alpha: the largest of R, G, B, or the grey;
// 4-component files leave the picture alone. False on any decoder error.
bool ReadJpeg(const char* path, bool alphaOnly, const SizePicture& size);
// Baseline JPEG at quality of the colours, or of the alpha as grey.
bool WriteJpeg(const char* path, const std::uint8_t* pixels, unsigned long width,
               unsigned long height, int quality, bool alphaOnly);

}  // namespace quellor::win
