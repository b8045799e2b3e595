// Snapshots of a window's children as layout items, and applying them back.
//
// Items come from one process-wide pool of free items, so that a layout run
// on every mouse move allocates nothing once the pool is warm. The pool has
// its own lock; the windows themselves are laid out on the window thread.
#pragma once

#include <quellor/Export.h>

#include <windows.h>

#include "qlxrapi/WindowLayout_Item.h"

class QUELLOR_EXPORT WindowLayout {
 public:
  // An item from the pool (cleared), or a new one.
  static WindowLayout_Item* NewChild();
  // Returns one item to the pool (its next pointer is not followed).
  static void DeleteChild(WindowLayout_Item* item);
  // Returns a whole list to the pool.
  static void FreeLayout(WindowLayout_Item* list);
  // The parent's children, topmost first: each window rectangle mapped into
  // the parent's client coordinates and the window's own visible flag. Null
  // when the parent has no children.
  static WindowLayout_Item* GetLayout(HWND parent);
  // Moves each item's window under parent (when it has another parent) and
  // places it at the item's rectangle, in list order; windows already where
  // their item says are left alone. The parents the windows left are laid
  // out afterwards.
  static void PerformLayout(HWND parent, WindowLayout_Item* list);
  // Invalidates each item's window without erasing.
  static void RePaintLayout(WindowLayout_Item* list);

  // Items waiting in the pool (for tests and measurements).
  static long PooledItems();
  // Number of items in a list; joins of two lists.
  static long Count(const WindowLayout_Item* list);
  static WindowLayout_Item* Append(WindowLayout_Item* list, WindowLayout_Item* tail);
};
