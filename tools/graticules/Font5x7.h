// The few characters the graticules label with, 5 x 7 dots each.
#pragma once

namespace quellor::graticules {

using Glyph = const char[7][6];  // rows of five dots ('#'), top row first

// Null for a character without a glyph (drawn as a space).
Glyph* FindGlyph(char c);

}  // namespace quellor::graticules
