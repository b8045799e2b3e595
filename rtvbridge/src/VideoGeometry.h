// The process-wide video geometry of the plug-in, from the "VideoMode"
// setting read at load: every interface describes and creates clips with it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quellor::rtvbridge {

struct VideoGeometry {
  std::int32_t width = 720;
  std::int32_t height = 480;              // lines of a frame
  std::int32_t rateNumerator = 29970026;  // frames a second as a fraction
  std::int32_t rateDenominator = 1000000;
  float frameRate = 29.970026f;  // numerator / denominator
  std::int32_t ntsc = 1;         // the "VideoMode" value as read

  std::int32_t fieldLines() const { return height / 2; }
  // One stored frame: both fields of 4:2:2, 2 bytes a pixel.
  std::size_t storedFrameBytes() const {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 2;
  }
};

// NTSC for a non-zero "VideoMode", else PAL.
VideoGeometry GeometryForVideoMode(int videoMode);

}  // namespace quellor::rtvbridge
