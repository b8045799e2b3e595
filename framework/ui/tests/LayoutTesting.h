// Item lists written as rectangles, for the layout tests.
#pragma once

#include <gtest/gtest.h>
#include <qlxrapi/WindowLayout.h>

#include <string>
#include <vector>

namespace layouttest {

struct Box {
  long x, y, width, height;
  bool operator==(const Box&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Box& b) {
  return out << "{" << b.x << "," << b.y << " " << b.width << "x" << b.height << "}";
}

// A list of items at the boxes; item i's window is the fake handle i + 1 so
// that reordering can be seen.
inline WindowLayout_Item* MakeList(const std::vector<Box>& boxes, long firstId = 1) {
  WindowLayout_Item* head = nullptr;
  WindowLayout_Item** tail = &head;
  long id = firstId;
  for (const Box& b : boxes) {
    WindowLayout_Item* item = WindowLayout::NewChild();
    item->x = b.x;
    item->y = b.y;
    item->width = b.width;
    item->height = b.height;
    item->window = reinterpret_cast<HWND>(id++);
    *tail = item;
    tail = &item->next;
  }
  return head;
}

inline std::vector<Box> Boxes(const WindowLayout_Item* list) {
  std::vector<Box> boxes;
  for (; list != nullptr; list = list->next)
    boxes.push_back(Box{list->x, list->y, list->width, list->height});
  return boxes;
}

inline std::vector<long> Ids(const WindowLayout_Item* list) {
  std::vector<long> ids;
  for (; list != nullptr; list = list->next) ids.push_back(reinterpret_cast<long>(list->window));
  return ids;
}

// Frees the list when the test ends.
struct Owned {
  WindowLayout_Item* list = nullptr;
  ~Owned() { WindowLayout::FreeLayout(list); }
};

}  // namespace layouttest
