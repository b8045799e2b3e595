// The built-in layout and drop rules as functions over item lists, so that
// the windows and the tests use the same rules. Every function takes the
// lists it is given over and returns the list to apply.
#pragma once

#include <quellor/Export.h>

#include <windows.h>

#include "qlxrapi/WindowLayout_Item.h"

namespace quellor::win {

// Stretch flags (vRect::kStretchX, kStretchY) of a child window: from its
// object's layout hints (a preferred size of -1 stretches), 0 without hints.
using StretchOf = int (*)(HWND window);
QUELLOR_EXPORT int StretchFromLayoutHints(HWND window);

// The flowing grid: items in order along lines spacingX apart, a new line
// when an item reaches the width; sizes are kept.
QUELLOR_EXPORT WindowLayout_Item* GridLayout(WindowLayout_Item* list, long width, unsigned spacingX,
                                             unsigned spacingY);

// The grid's drop: the dropped items go before or after the existing item
// whose left or right middle is nearest (x, y), or last when (x, y) lies
// below every item; then the grid is laid out again.
QUELLOR_EXPORT WindowLayout_Item* GridDropPlacement(long width, long x, long y,
                                                    WindowLayout_Item* existing,
                                                    WindowLayout_Item* dropped, unsigned spacingX,
                                                    unsigned spacingY);

// The free-form resize: each item keeps its size and its centre scales from
// the last size (lastWidth by lastHeight) to the new one; edges that touched
// before touch again (a stretching item grows between them).
QUELLOR_EXPORT WindowLayout_Item* FreeFormLayout(WindowLayout_Item* list, long width, long height,
                                                 long lastWidth, long lastHeight,
                                                 StretchOf stretchOf = &StretchFromLayoutHints);

// The free-form drop: dropped items snap to the edges of the window and of
// the existing items within threshold pixels; dropped items come first.
QUELLOR_EXPORT WindowLayout_Item* FreeFormDropPlacement(
    long width, long height, WindowLayout_Item* existing, WindowLayout_Item* dropped, bool sizeOnly,
    int threshold = 7, StretchOf stretchOf = &StretchFromLayoutHints);

}  // namespace quellor::win
