// A window that takes part in drag and drop: a draggable item, a container
// that rubber-band selects its children, and a drop target whose placement
// rule decides where dropped windows go.
//
// A class that overrides the placement rule hides the window form of
// DragNDrop_DropItemsHere; bring it back with
//   using Control_DragNDrop::DragNDrop_DropItemsHere;
#pragma once

#include <quellor/Export.h>

#include <windows.h>

#include "qlxrapi/Control_DragNDrop_DropInfo.h"
#include "qlxrapi/WindowLayout_Item.h"
#include "qlxrapi/tList.h"

class QUELLOR_EXPORT Control_DragNDrop {
 public:
  virtual ~Control_DragNDrop();

  // This window is a draggable item (false).
  virtual bool DragNDrop_ShouldIDragAndDrop(HWND window);
  // A press on this window starts a rubber band over its children (false).
  virtual bool DragNDrop_ShouldIRubberBandSelect(HWND window);
  // target accepts the dragged window of item (false).
  virtual bool DragNDrop_CanItemBeDroppedHere(HWND target, Control_DragNDrop_DropInfo* item);
  // The placement rule: takes both lists over and returns the list to apply
  // (which the caller frees). width and height are the target's client size,
  // (x, y) the cursor in its client coordinates. By default the dropped
  // items follow the existing ones at their dropped positions.
  virtual WindowLayout_Item* DragNDrop_DropItemsHere(long width, long height, long x, long y,
                                                     WindowLayout_Item* existing,
                                                     WindowLayout_Item* dropped, bool sizeOnly,
                                                     bool finished);

  // At least one item of the list can be dropped on target.
  bool DragNDrop_CanItemsBeDroppedHere(HWND target, tList<Control_DragNDrop_DropInfo>* items);
  // Places the accepted items of the list in target by the placement rule
  // and applies the result: the windows move into target.
  void DragNDrop_DropItemsHere(HWND target, int x, int y, tList<Control_DragNDrop_DropInfo>* items,
                               bool sizeOnly, bool finished);
};
