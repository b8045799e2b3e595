// The AVX2 rows of the keyer, built with -mavx2 and called only after the
// processor was checked. The hard luma keys take eight pixel pairs (32 bytes)
// a step. The soft keys take blocks of 32 pairs: their key amounts are looked
// up in the key curve 32 at a time (KeyCurves_AVX2.h), then each pair is
// mixed with its background in 16-bit lanes (see ByteMix and WordMix). The
// remaining pairs go through the plain row, so both give the same bytes.
#include <immintrin.h>

#include "KeyCurves_AVX2.h"
#include "KeyRows.h"

namespace quellor::videoproc {
namespace {

using namespace keycurve;

inline __m256i LoadBackground(const std::uint8_t* background, std::size_t step, __m256i colour) {
  return step == 0 ? colour : _mm256_loadu_si256(reinterpret_cast<const __m256i*>(background));
}

inline __m256i ColourVector(const ChromaKeySnapshot& key) {
  std::uint32_t pair;
  __builtin_memcpy(&pair, key.backgroundPair, 4);
  return _mm256_set1_epi32(static_cast<int>(pair));
}

template <typename Step>
inline std::size_t Run(std::uint8_t* picture, const std::uint8_t* background, std::size_t step,
                       std::size_t pairs, Step body) {
  std::size_t done = 0;
  for (; done + 8 <= pairs; done += 8) {
    auto* at = reinterpret_cast<__m256i*>(picture + done * 4);
    const __m256i pixels = _mm256_loadu_si256(at);
    _mm256_storeu_si256(at, body(pixels, background + done * step));
  }
  return done;
}

// Byte shuffles between four vectors of eight pairs and one vector of 32
// bytes, one byte per pair: pair p of a 128-bit lane of vector v sits at
// byte 4v + p of the same lane.
#define Z -128
// Y0 (byte 1 of each pair) of vector v to its place.
alignas(32) constexpr std::int8_t kGatherY0[4][16] = {
    {1, 5, 9, 13, Z, Z, Z, Z, Z, Z, Z, Z, Z, Z, Z, Z},
    {Z, Z, Z, Z, 1, 5, 9, 13, Z, Z, Z, Z, Z, Z, Z, Z},
    {Z, Z, Z, Z, Z, Z, Z, Z, 1, 5, 9, 13, Z, Z, Z, Z},
    {Z, Z, Z, Z, Z, Z, Z, Z, Z, Z, Z, Z, 1, 5, 9, 13}};
// A pair's key byte into both 16-bit lanes of its pair (bytes 0 and 2).
alignas(32) constexpr std::int8_t kSpreadBoth[4][16] = {
    {0, Z, 0, Z, 1, Z, 1, Z, 2, Z, 2, Z, 3, Z, 3, Z},
    {4, Z, 4, Z, 5, Z, 5, Z, 6, Z, 6, Z, 7, Z, 7, Z},
    {8, Z, 8, Z, 9, Z, 9, Z, 10, Z, 10, Z, 11, Z, 11, Z},
    {12, Z, 12, Z, 13, Z, 13, Z, 14, Z, 14, Z, 15, Z, 15, Z}};
// From the odd bytes' weights (255 - k, k) of Y0 and Y1, Y0's weights turned
// round, (k0, 255 - k0), for U and V.
alignas(32) constexpr std::int8_t kSwapY0[16] = {1, 0, 1, 0, 5,  4,  5,  4,
                                                 9, 8, 9, 8, 13, 12, 13, 12};
#undef Z

// A byte shuffle's indices repeated in both 128-bit lanes and kept whole, so
// that a shuffle reads them straight from memory instead of building them.
struct alignas(32) LaneMask {
  std::int8_t bytes[32];
};

constexpr LaneMask Twice(const std::int8_t (&bytes)[16]) {
  LaneMask mask{};
  for (int i = 0; i < 32; ++i) mask.bytes[i] = bytes[i % 16];
  return mask;
}

constexpr LaneMask kGatherY0Lanes[4] = {Twice(kGatherY0[0]), Twice(kGatherY0[1]),
                                        Twice(kGatherY0[2]), Twice(kGatherY0[3])};
constexpr LaneMask kSwapY0Lanes = Twice(kSwapY0);
constexpr LaneMask kSpreadBothLanes[4] = {Twice(kSpreadBoth[0]), Twice(kSpreadBoth[1]),
                                          Twice(kSpreadBoth[2]), Twice(kSpreadBoth[3])};

inline __m256i Mask(const LaneMask& mask) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(mask.bytes));
}

// Two ways to mix each byte with its background, (b x k + g x (255 - k)) >> 8,
// with the same results. The byte multiply-add takes fewer operations where
// a pair's bytes have keys of their own (the soft light key); the 16-bit
// multiply wants only the key spread to its lanes, (k, 0), and takes fewer
// where the whole pair has one key (the chroma and soft dark keys).

// The background as signed bytes (g - 128) placed for the mix: the even
// bytes' values in the high byte of each 16-bit lane, the odd bytes' in the
// low byte.
struct ByteBackground {
  __m256i evenHigh, oddLow;

  explicit ByteBackground(__m256i g) {
    const __m256i sign = _mm256_xor_si256(g, _mm256_set1_epi8(-128));
    evenHigh = _mm256_slli_epi16(sign, 8);
    oddLow = _mm256_srli_epi16(sign, 8);
  }
};

// (b x k + g x (255 - k)) >> 8 per byte through one multiply-add of bytes
// per half: with b' = b - 128 and g' = g - 128 (signed bytes),
// b x k + g x k' = b' x k + g' x k' + 128 x 255, and b' x k + g' x k' lies in
// -32640..32385, so the multiply-add's signed 16-bit sum never saturates and
// the lanes' wrap-around addition of 32640 gives the exact sum (0..65025).
// wEven holds (k, 255 - k) for each even byte's lane (U, V), wOdd
// (255 - k, k) for each odd byte's lane (Y0, Y1): the pixel byte sits low in
// the even lanes and high in the odd ones.
struct ByteMix {
  using Background = ByteBackground;
  static __m256i Mix(__m256i pixels, const ByteBackground& g, __m256i wEven, __m256i wOdd) {
    const __m256i highBytes = _mm256_set1_epi16(static_cast<short>(0xFF00));
    const __m256i bias = _mm256_set1_epi16(32640);
    const __m256i sign = _mm256_xor_si256(pixels, _mm256_set1_epi8(-128));
    const __m256i even = _mm256_blendv_epi8(sign, g.evenHigh, highBytes);
    const __m256i odd = _mm256_blendv_epi8(g.oddLow, sign, highBytes);
    const __m256i sumEven = _mm256_add_epi16(_mm256_maddubs_epi16(wEven, even), bias);
    const __m256i sumOdd = _mm256_add_epi16(_mm256_maddubs_epi16(wOdd, odd), bias);
    // The odd bytes' results are the high bytes of sumOdd as they stand.
    return _mm256_blendv_epi8(_mm256_srli_epi16(sumEven, 8), sumOdd, highBytes);
  }
};

// The background split into its even bytes (U, V) and odd bytes (Y0, Y1),
// each a 16-bit lane, with 255 x g beside each.
struct WordBackground {
  __m256i even, odd, even255, odd255;

  explicit WordBackground(__m256i g) {
    even = _mm256_and_si256(g, _mm256_set1_epi16(0xFF));
    odd = _mm256_srli_epi16(g, 8);
    even255 = _mm256_sub_epi16(_mm256_slli_epi16(even, 8), even);
    odd255 = _mm256_sub_epi16(_mm256_slli_epi16(odd, 8), odd);
  }
};

// As 255 x g + (b - g) x k in 16-bit lanes: the sum lies in 0..65025, so
// the lanes' wrap-around arithmetic gives it exactly. kEven (k, 0) weighs U
// and V, kOdd Y0 and Y1.
struct WordMix {
  using Background = WordBackground;
  static __m256i Mix(__m256i pixels, const WordBackground& g, __m256i kEven, __m256i kOdd) {
    const __m256i even = _mm256_and_si256(pixels, _mm256_set1_epi16(0xFF));
    const __m256i odd = _mm256_srli_epi16(pixels, 8);
    const __m256i mixedEven =
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_sub_epi16(even, g.even), kEven), g.even255);
    const __m256i mixedOdd =
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_sub_epi16(odd, g.odd), kOdd), g.odd255);
    // The odd bytes' results are the high bytes of mixedOdd as they stand.
    return _mm256_blendv_epi8(_mm256_srli_epi16(mixedEven, 8), mixedOdd,
                              _mm256_set1_epi16(static_cast<short>(0xFF00)));
  }
};

inline void LoadBlock(const std::uint8_t* at, __m256i (&pixels)[4]) {
  _Pragma("GCC unroll 4") for (int v = 0; v < 4; ++v) {
    pixels[v] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 32 * v));
  }
}

// Stores b - 1 for every byte b of `blocks` blocks, 0 staying 0: the mix of
// a pair whose key is 255 ((b x 255 + g x 0) >> 8).
inline void KeepBlocks(std::uint8_t* at, std::size_t blocks) {
  const __m256i one = _mm256_set1_epi8(1);
  for (std::size_t i = 0; i < blocks * 4; ++i) {
    auto* const vector = reinterpret_cast<__m256i*>(at + 32 * i);
    _mm256_storeu_si256(vector, _mm256_subs_epu8(_mm256_loadu_si256(vector), one));
  }
}

// No test for fully kept blocks (the chroma key). kFound: the vectors of
// keys a block has (found[0] alone, or found[0] and found[1]).
struct NoKeptTest {
  static constexpr bool kUsed = false;
  static constexpr int kFound = 1;
  __m256i operator()(const __m256i (&)[4]) const { return _mm256_setzero_si256(); }
};

// Blocks of 32 pairs. find(pixels[4], found[2]) gives a block's keys (one
// or two vectors of key bytes, see the shuffles above); weigh(found,
// wEven[4], wOdd[4]) turns them into the mix's weights. The keys of a stretch
// of blocks are found first and the stretch is mixed after: the lookups
// are long chains of dependent operations, and a loop doing both in turn
// leaves the processor waiting on them; kept apart, each loop's steps are
// independent of each other.
//
// Wide areas of most pictures are fully kept (every key 255), which the mix
// turns into b - 1. When a stretch ends in keys that are all 255 (its last
// vector of keys: the last block's for the dark key, its last 16 pairs'
// for the light key), the next stretch is first tested on its brightness
// alone, a guess that costs one test a stretch to make: kept(pixels)
// gives a vector that is all zeros when it shows every key of the block to
// be 255, and a stretch that passes is neither looked up nor mixed. The
// decisions are made a stretch at a time: a test and a branch a block cost
// a twentieth on pictures without such areas (noise), one a stretch is
// lost in the measurement's spread.
template <typename Mixer, bool Flat, typename Find, typename Weigh, typename Kept>
__attribute__((always_inline)) inline std::size_t RunSoftOver(
    std::uint8_t* picture, const std::uint8_t* background, std::size_t step,
    const ChromaKeySnapshot& key, std::size_t pairs, Find find, Weigh weigh, Kept kept) {
  constexpr std::size_t kStretch = 16;  // blocks: 2 KiB of pixels, 1 KiB of keys
  const typename Mixer::Background flat(ColourVector(key));
  const __m256i ones = _mm256_set1_epi8(-1);
  __m256i found[kStretch][2];
  bool lastKept = false;  // the previous stretch ended fully kept
  const std::size_t blocks = pairs / 32;
  for (std::size_t first = 0; first < blocks; first += kStretch) {
    const std::size_t count = blocks - first < kStretch ? blocks - first : kStretch;
    std::uint8_t* const stretch = picture + first * 128;
    if (Kept::kUsed && lastKept) {
      __m256i outside = _mm256_setzero_si256();
      for (std::size_t b = 0; b < count; ++b) {
        __m256i pixels[4];
        LoadBlock(stretch + b * 128, pixels);
        outside = _mm256_or_si256(outside, kept(pixels));
      }
      if (_mm256_testz_si256(outside, outside) != 0) {
        KeepBlocks(stretch, count);
        continue;
      }
    }
    for (std::size_t b = 0; b < count; ++b) {
      __m256i pixels[4];
      LoadBlock(stretch + b * 128, pixels);
      find(pixels, found[b]);
    }
    if constexpr (Kept::kUsed) {
      lastKept = _mm256_testc_si256(found[count - 1][Kept::kFound - 1], ones) != 0;
    }
    for (std::size_t b = 0; b < count; ++b) {
      __m256i pixels[4], wEven[4], wOdd[4];
      LoadBlock(stretch + b * 128, pixels);
      weigh(found[b], wEven, wOdd);
      const std::uint8_t* const under = background + (first + b) * 32 * step;
      _Pragma("GCC unroll 4") for (int v = 0; v < 4; ++v) {
        const __m256i mixed =
            Flat ? Mixer::Mix(pixels[v], flat, wEven[v], wOdd[v])
                 : Mixer::Mix(pixels[v],
                              typename Mixer::Background(_mm256_loadu_si256(
                                  reinterpret_cast<const __m256i*>(under + 32 * v))),
                              wEven[v], wOdd[v]);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(stretch + b * 128 + 32 * v), mixed);
      }
    }
  }
  return blocks * 32;
}

// The background colour (step 0) and a background picture get loops of
// their own.
template <typename Mixer, typename Find, typename Weigh, typename Kept = NoKeptTest>
inline std::size_t RunSoft(std::uint8_t* picture, const std::uint8_t* background, std::size_t step,
                           const ChromaKeySnapshot& key, std::size_t pairs, Find find, Weigh weigh,
                           Kept kept = {}) {
  return step == 0
             ? RunSoftOver<Mixer, true>(picture, background, step, key, pairs, find, weigh, kept)
             : RunSoftOver<Mixer, false>(picture, background, step, key, pairs, find, weigh, kept);
}

// The word mix's weights when found[0] holds one key per pair: (k, 0) in
// every 16-bit lane of the pair.
inline void WeightsFromPairKeys(const __m256i (&found)[2], __m256i (&kEven)[4],
                                __m256i (&kOdd)[4]) {
  _Pragma("GCC unroll 4") for (int v = 0; v < 4; ++v) {
    kEven[v] = kOdd[v] = _mm256_shuffle_epi8(found[0], Mask(kSpreadBothLanes[v]));
  }
}

// One byte of each of 32 pairs, picked by the gather shuffles.
inline __m256i PairBytes(const __m256i (&pixels)[4], const LaneMask (&gather)[4]) {
  return _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(pixels[0], Mask(gather[0])),
                                         _mm256_shuffle_epi8(pixels[1], Mask(gather[1]))),
                         _mm256_or_si256(_mm256_shuffle_epi8(pixels[2], Mask(gather[2])),
                                         _mm256_shuffle_epi8(pixels[3], Mask(gather[3]))));
}

// Y0 and Y1 of the pairs of two vectors as bytes: in each 128-bit lane the
// four pairs of `first`, then the four of `second`, Y0 before Y1.
inline __m256i PairBrightness(__m256i first, __m256i second) {
  return _mm256_packus_epi16(_mm256_srli_epi16(first, 8), _mm256_srli_epi16(second, 8));
}

}  // namespace

void KeyChromaRow_AVX2(std::uint8_t* picture, const std::uint8_t* background, std::size_t step,
                       const ChromaKeySnapshot& key, std::size_t pairs) {
  const NibbleCurve curve(key, 512, false);
  const __m256i keyUV = _mm256_set1_epi32(key.keyU | key.keyV << 16);
  const __m256i chromaBytes = _mm256_set1_epi32(0x00FF00FF);
  const __m256i ones = _mm256_set1_epi16(1);
  const __m256i nibble = _mm256_set1_epi16(0x0F);
  const std::size_t done = RunSoft<WordMix>(
      picture, background, step, key, pairs,
      [&](const __m256i(&pixels)[4], __m256i(&found)[2]) __attribute__((always_inline)) {
        __m256i distance[4];  // |U - kU| + |V - kV| in 0..510, a word per pair
        _Pragma("GCC unroll 4") for (int v = 0; v < 4; ++v) {
          const __m256i difference =
              _mm256_and_si256(_mm256_or_si256(_mm256_subs_epu8(pixels[v], keyUV),
                                               _mm256_subs_epu8(keyUV, pixels[v])),
                               chromaBytes);
          distance[v] = _mm256_madd_epi16(difference, ones);
        }
        // Words in the order 4v + p within each lane, then split in nibbles.
        const __m256i first = _mm256_packus_epi32(distance[0], distance[1]);
        const __m256i second = _mm256_packus_epi32(distance[2], distance[3]);
        const __m256i high =
            _mm256_packus_epi16(_mm256_srli_epi16(first, 4), _mm256_srli_epi16(second, 4));
        const __m256i low =
            _mm256_packus_epi16(_mm256_and_si256(first, nibble), _mm256_and_si256(second, nibble));
        found[0] = curve.Lookup(high, low);
      },
      WeightsFromPairKeys);
  KeyChromaRow_C(picture + done * 4, background + done * step, step, key, pairs - done);
}

namespace {

// The first index from which the curve holds 255 to its end, 256 when its
// last entry is not 255.
inline int FirstFullIndex(const ChromaKeySnapshot& key) {
  int index = 256;
  while (index > 0 && key.curve[index - 1] == 255) --index;
  return index;
}

// The soft dark key's test for fully kept blocks: every Y0 at or above the
// curve's run of 255 at its end (none when there is no such run).
struct DarkKept {
  static constexpr bool kUsed = true;
  static constexpr int kFound = 1;
  __m256i from;
  bool possible;

  explicit DarkKept(const ChromaKeySnapshot& key) {
    const int full = FirstFullIndex(key);
    possible = full < 256;
    from = _mm256_set1_epi8(static_cast<char>(possible ? full : 0));
  }
  __m256i operator()(const __m256i (&pixels)[4]) const {
    if (!possible) return _mm256_set1_epi8(-1);
    return _mm256_subs_epu8(from, PairBytes(pixels, kGatherY0Lanes));
  }
};

// The soft light key's: both Y of every pair at or below 255 - (the start of
// that run), since the light key reads the curve at 255 - Y.
struct LightKept {
  static constexpr bool kUsed = true;
  static constexpr int kFound = 2;
  __m256i to;
  bool possible;

  explicit LightKept(const ChromaKeySnapshot& key) {
    const int full = FirstFullIndex(key);
    possible = full < 256;
    to = _mm256_set1_epi8(static_cast<char>(possible ? 255 - full : 0));
  }
  __m256i operator()(const __m256i (&pixels)[4]) const {
    if (!possible) return _mm256_set1_epi8(-1);
    const __m256i brightest =
        _mm256_max_epu8(PairBrightness(pixels[0], pixels[1]), PairBrightness(pixels[2], pixels[3]));
    return _mm256_subs_epu8(brightest, to);
  }
};

// The soft dark key: Y0's key weighs the whole pair. `keys.Complement`
// maps Y to its key (the curve is read backwards, by 255 - Y).
template <typename Keys>
std::size_t DarkRows(std::uint8_t* picture, const std::uint8_t* background, std::size_t step,
                     const ChromaKeySnapshot& key, std::size_t pairs, const Keys& keys) {
  return RunSoft<WordMix>(
      picture, background, step, key, pairs,
      [&](const __m256i(&pixels)[4], __m256i(&found)[2]) __attribute__((always_inline)) {
        found[0] = keys.Complement(PairBytes(pixels, kGatherY0Lanes));
      },
      WeightsFromPairKeys, DarkKept(key));
}

// The soft light key: Y0's key weighs U, Y0 and V, Y1's its own byte.
// `keys` maps Y to its key.
template <typename Keys>
std::size_t LightRows(std::uint8_t* picture, const std::uint8_t* background, std::size_t step,
                      const ChromaKeySnapshot& key, std::size_t pairs, const Keys& keys) {
  return RunSoft<ByteMix>(
      picture, background, step, key, pairs,
      [&](const __m256i(&pixels)[4], __m256i(&found)[2]) __attribute__((always_inline)) {
        // Both brightness bytes of two vectors in one lookup; the keys come
        // back in the order Y0, Y1 of each pair, which unpacking to words
        // turns straight into the odd bytes' weights.
        found[0] = keys(PairBrightness(pixels[0], pixels[1]));
        found[1] = keys(PairBrightness(pixels[2], pixels[3]));
      },
      [](const __m256i(&found)[2], __m256i(&wEven)[4], __m256i(&wOdd)[4])
          __attribute__((always_inline)) {
            const __m256i ones = _mm256_set1_epi8(-1);
            _Pragma("GCC unroll 2") for (int h = 0; h < 2; ++h) {
              const __m256i complement = _mm256_xor_si256(found[h], ones);
              wOdd[2 * h] = _mm256_unpacklo_epi8(complement, found[h]);
              wOdd[2 * h + 1] = _mm256_unpackhi_epi8(complement, found[h]);
              wEven[2 * h] = _mm256_shuffle_epi8(wOdd[2 * h], Mask(kSwapY0Lanes));  // U, V
              wEven[2 * h + 1] = _mm256_shuffle_epi8(wOdd[2 * h + 1], Mask(kSwapY0Lanes));
            }
          },
      LightKept(key));
}

}  // namespace

void KeyLinearDarkRow_AVX2(std::uint8_t* picture, const std::uint8_t* background, std::size_t step,
                           const ChromaKeySnapshot& key, std::size_t pairs) {
  const FallingCurve falling(key);
  std::size_t done;
  if (falling.usable) {
    done = WithFallingLookup(falling, [&](const auto& lookup) {
      return DarkRows(picture, background, step, key, pairs, lookup);
    });
  } else {
    const NibbleCurve curve(key, 256, true);  // looked up by 255 - Y
    done = DarkRows(picture, background, step, key, pairs, NibbleLookup{curve});
  }
  KeyLinearDarkRow_C(picture + done * 4, background + done * step, step, key, pairs - done);
}

void KeyLinearLightRow_AVX2(std::uint8_t* picture, const std::uint8_t* background, std::size_t step,
                            const ChromaKeySnapshot& key, std::size_t pairs) {
  const FallingCurve falling(key);
  std::size_t done;
  if (falling.usable) {
    done = WithFallingLookup(falling, [&](const auto& lookup) {
      return LightRows(picture, background, step, key, pairs, lookup);
    });
  } else {
    const NibbleCurve curve(key, 256, true);  // curve[255 - Y]
    done = LightRows(picture, background, step, key, pairs, NibbleLookup{curve});
  }
  KeyLinearLightRow_C(picture + done * 4, background + done * step, step, key, pairs - done);
}

namespace {

// Replaces U, Y0, V where Y0's byte of `hit` is set and Y1 where Y1's is.
inline __m256i ReplaceWhere(__m256i pixels, __m256i background, __m256i hit) {
  const __m256i y0 = _mm256_and_si256(hit, _mm256_set1_epi32(0x0000FF00));
  const __m256i y1 = _mm256_and_si256(hit, _mm256_set1_epi32(static_cast<int>(0xFF000000u)));
  const __m256i mask = _mm256_or_si256(
      _mm256_or_si256(y0, y1), _mm256_or_si256(_mm256_srli_epi32(y0, 8), _mm256_slli_epi32(y0, 8)));
  return _mm256_blendv_epi8(pixels, background, mask);
}

}  // namespace

void KeyDarkRow_AVX2(std::uint8_t* picture, const std::uint8_t* background, std::size_t step,
                     const ChromaKeySnapshot& key, std::size_t pairs) {
  if (key.low == 0) return;  // no Y lies below 0
  const __m256i colour = ColourVector(key);
  const __m256i below = _mm256_set1_epi8(static_cast<char>(key.low - 1));
  const std::size_t done =
      Run(picture, background, step, pairs, [&](__m256i pixels, const std::uint8_t* bg) {
        const __m256i hit = _mm256_cmpeq_epi8(_mm256_min_epu8(pixels, below), pixels);
        return ReplaceWhere(pixels, LoadBackground(bg, step, colour), hit);
      });
  KeyDarkRow_C(picture + done * 4, background + done * step, step, key, pairs - done);
}

void KeyLightRow_AVX2(std::uint8_t* picture, const std::uint8_t* background, std::size_t step,
                      const ChromaKeySnapshot& key, std::size_t pairs) {
  if (key.high == 255) return;  // no Y lies above 255
  const __m256i colour = ColourVector(key);
  const __m256i above = _mm256_set1_epi8(static_cast<char>(key.high + 1));
  const std::size_t done =
      Run(picture, background, step, pairs, [&](__m256i pixels, const std::uint8_t* bg) {
        const __m256i hit = _mm256_cmpeq_epi8(_mm256_max_epu8(pixels, above), pixels);
        return ReplaceWhere(pixels, LoadBackground(bg, step, colour), hit);
      });
  KeyLightRow_C(picture + done * 4, background + done * step, step, key, pairs - done);
}

}  // namespace quellor::videoproc
