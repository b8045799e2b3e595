#include "PixelPainter.h"

namespace quellor::win {

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, int at256) {
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int ca = static_cast<int>((a >> shift) & 0xFF),
              cb = static_cast<int>((b >> shift) & 0xFF);
    out |= static_cast<std::uint32_t>((ca * (256 - at256) + cb * at256 + 128) >> 8) << shift;
  }
  return out;
}

void Painting::VerticalGradient(int left, int top, int right, int bottom, std::uint32_t from,
                                std::uint32_t to) {
  const int span = bottom - top - 1;
  for (int y = top; y < bottom; ++y)
    Fill(left, y, right, y + 1, Mix(from, to, span > 0 ? (y - top) * 256 / span : 0));
}

Painting Painting::Transposed() const {
  Painting turned(height, width);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      turned.At(y, x) = pixels[static_cast<std::size_t>(y) * width + x];
  return turned;
}

void Painting::Outline(std::uint32_t colour) {
  const Painting before = *this;
  auto visible = [&](int x, int y) {
    return before.Inside(x, y) && (before.pixels[static_cast<std::size_t>(y) * width + x] >> 24);
  };
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (visible(x, y)) continue;
      bool near = false;
      for (int dy = -1; dy <= 1 && !near; ++dy)
        for (int dx = -1; dx <= 1 && !near; ++dx) near = visible(x + dx, y + dy);
      if (near) At(x, y) = colour;
    }
}

}  // namespace quellor::win
