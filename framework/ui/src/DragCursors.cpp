// The three drag-and-drop cursors, drawn here and registered with the
// library's module: an arrow with a badge at its lower right. 105: four
// small arrows (the item can be moved); 106: a red circle with a bar (no
// place to drop); 118: a page with a green plus (dropped here).
#include <win32/quellor_host.h>
#include <win32/resources.h>

#include <cmath>
#include <mutex>

#include "qlxrapi/DragNDropContext.h"

namespace {

constexpr int kSize = 32;
constexpr uint32_t kClear = 0x00000000u, kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu;
constexpr uint32_t kRed = 0xFFD02020u, kGreen = 0xFF20A040u, kGrey = 0xFF404040u;

struct Canvas {
  quellor::win32::PixelTemplate picture{kSize, kSize, std::vector<uint32_t>(kSize* kSize, kClear)};
  void Put(int x, int y, uint32_t colour) {
    if (x >= 0 && y >= 0 && x < kSize && y < kSize) picture.pixels[y * kSize + x] = colour;
  }
  uint32_t At(int x, int y) const {
    return x >= 0 && y >= 0 && x < kSize && y < kSize ? picture.pixels[y * kSize + x] : kClear;
  }
  void Fill(int x0, int y0, int x1, int y1, uint32_t colour) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) Put(x, y, colour);
  }
};

// Point in polygon, even-odd rule, sampled at pixel centres.
bool InPolygon(const int (*points)[2], int count, double x, double y) {
  bool inside = false;
  for (int i = 0, j = count - 1; i < count; j = i++) {
    const double xi = points[i][0], yi = points[i][1], xj = points[j][0], yj = points[j][1];
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
  }
  return inside;
}

// The arrow: white inside a black outline, its tip at (0, 0).
void DrawArrow(Canvas& c) {
  static const int kArrow[][2] = {{0, 0}, {0, 17}, {4, 13}, {7, 20}, {10, 19}, {7, 12}, {12, 12}};
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x)
      if (InPolygon(kArrow, 7, x + 0.5, y + 0.5)) c.Put(x, y, kWhite);
  Canvas outline = c;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      if (c.At(x, y) != kWhite) continue;
      if (c.At(x - 1, y) != kWhite || c.At(x + 1, y) != kWhite || c.At(x, y - 1) != kWhite ||
          c.At(x, y + 1) != kWhite || x == 0 || y == 0)
        outline.Put(x, y, kBlack);
    }
  c = outline;
}

void DrawMoveBadge(Canvas& c) {
  const int cx = 23, cy = 23;
  c.Fill(cx - 7, cy, cx + 7, cy, kGrey);
  c.Fill(cx, cy - 7, cx, cy + 7, kGrey);
  for (int k = 1; k <= 3; ++k) {  // the four arrow heads
    c.Fill(cx - 7 + k, cy - k, cx - 7 + k, cy + k, kGrey);
    c.Fill(cx + 7 - k, cy - k, cx + 7 - k, cy + k, kGrey);
    c.Fill(cx - k, cy - 7 + k, cx + k, cy - 7 + k, kGrey);
    c.Fill(cx - k, cy + 7 - k, cx + k, cy + 7 - k, kGrey);
  }
}

void DrawNoBadge(Canvas& c) {
  const double cx = 23.5, cy = 23.5;
  for (int y = 14; y < kSize; ++y)
    for (int x = 14; x < kSize; ++x) {
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      const bool ring = d <= 8.0 && d >= 5.5;
      // The bar from the upper left to the lower right.
      const bool bar = d <= 8.0 && std::fabs((x + 0.5 - cx) - (y + 0.5 - cy)) <= 1.6;
      if (ring || bar) c.Put(x, y, kRed);
    }
}

void DrawDropBadge(Canvas& c) {
  c.Fill(15, 15, 29, 29, kBlack);
  c.Fill(16, 16, 28, 28, kWhite);
  c.Fill(21, 18, 23, 26, kGreen);
  c.Fill(18, 21, 26, 23, kGreen);
}

HMODULE LibraryModule() {
  return quellor::win32::ModuleFromAddress(reinterpret_cast<const void*>(&LibraryModule));
}

void RegisterDragCursors() {
  const struct {
    int id;
    void (*badge)(Canvas&);
  } kCursors[] = {{DragNDropContext::kCursorSelected, &DrawMoveBadge},
                  {DragNDropContext::kCursorNoTarget, &DrawNoBadge},
                  {DragNDropContext::kCursorTarget, &DrawDropBadge}};
  for (const auto& cursor : kCursors) {
    Canvas c;
    DrawArrow(c);
    cursor.badge(c);
    quellor::win32::RegisterCursorResource(LibraryModule(), MAKEINTRESOURCEA(cursor.id),
                                           std::move(c.picture));
  }
}

}  // namespace

HCURSOR DragNDropContext::GetDragCursor(int id) {
  static std::once_flag registered;
  std::call_once(registered, &RegisterDragCursors);
  return LoadCursorA(LibraryModule(), MAKEINTRESOURCEA(id));
}
