// Lines of text for the logo, rasterised by the window system's fonts into
// coverage maps that LogoCanvas::FillCoverage paints with any colour.
#pragma once

#include <string>
#include <vector>

namespace quellor::logo {

struct TextRun {
  std::string text;
  std::string face = "DejaVu Sans";
  int height = 20;   // cell height in pixels
  int weight = 400;  // 700 bold
  int tracking = 0;  // extra pixels after each letter
  int x = 0, y = 0;  // top-left of the first letter's cell
};

// The run's width in pixels, tracking included (none after the last letter).
int TextWidth(const TextRun& run);
// width x height coverage values (0..1) of the run drawn at its position.
std::vector<float> TextCoverage(int width, int height, const TextRun& run);

}  // namespace quellor::logo
