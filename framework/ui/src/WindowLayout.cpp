// Layout items: the pool of free items, snapshots of children and applying
// a list back to the windows.
#include "qlxrapi/WindowLayout.h"

#include <mutex>
#include <vector>

#include "ChildWindows.h"
#include "qlxrapi/WindowFunctions.h"

namespace {

// Free items, linked through their next pointers. Kept for the life of the
// process: a layout on every mouse move reuses them.
std::mutex g_poolLock;
WindowLayout_Item* g_pool = nullptr;
long g_pooled = 0;

// Where parent's client area starts on the screen: found once per layout,
// so each of a thousand children costs one question, not two.
POINT ClientOrigin(HWND parent) {
  POINT origin{0, 0};
  MapWindowPoints(parent, nullptr, &origin, 1);
  return origin;
}

// The window's rectangle in the client coordinates of the parent whose
// client area starts at origin.
RECT RectangleInParent(HWND window, POINT origin) {
  RECT r{};
  GetWindowRect(window, &r);
  return RECT{r.left - origin.x, r.top - origin.y, r.right - origin.x, r.bottom - origin.y};
}

// The window's client rectangle with its top-left mapped into the parent
// whose client area starts at origin.
RECT ClientInParent(HWND window, POINT origin) {
  RECT client{};
  GetClientRect(window, &client);
  POINT at{0, 0};
  MapWindowPoints(window, nullptr, &at, 1);
  at.x -= origin.x;
  at.y -= origin.y;
  return RECT{at.x, at.y, at.x + client.right, at.y + client.bottom};
}

bool Shown(HWND window) {
  return (static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & WS_VISIBLE) != 0;
}

}  // namespace

WindowLayout_Item* WindowLayout::NewChild() {
  {
    std::lock_guard<std::mutex> hold(g_poolLock);
    if (g_pool != nullptr) {
      WindowLayout_Item* item = g_pool;
      g_pool = item->next;
      --g_pooled;
      *item = WindowLayout_Item{};
      return item;
    }
  }
  return new WindowLayout_Item;
}

void WindowLayout::DeleteChild(WindowLayout_Item* item) {
  if (item == nullptr) return;
  std::lock_guard<std::mutex> hold(g_poolLock);
  item->window = nullptr;
  item->next = g_pool;
  g_pool = item;
  ++g_pooled;
}

void WindowLayout::FreeLayout(WindowLayout_Item* list) {
  while (list != nullptr) {
    WindowLayout_Item* next = list->next;
    DeleteChild(list);
    list = next;
  }
}

long WindowLayout::PooledItems() {
  std::lock_guard<std::mutex> hold(g_poolLock);
  return g_pooled;
}

long WindowLayout::Count(const WindowLayout_Item* list) {
  long n = 0;
  for (; list != nullptr; list = list->next) ++n;
  return n;
}

WindowLayout_Item* WindowLayout::Append(WindowLayout_Item* list, WindowLayout_Item* tail) {
  if (list == nullptr) return tail;
  WindowLayout_Item* last = list;
  while (last->next != nullptr) last = last->next;
  last->next = tail;
  return list;
}

WindowLayout_Item* WindowLayout::GetLayout(HWND parent) {
  if (parent == nullptr) return nullptr;
  WindowLayout_Item* head = nullptr;
  WindowLayout_Item** tail = &head;
  const POINT origin = ClientOrigin(parent);
  for (HWND child : quellor::win::ChildWindows(parent)) {
    WindowLayout_Item* item = NewChild();
    const RECT r = RectangleInParent(child, origin);
    item->x = r.left;
    item->y = r.top;
    item->width = r.right - r.left;
    item->height = r.bottom - r.top;
    item->visible = Shown(child);
    item->window = child;
    *tail = item;
    tail = &item->next;
  }
  return head;
}

void WindowLayout::PerformLayout(HWND parent, WindowLayout_Item* list) {
  std::vector<HWND> oldParents;
  HWND previous = nullptr;
  // The parent's place on the screen changes only when a handler called
  // below moves it; it is read again after every call that sends messages.
  POINT origin = ClientOrigin(parent);
  for (WindowLayout_Item* item = list; item != nullptr; item = item->next) {
    HWND window = item->window;
    // A window that went away meanwhile (a child destroyed by another's
    // handler during this very layout) is passed over; so is the parent
    // itself, which cannot become its own child.
    if (window == nullptr || window == parent || !IsWindow(window)) continue;
    bool called = false;
    HWND oldParent = GetParent(window);
    if (oldParent != parent) {
      SetParent(window, parent);
      called = true;
      origin = ClientOrigin(parent);
      bool known = false;
      for (HWND p : oldParents) known = known || p == oldParent;
      if (!known && oldParent != nullptr) oldParents.push_back(oldParent);
    }
    const RECT now = ClientInParent(window, origin);
    const bool moved = now.left != item->x || now.top != item->y ||
                       now.right - now.left != item->width || now.bottom - now.top != item->height;
    const UINT show = item->visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
    if (moved) {
      SetWindowPos(window, previous != nullptr ? previous : HWND_TOP, static_cast<int>(item->x),
                   static_cast<int>(item->y), static_cast<int>(item->width),
                   static_cast<int>(item->height), SWP_NOCOPYBITS | SWP_NOACTIVATE | show);
      called = true;
    } else if (Shown(window) != item->visible) {
      // The item says shown or hidden: honour it even where nothing moved.
      SetWindowPos(window, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | show);
      called = true;
    }
    if (called) {
      origin = ClientOrigin(parent);
      if (!IsWindow(window)) continue;
    }
    previous = window;
  }
  for (HWND old : oldParents)
    if (IsWindow(old)) Orvane_PerformLayout(old);
}

void WindowLayout::RePaintLayout(WindowLayout_Item* list) {
  for (; list != nullptr; list = list->next)
    if (list->window != nullptr) InvalidateRect(list->window, nullptr, FALSE);
}
