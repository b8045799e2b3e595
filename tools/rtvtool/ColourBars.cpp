#include "ColourBars.h"

namespace quellor::rtvtool {
namespace {

struct Bgr {
  std::uint8_t b, g, r;
};

// 75% bars: white, yellow, cyan, green, magenta, red, blue (191 = 75% of 255).
constexpr Bgr kBars[7] = {{191, 191, 191}, {0, 191, 191}, {191, 191, 0}, {0, 191, 0},
                          {191, 0, 191},   {0, 0, 191},   {191, 0, 0}};
constexpr Bgr kBlack = {0, 0, 0};         // encodes to studio black, Y 16
constexpr Bgr kWhite = {255, 255, 255};   // encodes to studio white, Y 235
constexpr std::uint32_t kMarkerStep = 8;  // pixels per frame

void Put(std::uint8_t* pixel, Bgr colour) {
  pixel[0] = colour.b;
  pixel[1] = colour.g;
  pixel[2] = colour.r;
  pixel[3] = 255;
}

}  // namespace

void DrawColourBars(std::uint32_t width, std::uint32_t height, std::uint64_t number,
                    std::uint8_t* bgra) {
  const std::uint32_t band_top = height - height / 4;
  const std::uint32_t marker_size = height / 8 > 0 ? height / 8 : 1;
  const std::uint32_t travel = width > marker_size ? width - marker_size : 1;
  const auto marker_x = static_cast<std::uint32_t>((number * kMarkerStep) % travel);
  const std::uint32_t marker_top = band_top + (height - band_top - marker_size) / 2;
  for (std::uint32_t y = 0; y < height; ++y) {
    std::uint8_t* row = bgra + static_cast<std::size_t>(y) * width * 4;
    for (std::uint32_t x = 0; x < width; ++x) {
      Bgr colour = kBars[static_cast<std::uint64_t>(x) * 7 / width];
      if (y >= band_top) {
        const bool in_marker = x >= marker_x && x < marker_x + marker_size && y >= marker_top &&
                               y < marker_top + marker_size;
        colour = in_marker ? kWhite : kBlack;
      }
      Put(row + static_cast<std::size_t>(x) * 4, colour);
    }
  }
}

}  // namespace quellor::rtvtool
