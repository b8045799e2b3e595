#include "qlxrapi/ListBoxRules.h"

#include <algorithm>
#include <vector>

#include "SpliceItems.h"
#include "qlxrapi/WindowLayout.h"

namespace quellor::win {

WindowLayout_Item* ListBoxStack(WindowLayout_Item* list) {
  long y = 0;
  for (WindowLayout_Item* item = list; item != nullptr; item = item->next) {
    item->x = 0;
    item->y = y;
    y += item->height;
  }
  return list;
}

WindowLayout_Item* ListBoxLayout(WindowLayout_Item* list) {
  std::vector<WindowLayout_Item*> items;
  for (WindowLayout_Item* item = list; item != nullptr; item = item->next) items.push_back(item);
  if (items.empty()) return nullptr;
  // The order on screen is the order of the list: windows' z-order need not
  // follow it.
  std::stable_sort(
      items.begin(), items.end(),
      [](const WindowLayout_Item* a, const WindowLayout_Item* b) { return a->y < b->y; });
  for (std::size_t i = 0; i + 1 < items.size(); ++i) items[i]->next = items[i + 1];
  items.back()->next = nullptr;
  return ListBoxStack(items.front());
}

WindowLayout_Item* ListBoxDropPlacement(long y, WindowLayout_Item* existing,
                                        WindowLayout_Item* dropped, bool sizeOnly) {
  if (existing == nullptr) return ListBoxStack(dropped);
  if (dropped == nullptr) return ListBoxLayout(existing);
  if (sizeOnly) return ListBoxLayout(WindowLayout::Append(existing, dropped));
  existing = ListBoxLayout(existing);
  // The item the dropped ones go before (null: at the end).
  WindowLayout_Item* before = nullptr;
  if (y < existing->y) {
    before = existing;
  } else {
    for (WindowLayout_Item* item = existing; item != nullptr; item = item->next) {
      if (y < item->y || y >= item->y + item->height) continue;
      before = y < item->y + item->height / 2 ? item : item->next;
      break;
    }
  }
  return ListBoxStack(SpliceItemsBefore(existing, dropped, before));
}

}  // namespace quellor::win
