// Kept lines of test pictures for the scopes: 75% colour bars (eight bars of
// 90 pixels), flat colours, and the hand arithmetic that says where their
// traces belong.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "ScopeRows.h"

namespace quellor::videoproc::testing {

struct BarColour {
  const char* name;
  std::uint8_t y, u, v;
  double r, g, b;  // R'G'B', 0..1
};

// 75% bars, BT.601 studio range, as every bar generator makes them.
inline constexpr std::array<BarColour, 8> kBars75 = {{
    {"white", 180, 128, 128, 0.75, 0.75, 0.75},
    {"yellow", 162, 44, 142, 0.75, 0.75, 0},
    {"cyan", 131, 156, 44, 0, 0.75, 0.75},
    {"green", 112, 72, 58, 0, 0.75, 0},
    {"magenta", 84, 184, 198, 0.75, 0, 0.75},
    {"red", 65, 100, 212, 0.75, 0, 0},
    {"blue", 35, 212, 114, 0, 0, 0.75},
    {"black", 16, 128, 128, 0, 0, 0},
}};

// `lines` kept lines of 720 pixels.
inline std::vector<std::uint8_t> FlatLines(std::uint8_t y, std::uint8_t u, std::uint8_t v,
                                           std::uint32_t lines = 120) {
  std::vector<std::uint8_t> field(lines * kScopeLineBytes);
  for (std::size_t i = 0; i < field.size(); i += 4) {
    field[i] = u;
    field[i + 1] = y;
    field[i + 2] = v;
    field[i + 3] = y;
  }
  return field;
}

inline std::vector<std::uint8_t> BarLines(std::uint32_t lines = 120) {
  std::vector<std::uint8_t> field(lines * kScopeLineBytes);
  for (std::uint32_t line = 0; line < lines; ++line) {
    for (int pair = 0; pair < 360; ++pair) {
      const BarColour& bar = kBars75[pair / 45];
      std::uint8_t* p = &field[line * kScopeLineBytes + pair * 4];
      p[0] = bar.u;
      p[1] = bar.y;
      p[2] = bar.v;
      p[3] = bar.y;
    }
  }
  return field;
}

// IRE of a studio luma value with 7.5 IRE setup (Y 16 black, 235 white).
inline double IreWithSetup(double y) {
  return 7.5 + (y - 16.0) * 92.5 / 219.0;
}

}  // namespace quellor::videoproc::testing
