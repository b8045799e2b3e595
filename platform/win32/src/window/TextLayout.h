// Line layout of DrawTextA: line breaks, '&' prefixes, tab expansion and word
// wrapping, measured in a rendered font.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Font.h"

namespace quellor::win32 {

struct TextPiece {
  int x = 0;  // from the line's left edge
  std::string text;
};

struct TextLine {
  std::vector<TextPiece> pieces;  // tabs split a line into pieces
  int width = 0;
  // Characters marked by a '&' prefix, to be underlined: left edge from the
  // line's left edge, and width.
  std::vector<std::pair<int, int>> prefixMarks;
};

// Lays out text for the DT_ flags in format; wrapWidth is the width of the
// formatting rectangle (used with DT_WORDBREAK).
std::vector<TextLine> LayoutText(RenderedFont& font, std::string_view text, unsigned format,
                                 int wrapWidth);

}  // namespace quellor::win32
