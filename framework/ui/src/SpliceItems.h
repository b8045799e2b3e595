// Putting a dropped list of layout items into an existing list, as the drop
// rules of the grid and the list box both do.
#pragma once

#include "qlxrapi/WindowLayout_Item.h"

namespace quellor::win {

// Links `dropped` (not empty) in front of `before`, an item of `existing` or
// null for the end, and returns the head of the joined list.
inline WindowLayout_Item* SpliceItemsBefore(WindowLayout_Item* existing, WindowLayout_Item* dropped,
                                            WindowLayout_Item* before) {
  WindowLayout_Item* lastDropped = dropped;
  while (lastDropped->next != nullptr) lastDropped = lastDropped->next;
  lastDropped->next = before;
  if (before == existing) return dropped;
  WindowLayout_Item* at = existing;
  while (at->next != before) at = at->next;
  at->next = dropped;
  return existing;
}

}  // namespace quellor::win
