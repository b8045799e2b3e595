// One window being dragged: where it was when the drag began (screen) and
// where it is being dropped (the target's client coordinates).
#pragma once

#include <windows.h>

struct Control_DragNDrop_DropInfo {
  int startLeft = 0;
  int startTop = 0;
  int startRight = 0;
  int startBottom = 0;
  HWND window = nullptr;
  int newLeft = 0;
  int newTop = 0;
  int newRight = 0;
  int newBottom = 0;
};
