// The soft keys' fast rows look the key curve up through 16-entry pieces of
// it; they must give the plain rows' bytes for every curve shape (flat, hard
// edge, narrow and wide ramps), every index (brightness 0..255, chroma
// distance 0..510), pair counts that leave tails and buffers at any byte
// offset.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "../src/ExactDivision.h"
#include "../src/KeyRows.h"
#include "../src/VideoRows.h"

namespace {

using quellor::videoproc::KeyRowForMode;
using quellor::videoproc::KeyRowForMode_C;

// Pairs whose Y0 and Y1 run through all 256 values and whose U and V run
// through 0..255 against each other, then random pairs.
std::vector<std::uint8_t> EveryIndexPicture(std::size_t pairs, std::uint32_t seed) {
  std::vector<std::uint8_t> bytes(pairs * 4);
  std::mt19937 random(seed);
  for (std::size_t i = 0; i < pairs; ++i) {
    std::uint8_t* pair = &bytes[i * 4];
    if (i < 512) {
      pair[0] = static_cast<std::uint8_t>(i);
      pair[1] = static_cast<std::uint8_t>(i);
      pair[2] = static_cast<std::uint8_t>(i < 256 ? 255 - i : i * 7);
      pair[3] = static_cast<std::uint8_t>(255 - i);
    } else {
      for (int b = 0; b < 4; ++b) pair[b] = static_cast<std::uint8_t>(random());
    }
  }
  return bytes;
}

void ExpectFastMatchesPlain(ChromaKeyImplementation& engine, std::size_t pairs, std::size_t offset,
                            const std::string& what) {
  const auto picture = EveryIndexPicture(pairs, static_cast<std::uint32_t>(pairs + offset));
  const auto backgroundPicture = EveryIndexPicture(pairs, 99);
  for (int mode : {ChromaKeyMode_Chroma, ChromaKeyMode_LinearDark, ChromaKeyMode_LinearLight}) {
    engine.SetKeyMode(static_cast<ChromaKeyMode>(mode));
    ChromaKeySnapshot key;
    engine.Snapshot(key);
    for (std::size_t step : {std::size_t{0}, std::size_t{4}}) {
      // Both buffers start `offset` bytes into their storage.
      std::vector<std::uint8_t> plain(offset + picture.size()), fast(offset + picture.size());
      std::vector<std::uint8_t> background(offset + backgroundPicture.size());
      std::copy(picture.begin(), picture.end(), plain.begin() + offset);
      std::copy(picture.begin(), picture.end(), fast.begin() + offset);
      std::copy(backgroundPicture.begin(), backgroundPicture.end(), background.begin() + offset);
      const std::uint8_t* bg = step == 0 ? key.backgroundPair : background.data() + offset;
      KeyRowForMode_C(mode)(plain.data() + offset, bg, step, key, pairs);
      KeyRowForMode(mode)(fast.data() + offset, bg, step, key, pairs);
      ASSERT_EQ(plain, fast) << what << " mode " << mode << " step " << step << " pairs " << pairs
                             << " offset " << offset;
    }
  }
}

TEST(KeyRowsFast, SoftKeysMatchThePlainRowsForEveryCurveShape) {
  ChromaKeyImplementation engine;
  engine.SetBGColors_YUV(200, 30, 240);
  struct Curve {
    unsigned tolerance, softness, maximum;
  };
  const Curve curves[] = {
      {35, 20, 255},    // the defaults: a ramp over the first tables
      {0, 0, 255},      // a hard edge at 0
      {255, 0, 255},    // a hard edge at the top of the brightness range
      {100, 255, 200},  // a ramp over the whole table
      {30, 1, 128},    {200, 7, 255}, {128, 64, 255}, {0, 0, 0},  // flat: nothing keyed
      {255, 255, 0},  // flat again, through a wide ramp of zeros
  };
  for (const Curve& c : curves) {
    engine.SetToleranceValues(c.tolerance, c.softness, c.maximum);
    for (auto [u, v] :
         {std::pair{0, 0}, std::pair{255, 255}, std::pair{101, 94}, std::pair{0, 255}}) {
      engine.SetColors_YUV(0, static_cast<unsigned char>(u), static_cast<unsigned char>(v));
      ExpectFastMatchesPlain(engine, 608, 0,
                             "curve " + std::to_string(c.tolerance) + "/" +
                                 std::to_string(c.softness) + "/" + std::to_string(c.maximum));
    }
  }
}

TEST(KeyRowsFast, SoftKeysMatchThePlainRowsOnTailsAndUnalignedBuffers) {
  ChromaKeyImplementation engine;
  engine.SetColors_YUV(0, 110, 150);
  for (std::size_t pairs : {1u, 31u, 32u, 33u, 63u, 517u, 545u}) {
    for (std::size_t offset : {0u, 1u, 2u, 3u, 4u, 17u}) {
      ExpectFastMatchesPlain(engine, pairs, offset, "defaults");
    }
  }
}

// Every tolerance and softness on a coarse grid, against the plain rows over
// every index.
TEST(KeyRowsFast, SoftKeysMatchThePlainRowsOverASettingsGrid) {
  ChromaKeyImplementation engine;
  engine.SetColors_YUV(0, 128, 128);
  for (unsigned tolerance = 0; tolerance <= 255; tolerance += 15) {
    for (unsigned softness = 0; softness <= 255; softness += 17) {
      engine.SetToleranceValues(tolerance, softness, 255 - tolerance / 2);
      ExpectFastMatchesPlain(engine, 544, 1, "grid");
    }
  }
}

// The soft luma keys with curves made by hand rather than by the engine:
// steps placed at the edges of the 16-entry tables (the first and last
// tables, either side of the middle), curves that fall as well as rise (the
// fast rows must take their general path then) and noise.
ChromaKeySnapshot SnapshotWithCurve(const std::vector<int>& luma) {
  ChromaKeySnapshot key{};
  key.keyU = 128;
  key.keyV = 128;
  key.backgroundPair[0] = 90;
  key.backgroundPair[1] = 200;
  key.backgroundPair[2] = 17;
  key.backgroundPair[3] = 200;
  for (int i = 0; i < 512; ++i) key.curve[i] = luma[i < 256 ? i : 255];
  return key;
}

void ExpectSoftLumaMatchesPlain(const ChromaKeySnapshot& key, const std::string& what) {
  for (std::size_t pairs : {513u, 519u, 545u}) {
    for (std::size_t offset : {0u, 3u}) {
      const auto picture = EveryIndexPicture(pairs, static_cast<std::uint32_t>(pairs));
      const auto backgroundPicture = EveryIndexPicture(pairs, 5);
      for (int mode : {ChromaKeyMode_LinearDark, ChromaKeyMode_LinearLight}) {
        for (std::size_t step : {std::size_t{0}, std::size_t{4}}) {
          std::vector<std::uint8_t> plain(offset + picture.size()), fast(offset + picture.size());
          std::vector<std::uint8_t> background(offset + backgroundPicture.size());
          std::copy(picture.begin(), picture.end(), plain.begin() + offset);
          std::copy(picture.begin(), picture.end(), fast.begin() + offset);
          std::copy(backgroundPicture.begin(), backgroundPicture.end(),
                    background.begin() + offset);
          const std::uint8_t* bg = step == 0 ? key.backgroundPair : background.data() + offset;
          KeyRowForMode_C(mode)(plain.data() + offset, bg, step, key, pairs);
          KeyRowForMode(mode)(fast.data() + offset, bg, step, key, pairs);
          ASSERT_EQ(plain, fast) << what << " mode " << mode << " step " << step << " pairs "
                                 << pairs << " offset " << offset;
        }
      }
    }
  }
}

TEST(KeyRowsFast, SoftLumaKeysMatchThePlainRowsForHandMadeCurves) {
  // One step from `low` to `high` at index `at`.
  auto stepAt = [](int at, int low, int high) {
    std::vector<int> curve(256);
    for (int i = 0; i < 256; ++i) curve[i] = i < at ? low : high;
    return curve;
  };
  for (int at : {1, 15, 16, 17, 112, 127, 128, 129, 143, 144, 239, 240, 255}) {
    ExpectSoftLumaMatchesPlain(SnapshotWithCurve(stepAt(at, 0, 255)),
                               "rising step " + std::to_string(at));
    ExpectSoftLumaMatchesPlain(SnapshotWithCurve(stepAt(at, 200, 3)),
                               "falling step " + std::to_string(at));
    ExpectSoftLumaMatchesPlain(SnapshotWithCurve(stepAt(at, 40, 41)),
                               "small step " + std::to_string(at));
  }
  // Ramps over a few tables anywhere in the range, rising by 0..3 an entry.
  for (int start : {0, 5, 60, 100, 150, 200}) {
    std::vector<int> curve(256);
    int value = 2;
    for (int i = 0; i < 256; ++i) {
      if (i >= start && i < start + 90 && value < 252) value += i % 4;
      curve[i] = value;
    }
    ExpectSoftLumaMatchesPlain(SnapshotWithCurve(curve), "ramp at " + std::to_string(start));
  }
  // A rise with one dip, a valley, and noise.
  std::vector<int> dip(256), valley(256), noise(256);
  std::mt19937 random(3);
  for (int i = 0; i < 256; ++i) {
    dip[i] = i == 130 ? 10 : i;
    valley[i] = i < 128 ? 255 - 2 * i : 2 * i - 255;
    noise[i] = static_cast<int>(random() % 256);
  }
  ExpectSoftLumaMatchesPlain(SnapshotWithCurve(dip), "dip");
  ExpectSoftLumaMatchesPlain(SnapshotWithCurve(valley), "valley");
  ExpectSoftLumaMatchesPlain(SnapshotWithCurve(noise), "noise");
  // Flat curves, at the ends of the range and between.
  for (int value : {0, 128, 255}) {
    ExpectSoftLumaMatchesPlain(SnapshotWithCurve(std::vector<int>(256, value)),
                               "flat " + std::to_string(value));
  }
}

// Pictures made of runs of pairs the key leaves fully foreground (key 255)
// and pairs it mixes, so that whole blocks of 32 fully foreground pairs lie
// beside mixed ones (a row that treats such blocks apart must still agree): runs that start and end
// inside blocks and on their edges, single mixed pairs at a block's first and last place, in
// several stretches of blocks, and for the light key a block whose Y0 keys are all 255 but one Y1
// key is not.
std::vector<std::uint8_t> RunsPicture(int mode, std::size_t pairs) {
  std::vector<std::uint8_t> bytes(pairs * 4);
  std::mt19937 random(11);
  auto foreground = [&](std::uint8_t* pair) {
    pair[0] = 250, pair[2] = 10;  // far from the key colour
    if (mode == ChromaKeyMode_LinearLight) {
      pair[1] = static_cast<std::uint8_t>(random() % 150), pair[3] = 40;
    } else {
      pair[1] = static_cast<std::uint8_t>(120 + random() % 136);
      pair[3] = static_cast<std::uint8_t>(random());
    }
  };
  auto mixed = [&](std::uint8_t* pair) {
    pair[0] = 110, pair[2] = 150;  // the key colour
    pair[1] = pair[3] = static_cast<std::uint8_t>(mode == ChromaKeyMode_LinearLight ? 230 : 20);
  };
  const std::size_t runs[] = {31, 1, 32, 33, 64, 5, 96, 2, 600, 27, 3, 40};
  std::size_t at = 0;
  for (std::size_t r = 0; at < pairs; ++r) {
    const std::size_t length = runs[r % std::size(runs)];
    for (std::size_t i = 0; i < length && at < pairs; ++i, ++at) {
      if (r % 2 == 0) {
        foreground(&bytes[at * 4]);
      } else {
        mixed(&bytes[at * 4]);
      }
    }
  }
  // Lone mixed pairs at the first and last place of fully foreground blocks.
  for (std::size_t p = 96; p + 32 <= pairs; p += 256) {
    for (std::size_t i = 0; i < 32; ++i) foreground(&bytes[(p + i) * 4]);
    mixed(&bytes[p * 4]);
    for (std::size_t i = 0; i < 32; ++i) foreground(&bytes[(p + 128 + i) * 4]);
    mixed(&bytes[(p + 128 + 31) * 4]);
  }
  if (mode == ChromaKeyMode_LinearLight && pairs >= 64) {
    for (std::size_t i = 32; i < 64; ++i) foreground(&bytes[i * 4]);
    bytes[40 * 4 + 3] = 250;  // Y1 alone keyed
  }
  return bytes;
}

TEST(KeyRowsFast, SoftKeysMatchThePlainRowsOnRunsOfFullyForegroundPairs) {
  ChromaKeyImplementation engine;
  engine.SetColors_YUV(0, 110, 150);
  for (const unsigned softness : {20u, 0u}) {  // a ramp, and a hard edge
    engine.SetToleranceValues(35, softness, 255);
    for (int mode : {ChromaKeyMode_Chroma, ChromaKeyMode_LinearDark, ChromaKeyMode_LinearLight}) {
      engine.SetKeyMode(static_cast<ChromaKeyMode>(mode));
      ChromaKeySnapshot key;
      engine.Snapshot(key);
      for (std::size_t pairs : {64u, 1100u, 1601u}) {
        const auto picture = RunsPicture(mode, pairs);
        const auto backgroundPicture = EveryIndexPicture(pairs + 1, 21);
        for (std::size_t step : {std::size_t{0}, std::size_t{4}}) {
          for (std::size_t offset : {0u, 1u}) {
            std::vector<std::uint8_t> plain(offset + picture.size());
            std::copy(picture.begin(), picture.end(), plain.begin() + offset);
            auto fast = plain;
            const std::uint8_t* bg =
                step == 0 ? key.backgroundPair : backgroundPicture.data() + 4 * offset;
            KeyRowForMode_C(mode)(plain.data() + offset, bg, step, key, pairs);
            KeyRowForMode(mode)(fast.data() + offset, bg, step, key, pairs);
            ASSERT_EQ(plain, fast) << "mode " << mode << " softness " << softness << " pairs "
                                   << pairs << " step " << step << " offset " << offset;
            // The first pair is fully foreground: every byte one step darker.
            for (int b = 0; b < 4; ++b) {
              EXPECT_EQ(fast[offset + b], picture[b] - 1) << "mode " << mode << " byte " << b;
            }
          }
        }
      }
    }
  }
}

// Mostly fully kept pictures (every key 255, for 512 pairs and more at a
// stretch) with a few pairs that are not: after a stretch of 16 blocks that
// ends fully kept, the fast rows try the next stretch on its brightness
// alone and leave it unmixed, so a pair that breaks the run at the first or
// last place of a stretch, a lone Y1 (the light key), and runs ending in
// the tail must all still give the plain rows' bytes.
std::vector<std::uint8_t> KeptStretchesPicture(int mode, int full, std::size_t pairs,
                                               const std::vector<std::size_t>& breaks,
                                               std::size_t loneY1) {
  std::vector<std::uint8_t> bytes(pairs * 4);
  std::mt19937 random(static_cast<std::uint32_t>(pairs + full));
  const bool light = mode == ChromaKeyMode_LinearLight;
  // The key is 255 from index `full` on (none such when full is 256); the
  // light key reads the curve at 255 - Y.
  const int top = full < 256 ? 256 - full : 1;  // kept brightness values
  auto kept = [&] { return static_cast<int>(random() % top); };
  for (std::size_t i = 0; i < pairs; ++i) {
    std::uint8_t* pair = &bytes[i * 4];
    pair[0] = static_cast<std::uint8_t>(random());
    pair[2] = static_cast<std::uint8_t>(random());
    pair[1] = static_cast<std::uint8_t>(light ? kept() : 255 - kept());
    pair[3] = static_cast<std::uint8_t>(light ? kept() : random());
  }
  // The brightness just outside the kept range: a key other than 255.
  const auto outside = static_cast<std::uint8_t>(light ? 256 - full : full - 1);
  for (std::size_t at : breaks) {
    if (at < pairs && full > 0) bytes[at * 4 + 1] = outside;
  }
  if (light && loneY1 < pairs && full > 0) bytes[loneY1 * 4 + 3] = outside;
  return bytes;
}

TEST(KeyRowsFast, SoftLumaKeysMatchThePlainRowsOverFullyKeptStretches) {
  constexpr std::size_t kStretch = 512;  // pairs
  struct Layout {
    std::size_t pairs;
    std::vector<std::size_t> breaks;
    std::size_t loneY1;
  };
  // Every break follows a fully kept stretch, so it is met by the test on
  // brightness: in the first, second, third and fourth vector of a block.
  const Layout layouts[] = {
      // Kept throughout, with a tail: the first stretch looked up and mixed,
      // the others passed on brightness, the last one short.
      {4 * kStretch + 40 * 32 + 17, {}, ~std::size_t{0}},
      // Runs broken at a stretch's last pair, at its first, inside, and in
      // the tail.
      {7 * kStretch + 9,
       {3 * kStretch - 1, 5 * kStretch, 7 * kStretch - 500, 7 * kStretch + 3},
       ~std::size_t{0}},
      // A lone Y1 (the light key) in the last and the third vector of a block.
      {3 * kStretch, {}, 2 * kStretch + 31},
      {3 * kStretch, {}, 2 * kStretch + 64 + 19},
      {kStretch + 31, {kStretch + 9}, 5},
  };

  ChromaKeyImplementation engine;
  engine.SetBGColors_YUV(60, 200, 30);
  struct Curve {
    unsigned tolerance, softness, maximum;
  };
  // The defaults; hard edges (255 from index 36, from index 1); a wide ramp;
  // a maximum below 255 (no key is ever 255).
  const Curve curves[] = {{35, 20, 255}, {35, 0, 255}, {0, 0, 255}, {100, 40, 255}, {35, 20, 200}};
  for (const Curve& c : curves) {
    engine.SetToleranceValues(c.tolerance, c.softness, c.maximum);
    for (int mode : {ChromaKeyMode_LinearDark, ChromaKeyMode_LinearLight}) {
      engine.SetKeyMode(static_cast<ChromaKeyMode>(mode));
      ChromaKeySnapshot key;
      engine.Snapshot(key);
      int full = 256;
      while (full > 0 && key.curve[full - 1] == 255) --full;
      for (const Layout& layout : layouts) {
        const auto picture =
            KeptStretchesPicture(mode, full, layout.pairs, layout.breaks, layout.loneY1);
        const auto backgroundPicture = EveryIndexPicture(layout.pairs + 1, 8);
        for (std::size_t step : {std::size_t{0}, std::size_t{4}}) {
          for (std::size_t offset : {0u, 3u}) {
            std::vector<std::uint8_t> plain(offset + picture.size());
            std::copy(picture.begin(), picture.end(), plain.begin() + offset);
            auto fast = plain;
            const std::uint8_t* bg =
                step == 0 ? key.backgroundPair : backgroundPicture.data() + offset;
            KeyRowForMode_C(mode)(plain.data() + offset, bg, step, key, layout.pairs);
            KeyRowForMode(mode)(fast.data() + offset, bg, step, key, layout.pairs);
            ASSERT_EQ(plain, fast)
                << "mode " << mode << " tolerance " << c.tolerance << " softness " << c.softness
                << " maximum " << c.maximum << " pairs " << layout.pairs << " step " << step
                << " offset " << offset;
          }
        }
      }
    }
  }
}

}  // namespace

namespace {

// The gradient's fast row takes each value's byte 2 whatever the bytes
// around it hold: values below 0 and past 255.0 give the plain row's words.
TEST(GradientRowFast, MatchesThePlainRowOutsideTheCornersRange) {
  const auto& fast = quellor::videoproc::VideoRows();
  const auto& plain = quellor::videoproc::VideoRows_C();
  const quellor::videoproc::GradientLine lines[] = {
      {-3 * 65536 - 5, 300 * 65536 + 77, -65536, 4097, -70001, 123457},
      {0x7F000000, -0x7F000000, 0x00FFFFFF, -1000003, 999983, 65536},
      {10 * 65536, 20 * 65536, 30 * 65536, 0, 0, 0},
      // Steady chroma (its own loop), and chroma steady in U only.
      {-3 * 65536 - 5, 300 * 65536 + 77, 0x00FFFFFF, 4097, 0, 0},
      {0x7F000000, 128 * 65536, -65536, -1000003, 0, 999983},
  };
  for (const auto& line : lines) {
    for (std::size_t words : {7u, 8u, 15u, 16u, 17u, 24u, 45u, 360u, 361u}) {
      std::vector<std::uint32_t> a(words + 1), b(words + 1);
      fast.gradient(a.data() + 1, line, words);  // unaligned by a word
      plain.gradient(b.data() + 1, line, words);
      EXPECT_EQ(a, b) << words;
    }
  }
}

// The gradient's per-line steps divide by the width through a multiplier; it
// must give the division's quotient (toward zero) for every divisor the
// board's pictures have and at the edges of the value range.
TEST(ExactDivisor, GivesTheQuotientOfTheDivisionTowardZero) {
  std::mt19937 random(7);
  std::vector<std::uint32_t> divisors{
      1, 2, 3, 5, 7, 8, 360, 704, 720, 1439, 65535, 65537, 0x40000000u, 0x40000001u, 0x7FFFFFFFu};
  for (int i = 0; i < 40; ++i) divisors.push_back(random() % 0x7FFFFFFFu + 1);
  for (std::uint32_t d : divisors) {
    const quellor::videoproc::ExactDivisor divisor(d);
    const std::int64_t wide = d;
    std::vector<std::int64_t> values{0,
                                     1,
                                     0x7FFFFFFF,
                                     wide - 1,
                                     wide,
                                     wide + 1,
                                     2 * wide - 1,
                                     2 * wide,
                                     0x7FFFFFFF / wide * wide,
                                     0x7FFFFFFF / wide * wide - 1};
    for (int i = 0; i < 200; ++i) values.push_back(random() & 0x7FFFFFFF);
    for (std::int64_t magnitude : values) {
      if (magnitude > 0x7FFFFFFF) continue;
      for (std::int64_t value : {magnitude, -magnitude}) {
        const auto n = static_cast<std::int32_t>(value);
        ASSERT_EQ(divisor.Divide(n), n / static_cast<std::int32_t>(d)) << n << " / " << d;
      }
    }
  }
}

}  // namespace
