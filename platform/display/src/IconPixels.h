// An icon or cursor of the subset as pixels, for pictures the X side makes of
// it (tray icons, program cursors).
#pragma once

#include <cstdint>
#include <vector>

#include "windows.h"

namespace quellor::display {

// `icon` drawn by the subset (DrawIcon, blending by its alpha) at side x side
// onto a plain `background` (0x00RRGGBB): side * side pixels, top line first,
// 0x00RRGGBB in the low bytes. Empty when it could not be drawn.
std::vector<uint32_t> IconOnBackground(HICON icon, int side, uint32_t background);

}  // namespace quellor::display
