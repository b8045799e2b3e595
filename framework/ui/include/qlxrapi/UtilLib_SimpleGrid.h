// UtilLib_SimpleGrid: a layout window that flows its children along lines,
// rubber-band selects them and takes every window dropped on it.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/UtilLib_Canvas.h"
#include "qlxrapi/BaseWindowLayoutManager.h"
#include "qlxrapi/Control_DragNDrop.h"

class QUELLOR_EXPORT UtilLib_SimpleGrid : public UtilLib_Canvas,
                                          public BaseWindowLayoutManager,
                                          public Control_DragNDrop {
 public:
  UtilLib_SimpleGrid();
  ~UtilLib_SimpleGrid() override;

  // Spacing between and around the items, 0 at construction; setting it lays
  // out again.
  void UtilLib_SimpleGrid_PutSpacingX(unsigned spacing);
  void UtilLib_SimpleGrid_PutSpacingY(unsigned spacing);
  unsigned UtilLib_SimpleGrid_GetSpacingX() const { return m_spacingX; }
  unsigned UtilLib_SimpleGrid_GetSpacingY() const { return m_spacingY; }

  void InitialiseWindow() override;
  void WindowSized(long width, long height) override;

  WindowLayout_Item* Layout_ComputeLayout(WindowLayout_Item* list, long width,
                                          long height) override;

  using Control_DragNDrop::DragNDrop_DropItemsHere;
  bool DragNDrop_ShouldIRubberBandSelect(HWND window) override;
  bool DragNDrop_CanItemBeDroppedHere(HWND target, Control_DragNDrop_DropInfo* item) override;
  WindowLayout_Item* DragNDrop_DropItemsHere(long width, long height, long x, long y,
                                             WindowLayout_Item* existing,
                                             WindowLayout_Item* dropped, bool sizeOnly,
                                             bool finished) override;

 private:
  unsigned m_spacingX = 0;
  unsigned m_spacingY = 0;
};
