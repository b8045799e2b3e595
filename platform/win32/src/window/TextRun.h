// Measuring and drawing one run of ANSI text in a rendered font.
#pragma once

#include <string_view>

#include "Font.h"
#include "Painter.h"

namespace quellor::win32 {

// Width in pixels of the run (sum of the advances).
int MeasureRun(RenderedFont& font, std::string_view text);

struct RunStyle {
  uint32_t textPixel = 0;
  bool opaque = false;  // fill the cell box with bkPixel first
  uint32_t bkPixel = 0xFFFFFF;
  bool underline = false;
  bool strikeout = false;
};

// Draws the run with its left edge at logical x and its baseline at logical
// y; the cell box is (x, baseline - ascent) to (x + width, baseline + descent).
void DrawRun(DrawTarget& target, RenderedFont& font, int x, int baseline, std::string_view text,
             const RunStyle& style);

}  // namespace quellor::win32
