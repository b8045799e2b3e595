#include "VideoGeometry.h"

namespace quellor::rtvbridge {

VideoGeometry GeometryForVideoMode(int videoMode) {
  VideoGeometry geometry;
  geometry.width = 720;
  geometry.height = videoMode != 0 ? 480 : 576;
  geometry.ntsc = videoMode;
  geometry.rateNumerator = videoMode != 0 ? 29970026 : 25;
  geometry.rateDenominator = videoMode != 0 ? 1000000 : 1;
  geometry.frameRate =
      static_cast<float>(geometry.rateNumerator) / static_cast<float>(geometry.rateDenominator);
  return geometry;
}

}  // namespace quellor::rtvbridge
