// One child window's placement in a layout: a singly linked list of these, in
// the children's z-order (topmost first), is what layout rules rewrite.
#pragma once

#include <windows.h>

struct WindowLayout_Item {
  long x = 0;  // top-left in the parent's client coordinates
  long y = 0;
  long width = 0;
  long height = 0;
  bool visible = false;  // shown once the layout is applied
  HWND window = nullptr;
  WindowLayout_Item* next = nullptr;  // null at the end of the list
};
