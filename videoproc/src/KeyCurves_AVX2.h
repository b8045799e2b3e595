// The key curve as byte-shuffle tables for the AVX2 rows of the keyer
// (included only by code built with -mavx2): 32 keys looked up at a time
// over 16-entry pieces of the curve, since a gather is slow on some
// processors. The tables are built from the snapshot's curve for each pass
// (a few hundred bytes), so the curve stays the one reference for every row.
#pragma once

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "videoproc/ChromaKeyImplementation.h"

namespace quellor::videoproc::keycurve {

// Any curve, cut into 16-entry tables each repeated in both 128-bit lanes.
// Only the tables first..last hold more than one value: every entry before
// table `first` equals the curve's first entry, every entry after table
// `last` its last entry. Each table costs a compare, a shuffle and a blend.
struct NibbleCurve {
  __m256i table[32];
  __m256i number[32];  // j in every byte, for the comparison
  __m256i below, above;
  int first = 0, last = -1;

  // entries: 256 (a brightness) or 512 (a chroma distance); reversed looks
  // up curve[255 - index] instead.
  NibbleCurve(const ChromaKeySnapshot& key, int entries, bool reversed) {
    auto entry = [&](int i) { return key.curve[reversed ? 255 - i : i]; };
    const int head = entry(0), tail = entry(entries - 1);
    int firstDiffering = entries, lastDiffering = -1;
    for (int i = 0; i < entries; ++i) {
      if (entry(i) != head && firstDiffering == entries) firstDiffering = i;
      if (entry(i) != tail) lastDiffering = i;
    }
    below = _mm256_set1_epi8(static_cast<char>(head));
    above = _mm256_set1_epi8(static_cast<char>(tail));
    if (lastDiffering < 0) return;  // a flat curve (head == tail)
    first = firstDiffering >> 4;
    last = lastDiffering >> 4;
    for (int j = first; j <= last; ++j) {
      alignas(16) std::uint8_t bytes[16];
      for (int i = 0; i < 16; ++i) bytes[i] = static_cast<std::uint8_t>(entry(16 * j + i));
      table[j] = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<__m128i*>(bytes)));
      number[j] = _mm256_set1_epi8(static_cast<char>(j));
    }
  }

  // Entries for 32 indices given as high nibbles (0..31) and low nibbles.
  __m256i Lookup(__m256i high, __m256i low) const {
    __m256i k = _mm256_blendv_epi8(
        below, above, _mm256_cmpgt_epi8(high, _mm256_set1_epi8(static_cast<char>(last))));
    for (int j = first; j <= last; ++j) {
      k = _mm256_blendv_epi8(k, _mm256_shuffle_epi8(table[j], low),
                             _mm256_cmpeq_epi8(high, number[j]));
    }
    return k;
  }
};

// Curve entries for 32 brightness bytes.
inline __m256i LookupBytes(const NibbleCurve& curve, __m256i bytes) {
  const __m256i nibble = _mm256_set1_epi8(0x0F);
  return curve.Lookup(_mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble),
                      _mm256_and_si256(bytes, nibble));
}

// Keys for 32 bytes through the general nibble tables.
struct NibbleLookup {
  const NibbleCurve& curve;
  __m256i operator()(__m256i bytes) const { return LookupBytes(curve, bytes); }
  // The key of 255 - y for each byte y.
  __m256i Complement(__m256i y) const {
    return LookupBytes(curve, _mm256_xor_si256(y, _mm256_set1_epi8(-1)));
  }
};

// The luma curve read backwards, entry(i) = curve[255 - i], when it never
// rises (the key curve is a rising S-shape for every setting; anything else
// takes the nibble tables). Only the tables `first`..`last` of it hold more
// than one value; indices are first moved down by 16 x first with a
// saturating subtraction, so every index below table `first` reads that
// table's first entry (the head value) and table `first` becomes table 0.
// An index in table h then equals entry(i) for i = 16h + low and is at least
// every entry of the tables above h, so its key is the largest of: the last
// entry, and the entries at `low` in tables h and above. Tables below h are
// shut off by a saturating add that sets the index's top bit (a byte shuffle
// gives 0 there): three operations a table, no nibble split or compares.
struct FallingCurve {
  __m256i table[16];   // tables first..last, from 0
  __m256i offset[16];  // added (tables 0..7) or subtracted (8..15), saturating
  __m256i base;        // 16 x first
  __m256i topBase;     // 255 - 16 x first
  __m256i tail;
  int count = 0;  // tables in use
  bool usable = true;

  explicit FallingCurve(const ChromaKeySnapshot& key) {
    auto entry = [&](int i) { return key.curve[255 - i]; };
    const int head = entry(0), end = entry(255);
    int firstDiffering = 256, lastDiffering = -1;
    for (int i = 0; i < 256; ++i) {
      if (i > 0 && entry(i) > entry(i - 1)) usable = false;
      if (entry(i) != head && firstDiffering == 256) firstDiffering = i;
      if (entry(i) != end) lastDiffering = i;
    }
    tail = _mm256_set1_epi8(static_cast<char>(end));
    base = _mm256_setzero_si256();
    topBase = _mm256_set1_epi8(-1);
    if (!usable || lastDiffering < 0) return;  // rising somewhere, or flat
    // Table `first` must start with the head value, which the base relies on.
    const int first = (firstDiffering - 1) >> 4;
    count = (lastDiffering >> 4) - first + 1;
    base = _mm256_set1_epi8(static_cast<char>(16 * first));
    topBase = _mm256_set1_epi8(static_cast<char>(255 - 16 * first));
    for (int j = 0; j < count; ++j) {
      alignas(16) std::uint8_t bytes[16];
      for (int i = 0; i < 16; ++i) {
        bytes[i] = static_cast<std::uint8_t>(entry(16 * (first + j) + i));
      }
      table[j] = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<__m128i*>(bytes)));
      // Indices of table j become 112 + low (top bit clear), higher ones
      // reach 128 or more.
      offset[j] = _mm256_set1_epi8(static_cast<char>(j < 8 ? 112 - 16 * j : 16 * j - 112));
    }
  }

  // One table's candidates for 32 moved-down indices.
  __m256i Candidates(int j, __m256i index) const {
    return _mm256_shuffle_epi8(
        table[j], j < 8 ? _mm256_adds_epu8(index, offset[j]) : _mm256_subs_epu8(index, offset[j]));
  }

  // Keys for 32 indices, with the table count fixed at compile time (the
  // tables unrolled and their maxima taken as a tree); Count < 0 reads the
  // count at run time.
  template <int Count>
  __attribute__((always_inline)) __m256i Lookup(__m256i index) const {
    return LookupMoved<Count>(_mm256_subs_epu8(index, base));
  }

  // Keys for the indices 255 - y of 32 bytes y: (255 - y) - 16 x first,
  // saturated at 0, is (255 - 16 x first) - y, saturated the same way.
  template <int Count>
  __attribute__((always_inline)) __m256i LookupComplement(__m256i y) const {
    return LookupMoved<Count>(_mm256_subs_epu8(topBase, y));
  }

  // Keys for indices already moved down by 16 x first.
  template <int Count>
  __attribute__((always_inline)) __m256i LookupMoved(__m256i index) const {
    if constexpr (Count < 0) {
      __m256i k = tail;
      for (int j = 0; j < count; ++j) k = _mm256_max_epu8(k, Candidates(j, index));
      return k;
    } else {
      __m256i k[Count + 1];
      k[Count] = tail;
      _Pragma("GCC unroll 8") for (int j = 0; j < Count; ++j) k[j] = Candidates(j, index);
      _Pragma("GCC unroll 8") for (int width = 1; width <= Count; width *= 2) {
        for (int j = 0; j + width <= Count; j += 2 * width) {
          k[j] = _mm256_max_epu8(k[j], k[j + width]);
        }
      }
      return k[0];
    }
  }
};

template <int Count>
struct FallingLookup {
  const FallingCurve& curve;
  __attribute__((always_inline)) __m256i operator()(__m256i index) const {
    return curve.Lookup<Count>(index);
  }
  // The key of 255 - y for each byte y.
  __attribute__((always_inline)) __m256i Complement(__m256i y) const {
    return curve.LookupComplement<Count>(y);
  }
};

// Runs rows(lookup) with the lookup unrolled for the curve's table count;
// the common counts (a softness up to about 24) get loops of their own.
template <typename Rows>
std::size_t WithFallingLookup(const FallingCurve& curve, const Rows& rows) {
  switch (curve.count) {
    case 0:
      return rows(FallingLookup<0>{curve});
    case 1:
      return rows(FallingLookup<1>{curve});
    case 2:
      return rows(FallingLookup<2>{curve});
    case 3:
      return rows(FallingLookup<3>{curve});
    case 4:
      return rows(FallingLookup<4>{curve});
    case 5:
      return rows(FallingLookup<5>{curve});
    case 6:
      return rows(FallingLookup<6>{curve});
    default:
      return rows(FallingLookup<-1>{curve});
  }
}

}  // namespace quellor::videoproc::keycurve
