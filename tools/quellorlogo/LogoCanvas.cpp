#include "LogoCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quellor::logo {

Colour Hex(std::uint32_t rgb) {
  return {float((rgb >> 16) & 255) / 255.0f, float((rgb >> 8) & 255) / 255.0f,
          float(rgb & 255) / 255.0f};
}

Colour Mix(Colour a, Colour b, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

LogoCanvas::LogoCanvas(int width, int height)
    : m_width(width),
      m_height(height),
      m_colour(std::size_t(width) * std::size_t(height)),
      m_alpha(std::size_t(width) * std::size_t(height), 0) {}

void LogoCanvas::Blend(int x, int y, Colour c, float weight) {
  Colour& d = m_colour[std::size_t(y) * std::size_t(m_width) + std::size_t(x)];
  d = Mix(d, c, weight);
}

void LogoCanvas::Fill(const Inside& inside, const Paint& paint, float opacity) {
  constexpr int kSamples = 4;
  for (int y = 0; y < m_height; ++y) {
    for (int x = 0; x < m_width; ++x) {
      int hits = 0;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx)
          hits += inside(float(x) + (float(sx) + 0.5f) / kSamples,
                         float(y) + (float(sy) + 0.5f) / kSamples);
      if (hits == 0) continue;
      const float coverage = float(hits) / float(kSamples * kSamples);
      Blend(x, y, paint(float(x) + 0.5f, float(y) + 0.5f), coverage * opacity);
    }
  }
}

void LogoCanvas::FillCoverage(const std::vector<float>& coverage, const Paint& paint,
                              float opacity) {
  for (int y = 0; y < m_height; ++y)
    for (int x = 0; x < m_width; ++x) {
      const float c = coverage[std::size_t(y) * std::size_t(m_width) + std::size_t(x)];
      if (c > 0) Blend(x, y, paint(float(x) + 0.5f, float(y) + 0.5f), c * opacity);
    }
}

void LogoCanvas::SetShape(const Inside& inside) {
  for (int y = 0; y < m_height; ++y)
    for (int x = 0; x < m_width; ++x)
      m_alpha[std::size_t(y) * std::size_t(m_width) + std::size_t(x)] =
          inside(float(x) + 0.5f, float(y) + 0.5f) ? 255 : 0;
}

std::vector<std::uint8_t> LogoCanvas::ToBgra() const {
  std::vector<std::uint8_t> out(m_colour.size() * 4);
  auto byte = [](float v) { return std::uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
  for (std::size_t i = 0; i < m_colour.size(); ++i) {
    // Outside the shape the pixels are transparent black.
    const bool shown = m_alpha[i] != 0;
    out[4 * i] = shown ? byte(m_colour[i].b) : 0;
    out[4 * i + 1] = shown ? byte(m_colour[i].g) : 0;
    out[4 * i + 2] = shown ? byte(m_colour[i].r) : 0;
    out[4 * i + 3] = m_alpha[i];
  }
  return out;
}

bool InRoundedRect(float x, float y, float left, float top, float right, float bottom,
                   float radius) {
  if (x < left || x >= right || y < top || y >= bottom) return false;
  const float cx = std::clamp(x, left + radius, right - radius);
  const float cy = std::clamp(y, top + radius, bottom - radius);
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

float DistanceToSegment(float x, float y, float ax, float ay, float bx, float by) {
  const float dx = bx - ax, dy = by - ay;
  const float t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
  const float px = ax + t * dx - x, py = ay + t * dy - y;
  return std::sqrt(px * px + py * py);
}

bool WriteTarga32(const std::string& path, int width, int height,
                  const std::vector<std::uint8_t>& bgra) {
  std::uint8_t header[18] = {};
  header[2] = 2;  // true colour, not run-length encoded
  header[12] = std::uint8_t(width & 255);
  header[13] = std::uint8_t(width >> 8);
  header[14] = std::uint8_t(height & 255);
  header[15] = std::uint8_t(height >> 8);
  header[16] = 32;
  header[17] = 0x28;  // 8 alpha bits, first row at the top
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(header, 1, sizeof header, file) == sizeof header &&
                  std::fwrite(bgra.data(), 1, bgra.size(), file) == bgra.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace quellor::logo
