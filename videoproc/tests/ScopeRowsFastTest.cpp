// The fast scope pass against the plain one: the same display bytes for every
// mode on random fields, random graticules (many bytes near and above the
// limits, where counting and accumulating could part), any line count and
// buffers at odd addresses.
#include <board/ColourConversion.h>
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "ScopeParades.h"
#include "ScopeRows.h"
#include "ScopeTestFields.h"

namespace quellor::videoproc {
namespace {

// A buffer whose data starts `skew` bytes past a 32-byte boundary.
struct Skewed {
  std::vector<std::uint8_t> storage;
  std::uint8_t* data;
  Skewed(std::size_t size, std::size_t skew) : storage(size + 64) {
    auto at = reinterpret_cast<std::uintptr_t>(storage.data());
    data = storage.data() + ((32 - at % 32) % 32) + skew;
  }
};

std::vector<std::uint8_t> RandomBytes(std::size_t size, std::mt19937& random, unsigned low = 0) {
  std::vector<std::uint8_t> bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(low + random() % (256 - low));
  return bytes;
}

class ScopeFastPass : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ScopeFastPathAvailable()) GTEST_SKIP() << "no AVX2 on this processor";
    BuildVectorScopeMap(map.data());
  }

  // Both passes on copies at the given skews; the displays must agree.
  void Expect(int mode, const std::vector<std::uint8_t>& field, std::uint32_t lines,
              const std::uint8_t* graticule, std::size_t skew, const char* what) {
    Skewed input(field.size(), skew), plain(kScopeBytes, 0), fast(kScopeBytes, skew + 1);
    if (!field.empty()) std::memcpy(input.data, field.data(), field.size());
    std::memset(plain.data, 0xAA, kScopeBytes);
    std::memset(fast.data, 0x55, kScopeBytes);
    DrawScope_C(mode, graticule, input.data, lines, map.data(), scratch.data(), plain.data);
    DrawScope_AVX2(mode, graticule, input.data, lines, map.data(), scratch.data(), fast.data);
    const int difference = std::memcmp(plain.data, fast.data, kScopeBytes);
    if (difference == 0) return;
    for (std::size_t i = 0; i < kScopeBytes; ++i) {
      ASSERT_EQ(fast.data[i], plain.data[i])
          << what << ": mode " << mode << ", " << lines << " lines, skew " << skew << ", row "
          << i / kScopeWidth << " column " << i % kScopeWidth;
    }
  }

  std::vector<std::uint32_t> map = std::vector<std::uint32_t>(65536);
  std::vector<std::uint8_t> scratch = std::vector<std::uint8_t>(720 * 4);
};

TEST_F(ScopeFastPass, RandomFieldsAndGraticulesGiveThePlainBytes) {
  std::mt19937 random(2026);
  for (int round = 0; round < 3; ++round) {
    const auto field = RandomBytes(kScopeKeptLines * kScopeLineBytes, random);
    // Graticule bytes from 200 up: many start near, at or past 245 and 250.
    Skewed graticule(kScopeBytes, 3 + round);
    const auto bytes = RandomBytes(kScopeBytes, random, round == 0 ? 0 : 200);
    std::memcpy(graticule.data, bytes.data(), kScopeBytes);
    for (int mode = 0; mode < kScopeModes; ++mode) {
      const std::uint32_t lines = 1 + random() % kScopeKeptLines;
      Expect(mode, field, lines, graticule.data, random() % 7, "random field");
      Expect(mode, field, lines, nullptr, random() % 7, "random field, blank graticule");
    }
  }
}

TEST_F(ScopeFastPass, SaturatingFieldsGiveThePlainBytes) {
  // Flat fields and bars pile every kept line onto the same bytes: each
  // limit is crossed at a different step for each graticule value.
  std::mt19937 random(7);
  std::vector<std::uint8_t> graticule(kScopeBytes);
  for (std::size_t i = 0; i < kScopeBytes; ++i) graticule[i] = static_cast<std::uint8_t>(i % 256);
  const std::vector<std::uint8_t> fields[] = {
      testing::BarLines(200), testing::FlatLines(16, 128, 128, 144),
      testing::FlatLines(235, 16, 240, 144), testing::FlatLines(0, 255, 0, 7)};
  for (const auto& field : fields) {
    const auto lines = static_cast<std::uint32_t>(field.size() / kScopeLineBytes);
    for (int mode = 0; mode < kScopeModes; ++mode) {
      Expect(mode, field, lines, graticule.data(), random() % 5, "flat field");
    }
  }
}

TEST_F(ScopeFastPass, EdgesAndRepeatedPassesGiveThePlainBytes) {
  std::mt19937 random(11);
  const auto field = RandomBytes(200 * kScopeLineBytes, random);
  const auto graticule = RandomBytes(kScopeBytes, random, 230);
  // No lines, one line, an odd count, more than the field buffer keeps.
  for (std::uint32_t lines : {0u, 1u, 37u, 145u, 200u}) {
    for (int mode = 0; mode < kScopeModes; ++mode) {
      Expect(mode, field, lines, graticule.data(), lines % 4, "edge line count");
    }
  }
  // Unknown modes draw the graticule alone; so does a vectorscope without map.
  Expect(-1, field, 10, graticule.data(), 1, "unknown mode");
  Expect(kScopeModes, field, 10, graticule.data(), 2, "unknown mode");
  std::vector<std::uint8_t> display(kScopeBytes, 1);
  DrawScope_AVX2(kScopeVector, graticule.data(), field.data(), 10, nullptr, scratch.data(),
                 display.data());
  EXPECT_EQ(display, graticule);
  // The fast pass keeps no trace of one field in the next (its counts are
  // cleared), whichever mode came before.
  for (int mode = 0; mode < kScopeModes; ++mode) {
    for (int again = 0; again < 2; ++again) {
      Expect(mode, field, 144, graticule.data(), again, "repeated pass");
    }
  }
}

// Fields for the parades' luma panel, whose fourth sample weighs 2: each
// group's lumas come from a few levels, so that bytes reach the limit on many
// different plots, early and late in the field, on lines whose six lumas
// share a level and on lines where they do not.
std::vector<std::uint8_t> FewLevelLines(std::mt19937& random, std::uint32_t lines,
                                        std::uint32_t quietLines) {
  std::vector<std::uint8_t> field(lines * kScopeLineBytes);
  for (int group = 0; group < 120; ++group) {
    const std::uint8_t levels[3] = {static_cast<std::uint8_t>(32 + random() % 200),
                                    static_cast<std::uint8_t>(32 + random() % 200),
                                    static_cast<std::uint8_t>(32 + random() % 200)};
    const unsigned kind = random() % 4;
    for (std::uint32_t line = 0; line < lines; ++line) {
      std::uint8_t* at = &field[line * kScopeLineBytes + group * 12];
      // Quiet lines first: black, so that the other levels gather their
      // plots late (walked from the last line back).
      const bool quiet = line < quietLines && kind != 0;
      const bool flat = kind == 1 || (kind == 2 && line % 3 != 0);
      const std::uint8_t shared = levels[random() % 3];
      for (int slot = 0; slot < 6; ++slot) {
        const std::uint8_t y = quiet ? 16 : (flat ? shared : levels[random() % 3]);
        // Both lumas of a byte's level: Y and Y + 1 share a row.
        at[(slot / 2) * 4 + 1 + (slot % 2) * 2] = static_cast<std::uint8_t>(y | (random() & 1));
      }
      for (int pair = 0; pair < 3; ++pair) {
        at[pair * 4] = static_cast<std::uint8_t>(random());
        at[pair * 4 + 2] = static_cast<std::uint8_t>(kind == 3 ? 128 : random());
      }
    }
  }
  return field;
}

TEST_F(ScopeFastPass, ParadesGiveThePlainBytesWhereOrderDecides) {
  std::mt19937 random(41);
  for (int round = 0; round < 12; ++round) {
    const std::uint32_t lines = round < 6 ? kScopeKeptLines : 1 + random() % kScopeKeptLines;
    const auto field = FewLevelLines(random, lines, round % 3 == 0 ? 0 : lines * 3 / 4);
    // Graticules near the limit make the last plots decide; low ones the
    // many plots before.
    const auto graticule = RandomBytes(kScopeBytes, random, round % 2 == 0 ? 150 : 0);
    for (int mode : {int(kScopeYuvParade), int(kScopeRgbParade)}) {
      Expect(mode, field, lines, graticule.data(), round % 5, "few levels");
    }
  }
}

TEST_F(ScopeFastPass, ParadesGiveThePlainBytesWhenSomeSamplesHoldAndOthersMove) {
  // Even pixels steady, odd ones noisy: vectors in which most lanes end a
  // run while the others go on; and lines repeated in some bands only.
  std::mt19937 random(5);
  std::vector<std::uint8_t> field(kScopeKeptLines * kScopeLineBytes);
  for (std::uint32_t line = 0; line < kScopeKeptLines; ++line) {
    for (int pair = 0; pair < 360; ++pair) {
      std::uint8_t* at = &field[line * kScopeLineBytes + pair * 4];
      const bool repeat = (pair / 24) % 2 == 0 && line % 4 != 0 && line > 0;
      if (repeat) {
        std::memcpy(at, at - kScopeLineBytes, 4);
        continue;
      }
      at[0] = static_cast<std::uint8_t>(line % 16 == 0 ? random() : 90);
      at[1] = 100;
      at[2] = static_cast<std::uint8_t>(random());
      at[3] = static_cast<std::uint8_t>(random());
    }
  }
  const auto graticule = RandomBytes(kScopeBytes, random, 100);
  for (int mode : {int(kScopeYuvParade), int(kScopeRgbParade)}) {
    Expect(mode, field, kScopeKeptLines, graticule.data(), 2, "held and moving samples");
    Expect(mode, field, 77, nullptr, 3, "held and moving samples");
  }
}

TEST_F(ScopeFastPass, ParadesGiveThePlainBytesForPairsWithRunsOfAnyLength) {
  // Both pixels of every pair alike, each pair's level held for 1 to 6
  // lines at a time: runs of many lengths end together on both pixels.
  std::mt19937 random(23);
  std::vector<std::uint8_t> field(kScopeKeptLines * kScopeLineBytes);
  for (int pair = 0; pair < 360; ++pair) {
    std::uint32_t hold = 0;
    std::uint8_t u = 0, y = 0, v = 0;
    for (std::uint32_t line = 0; line < kScopeKeptLines; ++line) {
      if (hold == 0) {
        hold = 1 + random() % 6;
        u = static_cast<std::uint8_t>(random()), y = static_cast<std::uint8_t>(random());
        v = static_cast<std::uint8_t>(random());
      }
      --hold;
      std::uint8_t* at = &field[line * kScopeLineBytes + pair * 4];
      at[0] = u, at[1] = y, at[2] = v, at[3] = y;
    }
  }
  const auto graticule = RandomBytes(kScopeBytes, random, 60);
  for (int mode : {int(kScopeYuvParade), int(kScopeRgbParade)}) {
    Expect(mode, field, kScopeKeptLines, graticule.data(), 1, "pairs alike");
    Expect(mode, field, 100, nullptr, 4, "pairs alike");
  }
}

TEST(ScopeYuvParade, TheLightFourthLumaCountsInItsPlaceAtTheLimit) {
  // One group's six lumas on row 192 - 100 / 2 = 142 of a graticule at 240:
  // 5 takes the byte to 245 and the rest add nothing. With the fourth luma
  // alone on the row in the first line, 2 comes first (242) and the next
  // line's first 5 ends at 247.
  std::vector<std::uint8_t> graticule(kScopeBytes, 0);
  graticule[142 * kScopeWidth + 7] = 240;
  std::vector<std::uint8_t> display(kScopeBytes), scratch(720 * 4);
  auto field = testing::FlatLines(30, 128, 128, 2);
  std::uint8_t* group = &field[7 * 12];
  for (int slot = 0; slot < 6; ++slot) group[(slot / 2) * 4 + 1 + (slot % 2) * 2] = 100;
  DrawScope(kScopeYuvParade, graticule.data(), field.data(), 1, nullptr, scratch.data(),
            display.data());
  EXPECT_EQ(display[142 * kScopeWidth + 7], 245);
  for (int slot = 0; slot < 6; ++slot) {
    group[(slot / 2) * 4 + 1 + (slot % 2) * 2] = slot == 3 ? 101 : 30;
    group[kScopeLineBytes + (slot / 2) * 4 + 1 + (slot % 2) * 2] = 100;
  }
  DrawScope(kScopeYuvParade, graticule.data(), field.data(), 2, nullptr, scratch.data(),
            display.data());
  EXPECT_EQ(display[142 * kScopeWidth + 7], 247);
}

TEST(ScopeChosenPass, ThreadsDrawingAtOnceKeepTheirOwnCounts) {
  // The fast pass keeps its counters per thread: two threads drawing
  // different fields at once must each get the plain bytes.
  std::mt19937 random(17);
  const std::vector<std::uint8_t> fields[2] = {RandomBytes(120 * kScopeLineBytes, random),
                                               testing::BarLines(120)};
  std::vector<std::uint8_t> scratch(720 * 4), plain[2][2];
  for (int f = 0; f < 2; ++f) {
    for (int p = 0; p < 2; ++p) {
      plain[f][p].resize(kScopeBytes);
      DrawScope_C(kScopeYuvParade + p, nullptr, fields[f].data(), 120, nullptr, scratch.data(),
                  plain[f][p].data());
    }
  }
  bool same[2] = {true, true};
  auto draw = [&](int f) {
    std::vector<std::uint8_t> display(kScopeBytes), own(720 * 4);
    for (int round = 0; round < 40; ++round) {
      const int p = round % 2;
      DrawScope(kScopeYuvParade + p, nullptr, fields[f].data(), 120, nullptr, own.data(),
                display.data());
      same[f] = same[f] && display == plain[f][p];
    }
  };
  std::thread other(draw, 1);
  draw(0);
  other.join();
  EXPECT_TRUE(same[0]);
  EXPECT_TRUE(same[1]);
}

TEST(ScopeRgbLevels, FastRowGivesTheColourConversionsLevelsForEveryColour) {
  if (!ScopeFastPathAvailable()) GTEST_SKIP() << "no AVX2 on this processor";
  // Every Y, U and V: a line of all V and Y pairs for each U.
  constexpr int kPixels = 256 * 256;
  std::vector<std::uint8_t> line(kPixels * 2), plain(3 * kPixels), fast(3 * kPixels);
  for (int u = 0; u < 256; ++u) {
    for (int p = 0; p < kPixels / 2; ++p) {
      line[p * 4] = static_cast<std::uint8_t>(u);
      line[p * 4 + 1] = static_cast<std::uint8_t>(p % 128 * 2);
      line[p * 4 + 2] = static_cast<std::uint8_t>(p / 128);
      line[p * 4 + 3] = static_cast<std::uint8_t>(p % 128 * 2 + 1);
    }
    UYVYToRgbLevelsRow_C(line.data(), plain.data(), kPixels);
    UYVYToRgbLevelsRow_AVX2(line.data(), fast.data(), kPixels);
    ASSERT_EQ(fast, plain) << "U " << u;
  }
  // The plain row halves the conversion's own bytes.
  std::uint8_t bgra[8];
  decode_ycbcr8_bgra(bgra, line.data(), 2);
  EXPECT_EQ(plain[0], bgra[2] >> 1);
  EXPECT_EQ(plain[kPixels], bgra[1] >> 1);
  EXPECT_EQ(plain[2 * kPixels], bgra[0] >> 1);
}

TEST(ScopeRgbLevels, FastRowTakesAnyWidth) {
  if (!ScopeFastPathAvailable()) GTEST_SKIP() << "no AVX2 on this processor";
  std::mt19937 random(9);
  const auto line = RandomBytes(2 * 64, random);
  for (int pixels = 1; pixels <= 50; ++pixels) {
    std::vector<std::uint8_t> plain(3 * pixels + 1, 0xEE), fast(3 * pixels + 1, 0xEE);
    UYVYToRgbLevelsRow_C(line.data(), plain.data(), pixels);
    UYVYToRgbLevelsRow_AVX2(line.data(), fast.data(), pixels);
    EXPECT_EQ(fast, plain) << pixels << " pixels";
    EXPECT_EQ(fast.back(), 0xEE) << "wrote past " << pixels << " pixels";
  }
}

TEST(ScopeChosenPass, DrawScopeGivesThePlainBytes) {
  std::mt19937 random(3);
  const auto field = RandomBytes(120 * kScopeLineBytes, random);
  std::vector<std::uint32_t> map(65536);
  BuildVectorScopeMap(map.data());
  std::vector<std::uint8_t> scratch(720 * 4), plain(kScopeBytes), chosen(kScopeBytes);
  for (int mode = 0; mode < kScopeModes; ++mode) {
    DrawScope_C(mode, nullptr, field.data(), 120, map.data(), scratch.data(), plain.data());
    DrawScope(mode, nullptr, field.data(), 120, map.data(), scratch.data(), chosen.data());
    EXPECT_EQ(chosen, plain) << "mode " << mode;
  }
}

}  // namespace
}  // namespace quellor::videoproc
