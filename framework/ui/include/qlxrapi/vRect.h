// One rectangle of the snapping pass: its place before the pass (where
// distances are measured) and the place being computed, which edges are
// already placed and whether it stretches.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/WindowLayout_Item.h"
#include "qlxrapi/tList.h"

class QUELLOR_EXPORT vRect {
 public:
  // Placed edges.
  static constexpr int kTop = 1, kBottom = 2, kLeft = 4, kRight = 8, kFixed = 15;
  // Stretch directions.
  static constexpr int kStretchX = 1, kStretchY = 2;

  // Each operation pulls this rectangle's first-named edge onto other's
  // second-named edge (new coordinates). A stretching rectangle moves that
  // edge alone (and its opposite edge with it, keeping the size, unless keep
  // or the opposite edge is placed); any other moves whole and is placed on
  // both edges of that direction.
  void Snap_left_with_left(const vRect& other, bool keep);
  void Snap_left_with_right(const vRect& other, bool keep);
  void Snap_right_with_left(const vRect& other, bool keep);
  void Snap_right_with_right(const vRect& other, bool keep);
  void Snap_top_with_top(const vRect& other, bool keep);
  void Snap_top_with_bottom(const vRect& other, bool keep);
  void Snap_bottom_with_top(const vRect& other, bool keep);
  void Snap_bottom_with_bottom(const vRect& other, bool keep);

  // before == now, with the given flags.
  static vRect Make(int left, int top, int right, int bottom, int placed, int stretch,
                    WindowLayout_Item* item);

  int left, top, right, bottom;  // before the pass
  int newLeft, newTop, newRight, newBottom;
  int stretch;
  int placed;
  WindowLayout_Item* item;  // written back; null for the window's own rectangle
};

// Lets the edges of placed rectangles pull the matching edges of the others
// that lie within threshold, until every edge that can be is placed.
QUELLOR_EXPORT void SnapItems(tList<vRect>& rects, int threshold, bool keep);
