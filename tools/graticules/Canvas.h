// A grey picture of the scope's size to draw a graticule on: one byte of
// brightness a pixel, rows top-down. Drawing keeps the brighter of what is
// there and what is drawn, so crossing lines never darken each other.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quellor::graticules {

inline constexpr int kCanvasWidth = 360;
inline constexpr int kCanvasHeight = 256;

// Brightness of the graticule's parts (the monitor keeps the look of these
// at any trace brightness).
inline constexpr std::uint8_t kMajorLine = 150;
inline constexpr std::uint8_t kMinorLine = 80;
inline constexpr std::uint8_t kLabel = 190;
inline constexpr std::uint8_t kTarget = 200;

class Canvas {
 public:
  Canvas();
  std::uint8_t At(int x, int y) const;
  void Put(int x, int y, std::uint8_t value);  // ignored outside the picture
  void HLine(int x0, int x1, int y, std::uint8_t value);
  void VLine(int x, int y0, int y1, std::uint8_t value);
  // Every `period` pixels, `on` pixels drawn.
  void DashedHLine(int x0, int x1, int y, std::uint8_t value, int on, int period);
  void Line(double x0, double y0, double x1, double y1, std::uint8_t value);
  // 5 x 7 glyphs on a 6-pixel pitch, top-left at (x, y).
  void Text(int x, int y, const std::string& text, std::uint8_t value);
  static int TextWidth(const std::string& text);
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace quellor::graticules
