// The board's built-in input signals: colour bars with a moving marker and
// the field's time stamp burnt in, and black.
#pragma once

#include "board/BoardControl.h"
#include "win32/types.h"

namespace quellor::board {

// One field (lines x 1440 bytes) of 75% colour bars over a black strip that
// carries a white marker moving with the frame number and the time stamp in
// digits. Field `timeStamp & 1` of frame `timeStamp / 2`.
void RenderColourBarsField(VideoStandard standard, DWORD timeStamp, BYTE* pixels);
// Y 16, Cb/Cr 128 everywhere.
void RenderBlackField(VideoStandard standard, BYTE* pixels);

// Picture geometry of the bars, for tests.
inline constexpr DWORD kBarsMarkerWidth = 32;
inline constexpr DWORD kBarsMarkerStep = 8;  // pixels the marker moves each frame
DWORD BarsStripTop(VideoStandard standard);  // first picture line below the bars
DWORD BarsMarkerLeft(DWORD timeStamp);

}  // namespace quellor::board
