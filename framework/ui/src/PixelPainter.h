// A small painter for the library's own pictures: 0xAARRGGBB words, rows
// top-down, as the module's resource tables take them.
#pragma once

#include <cstdint>
#include <vector>

namespace quellor::win {

struct Painting {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xAARRGGBB

  Painting(int w, int h, std::uint32_t fill = 0) : width(w), height(h), pixels(w * h, fill) {}
  std::uint32_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  void Put(int x, int y, std::uint32_t colour) {
    if (Inside(x, y)) At(x, y) = colour;
  }
  // Right and bottom exclusive.
  void Fill(int left, int top, int right, int bottom, std::uint32_t colour) {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) Put(x, y, colour);
  }
  // Rows of the given span from top colour to bottom colour.
  void VerticalGradient(int left, int top, int right, int bottom, std::uint32_t from,
                        std::uint32_t to);
  // The same picture turned a quarter: (x, y) becomes (y, x).
  Painting Transposed() const;
  // A one-pixel ring of colour around every visible pixel, where the picture
  // is transparent.
  void Outline(std::uint32_t colour);
};

// Channel-wise mix of two colours; at 0 all a, at 256 all b.
std::uint32_t Mix(std::uint32_t a, std::uint32_t b, int at256);
// Fully opaque colour from 0xRRGGBB.
constexpr std::uint32_t Opaque(std::uint32_t rgb) {
  return 0xFF000000u | rgb;
}

}  // namespace quellor::win
