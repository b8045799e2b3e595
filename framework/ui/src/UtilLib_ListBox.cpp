#include "qlxrapi/UtilLib_ListBox.h"

#include "qlxrapi/ControlWindowClasses.h"
#include "qlxrapi/ListBoxRules.h"

QLXRAPI_CONTROL_CLASS(UtilLib_ListBox);

namespace {

// The deferred message that lays the box out again.
constexpr unsigned kLayOutAgain = 0x4C42;  // "LB"

}  // namespace

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

void UtilLib_ListBox::Child_Destroyed(HWND child) {
  UtilLib_FreeFormLayout::Child_Destroyed(child);
  // The child is still listed while it is being destroyed.
  DeferredMessage(kLayOutAgain, 0);
}

void UtilLib_ListBox::ReceiveDeferredMessage(unsigned wParam, unsigned lParam) {
  UtilLib_FreeFormLayout::ReceiveDeferredMessage(wParam, lParam);
  if (wParam == kLayOutAgain && GetWindowHandle() != nullptr)
    Layout_PerformLayout(GetWindowHandle(), true);
}
