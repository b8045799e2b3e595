// A program's own cursor (LoadCursorA from its module's resources) as an X
// cursor: in full colour with alpha through RENDER where the server has it,
// else as a two-colour pixmap cursor. The subset's cursors carry no hot
// spot: it is the top-left pixel, as the subset's own hit tests assume.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

#include "windows.h"

namespace quellor::display {

// The cursor's picture as 0xAARRGGBB words (straight alpha), `side` x `side`
// pixels from its top-left corner; fully transparent where it has none.
std::vector<uint32_t> CursorPicture(HCURSOR cursor, int side);

// The X cursor for `cursor` (0 when it cannot be made); in two colours when
// `fullColour` is false or the server cannot do better.
Cursor MakeProgramCursor(Display* display, HCURSOR cursor, bool fullColour = true);

}  // namespace quellor::display
