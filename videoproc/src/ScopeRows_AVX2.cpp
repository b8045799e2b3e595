// The scopes' fast pass, built with -mavx2 and called only after the
// processor was checked. It gives the display the plain pass gives, byte for
// byte, by counting instead of accumulating:
//
// A byte that starts at g and takes n plots of one weight w, each added only
// while the byte is below the limit L, ends at g + w * min(n, k) with
// k = ceil((L - g) / w) for g below L and 0 otherwise: the order of the
// plots does not matter when they all weigh the same. So the lines only
// count hits into 16-bit bins, and one vector sweep turns graticule and
// counts into the display and clears the bins for the next field.
//
// A store to memory a sample is what the plain pass costs, so the counting
// goes eight columns a step and keeps runs: each lane remembers the bin its
// samples hit on the last lines and how many did, and the bin is touched only
// when the lane moves on (see Runs). Steady levels, bars and graphics cost a
// compare a step; noise costs about what the plain pass does.
//
// The parades plot two or three times as many samples into narrower columns;
// they have a pass of their own (ScopeParades_AVX2.cpp).
#include <immintrin.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "ScopeParades.h"
#include "ScopeRows.h"

namespace quellor::videoproc {

namespace {

constexpr unsigned kWidth = kScopeWidth;

// A run of equal offsets in one lane of a stream: kept lines of video repeat
// their levels far more often than not, so a stream (one sample slot, eight
// neighbouring columns) keeps, per lane, the bin its last samples hit and how
// many did, and touches the bin only when the lane moves on. Eight lanes that
// all stay cost one compare and one add, not eight increments in memory.
struct Runs {
  alignas(32) std::uint32_t bin[8];
  alignas(32) std::uint32_t count[8];
};
constexpr unsigned kMaxStreams = 2 * (kWidth / 8);  // two samples a pair

// The calling thread's bins (all zero between passes) and runs.
struct Counting {
  std::uint16_t bins[kScopeBytes] = {};
  Runs runs[kMaxStreams] = {};
};
Counting& ThreadCounting() {
  thread_local std::unique_ptr<Counting> counting(new Counting());
  return *counting;
}

inline void Feed(Runs& runs, __m256i bins8, std::uint16_t* bins) {
  auto* binAt = reinterpret_cast<__m256i*>(runs.bin);
  auto* countAt = reinterpret_cast<__m256i*>(runs.count);
  const __m256i same = _mm256_cmpeq_epi32(bins8, _mm256_load_si256(binAt));
  const unsigned moved = ~unsigned(_mm256_movemask_ps(_mm256_castsi256_ps(same))) & 0xFFu;
  if (moved == 0) {
    _mm256_store_si256(countAt, _mm256_sub_epi32(_mm256_load_si256(countAt), same));
    return;
  }
  const __m256i count = _mm256_load_si256(countAt);
  const unsigned held = ~unsigned(_mm256_movemask_ps(_mm256_castsi256_ps(
                            _mm256_cmpeq_epi32(count, _mm256_setzero_si256())))) &
                        0xFFu;
  for (unsigned lanes = moved & held; lanes != 0; lanes &= lanes - 1) {
    const unsigned lane = static_cast<unsigned>(__builtin_ctz(lanes));
    bins[runs.bin[lane]] = static_cast<std::uint16_t>(bins[runs.bin[lane]] + runs.count[lane]);
  }
  _mm256_store_si256(binAt, bins8);
  if (moved == 0xFFu) {
    // Every lane moved, as in noise: count this line at once and hold no
    // runs, so that the next noisy line has nothing to flush.
    for (unsigned lane = 0; lane < 8; ++lane) ++bins[runs.bin[lane]];
    _mm256_store_si256(countAt, _mm256_setzero_si256());
    return;
  }
  // Lanes that stayed count on, lanes that moved start at one.
  _mm256_store_si256(countAt,
                     _mm256_add_epi32(_mm256_and_si256(count, same), _mm256_set1_epi32(1)));
}

void StartRuns(Runs* runs, unsigned streams) {
  std::memset(static_cast<void*>(runs), 0, streams * sizeof(Runs));
}

void EndRuns(Runs* runs, unsigned streams, std::uint16_t* bins) {
  for (unsigned s = 0; s < streams; ++s) {
    for (unsigned lane = 0; lane < 8; ++lane) {
      bins[runs[s].bin[lane]] =
          static_cast<std::uint16_t>(bins[runs[s].bin[lane]] + runs[s].count[lane]);
    }
  }
}

// Constants made where they are used: nothing here may run before the
// processor was checked.
inline __m256i Lanes() {
  return _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
}
inline __m256i OddLanes() {
  return _mm256_setr_epi32(0, -1, 0, -1, 0, -1, 0, -1);
}

inline __m256i Byte(__m256i words, int shift) {
  return _mm256_and_si256(_mm256_srli_epi32(words, shift), _mm256_set1_epi32(0xFF));
}
// (top - v / 2) * 360 + column
inline __m256i RowOffset(__m256i v, int top, __m256i column) {
  const __m256i row = _mm256_sub_epi32(_mm256_set1_epi32(top), _mm256_srli_epi32(v, 1));
  return _mm256_add_epi32(_mm256_mullo_epi32(row, _mm256_set1_epi32(kWidth)), column);
}

// Streams of the whole-line scopes: slot s of the eight pairs 8k .. 8k + 7 is
// stream s * 45 + k.
constexpr unsigned kOctets = kWidth / 8;  // 45

void CountLuma(const std::uint8_t* line, Runs* runs, std::uint16_t* bins) {
  for (unsigned k = 0; k < kOctets; ++k) {
    const __m256i pairs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(line + k * 32));
    const __m256i column = _mm256_add_epi32(Lanes(), _mm256_set1_epi32(int(k * 8)));
    Feed(runs[k], RowOffset(Byte(pairs, 8), 192, column), bins);
    Feed(runs[kOctets + k], RowOffset(Byte(pairs, 24), 192, column), bins);
  }
}

// Odd pairs take the complements (255 - c is c ^ 255).
void CountChroma(const std::uint8_t* line, Runs* runs, std::uint16_t* bins) {
  const __m256i flip = _mm256_and_si256(OddLanes(), _mm256_set1_epi32(0xFF));
  for (unsigned k = 0; k < kOctets; ++k) {
    const __m256i pairs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(line + k * 32));
    const __m256i column = _mm256_add_epi32(Lanes(), _mm256_set1_epi32(int(k * 8)));
    const __m256i u = _mm256_xor_si256(Byte(pairs, 0), flip);
    const __m256i v = _mm256_xor_si256(Byte(pairs, 16), flip);
    Feed(runs[k], RowOffset(u, 255, column), bins);
    Feed(runs[kOctets + k], RowOffset(v, 255, column), bins);
  }
}

// Even pairs Y0 + V and Y1 + U; odd pairs Y0 - V and Y1 - U, offset by 256.
void CountComposite(const std::uint8_t* line, Runs* runs, std::uint16_t* bins) {
  // On odd lanes c becomes 256 - c, so y + c serves both.
  const __m256i odd256 = _mm256_and_si256(OddLanes(), _mm256_set1_epi32(256));
  for (unsigned k = 0; k < kOctets; ++k) {
    const __m256i pairs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(line + k * 32));
    const __m256i column = _mm256_add_epi32(Lanes(), _mm256_set1_epi32(int(k * 8)));
    const __m256i v =
        _mm256_sign_epi32(Byte(pairs, 16), _mm256_or_si256(OddLanes(), _mm256_set1_epi32(1)));
    const __m256i u =
        _mm256_sign_epi32(Byte(pairs, 0), _mm256_or_si256(OddLanes(), _mm256_set1_epi32(1)));
    const __m256i s0 = _mm256_add_epi32(_mm256_add_epi32(Byte(pairs, 8), v), odd256);
    const __m256i s1 = _mm256_add_epi32(_mm256_add_epi32(Byte(pairs, 24), u), odd256);
    Feed(runs[k], RowOffset(s0, 255, column), bins);
    Feed(runs[kOctets + k], RowOffset(s1, 255, column), bins);
  }
}

void CountVector(const std::uint8_t* line, const std::uint32_t* map, Runs* runs,
                 std::uint16_t* bins) {
  for (unsigned k = 0; k < kOctets; ++k) {
    const __m256i pairs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(line + k * 32));
    const __m256i index = _mm256_or_si256(_mm256_slli_epi32(Byte(pairs, 0), 8), Byte(pairs, 16));
    const __m256i offsets = _mm256_i32gather_epi32(reinterpret_cast<const int*>(map), index, 4);
    Feed(runs[k], offsets, bins);
  }
}

// display[i] := base[i] + weight * min(bins[i], k(base[i])) for the whole
// display, base being the graticule (null: all zero); the bins are cleared.
void Resolve(const std::uint8_t* base, std::uint16_t* bins, std::uint8_t* display, unsigned weight,
             unsigned limit) {
  static_assert(kScopeBytes % 16 == 0);
  // ceil(n / w) for n up to 254 as (n + w - 1) * ceil(65536 / w) >> 16.
  const __m256i inverse = _mm256_set1_epi16(static_cast<short>((65536u + weight - 1) / weight));
  const __m256i roundUp = _mm256_set1_epi16(static_cast<short>(weight - 1));
  const __m256i lim = _mm256_set1_epi16(static_cast<short>(limit));
  const __m256i w = _mm256_set1_epi16(static_cast<short>(weight));
  const __m256i zero = _mm256_setzero_si256();
  for (std::size_t i = 0; i < kScopeBytes; i += 16) {
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
                    std::uint32_t lines, const std::uint32_t* map, std::uint8_t* /*scratch*/,
                    std::uint8_t* display) {
  lines = std::min(lines, kScopeKeptLines);
  if (mode < 0 || mode >= kScopeModes || (mode == kScopeVector && map == nullptr)) {
    CopyGraticule(graticule, display);
    return;
  }
  if (mode == kScopeYuvParade || mode == kScopeRgbParade) {
    (mode == kScopeYuvParade ? DrawYuvParade_AVX2 : DrawRgbParade_AVX2)(graticule, field, lines,
                                                                        display);
    return;
  }
  Counting& counting = ThreadCounting();
  std::uint16_t* bins = counting.bins;
  Runs* runs = counting.runs;
  static constexpr unsigned kStreams[kScopeModes] = {2 * kOctets, 2 * kOctets, 2 * kOctets,
                                                     0,           0,           kOctets};
  StartRuns(runs, kStreams[mode]);
  for (std::uint32_t l = 0; l < lines; ++l, field += kScopeLineBytes) {
    switch (mode) {
      case kScopeComposite:
        CountComposite(field, runs, bins);
        break;
      case kScopeLuma:
        CountLuma(field, runs, bins);
        break;
      case kScopeChroma:
        CountChroma(field, runs, bins);
        break;
      default:
        CountVector(field, map, runs, bins);
        break;
    }
  }
  EndRuns(runs, kStreams[mode], bins);
  static constexpr unsigned kWeight[kScopeModes] = {7, 10, 5, 5, 5, 5};
  const unsigned limit = mode == kScopeVector ? kVectorSaturation : kScopeSaturation;
  Resolve(graticule, bins, display, kWeight[mode], limit);
}

}  // namespace quellor::videoproc
