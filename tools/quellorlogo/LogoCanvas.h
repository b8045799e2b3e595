// A picture being drawn: straight (not premultiplied) colours in floats, and
// the few shapes the logo is made of, each filled with 4 x 4 samples a pixel
// so that its edges are smooth.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quellor::logo {

struct Colour {
  float r = 0, g = 0, b = 0;
};

// 0xRRGGBB.
Colour Hex(std::uint32_t rgb);
Colour Mix(Colour a, Colour b, float t);

class LogoCanvas {
 public:
  LogoCanvas(int width, int height);

  int Width() const { return m_width; }
  int Height() const { return m_height; }

  // Covers the pixels of inside (sampled 4 x 4 a pixel) with the colour
  // paint gives at each pixel centre, weighted by coverage times opacity.
  using Inside = std::function<bool(float x, float y)>;
  using Paint = std::function<Colour(float x, float y)>;
  void Fill(const Inside& inside, const Paint& paint, float opacity = 1.0f);
  // Covers each pixel by coverage (0..1 per pixel, width x height values).
  void FillCoverage(const std::vector<float>& coverage, const Paint& paint, float opacity = 1.0f);
  // The shape of the window: pixels whose centre lies inside are opaque,
  // all others fully transparent (the window shows no partial pixels).
  void SetShape(const Inside& inside);

  // Blue, green, red, alpha bytes, rows top-down.
  std::vector<std::uint8_t> ToBgra() const;

 private:
  void Blend(int x, int y, Colour c, float weight);

  int m_width, m_height;
  std::vector<Colour> m_colour;
  std::vector<std::uint8_t> m_alpha;
};

// Shapes.
bool InRoundedRect(float x, float y, float left, float top, float right, float bottom,
                   float radius);
float DistanceToSegment(float x, float y, float ax, float ay, float bx, float by);

// Writes a 32-bit uncompressed Targa file with 8 alpha bits, rows top-down.
bool WriteTarga32(const std::string& path, int width, int height,
                  const std::vector<std::uint8_t>& bgra);

}  // namespace quellor::logo
