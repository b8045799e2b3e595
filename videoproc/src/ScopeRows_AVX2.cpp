// The scopes' fast pass, built with -mavx2 and called only after the
// processor was checked. It gives the display the plain pass gives, byte for
// byte, by counting instead of accumulating:
//
// A byte that starts at g and takes n plots of one weight w, each added only
// while the byte is below the limit L, ends at g + w * min(n, k) with
// k = ceil((L - g) / w) for g below L and 0 otherwise: the order of the
// plots does not matter when they all weigh the same. So the lines only
// count hits into 16-bit bins (one increment to memory a sample, no compare
// and no chain through the same byte), and one vector sweep turns graticule
// and counts into the display and clears the bins for the next field.
//
// Only the YUV parade mixes weights (its fourth luma weighs 2): its luma panel
// is accumulated directly, one sample slot across all groups at a time so
// that no two plots in flight land on the same byte, in the plain order per
// byte; its U and V panels are counted.
//
// Rows come from tables of display offsets by sample value, so a plot is a
// load of the sample, a load of its offset and the increment.
#include <immintrin.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include <board/ColourConversion.h>

#include "ScopeRows.h"

namespace quellor::videoproc {

namespace {

constexpr unsigned kWidth = kScopeWidth;
constexpr unsigned kPanel = 120;  // columns of a parade panel

// (192 - v / 2) rows down: luma, the parades' Y, V, R and B (G and U sit one
// row lower, + kWidth).
constexpr std::array<std::uint32_t, 256> LowerRows() {
  std::array<std::uint32_t, 256> rows{};
  for (unsigned v = 0; v < 256; ++v) rows[v] = (192u - (v >> 1)) * kWidth;
  return rows;
}
// (255 - s / 2) rows down for s of 0 .. 511: chroma and the composite sums.
constexpr std::array<std::uint32_t, 512> UpperRows() {
  std::array<std::uint32_t, 512> rows{};
  for (unsigned s = 0; s < 512; ++s) rows[s] = (255u - (s >> 1)) * kWidth;
  return rows;
}
constexpr std::array<std::uint32_t, 256> kLower = LowerRows();
constexpr std::array<std::uint32_t, 512> kUpper = UpperRows();

// The bins of the calling thread, all zero between passes.
std::uint16_t* Bins() {
  thread_local std::unique_ptr<std::uint16_t[]> bins(new std::uint16_t[kScopeBytes]());
  return bins.get();
}

void CountLuma(const std::uint8_t* line, std::uint16_t* bins) {
  for (unsigned slot = 1; slot < 4; slot += 2) {
    const std::uint8_t* y = line + slot;
    for (unsigned p = 0; p < kWidth; ++p) ++bins[kLower[y[p * 4]] + p];
  }
}

void CountChroma(const std::uint8_t* line, std::uint16_t* bins) {
  for (unsigned slot = 0; slot < 4; slot += 2) {
    const std::uint8_t* c = line + slot;
    for (unsigned p = 0; p < kWidth; p += 2) {
      ++bins[kUpper[c[p * 4]] + p];
      ++bins[kUpper[255u - c[p * 4 + 4]] + p + 1];
    }
  }
}

// Even pairs Y0 + V and Y1 + U; odd pairs Y0 - V and Y1 - U, offset by 256.
void CountComposite(const std::uint8_t* line, std::uint16_t* bins) {
  for (unsigned slot = 0; slot < 2; ++slot) {
    const std::uint8_t* y = line + 1 + slot * 2;
    const std::uint8_t* c = line + 2 - slot * 2;
    for (unsigned p = 0; p < kWidth; p += 2) {
      ++bins[kUpper[unsigned(y[p * 4]) + c[p * 4]] + p];
      ++bins[kUpper[unsigned(y[p * 4 + 4]) - c[p * 4 + 4] + 256u] + p + 1];
    }
  }
}

void CountVector(const std::uint8_t* line, const std::uint32_t* map, std::uint16_t* bins) {
  for (unsigned p = 0; p < kWidth; ++p, line += 4) ++bins[map[unsigned(line[0]) << 8 | line[2]]];
}

void CountRgb(const std::uint8_t* bgra, std::uint16_t* bins) {
  for (unsigned slot = 0; slot < 6; ++slot) {
    const std::uint8_t* pixel = bgra + slot * 4;
    for (unsigned g = 0; g < kPanel; ++g, pixel += 24) {
      ++bins[kLower[pixel[2]] + g];
      ++bins[kLower[pixel[1]] + kWidth + kPanel + g];
      ++bins[kLower[pixel[0]] + 2 * kPanel + g];
    }
  }
}

// The U and V panels are counted, the luma panel accumulated in place.
void YuvParadeLine(const std::uint8_t* line, std::uint16_t* bins, std::uint8_t* display) {
  for (unsigned slot = 0; slot < 6; ++slot) {
    const std::uint8_t* y = line + 1 + slot * 2;
    const unsigned weight = slot == 3 ? 2 : 5;
    for (unsigned g = 0; g < kPanel; ++g) ScopeAccumulate(display + kLower[y[g * 12]] + g, weight);
  }
  for (unsigned slot = 0; slot < 3; ++slot) {
    const std::uint8_t* u = line + slot * 4;
    for (unsigned g = 0; g < kPanel; ++g) {
      ++bins[kLower[u[g * 12]] + kWidth + kPanel + g];
      ++bins[kLower[u[g * 12 + 2]] + 2 * kPanel + g];
    }
  }
}

// display[i] := base[i] + weight * min(bins[i], k(base[i])) for `count`
// bytes, base being the graticule (null: all zero); the bins are cleared.
void Resolve(const std::uint8_t* base, std::uint16_t* bins, std::uint8_t* display,
             std::size_t count, unsigned weight, unsigned limit) {
  // ceil(n / w) for n up to 254 as (n + w - 1) * ceil(65536 / w) >> 16.
  const __m256i inverse = _mm256_set1_epi16(static_cast<short>((65536u + weight - 1) / weight));
  const __m256i roundUp = _mm256_set1_epi16(static_cast<short>(weight - 1));
  const __m256i lim = _mm256_set1_epi16(static_cast<short>(limit));
  const __m256i w = _mm256_set1_epi16(static_cast<short>(weight));
  const __m256i zero = _mm256_setzero_si256();
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m256i g =
        base == nullptr
            ? zero
            : _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i)));
    auto* at = reinterpret_cast<__m256i*>(bins + i);
    const __m256i n = _mm256_loadu_si256(at);
    _mm256_storeu_si256(at, zero);
    const __m256i room = _mm256_subs_epu16(lim, g);
    const __m256i plots = _mm256_mulhi_epu16(_mm256_add_epi16(room, roundUp), inverse);
    const __m256i sum = _mm256_add_epi16(g, _mm256_mullo_epi16(_mm256_min_epu16(n, plots), w));
    const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(sum, sum), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(display + i), _mm256_castsi256_si128(packed));
  }
  for (; i < count; ++i) {
    const unsigned g = base == nullptr ? 0u : base[i];
    const unsigned plots = g < limit ? (limit - g + weight - 1) / weight : 0u;
    display[i] = static_cast<std::uint8_t>(g + weight * std::min<unsigned>(bins[i], plots));
    bins[i] = 0;
  }
}

void CopyGraticule(const std::uint8_t* graticule, std::uint8_t* display) {
  if (graticule != nullptr) {
    std::memcpy(display, graticule, kScopeBytes);
  } else {
    std::memset(display, 0, kScopeBytes);
  }
}

}  // namespace

void DrawScope_AVX2(int mode, const std::uint8_t* graticule, const std::uint8_t* field,
                    std::uint32_t lines, const std::uint32_t* map, std::uint8_t* scratch,
                    std::uint8_t* display) {
  lines = std::min(lines, kScopeKeptLines);
  if (mode < 0 || mode >= kScopeModes || (mode == kScopeVector && map == nullptr)) {
    CopyGraticule(graticule, display);
    return;
  }
  std::uint16_t* bins = Bins();
  if (mode == kScopeYuvParade) {
    CopyGraticule(graticule, display);
    for (std::uint32_t l = 0; l < lines; ++l, field += kScopeLineBytes) {
      YuvParadeLine(field, bins, display);
    }
    for (unsigned row = 0; row < unsigned(kScopeHeight); ++row) {
      const std::size_t at = row * kWidth + kPanel;
      Resolve(graticule == nullptr ? nullptr : graticule + at, bins + at, display + at, 2 * kPanel,
              5, kScopeSaturation);
    }
    return;
  }
  for (std::uint32_t l = 0; l < lines; ++l, field += kScopeLineBytes) {
    switch (mode) {
      case kScopeComposite:
        CountComposite(field, bins);
        break;
      case kScopeLuma:
        CountLuma(field, bins);
        break;
      case kScopeChroma:
        CountChroma(field, bins);
        break;
      case kScopeRgbParade:
        decode_ycbcr8_bgra(scratch, field, kScopeLinePixels);
        CountRgb(scratch, bins);
        break;
      default:
        CountVector(field, map, bins);
        break;
    }
  }
  static constexpr unsigned kWeight[kScopeModes] = {7, 10, 5, 5, 5, 5};
  const unsigned limit = mode == kScopeVector ? kVectorSaturation : kScopeSaturation;
  Resolve(graticule, bins, display, kScopeBytes, kWeight[mode], limit);
}

}  // namespace quellor::videoproc
