// Drag-and-drop participants: the defaults and the placement of a drop.
#include "qlxrapi/Control_DragNDrop.h"

#include "qlxrapi/WindowLayout.h"

Control_DragNDrop::~Control_DragNDrop() = default;

bool Control_DragNDrop::DragNDrop_ShouldIDragAndDrop(HWND) {
  return false;
}

bool Control_DragNDrop::DragNDrop_ShouldIRubberBandSelect(HWND) {
  return false;
}

bool Control_DragNDrop::DragNDrop_CanItemBeDroppedHere(HWND, Control_DragNDrop_DropInfo*) {
  return false;
}

WindowLayout_Item* Control_DragNDrop::DragNDrop_DropItemsHere(long, long, long, long,
                                                              WindowLayout_Item* existing,
                                                              WindowLayout_Item* dropped, bool,
                                                              bool) {
  return WindowLayout::Append(existing, dropped);
}

bool Control_DragNDrop::DragNDrop_CanItemsBeDroppedHere(HWND target,
                                                        tList<Control_DragNDrop_DropInfo>* items) {
  if (items == nullptr) return false;
  for (std::uint32_t i = 0; i < items->GetNoItems(); ++i)
    if (DragNDrop_CanItemBeDroppedHere(target, &(*items)[i])) return true;
  return false;
}

namespace {

bool Listed(HWND window, tList<Control_DragNDrop_DropInfo>* items) {
  for (std::uint32_t i = 0; i < items->GetNoItems(); ++i)
    if ((*items)[i].window == window) return true;
  return false;
}

// window is target or one of its ancestors: it cannot be dropped into it.
bool Encloses(HWND window, HWND target) {
  for (HWND at = target; at != nullptr; at = GetParent(at))
    if (at == window) return true;
  return false;
}

}  // namespace

void Control_DragNDrop::DragNDrop_DropItemsHere(HWND target, int x, int y,
                                                tList<Control_DragNDrop_DropInfo>* items,
                                                bool sizeOnly, bool finished) {
  if (items == nullptr) return;
  // The target's children that are not being dropped, in their order.
  WindowLayout_Item* existing = WindowLayout::GetLayout(target);
  WindowLayout_Item** link = &existing;
  while (*link != nullptr) {
    WindowLayout_Item* item = *link;
    if (Listed(item->window, items)) {
      *link = item->next;
      WindowLayout::DeleteChild(item);
    } else {
      link = &item->next;
    }
  }
  WindowLayout_Item* dropped = nullptr;
  WindowLayout_Item** tail = &dropped;
  for (std::uint32_t i = 0; i < items->GetNoItems(); ++i) {
    Control_DragNDrop_DropInfo& info = (*items)[i];
    if (info.window == nullptr || !IsWindow(info.window) || Encloses(info.window, target)) continue;
    if (!DragNDrop_CanItemBeDroppedHere(target, &info)) continue;
    WindowLayout_Item* item = WindowLayout::NewChild();
    item->window = info.window;
    item->x = info.newLeft;
    item->y = info.newTop;
    item->width = info.newRight - info.newLeft;
    item->height = info.newBottom - info.newTop;
    item->visible = true;
    *tail = item;
    tail = &item->next;
  }
  long width, height;
  if (target != nullptr) {
    RECT client{};
    GetClientRect(target, &client);
    width = client.right;
    height = client.bottom;
  } else {
    width = GetSystemMetrics(SM_CXFULLSCREEN);
    height = GetSystemMetrics(SM_CYFULLSCREEN);
  }
  WindowLayout_Item* result =
      DragNDrop_DropItemsHere(width, height, x, y, existing, dropped, sizeOnly, finished);
  if (target != nullptr) WindowLayout::PerformLayout(target, result);
  WindowLayout::RePaintLayout(result);
  WindowLayout::FreeLayout(result);
}
