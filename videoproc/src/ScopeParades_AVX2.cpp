// The parades' fast pass, built with -mavx2 and called only after the
// processor was checked. It gives the plain pass's bytes.
//
// A parade plots every sample of a line (2160 of them in the RGB parade), so
// even one memory touch a sample is too many. Instead:
//
// - The picture is walked in bands of 48 pixels (eight parade columns), all
//   kept lines of a band before the next band, so that a band's counters
//   (three planes of 128 levels x 64 bytes, 24 KB) stay in the first-level
//   cache.
// - Every sample slot of the band (a pixel's Y, R, G or B; a pair's U or V)
//   is a lane that remembers the level of its open run and the line the run
//   began on. Sixteen lanes are compared with the new line at once; only a
//   lane whose level moved adds its run (lines since it began) to its
//   counter. Steady pictures cost a compare per sixteen samples, noise one
//   byte addition per sample (one per pixel pair when both pixels of a pair
//   land on one level), and no two lanes of a line share a counter.
// - A counter is a byte: one lane, one level, at most 144 lines. A level's
//   64 counters hold a quadword for each column (its six or three slots), so
//   one sum of absolute differences adds a column up, and each level of a
//   band becomes eight display bytes of one row.
// - A band's line whose bytes repeat the line above changes no run and is
//   passed over after one compare.
//
// A byte that starts at g and takes n plots of weight w, each added only
// while the byte is below 245, ends at g + w * min(n, ceil((245 - g) / w)):
// the order of equal weights does not matter. The YUV parade's luma panel
// weighs the fourth sample of a group 2, so there the order matters once a
// byte reaches the limit: those bytes (few: a steady level crosses it within
// a handful of lines) are replayed from the field in the plain pass's order.
#include <immintrin.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include <board/ColourConversion.h>

#include "ScopeParades.h"
#include "ScopeRows.h"

namespace quellor::videoproc {

namespace {

constexpr unsigned kBandColumns = 8;
constexpr unsigned kBandPixels = 6 * kBandColumns;  // 48
constexpr unsigned kBandBytes = 2 * kBandPixels;    // 96 bytes of UYVY
constexpr unsigned kBands = 120 / kBandColumns;     // 15
constexpr unsigned kLevels = 128;                   // a sample halved
constexpr unsigned kSlots = 64;                     // a level's counters, 8 a column
constexpr unsigned kPlaneBytes = kLevels * kSlots;  // 8192
constexpr unsigned kPlanes = 3;
// Past the planes, a counter for each lane that takes the additions of lanes
// whose run goes on (never read).
constexpr unsigned kSpareCounters = kPlanes * kPlaneBytes;
// Lanes of sixteen: the RGB parade has R, G and B of 48 pixels.
constexpr unsigned kMaxVectors = 9;

using LaneTable = std::array<std::array<std::uint16_t, 16>, kMaxVectors>;

// Where a column's eight counters sit among a level's 64 (see ColumnSums).
constexpr unsigned kColumnAt[kBandColumns] = {0, 1, 4, 5, 2, 3, 6, 7};

// Counter of slot s of column c: the pixel 6c + s of the band, or its pair
// 3c + s.
constexpr std::uint16_t Counter(unsigned plane, unsigned column, unsigned slot) {
  return static_cast<std::uint16_t>(plane * kPlaneBytes + kColumnAt[column] * 8 + slot);
}
constexpr std::uint16_t PixelCounter(unsigned plane, unsigned x) {
  return Counter(plane, x / 6, x % 6);
}

// RGB: vectors 3c + j hold channel c (R, G, B) of pixels 16j .. 16j + 15.
constexpr LaneTable RgbLanes() {
  LaneTable lanes{};
  for (unsigned c = 0; c < 3; ++c) {
    for (unsigned j = 0; j < 3; ++j) {
      for (unsigned i = 0; i < 16; ++i) lanes[3 * c + j][i] = PixelCounter(c, 16 * j + i);
    }
  }
  return lanes;
}

// YUV: vectors 0 .. 2 hold the lumas of pixels 16j .. 16j + 15; vectors
// 3 .. 5 the U and V of pairs 8j .. 8j + 7, alternately, as they lie in the
// line. A pair's slot in its column is its place among the column's three.
constexpr LaneTable YuvLanes() {
  LaneTable lanes{};
  for (unsigned j = 0; j < 3; ++j) {
    for (unsigned i = 0; i < 16; ++i) {
      lanes[j][i] = PixelCounter(0, 16 * j + i);
      const unsigned pair = 8 * j + i / 2;
      lanes[3 + j][i] = Counter(1 + (i & 1), pair / 3, pair % 3);
    }
  }
  return lanes;
}

constexpr LaneTable kRgbLanes = RgbLanes();
constexpr LaneTable kYuvLanes = YuvLanes();

// The runs that ended on one line: each vector's counters and amounts (zero
// for lanes that go on), and which lanes ended (two mask bits a lane). They
// are added one changed line later, so that the scalar loads never wait for
// the vector stores that wrote them.
struct Ended {
  alignas(32) std::uint16_t counter[kMaxVectors][16];
  alignas(32) std::uint16_t amount[kMaxVectors][16];
  std::uint32_t bits[kMaxVectors];
  bool ones[kMaxVectors];  // every lane ended a run of one line, or goes on
  // Each pair of lanes (2k, 2k + 1) ended on one level with one amount: their
  // counters are neighbours (two pixels of a pair, or two spares), and one
  // 16-bit addition serves both. A counter never passes 144, so no carry
  // crosses from one byte into the other.
  bool pairs[kMaxVectors];
};

// The calling thread's counters (all zero between bands) and lane state.
struct Parade {
  alignas(32) std::uint8_t counters[kPlanes * kPlaneBytes + 16] = {};
  alignas(32) std::uint16_t level[kMaxVectors][16] = {};  // level of the lane's run
  alignas(32) std::uint16_t start[kMaxVectors][16] = {};  // line its run began on
  Ended ended[2] = {};
  // Luma bytes of the current band that reach the limit: a bit per level for
  // each column, and the weights that each byte's plots add up to.
  std::uint64_t flagged[kBandColumns][2] = {};
  std::uint16_t flaggedSum[kBandColumns][kLevels] = {};
};
Parade& ThreadParade() {
  thread_local std::unique_ptr<Parade> parade(new Parade());
  return *parade;
}

const std::uint8_t kBlank[kScopeBytes] = {};

// ---- levels --------------------------------------------------------------------

// Levels of a band's line. Equal bytes give equal levels: a line that
// repeats the one above it in the band leaves every run open, and comparing
// the bytes costs less than working out the levels.

// The lumas (Y / 2) and colour differences (U / 2, V / 2) of a band.
struct YuvLevels {
  static constexpr unsigned kVectors = 6;
  static void Compute(const std::uint8_t* band, __m256i* levels) {
    for (unsigned j = 0; j < 3; ++j) {
      const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(band + 32 * j));
      levels[j] = _mm256_srli_epi16(raw, 9);
      levels[3 + j] = _mm256_srli_epi16(_mm256_and_si256(raw, _mm256_set1_epi16(0xFE)), 1);
    }
  }
};

// Sixteen pixels (eight pairs) to their halved red, green and blue, with the
// studio-range BT.601 fixed point of the board's colour conversion: luma
// (Y x 0x0101 x 18997) >> 16 - 1160, then (luma + chroma terms) >> 6
// clamped to a byte. Halving after the clamp is an arithmetic shift by 7
// clamped to 0..127. Only the blue sum can leave 16 bits; it saturates, which
// clamps the same.
inline void RgbOfSixteen(const std::uint8_t* uyvy, __m256i& red, __m256i& green, __m256i& blue) {
  const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(uyvy));
  const __m256i y = _mm256_srli_epi16(raw, 8);
  const __m256i luma = _mm256_sub_epi16(
      _mm256_mulhi_epu16(_mm256_or_si256(_mm256_slli_epi16(y, 8), y), _mm256_set1_epi16(18997)),
      _mm256_set1_epi16(1160));
  // Words U, V of each pair, less 128.
  const __m256i uv =
      _mm256_sub_epi16(_mm256_and_si256(raw, _mm256_set1_epi16(0xFF)), _mm256_set1_epi16(128));
  // Each pair's word copied to both its pixels.
  const __m256i lowWord = _mm256_setr_epi8(0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13, 0, 1,
                                           0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13);
  const __m256i highWord = _mm256_setr_epi8(2, 3, 2, 3, 6, 7, 6, 7, 10, 11, 10, 11, 14, 15, 14, 15,
                                            2, 3, 2, 3, 6, 7, 6, 7, 10, 11, 10, 11, 14, 15, 14, 15);
  const __m256i u = _mm256_shuffle_epi8(uv, lowWord);
  const __m256i v = _mm256_shuffle_epi8(uv, highWord);
  // U x 25 + V x 52 once a pair.
  const __m256i greenTerm =
      _mm256_shuffle_epi8(_mm256_madd_epi16(uv, _mm256_set1_epi32(25 | 52 << 16)), lowWord);
  const __m256i r = _mm256_add_epi16(luma, _mm256_mullo_epi16(v, _mm256_set1_epi16(102)));
  const __m256i g = _mm256_sub_epi16(luma, greenTerm);
  const __m256i b = _mm256_adds_epi16(luma, _mm256_slli_epi16(u, 7));
  const __m256i zero = _mm256_setzero_si256();
  const __m256i top = _mm256_set1_epi16(127);
  red = _mm256_min_epi16(_mm256_max_epi16(_mm256_srai_epi16(r, 7), zero), top);
  green = _mm256_min_epi16(_mm256_max_epi16(_mm256_srai_epi16(g, 7), zero), top);
  blue = _mm256_min_epi16(_mm256_max_epi16(_mm256_srai_epi16(b, 7), zero), top);
}

struct RgbLevels {
  static constexpr unsigned kVectors = 9;
  static void Compute(const std::uint8_t* band, __m256i* levels) {
    for (unsigned j = 0; j < 3; ++j)
      RgbOfSixteen(band + 32 * j, levels[j], levels[3 + j], levels[6 + j]);
  }
};

inline bool SameBand(const std::uint8_t* a, const std::uint8_t* b) {
  __m256i differ = _mm256_setzero_si256();
  for (unsigned j = 0; j < 3; ++j) {
    differ = _mm256_or_si256(
        differ, _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + 32 * j)),
                                 _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + 32 * j))));
  }
  return _mm256_testz_si256(differ, differ) != 0;
}

// ---- counting ------------------------------------------------------------------

inline void EndRuns(Ended& ended, unsigned vector, const LaneTable& lanes, __m256i levels,
                    __m256i starts, __m256i moved, unsigned bits, int line) {
  __m256i counter =
      _mm256_add_epi16(_mm256_slli_epi16(levels, 6),
                       _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes[vector].data())));
  __m256i amount = _mm256_sub_epi16(_mm256_set1_epi16(static_cast<short>(line)), starts);
  __m256i ones = _mm256_set1_epi16(1);
  if (bits != 0xFFFFFFFFu) {
    const __m256i spare =
        _mm256_add_epi16(_mm256_set1_epi16(kSpareCounters),
                         _mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15));
    counter = _mm256_blendv_epi8(spare, counter, moved);
    amount = _mm256_and_si256(amount, moved);
    ones = _mm256_and_si256(ones, moved);
  }
  _mm256_store_si256(reinterpret_cast<__m256i*>(ended.counter[vector]), counter);
  _mm256_store_si256(reinterpret_cast<__m256i*>(ended.amount[vector]), amount);
  ended.bits[vector] = bits;
  ended.ones[vector] = _mm256_movemask_epi8(_mm256_cmpeq_epi16(amount, ones)) == -1;
  // Odd lanes less their even neighbours: counter + 1, amount + 0.
  const __m256i step = _mm256_sub_epi16(counter, _mm256_slli_epi32(counter, 16));
  const __m256i change = _mm256_sub_epi16(amount, _mm256_slli_epi32(amount, 16));
  const __m256i paired = _mm256_and_si256(_mm256_cmpeq_epi16(step, _mm256_set1_epi32(1 << 16)),
                                          _mm256_cmpeq_epi16(change, _mm256_setzero_si256()));
  ended.pairs[vector] = (unsigned(_mm256_movemask_epi8(paired)) | 0x33333333u) == 0xFFFFFFFFu;
}

void AddEnded(Ended& ended, unsigned vectors, std::uint8_t* counters) {
  for (unsigned v = 0; v < vectors; ++v) {
    unsigned bits = ended.bits[v];
    if (bits == 0) continue;
    ended.bits[v] = 0;
    const std::uint16_t* counter = ended.counter[v];
    const std::uint16_t* amount = ended.amount[v];
    if (__builtin_popcount(bits) > 8) {
      // Most lanes ended, as in noise: add to all sixteen (the others' go to
      // their spare counters) without a branch a lane.
      if (ended.pairs[v]) {
        const unsigned both = ended.ones[v] ? 0x0101u : 0u;
#pragma GCC unroll 8
        for (unsigned i = 0; i < 16; i += 2) {
          std::uint16_t word;
          std::memcpy(&word, counters + counter[i], 2);
          word = static_cast<std::uint16_t>(word + (both != 0 ? both : amount[i] * 0x0101u));
          std::memcpy(counters + counter[i], &word, 2);
        }
        continue;
      }
      if (ended.ones[v]) {
#pragma GCC unroll 16
        for (unsigned i = 0; i < 16; ++i) ++counters[counter[i]];
        continue;
      }
#pragma GCC unroll 16
      for (unsigned i = 0; i < 16; ++i) {
        counters[counter[i]] = static_cast<std::uint8_t>(counters[counter[i]] + amount[i]);
      }
      continue;
    }
    for (; bits != 0; bits &= bits - 1, bits &= bits - 1) {
      const unsigned i = static_cast<unsigned>(__builtin_ctz(bits)) >> 1;
      counters[counter[i]] = static_cast<std::uint8_t>(counters[counter[i]] + amount[i]);
    }
  }
}

// Lines the band's bytes are fetched ahead: a band walks down the field
// 1440 bytes a step.
constexpr std::uint32_t kPrefetchLines = 4;

// All kept lines of one band into the counters.
template <class Levels>
void CountBand(Parade& parade, const LaneTable& lanes, const std::uint8_t* band,
               std::uint32_t lines) {
  constexpr unsigned kVectors = Levels::kVectors;
  __m256i levels[kVectors];
  Levels::Compute(band, levels);
  for (unsigned v = 0; v < kVectors; ++v) {
    _mm256_store_si256(reinterpret_cast<__m256i*>(parade.level[v]), levels[v]);
    _mm256_store_si256(reinterpret_cast<__m256i*>(parade.start[v]), _mm256_setzero_si256());
  }
  unsigned current = 0;
  for (std::uint32_t line = 1; line < lines; ++line) {
    const std::uint8_t* here = band + line * kScopeLineBytes;
    // The band's bytes of a line a few lines on (two cache lines at most).
    if (line + kPrefetchLines < lines) {
      const char* ahead = reinterpret_cast<const char*>(here + kPrefetchLines * kScopeLineBytes);
      _mm_prefetch(ahead, _MM_HINT_T0);
      _mm_prefetch(ahead + kBandBytes - 1, _MM_HINT_T0);
    }
    if (SameBand(here, here - kScopeLineBytes)) continue;
    Levels::Compute(here, levels);
    __m256i same[kVectors];
    __m256i all = _mm256_set1_epi32(-1);
    for (unsigned v = 0; v < kVectors; ++v) {
      same[v] = _mm256_cmpeq_epi16(
          levels[v], _mm256_load_si256(reinterpret_cast<const __m256i*>(parade.level[v])));
      all = _mm256_and_si256(all, same[v]);
    }
    if (_mm256_movemask_epi8(all) == -1) continue;
    Ended& ended = parade.ended[current];
    const __m256i now = _mm256_set1_epi16(static_cast<short>(line));
    for (unsigned v = 0; v < kVectors; ++v) {
      const unsigned bits = ~unsigned(_mm256_movemask_epi8(same[v]));
      if (bits == 0) continue;
      auto* levelAt = reinterpret_cast<__m256i*>(parade.level[v]);
      auto* startAt = reinterpret_cast<__m256i*>(parade.start[v]);
      const __m256i starts = _mm256_load_si256(startAt);
      const __m256i moved = _mm256_xor_si256(same[v], _mm256_set1_epi32(-1));
      EndRuns(ended, v, lanes, _mm256_load_si256(levelAt), starts, moved, bits,
              static_cast<int>(line));
      _mm256_store_si256(levelAt, levels[v]);
      _mm256_store_si256(startAt, _mm256_blendv_epi8(starts, now, moved));
    }
    current ^= 1;
    AddEnded(parade.ended[current], kVectors, parade.counters);
  }
  // Every run ends with the last line.
  Ended& ended = parade.ended[current];
  for (unsigned v = 0; v < kVectors; ++v) {
    EndRuns(ended, v, lanes, _mm256_load_si256(reinterpret_cast<const __m256i*>(parade.level[v])),
            _mm256_load_si256(reinterpret_cast<const __m256i*>(parade.start[v])),
            _mm256_set1_epi32(-1), 0xFFFFFFFFu, static_cast<int>(lines));
  }
  AddEnded(parade.ended[current ^ 1], kVectors, parade.counters);
  AddEnded(ended, kVectors, parade.counters);
}

// ---- resolving -----------------------------------------------------------------

// A panel's plane: the row of level 0 and the panel's first column.
struct Panel {
  unsigned top;
  unsigned column;
};

// A level's counters (columns at kColumnAt) added up a column: the sums of
// the eight bytes of each quadword, packed in the order 0, 1, 4, 5, 2, 3, 6, 7
// of the quadwords, which kColumnAt turns into columns 0 .. 7.
inline __m128i ColumnSums(__m256i low, __m256i high) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i sums = _mm256_packus_epi32(_mm256_sad_epu8(low, zero), _mm256_sad_epu8(high, zero));
  const __m256i words = _mm256_packus_epi32(sums, sums);
  return _mm256_castsi256_si128(_mm256_permute4x64_epi64(words, 0x08));
}

// The eight columns' counts of a level (all slots, and the fourth slot
// alone), and the clearing of its counters. Returns false, touching nothing,
// when the level is empty.
inline bool TakeLevel(std::uint8_t* counters, __m128i& total, __m128i* fourth) {
  auto* at = reinterpret_cast<__m256i*>(counters);
  const __m256i low = _mm256_load_si256(at);       // quadwords 0 .. 3
  const __m256i high = _mm256_load_si256(at + 1);  // quadwords 4 .. 7
  const __m256i any = _mm256_or_si256(low, high);
  if (_mm256_testz_si256(any, any)) return false;
  total = ColumnSums(low, high);
  if (fourth != nullptr) {
    const __m256i slot3 = _mm256_set1_epi64x(0xFF000000);
    *fourth = ColumnSums(_mm256_and_si256(low, slot3), _mm256_and_si256(high, slot3));
  }
  _mm256_store_si256(at, _mm256_setzero_si256());
  _mm256_store_si256(at + 1, _mm256_setzero_si256());
  return true;
}

inline __m128i LoadEight(const std::uint8_t* bytes) {
  return _mm_cvtepu8_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes)));
}
inline void StoreEight(std::uint8_t* bytes, __m128i words) {
  _mm_storel_epi64(reinterpret_cast<__m128i*>(bytes), _mm_packus_epi16(words, words));
}

// g + 5 x min(n, ceil((245 - g) / 5)) for sixteen bytes.
inline __m256i AddFives(__m256i g, __m256i n) {
  const __m256i room = _mm256_subs_epu16(_mm256_set1_epi16(kScopeSaturation), g);
  // ceil(room / 5) as (room + 4) x ceil(65536 / 5) >> 16 (room up to 245).
  const __m256i plots =
      _mm256_mulhi_epu16(_mm256_add_epi16(room, _mm256_set1_epi16(4)), _mm256_set1_epi16(13108));
  return _mm256_add_epi16(g, _mm256_mullo_epi16(_mm256_min_epu16(n, plots), _mm256_set1_epi16(5)));
}

// One plane of weight 5 throughout into its panel's eight columns, two levels
// (two rows, the second above the first) a step. The display holds the
// graticule already: its bytes are read where they are written, and fetched a
// few rows ahead (rows are 360 bytes apart, so each is a cache line of its
// own, and the counting has pushed them out since the last band).
void ResolvePlane(std::uint8_t* counters, Panel panel, unsigned band, std::uint8_t* display) {
  const __m256i zero = _mm256_setzero_si256();
  std::uint8_t* bottom =
      display + panel.top * std::size_t(kScopeWidth) + panel.column + band * kBandColumns;
  for (unsigned level = 0; level < kLevels; level += 2) {
    _mm_prefetch(reinterpret_cast<const char*>(bottom - (level + 8) * std::size_t(kScopeWidth)),
                 _MM_HINT_T0);
    auto* at = reinterpret_cast<__m256i*>(counters + level * kSlots);
    const __m256i a0 = _mm256_load_si256(at), a1 = _mm256_load_si256(at + 1);
    const __m256i b0 = _mm256_load_si256(at + 2), b1 = _mm256_load_si256(at + 3);
    const __m256i any = _mm256_or_si256(_mm256_or_si256(a0, a1), _mm256_or_si256(b0, b1));
    if (_mm256_testz_si256(any, any)) continue;
    // As ColumnSums, for both levels: the first in the low half.
    const __m256i first = _mm256_packus_epi32(_mm256_sad_epu8(a0, zero), _mm256_sad_epu8(a1, zero));
    const __m256i second =
        _mm256_packus_epi32(_mm256_sad_epu8(b0, zero), _mm256_sad_epu8(b1, zero));
    const __m256i totals = _mm256_permute4x64_epi64(_mm256_packus_epi32(first, second), 0xD8);
    std::uint8_t* row = bottom - level * std::size_t(kScopeWidth);
    const __m128i g =
        _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row)),
                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row - kScopeWidth)));
    const __m256i sums = AddFives(_mm256_cvtepu8_epi16(g), totals);
    const __m256i bytes = _mm256_packus_epi16(sums, sums);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(row), _mm256_castsi256_si128(bytes));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(row - kScopeWidth),
                     _mm256_extracti128_si256(bytes, 1));
    for (int i = 0; i < 4; ++i) _mm256_store_si256(at + i, zero);
  }
}

// The YUV parade's luma plane: weights 5 but 2 for the fourth slot. Bytes
// that stay at or below 246 take every plot (the one before the last is
// below the limit); bytes that start at or above 245 take none; the others
// are flagged for replaying.
void ResolveLumaPlane(Parade& parade, unsigned band, std::uint8_t* display) {
  std::memset(parade.flagged, 0, sizeof parade.flagged);
  for (unsigned level = 0; level < kLevels; ++level) {
    const std::size_t at = (192u - level) * std::size_t(kScopeWidth) + band * kBandColumns;
    _mm_prefetch(reinterpret_cast<const char*>(display + at - 4 * kScopeWidth), _MM_HINT_T0);
    __m128i total, fourth;
    if (!TakeLevel(parade.counters + level * kSlots, total, &fourth)) continue;
    // The display holds the graticule here (as in ResolvePlane).
    const __m128i g = LoadEight(display + at);
    // 5 x (total - fourth) + 2 x fourth
    const __m128i sum = _mm_sub_epi16(_mm_mullo_epi16(total, _mm_set1_epi16(5)),
                                      _mm_mullo_epi16(fourth, _mm_set1_epi16(3)));
    const __m128i ended = _mm_cmpgt_epi16(g, _mm_set1_epi16(kScopeSaturation - 1));
    const __m128i fits =
        _mm_cmpgt_epi16(_mm_set1_epi16(kScopeSaturation + 2), _mm_add_epi16(g, sum));
    const __m128i adds = _mm_andnot_si128(ended, fits);
    StoreEight(display + at, _mm_add_epi16(g, _mm_and_si128(adds, sum)));
    const __m128i replay = _mm_andnot_si128(_mm_or_si128(ended, fits), _mm_set1_epi16(-1));
    unsigned bits = static_cast<unsigned>(_mm_movemask_epi8(replay));
    if (bits == 0) continue;
    alignas(16) std::uint16_t sums[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(sums), sum);
    for (; bits != 0; bits &= bits - 1, bits &= bits - 1) {
      const unsigned column = static_cast<unsigned>(__builtin_ctz(bits)) >> 1;
      parade.flagged[column][level >> 6] |= std::uint64_t{1} << (level & 63);
      parade.flaggedSum[column][level] = sums[column];
    }
  }
}

// A byte below the limit after the six lumas of a group, on one level, in
// order.
constexpr std::array<std::uint8_t, 256> SixLumas() {
  std::array<std::uint8_t, 256> after{};
  for (unsigned v = 0; v < 256; ++v) {
    unsigned byte = v;
    for (unsigned weight : {5u, 5u, 5u, 2u, 5u, 5u}) byte += byte < kScopeSaturation ? weight : 0u;
    after[v] = static_cast<std::uint8_t>(byte);
  }
  return after;
}
constexpr std::array<std::uint8_t, 256> kSixLumas = SixLumas();
constexpr unsigned kSixLumasWeight = 27;

// The flagged luma bytes of a column, plot by plot in the plain pass's order.
// A byte of graticule g whose plots add up to S ends at g plus the first sum
// of its plots, in order, that reaches 245 - g. A byte that gets there early
// is walked forwards from the first line until it does; one that gets there
// late is walked backwards from the last line, taking plots off S until the
// sum before a plot is short of 245 - g: that plot was the last one added.
// Each walk ends when its bytes are found, so a steady trace costs a few
// lines, and no walk passes over more than the kept lines.
void ReplayLumaColumn(const Parade& parade, unsigned bandColumn, unsigned column,
                      const std::uint8_t* field, std::uint32_t lines, const std::uint8_t* graticule,
                      std::uint8_t* display) {
  // Levels still walked forwards and backwards, a bit each.
  std::uint64_t forwards[2] = {}, backwards[2] = {};
  std::uint16_t value[kLevels];  // forwards: the byte; backwards: g + the sum so far
  const std::uint64_t* flagged = parade.flagged[bandColumn];
  for (unsigned half = 0; half < 2; ++half) {
    for (std::uint64_t bits = flagged[half]; bits != 0; bits &= bits - 1) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctzll(bits));
      const unsigned level = half * 64 + bit;
      const unsigned g = graticule[(192u - level) * kScopeWidth + column];
      const unsigned sum = parade.flaggedSum[bandColumn][level];
      const unsigned room = kScopeSaturation - g;
      const bool early = room <= sum - room;
      (early ? forwards : backwards)[half] |= std::uint64_t{1} << bit;
      value[level] = static_cast<std::uint16_t>(early ? g : g + sum);
    }
  }
  const auto has = [](const std::uint64_t* set, unsigned level) {
    return (set[level >> 6] >> (level & 63) & 1u) != 0;
  };
  const auto drop = [](std::uint64_t* set, unsigned level) {
    set[level >> 6] &= ~(std::uint64_t{1} << (level & 63));
  };
  static constexpr std::uint8_t kWeight[6] = {5, 5, 5, 2, 5, 5};
  // A line whose six lumas share a level (a steady trace) is taken at once.
  const auto flat = [](const std::uint8_t* y) {
    const unsigned y0 = y[0];
    return ((y0 ^ y[2]) | (y0 ^ y[4]) | (y0 ^ y[6]) | (y0 ^ y[8]) | (y0 ^ y[10])) < 2u;
  };
  const std::uint8_t* first = field + column * 12 + 1;
  const std::uint8_t* group = first;
  for (std::uint32_t line = 0; line < lines && (forwards[0] | forwards[1]) != 0;
       ++line, group += kScopeLineBytes) {
    if (flat(group)) {
      const unsigned level = group[0] >> 1;
      if (!has(forwards, level)) continue;
      value[level] = kSixLumas[value[level]];
      if (value[level] >= kScopeSaturation) drop(forwards, level);
      continue;
    }
    for (unsigned slot = 0; slot < 6; ++slot) {
      const unsigned level = group[slot * 2] >> 1;
      if (!has(forwards, level)) continue;
      value[level] = static_cast<std::uint16_t>(value[level] + kWeight[slot]);
      if (value[level] >= kScopeSaturation) drop(forwards, level);
    }
  }
  group = first + (lines - 1) * std::size_t(kScopeLineBytes);
  for (std::uint32_t line = lines; line != 0 && (backwards[0] | backwards[1]) != 0;
       --line, group -= kScopeLineBytes) {
    if (flat(group)) {
      const unsigned level = group[0] >> 1;
      if (!has(backwards, level)) continue;
      // The whole line was added when the sum before it stays at the limit.
      if (value[level] >= kScopeSaturation + kSixLumasWeight) {
        value[level] = static_cast<std::uint16_t>(value[level] - kSixLumasWeight);
        continue;
      }
    }
    for (unsigned slot = 6; slot-- != 0;) {
      const unsigned level = group[slot * 2] >> 1;
      if (!has(backwards, level)) continue;
      const unsigned before = value[level] - kWeight[slot];
      if (before < kScopeSaturation) {
        drop(backwards, level);
      } else {
        value[level] = static_cast<std::uint16_t>(before);
      }
    }
  }
  for (unsigned half = 0; half < 2; ++half) {
    for (std::uint64_t bits = flagged[half]; bits != 0; bits &= bits - 1) {
      const unsigned level = half * 64 + static_cast<unsigned>(__builtin_ctzll(bits));
      display[(192u - level) * kScopeWidth + column] = static_cast<std::uint8_t>(value[level]);
    }
  }
}

template <class Levels>
void DrawParade(const LaneTable& lanes, const Panel (&panels)[kPlanes], bool lumaPlane,
                const std::uint8_t* graticule, const std::uint8_t* field, std::uint32_t lines,
                std::uint8_t* display) {
  if (graticule == nullptr) graticule = kBlank;
  std::memcpy(display, graticule, kScopeBytes);
  lines = std::min(lines, kScopeKeptLines);
  if (lines == 0) return;
  Parade& parade = ThreadParade();
  for (unsigned band = 0; band < kBands; ++band) {
    CountBand<Levels>(parade, lanes, field + band * kBandBytes, lines);
    for (unsigned plane = 0; plane < kPlanes; ++plane) {
      if (plane == 0 && lumaPlane) {
        ResolveLumaPlane(parade, band, display);
        for (unsigned column = 0; column < kBandColumns; ++column) {
          if ((parade.flagged[column][0] | parade.flagged[column][1]) == 0) continue;
          ReplayLumaColumn(parade, column, band * kBandColumns + column, field, lines, graticule,
                           display);
        }
        continue;
      }
      ResolvePlane(parade.counters + plane * kPlaneBytes, panels[plane], band, display);
    }
  }
}

}  // namespace

void DrawYuvParade_AVX2(const std::uint8_t* graticule, const std::uint8_t* field,
                        std::uint32_t lines, std::uint8_t* display) {
  static constexpr Panel kPanels[kPlanes] = {{192, 0}, {193, 120}, {192, 240}};
  DrawParade<YuvLevels>(kYuvLanes, kPanels, true, graticule, field, lines, display);
}

void DrawRgbParade_AVX2(const std::uint8_t* graticule, const std::uint8_t* field,
                        std::uint32_t lines, std::uint8_t* display) {
  static constexpr Panel kPanels[kPlanes] = {{192, 0}, {193, 120}, {192, 240}};
  DrawParade<RgbLevels>(kRgbLanes, kPanels, false, graticule, field, lines, display);
}

void UYVYToRgbLevelsRow_AVX2(const std::uint8_t* uyvy, std::uint8_t* levels, int pixels) {
  int x = 0;
  for (; x + 16 <= pixels; x += 16) {
    __m256i channel[3];
    RgbOfSixteen(uyvy + x * 2, channel[0], channel[1], channel[2]);
    for (int c = 0; c < 3; ++c) {
      const __m256i bytes = _mm256_packus_epi16(channel[c], channel[c]);
      const __m256i ordered = _mm256_permute4x64_epi64(bytes, 0x08);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(levels + c * pixels + x),
                       _mm256_castsi256_si128(ordered));
    }
  }
  if (x == pixels) return;
  // The last pixels (fewer than sixteen, perhaps an odd one) the plain way.
  std::uint8_t tail[3 * 16];
  const int rest = pixels - x;
  UYVYToRgbLevelsRow_C(uyvy + x * 2, tail, rest);
  for (int c = 0; c < 3; ++c) std::memcpy(levels + c * pixels + x, tail + c * rest, rest);
}

}  // namespace quellor::videoproc
