// UtilLib_SimpleGrid: a canvas that flows its children along lines,
// rubber-band selects them and takes every window dropped on it.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/BaseWindowLayoutManager.h"
#include "qlxrapi/Control_DragNDrop.h"
#include "qlxrapi/ScreenObject_Selected.h"
#include "qlxrapi/UtilLib_Canvas.h"

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

  WindowLayout_Item* Layout_ComputeLayout(WindowLayout_Item* list, long width,
                                          long height) override;

  using Control_DragNDrop::DragNDrop_DropItemsHere;
  bool DragNDrop_ShouldIRubberBandSelect(HWND window) override;
  bool DragNDrop_CanItemBeDroppedHere(HWND target, Control_DragNDrop_DropInfo* item) override;
  WindowLayout_Item* DragNDrop_DropItemsHere(long width, long height, long x, long y,
                                             WindowLayout_Item* existing,
                                             WindowLayout_Item* dropped, bool sizeOnly,
                                             bool finished) override;

  // A selected layout window is drawn with this red shade over it.
  void DragAndDrop_Select(bool selected) override;
  ScreenObject_Selected* GetSelectionShade() { return &m_shade; }

 protected:
  // Lays out, then lets the canvas follow the new size.
  void WindowSized(long width, long height) override;
  void PaintWindow(HWND window, HDC dc) override;

 private:
  unsigned m_spacingX = 0;
  unsigned m_spacingY = 0;
  ScreenObject_Selected m_shade{255, 64, 64, 64, 0, 0, 0, 192};
};
