#include "DefaultSliderPieces.h"

namespace quellor::win {

namespace {
ScreenObject* g_pieces[kSliderPieces] = {};
}

void SetDefaultSliderPieces(ScreenObject* const* pieces) {
  for (int i = 0; i < kSliderPieces; ++i) g_pieces[i] = pieces == nullptr ? nullptr : pieces[i];
}

ScreenObject* GetDefaultSliderPiece(int index) {
  return index < 0 || index >= kSliderPieces ? nullptr : g_pieces[index];
}

}  // namespace quellor::win
