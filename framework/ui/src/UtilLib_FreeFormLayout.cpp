// The free-form layout window.
#include "qlxrapi/UtilLib_FreeFormLayout.h"

#include "qlxrapi/LayoutRules.h"

void UtilLib_FreeFormLayout::InitialiseWindow() {
  RECT client{};
  GetClientRect(GetWindowHandle(), &client);
  m_lastLeft = client.left;
  m_lastTop = client.top;
  m_lastWidth = client.right - client.left;
  m_lastHeight = client.bottom - client.top;
  UtilLib_Canvas::InitialiseWindow();
  DragAcceptFiles(GetWindowHandle(), TRUE);
  Layout_PerformLayout(GetWindowHandle(), true);
}

WindowLayout_Item* UtilLib_FreeFormLayout::Layout_ComputeLayout(WindowLayout_Item* list, long width,
                                                                long height) {
  list = quellor::win::FreeFormLayout(list, width, height, m_lastWidth, m_lastHeight);
  // A zero-sized window keeps the last real size to scale from.
  if (width * height != 0) {
    m_lastWidth = width;
    m_lastHeight = height;
  }
  return list;
}

WindowLayout_Item* UtilLib_FreeFormLayout::DragNDrop_DropItemsHere(long width, long height, long,
                                                                   long,
                                                                   WindowLayout_Item* existing,
                                                                   WindowLayout_Item* dropped,
                                                                   bool sizeOnly, bool) {
  return quellor::win::FreeFormDropPlacement(width, height, existing, dropped, sizeOnly,
                                             kSnapDistance);
}
