// The six graticule pictures of the waveform monitor, drawn from the scales
// its plotting passes use.
#pragma once

#include <string>
#include <vector>

#include "Canvas.h"

namespace quellor::graticules {

// Waveform (composite, luma and chroma traces): IRE lines from -40 to 100,
// with the 7.5 IRE setup line (black) unless `japanese` (black at 0 IRE).
Canvas DrawCompositeYc(bool japanese);
// Y, U and V panels; the Y panel's black as for the waveform.
Canvas DrawComponentYuv(bool japanese);
// R, G and B panels, 0 to 100 % in quarters.
Canvas DrawComponentRgb();

// One colour of 75% bars on the vectorscope, with its tolerance boxes:
// within 3 degrees and 5 % of its length (fine), 10 degrees and 20 %
// (coarse), measured in the display's plane.
struct VectorTarget {
  const char* label;
  double r, g, b;  // R'G'B', 0..1
  double cb, cr;   // its colour differences
  double angle;    // degrees from +Cb, counter-clockwise, in the display
  double radius;   // pixels from the centre, in the display
};
std::vector<VectorTarget> SeventyFivePercentTargets();
inline constexpr double kFineDegrees = 3.0;
inline constexpr double kFineRatio = 0.05;
inline constexpr double kCoarseDegrees = 10.0;
inline constexpr double kCoarseRatio = 0.20;
Canvas DrawVectorScope();

struct GraticuleFile {
  const char* fileName;  // in the QuellorScope folder of the skins
  Canvas (*draw)();
};
// The six files, in the monitor's order.
const std::vector<GraticuleFile>& GraticuleFiles();

// An uncompressed 24-bit Targa of the canvas (green on black, bottom-up
// rows); false when the file cannot be written.
bool WriteTarga(const Canvas& canvas, const std::string& path);

}  // namespace quellor::graticules
