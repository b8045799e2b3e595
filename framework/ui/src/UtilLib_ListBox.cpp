#include "qlxrapi/UtilLib_ListBox.h"

#include "qlxrapi/ControlWindowClasses.h"
#include "qlxrapi/ListBoxRules.h"

QLXRAPI_CONTROL_CLASS(UtilLib_ListBox);

WindowLayout_Item* UtilLib_ListBox::Layout_ComputeLayout(WindowLayout_Item* list, long, long) {
  return quellor::win::ListBoxLayout(list);
}

WindowLayout_Item* UtilLib_ListBox::DragNDrop_DropItemsHere(long, long, long, long y,
                                                            WindowLayout_Item* existing,
                                                            WindowLayout_Item* dropped,
                                                            bool sizeOnly, bool) {
  if (sizeOnly) {
    // A resized child keeps its place: it is ordered by where it stands now,
    // not by where its handle moved its top edge.
    HWND window = GetWindowHandle();
    for (WindowLayout_Item* item = dropped; item != nullptr; item = item->next) {
      if (window == nullptr || item->window == nullptr || ::GetParent(item->window) != window)
        continue;
      RECT now{};
      GetControlPosition(item->window, &now);
      item->y = now.top;
    }
  }
  return quellor::win::ListBoxDropPlacement(y, existing, dropped, sizeOnly);
}
