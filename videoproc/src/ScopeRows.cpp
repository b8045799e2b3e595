#include "ScopeRows.h"

#include "ScopeParades.h"

#include <board/ColourConversion.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace quellor::videoproc {

namespace {

// Offset of the display byte at (row, column); rows are 360 bytes.
inline std::uint8_t* At(std::uint8_t* display, unsigned row, unsigned column) {
  return display + row * unsigned(kScopeWidth) + column;
}

}  // namespace

// Each pair p lands in column p; both lumas at 192 - Y/2 (Y 16 on row 184,
// Y 235 on row 75).
void UYVYToLumaScope(const std::uint8_t* line, std::uint8_t* display) {
  for (unsigned p = 0; p < unsigned(kScopeWidth); ++p, line += 4) {
    ScopeAccumulate(At(display, 192u - (line[1] >> 1), p), 10);
    ScopeAccumulate(At(display, 192u - (line[3] >> 1), p), 10);
  }
}

// The chroma envelope: even pairs plot U and V, odd pairs their complements,
// around row 191 (no colour).
void UYVYToChromaScope(const std::uint8_t* line, std::uint8_t* display) {
  for (unsigned p = 0; p < unsigned(kScopeWidth); p += 2, line += 8) {
    ScopeAccumulate(At(display, 255u - (line[0] >> 1), p), 5);
    ScopeAccumulate(At(display, 255u - (line[2] >> 1), p), 5);
    ScopeAccumulate(At(display, 255u - ((255u - line[4]) >> 1), p + 1), 5);
    ScopeAccumulate(At(display, 255u - ((255u - line[6]) >> 1), p + 1), 5);
  }
}

// Luma plus and minus the colour differences on alternate pairs, as a
// subcarrier would swing: Y + V and Y + U on even pairs, Y - V and Y - U on
// odd ones (offset by 256 so the sums stay positive).
void UYVYToCompositeScope(const std::uint8_t* line, std::uint8_t* display) {
  for (unsigned p = 0; p < unsigned(kScopeWidth); p += 2, line += 8) {
    ScopeAccumulate(At(display, 255u - ((unsigned(line[1]) + line[2]) >> 1), p), 7);
    ScopeAccumulate(At(display, 255u - ((unsigned(line[3]) + line[0]) >> 1), p), 7);
    ScopeAccumulate(At(display, 255u - ((unsigned(line[5]) - line[6] + 256u) >> 1), p + 1), 7);
    ScopeAccumulate(At(display, 255u - ((unsigned(line[7]) - line[4] + 256u) >> 1), p + 1), 7);
  }
}

// Three panels of 120 columns: six Y, three U and three V samples of every
// group of six pixels share a column of their panel. The fourth Y of a group
// weighs 2, not 5.
void UYVYToYuvParade(const std::uint8_t* line, std::uint8_t* display) {
  for (unsigned g = 0; g < 120u; ++g, line += 12) {
    static constexpr unsigned kYWeight[6] = {5, 5, 5, 2, 5, 5};
    static constexpr unsigned kY[6] = {1, 3, 5, 7, 9, 11};
    for (int s = 0; s < 6; ++s)
      ScopeAccumulate(At(display, 192u - (line[kY[s]] >> 1), g), kYWeight[s]);
    for (unsigned pair = 0; pair < 3; ++pair) {
      ScopeAccumulate(At(display, 193u - (line[pair * 4] >> 1), 120u + g), 5);
      ScopeAccumulate(At(display, 192u - (line[pair * 4 + 2] >> 1), 240u + g), 5);
    }
  }
}

void BGRAToRgbParade(const std::uint8_t* bgra, std::uint8_t* display) {
  for (unsigned g = 0; g < 120u; ++g) {
    for (int s = 0; s < 6; ++s, bgra += 4) {
      ScopeAccumulate(At(display, 192u - (bgra[2] >> 1), g), 5);
      ScopeAccumulate(At(display, 193u - (bgra[1] >> 1), 120u + g), 5);
      ScopeAccumulate(At(display, 192u - (bgra[0] >> 1), 240u + g), 5);
    }
  }
}

void UYVYToVectorScope(const std::uint8_t* line, const std::uint32_t* map, std::uint8_t* display) {
  for (unsigned p = 0; p < unsigned(kScopeWidth); ++p, line += 4) {
    ScopeAccumulate(display + map[unsigned(line[0]) << 8 | line[2]], 5, kVectorSaturation);
  }
}

void UYVYToRgbLevelsRow_C(const std::uint8_t* uyvy, std::uint8_t* levels, int pixels) {
  constexpr int kChunk = 64;
  std::uint8_t bgra[kChunk * 4];
  for (int x = 0; x < pixels; x += kChunk) {
    const int count = std::min(kChunk, pixels - x);
    decode_ycbcr8_bgra(bgra, uyvy + x * 2, count);
    for (int i = 0; i < count; ++i) {
      levels[x + i] = bgra[i * 4 + 2] >> 1;
      levels[pixels + x + i] = bgra[i * 4 + 1] >> 1;
      levels[2 * pixels + x + i] = bgra[i * 4] >> 1;
    }
  }
}

ScopePoint VectorScopePosition(int u, int v) {
  const double a = u - 128;
  const double b = v - 128;
  const double r = std::sqrt(a * a + b * b);
  const double theta = std::atan2(b, a);
  return ScopePoint{128 + static_cast<int>(std::trunc(0.5 - r * std::sin(theta))),
                    180 + static_cast<int>(std::trunc(0.7 * r * std::cos(theta) + 0.5))};
}

void BuildVectorScopeMap(std::uint32_t* map) {
  for (int u = 0; u < 256; ++u) {
    for (int v = 0; v < 256; ++v) {
      const ScopePoint point = VectorScopePosition(u, v);
      const int row = std::clamp(point.row, 0, kScopeHeight - 1);
      const int column = std::clamp(point.column, 0, kScopeWidth - 1);
      map[u * 256 + v] = static_cast<std::uint32_t>(row * kScopeWidth + column);
    }
  }
}

void DrawScope_C(int mode, const std::uint8_t* graticule, const std::uint8_t* field,
                 std::uint32_t lines, const std::uint32_t* map, std::uint8_t* scratch,
                 std::uint8_t* display) {
  if (graticule != nullptr) {
    std::memcpy(display, graticule, kScopeBytes);
  } else {
    std::memset(display, 0, kScopeBytes);
  }
  lines = std::min(lines, kScopeKeptLines);
  for (std::uint32_t l = 0; l < lines; ++l, field += kScopeLineBytes) {
    switch (mode) {
      case kScopeComposite:
        UYVYToCompositeScope(field, display);
        break;
      case kScopeLuma:
        UYVYToLumaScope(field, display);
        break;
      case kScopeChroma:
        UYVYToChromaScope(field, display);
        break;
      case kScopeYuvParade:
        UYVYToYuvParade(field, display);
        break;
      case kScopeRgbParade:
        decode_ycbcr8_bgra(scratch, field, kScopeLinePixels);
        BGRAToRgbParade(scratch, display);
        break;
      case kScopeVector:
        if (map != nullptr) UYVYToVectorScope(field, map, display);
        break;
      default:
        return;
    }
  }
}

bool ScopeFastPathAvailable() {
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
}

void DrawScope(int mode, const std::uint8_t* graticule, const std::uint8_t* field,
               std::uint32_t lines, const std::uint32_t* map, std::uint8_t* scratch,
               std::uint8_t* display) {
  using Pass = decltype(&DrawScope_C);
  static const Pass pass = ScopeFastPathAvailable() ? DrawScope_AVX2 : DrawScope_C;
  pass(mode, graticule, field, lines, map, scratch, display);
}

}  // namespace quellor::videoproc
