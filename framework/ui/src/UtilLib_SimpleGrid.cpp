// The flowing grid window.
#include "qlxrapi/UtilLib_SimpleGrid.h"

#include "qlxrapi/LayoutRules.h"
#include "qlxrapi/WindowLayout.h"

UtilLib_SimpleGrid::UtilLib_SimpleGrid() = default;
UtilLib_SimpleGrid::~UtilLib_SimpleGrid() = default;

void UtilLib_SimpleGrid::UtilLib_SimpleGrid_PutSpacingX(unsigned spacing) {
  m_spacingX = spacing;
  Layout_PerformLayout(GetWindowHandle(), true);
}

void UtilLib_SimpleGrid::UtilLib_SimpleGrid_PutSpacingY(unsigned spacing) {
  m_spacingY = spacing;
  Layout_PerformLayout(GetWindowHandle(), true);
}

void UtilLib_SimpleGrid::InitialiseWindow() {
  UtilLib_Canvas::InitialiseWindow();
  // Files dropped from the shell reach the children's framework objects
  // through this window (and go on up to whichever ancestor takes them).
  DragAcceptFiles(GetWindowHandle(), TRUE);
  Layout_PerformLayout(GetWindowHandle(), true);
}

void UtilLib_SimpleGrid::WindowSized(long width, long height) {
  Layout_PerformLayout(GetWindowHandle(), true);
  UtilLib_Canvas::WindowSized(width, height);
}

WindowLayout_Item* UtilLib_SimpleGrid::Layout_ComputeLayout(WindowLayout_Item* list, long width,
                                                            long) {
  return quellor::win::GridLayout(list, width, m_spacingX, m_spacingY);
}

bool UtilLib_SimpleGrid::DragNDrop_ShouldIRubberBandSelect(HWND) {
  return true;
}

bool UtilLib_SimpleGrid::DragNDrop_CanItemBeDroppedHere(HWND, Control_DragNDrop_DropInfo*) {
  return true;
}

WindowLayout_Item* UtilLib_SimpleGrid::DragNDrop_DropItemsHere(long width, long, long x, long y,
                                                               WindowLayout_Item* existing,
                                                               WindowLayout_Item* dropped,
                                                               bool sizeOnly, bool) {
  WindowLayout_Item* list;
  if (sizeOnly) {
    // Only sizes change: the window's own order stays, with the new sizes.
    list = WindowLayout::GetLayout(GetWindowHandle());
    for (WindowLayout_Item* d = dropped; d != nullptr; d = d->next)
      for (WindowLayout_Item* item = list; item != nullptr; item = item->next)
        if (item->window == d->window) {
          item->width = d->width;
          item->height = d->height;
        }
    WindowLayout::FreeLayout(existing);
    WindowLayout::FreeLayout(dropped);
    list = quellor::win::GridLayout(list, width, m_spacingX, m_spacingY);
  } else {
    // The grid's places are unscrolled; the drop point is on the screen.
    list = quellor::win::GridDropPlacement(width, x + GetScrollOffsetX(), y + GetScrollOffsetY(),
                                           existing, dropped, m_spacingX, m_spacingY);
  }
  for (WindowLayout_Item* item = list; item != nullptr; item = item->next) {
    item->x -= GetScrollOffsetX();
    item->y -= GetScrollOffsetY();
  }
  return list;
}
