// The waveform monitor's plotting passes. Each walks kept lines of a field
// (VideoUYVY, 720 pixels, bytes U Y0 V Y1) and accumulates traces into an
// 8-bit display of 360 x 256 bytes (rows top-down, 360 bytes a row): a plot
// adds its weight to the byte it lands on while that byte is below 245, so
// a trace saturates instead of wrapping. The palette of the display turns the
// bytes into brightness, so no pass touches colour.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quellor::videoproc {

inline constexpr int kScopeWidth = 360;
inline constexpr int kScopeHeight = 256;
inline constexpr std::size_t kScopeBytes = std::size_t(kScopeWidth) * kScopeHeight;  // 92160
inline constexpr int kScopeLinePixels = 720;
inline constexpr std::size_t kScopeLineBytes = 1440;
// The field buffer keeps at most this many lines (every second line of a
// 576-line PAL frame's field).
inline constexpr std::uint32_t kScopeKeptLines = 144;
// Bytes at or above this take no more plots.
inline constexpr std::uint8_t kScopeSaturation = 245;
// The vectorscope's own limit: its dots stop a little higher.
inline constexpr std::uint8_t kVectorSaturation = 250;

enum ScopeMode : int {
  kScopeComposite = 0,  // luma plus chroma
  kScopeLuma = 1,
  kScopeChroma = 2,
  kScopeYuvParade = 3,
  kScopeRgbParade = 4,
  kScopeVector = 5,
};
inline constexpr int kScopeModes = 6;

// Adds weight to *byte unless it is at `limit` or above.
inline void ScopeAccumulate(std::uint8_t* byte, unsigned weight,
                            unsigned limit = kScopeSaturation) {
  const unsigned value = *byte;
  *byte = static_cast<std::uint8_t>(value + (value < limit ? weight : 0u));
}

// One kept line into the display.
void UYVYToLumaScope(const std::uint8_t* line, std::uint8_t* display);
void UYVYToChromaScope(const std::uint8_t* line, std::uint8_t* display);
void UYVYToCompositeScope(const std::uint8_t* line, std::uint8_t* display);
void UYVYToYuvParade(const std::uint8_t* line, std::uint8_t* display);
// From the line already decoded to 720 BGRA pixels.
void BGRAToRgbParade(const std::uint8_t* bgra, std::uint8_t* display);
// map: 65536 display offsets indexed U * 256 + V (VectorScopeMap).
void UYVYToVectorScope(const std::uint8_t* line, const std::uint32_t* map, std::uint8_t* display);

// Where the vectorscope puts a pixel of colour difference U and V (0..255):
// the angle and length of (U - 128, V - 128), the horizontal axis squeezed
// by 0.7 so that the studio-range Cb and Cr stand in the proportions of the
// composite U and V axes. Rows and columns may fall outside the picture
// (V = 0 gives row 256).
struct ScopePoint {
  int row;
  int column;
};
ScopePoint VectorScopePosition(int u, int v);
// Fills map (65536 entries, [U][V]) with display offsets, each position
// clipped to the picture.
void BuildVectorScopeMap(std::uint32_t* map);

// A whole pass: the graticule (92160 bytes, or null for a blank one) over the
// display, then `lines` kept lines of field (1440 bytes each) in the mode.
// scratch holds 720 BGRA pixels for the RGB parade. Unknown modes leave the
// graticule alone. DrawScope_C runs the rows above line by line;
// DrawScope_AVX2 gives the same bytes by counting (ScopeRows_AVX2.cpp) and
// runs only on a processor with AVX2. DrawScope is the one chosen for this
// processor, once. No buffer needs any alignment.
void DrawScope_C(int mode, const std::uint8_t* graticule, const std::uint8_t* field,
                 std::uint32_t lines, const std::uint32_t* map, std::uint8_t* scratch,
                 std::uint8_t* display);
void DrawScope_AVX2(int mode, const std::uint8_t* graticule, const std::uint8_t* field,
                    std::uint32_t lines, const std::uint32_t* map, std::uint8_t* scratch,
                    std::uint8_t* display);
void DrawScope(int mode, const std::uint8_t* graticule, const std::uint8_t* field,
               std::uint32_t lines, const std::uint32_t* map, std::uint8_t* scratch,
               std::uint8_t* display);
bool ScopeFastPathAvailable();

}  // namespace quellor::videoproc
