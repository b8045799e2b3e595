// UtilLib_FreeFormLayout: a layout window whose children stay where they are
// put. When the window is resized each child keeps its size and its centre
// moves in proportion, and edges that touched (each other or the window's)
// touch again; a dropped child snaps to edges within 7 pixels.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/UtilLib_SimpleGrid.h"

class QUELLOR_EXPORT UtilLib_FreeFormLayout : public UtilLib_SimpleGrid {
 public:
  // Drops closer than this many pixels to an edge snap to it.
  static constexpr int kSnapDistance = 7;

  void InitialiseWindow() override;

  WindowLayout_Item* Layout_ComputeLayout(WindowLayout_Item* list, long width,
                                          long height) override;
  using Control_DragNDrop::DragNDrop_DropItemsHere;
  WindowLayout_Item* DragNDrop_DropItemsHere(long width, long height, long x, long y,
                                             WindowLayout_Item* existing,
                                             WindowLayout_Item* dropped, bool sizeOnly,
                                             bool finished) override;

  // The client size of the last layout; children are scaled from it.
  long GetLastWidth() const { return m_lastWidth; }
  long GetLastHeight() const { return m_lastHeight; }

 private:
  long m_lastLeft = 0;
  long m_lastTop = 0;
  long m_lastWidth = 0;
  long m_lastHeight = 0;
};
