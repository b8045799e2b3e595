// The list box's layout and drop rules over item lists (see LayoutRules.h),
// so that the window and the tests use the same rules. Every function takes
// the lists it is given over and returns the list to apply.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/WindowLayout_Item.h"

namespace quellor::win {

// Stacks the items from the top in list order: x = 0, y = the sum of the
// heights before; sizes are kept.
QUELLOR_EXPORT WindowLayout_Item* ListBoxStack(WindowLayout_Item* list);
// The list box's layout: the items in the order they stand (by y; equal y
// keeps list order), stacked.
QUELLOR_EXPORT WindowLayout_Item* ListBoxLayout(WindowLayout_Item* list);
// The list box's drop at height y: into an empty box the dropped items are
// stacked; with sizeOnly the dropped items (placed where they stand) keep
// their new sizes among the others; otherwise they go before the item whose
// upper half holds y (first when y is above every item), after the item
// whose lower half holds it, else last.
QUELLOR_EXPORT WindowLayout_Item* ListBoxDropPlacement(long y, WindowLayout_Item* existing,
                                                       WindowLayout_Item* dropped, bool sizeOnly);

}  // namespace quellor::win
