// A window's own children in z-order (topmost first), read in one pass with
// nothing called back in between, so none can go away during the walk.
#pragma once

#include <windows.h>

#include <vector>

namespace quellor::win {

inline std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> children;
  if (parent == nullptr) return children;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

}  // namespace quellor::win
