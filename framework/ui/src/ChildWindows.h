// A window's own children in z-order (topmost first), read in one pass: the
// subset's GW_HWNDNEXT looks each window up among its siblings, so walking a
// thousand children with it costs a million steps.
#pragma once

#include <windows.h>

#include <vector>

namespace quellor::win {

inline std::vector<HWND> ChildWindows(HWND parent) {
  struct Walk {
    HWND parent;
    std::vector<HWND> children;
  } walk{parent, {}};
  if (parent == nullptr) return {};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM data) -> BOOL {
        auto* w = reinterpret_cast<Walk*>(data);
        if (GetParent(child) == w->parent) w->children.push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&walk));
  return walk.children;
}

}  // namespace quellor::win
