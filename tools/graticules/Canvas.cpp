#include "Canvas.h"

#include <algorithm>
#include <cmath>

#include "Font5x7.h"

namespace quellor::graticules {

Canvas::Canvas() : bytes_(std::size_t(kCanvasWidth) * kCanvasHeight, 0) {}

std::uint8_t Canvas::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= kCanvasWidth || y >= kCanvasHeight) return 0;
  return bytes_[std::size_t(y) * kCanvasWidth + std::size_t(x)];
}

void Canvas::Put(int x, int y, std::uint8_t value) {
  if (x < 0 || y < 0 || x >= kCanvasWidth || y >= kCanvasHeight) return;
  std::uint8_t& pixel = bytes_[std::size_t(y) * kCanvasWidth + std::size_t(x)];
  pixel = std::max(pixel, value);
}

void Canvas::HLine(int x0, int x1, int y, std::uint8_t value) {
  for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x) Put(x, y, value);
}

void Canvas::VLine(int x, int y0, int y1, std::uint8_t value) {
  for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y) Put(x, y, value);
}

void Canvas::DashedHLine(int x0, int x1, int y, std::uint8_t value, int on, int period) {
  for (int x = x0; x <= x1; ++x) {
    if ((x - x0) % period < on) Put(x, y, value);
  }
}

// One pixel per step along the longer axis.
void Canvas::Line(double x0, double y0, double x1, double y1, std::uint8_t value) {
  const int steps = std::max(1, int(std::ceil(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0)))));
  for (int i = 0; i <= steps; ++i) {
    const double t = double(i) / steps;
    Put(int(std::lround(x0 + (x1 - x0) * t)), int(std::lround(y0 + (y1 - y0) * t)), value);
  }
}

void Canvas::Text(int x, int y, const std::string& text, std::uint8_t value) {
  for (char c : text) {
    const Glyph* glyph = FindGlyph(c);
    if (glyph != nullptr) {
      for (int row = 0; row < 7; ++row) {
        for (int column = 0; column < 5; ++column) {
          if ((*glyph)[row][column] != ' ') Put(x + column, y + row, value);
        }
      }
    }
    x += 6;
  }
}

int Canvas::TextWidth(const std::string& text) {
  return text.empty() ? 0 : int(text.size()) * 6 - 1;
}

}  // namespace quellor::graticules
