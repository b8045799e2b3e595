// UtilLib_ListBox: a layout window that stacks its children from the top,
// one under the other, and takes dropped windows in between them.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/UtilLib_FreeFormLayout.h"

class QUELLOR_EXPORT UtilLib_ListBox : public UtilLib_FreeFormLayout {
 public:
  WindowLayout_Item* Layout_ComputeLayout(WindowLayout_Item* list, long width,
                                          long height) override;
  using Control_DragNDrop::DragNDrop_DropItemsHere;
  WindowLayout_Item* DragNDrop_DropItemsHere(long width, long height, long x, long y,
                                             WindowLayout_Item* existing,
                                             WindowLayout_Item* dropped, bool sizeOnly,
                                             bool finished) override;

 protected:
  // A child that goes leaves no gap: the box is laid out once it has gone.
  void Child_Destroyed(HWND child) override;
  void ReceiveDeferredMessage(unsigned wParam, unsigned lParam) override;
};
