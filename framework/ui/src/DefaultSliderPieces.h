// The slider's default thumbs and tracks: the library's slider bitmaps, made
// with the other default resources and kept out of the registry.
#pragma once

#include "qlxrapi/ScreenObject.h"

namespace quellor::win {

// In creation order: horizontal thumbs for states 0..3 (bitmaps 108, 111,
// 110, 109), vertical thumbs for states 0..3 (115, 112, 114, 113), the
// horizontal track (116) and the vertical track (117).
enum DefaultSliderPiece : int {
  kSliderHorizontalThumb = 0,
  kSliderVerticalThumb = 4,
  kSliderHorizontalTrack = 8,
  kSliderVerticalTrack = 9,
  kSliderPieces = 10
};

// Set by the code that creates the default resources (null entries: none);
// the pieces stay owned by it. Null clears them all.
void SetDefaultSliderPieces(ScreenObject* const* pieces);
// The piece at index, or null.
ScreenObject* GetDefaultSliderPiece(int index);

}  // namespace quellor::win
