// The flowing grid and the free-form layout, and where each puts a drop.
#include "qlxrapi/LayoutRules.h"

#include <cstdlib>
#include <vector>

#include "qlxrapi/BaseWindowClass.h"
#include "qlxrapi/Controls_LayoutHints.h"
#include "SpliceItems.h"
#include "qlxrapi/WindowLayout.h"
#include "qlxrapi/vRect.h"

namespace quellor::win {

int StretchFromLayoutHints(HWND window) {
  auto* hints = dynamic_cast<Controls_LayoutHints*>(Orvane_GetWindowObject(window));
  if (hints == nullptr) return 0;
  int flags = 0;
  if (hints->LayoutHints_GetPreferedXSize() == -1) flags |= vRect::kStretchX;
  if (hints->LayoutHints_GetPreferedYSize() == -1) flags |= vRect::kStretchY;
  return flags;
}

WindowLayout_Item* GridLayout(WindowLayout_Item* list, long width, unsigned spacingX,
                              unsigned spacingY) {
  const long sx = static_cast<long>(spacingX), sy = static_cast<long>(spacingY);
  long x = sx, y = sy, lineHeight = 0;
  for (WindowLayout_Item* item = list; item != nullptr; item = item->next) {
    // An item exactly as wide as the space left wraps too.
    if (x != 0 && x + item->width >= width) {
      y += lineHeight + sy;
      lineHeight = 0;
      x = sx;
    }
    item->x = x;
    item->y = y;
    if (item->height > lineHeight) lineHeight = item->height;
    x += item->width + sx;
  }
  return list;
}

WindowLayout_Item* GridDropPlacement(long width, long x, long y, WindowLayout_Item* existing,
                                     WindowLayout_Item* dropped, unsigned spacingX,
                                     unsigned spacingY) {
  if (existing == nullptr) return GridLayout(dropped, width, spacingX, spacingY);
  if (dropped == nullptr) return GridLayout(existing, width, spacingX, spacingY);
  GridLayout(existing, width, spacingX, spacingY);
  // The place is the existing item the drop goes before (null: at the end).
  WindowLayout_Item* before = existing;
  long best = std::labs(y - existing->height / 2 - existing->y) + std::labs(x - existing->x);
  long lowest = 0;
  for (WindowLayout_Item* item = existing; item != nullptr; item = item->next) {
    const long middle = std::labs(y - item->height / 2 - item->y);
    const long left = middle + std::labs(x - item->x);
    const long right = middle + std::labs(x - item->width - item->x);
    if (left < best && left < right) {
      best = left;
      before = item;
    } else if (right < best) {
      best = right;
      before = item->next;
    }
    if (item->y + item->height > lowest) lowest = item->y + item->height;
  }
  if (lowest < y) before = nullptr;
  return GridLayout(SpliceItemsBefore(existing, dropped, before), width, spacingX, spacingY);
}

namespace {

vRect ItemRect(WindowLayout_Item* item, int placed, int stretch) {
  return vRect::Make(static_cast<int>(item->x), static_cast<int>(item->y),
                     static_cast<int>(item->x + item->width),
                     static_cast<int>(item->y + item->height), placed, stretch, item);
}

void WriteBack(const std::vector<vRect>& rects) {
  for (const vRect& r : rects) {
    if (r.item == nullptr) continue;
    r.item->x = r.newLeft;
    r.item->y = r.newTop;
    if (r.newRight - r.newLeft > 0) r.item->width = r.newRight - r.newLeft;
    if (r.newBottom - r.newTop > 0) r.item->height = r.newBottom - r.newTop;
  }
}

// The centre scaled from `from` to `to` (no scaling when from is 0); halves
// round toward zero.
long ScaleCentre(long start, long size, long to, long from) {
  long long centre = start + size / 2;
  if (from != 0) centre = centre * to / from;
  return static_cast<long>(centre) - size / 2;
}

}  // namespace

WindowLayout_Item* FreeFormLayout(WindowLayout_Item* list, long width, long height, long lastWidth,
                                  long lastHeight, StretchOf stretchOf) {
  if (width * height == 0 || (width == lastWidth && height == lastHeight)) return list;
  std::vector<vRect> rects;
  vRect window = vRect::Make(0, 0, static_cast<int>(lastWidth), static_cast<int>(lastHeight),
                             vRect::kFixed, 0, nullptr);
  window.newRight = static_cast<int>(width);
  window.newBottom = static_cast<int>(height);
  rects.push_back(window);
  for (WindowLayout_Item* item = list; item != nullptr; item = item->next) {
    vRect r = ItemRect(item, 0, stretchOf != nullptr ? stretchOf(item->window) : 0);
    r.newLeft = static_cast<int>(ScaleCentre(item->x, item->width, width, lastWidth));
    r.newTop = static_cast<int>(ScaleCentre(item->y, item->height, height, lastHeight));
    r.newRight = r.newLeft + static_cast<int>(item->width);
    r.newBottom = r.newTop + static_cast<int>(item->height);
    rects.push_back(r);
  }
  SnapItems(rects.data(), static_cast<std::uint32_t>(rects.size()), 0, false);
  WriteBack(rects);
  return list;
}

WindowLayout_Item* FreeFormDropPlacement(long width, long height, WindowLayout_Item* existing,
                                         WindowLayout_Item* dropped, bool sizeOnly, int threshold,
                                         StretchOf stretchOf) {
  std::vector<vRect> rects;
  rects.push_back(vRect::Make(0, 0, static_cast<int>(width), static_cast<int>(height),
                              vRect::kFixed, 0, nullptr));
  for (WindowLayout_Item* item = existing; item != nullptr; item = item->next)
    rects.push_back(ItemRect(item, vRect::kFixed, 0));
  for (WindowLayout_Item* item = dropped; item != nullptr; item = item->next)
    rects.push_back(ItemRect(item, 0, stretchOf != nullptr ? stretchOf(item->window) : 0));
  SnapItems(rects.data(), static_cast<std::uint32_t>(rects.size()), threshold, sizeOnly);
  WriteBack(rects);
  return WindowLayout::Append(dropped, existing);
}

}  // namespace quellor::win
