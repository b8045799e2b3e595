#include "DropShadow.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quellor::win {

namespace {

using FactorTable = std::array<std::array<std::uint16_t, kShadowWidth>, kShadowWidth>;

const FactorTable& Factors() {
  static const FactorTable table = [] {
    FactorTable t{};
    for (long dy = 0; dy < kShadowWidth; ++dy)
      for (long dx = 0; dx < kShadowWidth; ++dx) {
        const double distance = std::sqrt(double(dx * dx + dy * dy));
        t[dy][dx] = static_cast<std::uint16_t>(std::min(256.0, 8.0 * distance + 192.0));
      }
    return t;
  }();
  return table;
}

// Shades rows [top, bottom) of columns [left, right); factorAt gives each
// pixel's factor from its offset to the band's origin.
template <typename FactorAt>
void ShadeArea(WindowBitmap* picture, long left, long top, long right, long bottom,
               FactorAt factorAt) {
  const long width = static_cast<long>(picture->GetWidth());
  const long height = static_cast<long>(picture->GetHeight());
  const long x0 = std::max(left, 0L), x1 = std::min(right, width);
  const long y0 = std::max(top, 0L), y1 = std::min(bottom, height);
  if (x0 >= x1 || y0 >= y1) return;
  std::uint16_t factors[1024];
  for (long y = y0; y < y1; ++y) {
    for (long x = x0; x < x1; x += 1024) {
      const long count = std::min(1024L, x1 - x);
      for (long i = 0; i < count; ++i) factors[i] = factorAt(x + i, y);
      DarkenRow_C(picture->GetPixel(x, y), factors, count);
    }
  }
}

}  // namespace

std::uint16_t ShadowFactor(long dx, long dy) {
  if (dx < 0 || dy < 0 || dx >= kShadowWidth || dy >= kShadowWidth) return 256;
  return Factors()[dy][dx];
}

void DarkenRow_C(WindowPixel* row, const std::uint16_t* factors, long count) {
  for (long i = 0; i < count; ++i) {
    const unsigned k = factors[i];
    row[i].blue = static_cast<std::uint8_t>((row[i].blue * k) >> 8);
    row[i].green = static_cast<std::uint8_t>((row[i].green * k) >> 8);
    row[i].red = static_cast<std::uint8_t>((row[i].red * k) >> 8);
  }
}

void CastDropShadow(WindowBitmap* picture, const RECT& child) {
  if (child.right - child.left < kShadowInset || child.bottom - child.top < kShadowInset) return;
  const long r = child.right, b = child.bottom;
  // Right of the child, down to its bottom edge.
  ShadeArea(picture, r, child.top + kShadowInset, r + kShadowWidth, b,
            [r](long x, long) { return ShadowFactor(x - r, 0); });
  // Below the child, up to its right edge.
  ShadeArea(picture, child.left + kShadowInset, b, r, b + kShadowWidth,
            [b](long, long y) { return ShadowFactor(0, y - b); });
  // The corner, rounded by the distance to the child's corner.
  ShadeArea(picture, r, b, r + kShadowWidth, b + kShadowWidth,
            [r, b](long x, long y) { return ShadowFactor(x - r, y - b); });
}

}  // namespace quellor::win
