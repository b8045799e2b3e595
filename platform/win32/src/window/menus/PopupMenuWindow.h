// The window that shows a popup menu while TrackPopupMenu runs (class
// "#32768"): it lays the items out, paints them and tells which item lies
// under a point.
#pragma once

#include <string>
#include <vector>

#include "win32/menus.h"
#include "win32/user.h"

namespace quellor::win32 {

struct PopupMenuLayout {
  struct Row {
    UINT flags = 0;
    UINT_PTR id = 0;
    std::string text;
    RECT rect{};  // client coordinates
  };
  std::vector<Row> rows;
  SIZE size{0, 0};
  int hot = -1;  // highlighted row
};

// Reads the menu and measures it; false when the menu does not exist.
bool LayOutPopupMenu(HMENU menu, PopupMenuLayout& layout);
// Creates the (hidden) popup window for a layout that outlives it.
HWND CreatePopupMenuWindow(PopupMenuLayout& layout, HWND owner, int x, int y);
// The row under a client point, or -1.
int PopupMenuRowAt(const PopupMenuLayout& layout, POINT client);
// Whether a row can be chosen (not a separator, not grayed or disabled).
bool IsSelectableRow(const PopupMenuLayout::Row& row);

}  // namespace quellor::win32
