// Learning the board's field clock from its counter: the field chosen for a
// time never starts before it, is the first such frame field once the reads
// are close together, and a clock that starts over is learnt anew.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "FieldPhase.h"

namespace quellor::rtvbridge::testing {
namespace {

// A board clock on device microseconds: field `base` + n starts at
// offset + n x period, the period an exact fraction numerator / denominator.
struct TrueClock {
  std::int64_t numerator = 1001000, denominator = 60;  // NTSC
  std::int64_t offset = 0;                             // microseconds
  std::uint32_t base = 1000;

  std::uint32_t FieldAt(std::int64_t time) const {
    const std::int64_t fields = (time - offset) * denominator / numerator;  // time >= offset
    return base + static_cast<std::uint32_t>(fields);
  }
  // Exactly, in microseconds x denominator.
  std::int64_t ScaledStart(std::uint32_t field) const {
    return offset * denominator + static_cast<std::int64_t>(field - base) * numerator;
  }
};

// Reads the counter from `from` to `to`, `gap` microseconds apart, each
// read taking `spread` microseconds.
void ReadEvery(FieldPhase& phase, const TrueClock& clock, std::int64_t from, std::int64_t to,
               std::int64_t gap, std::int64_t spread = 3) {
  for (std::int64_t t = from; t < to; t += gap)
    phase.Observe(clock.FieldAt(t + spread / 2), t, t + spread);
}

TEST(FieldPhaseTest, ReadsAMillisecondApartFindTheFirstFrameFieldAtOrAfterATime) {
  for (const bool ntsc : {true, false}) {
    TrueClock clock;
    if (!ntsc) {
      clock.numerator = 20000;
      clock.denominator = 1;
    }
    clock.offset = 5'000'123;
    FieldPhase phase(ntsc);
    EXPECT_FALSE(phase.Known());
    ReadEvery(phase, clock, clock.offset + 100, clock.offset + 100 + 1'000'000, 1000);
    ASSERT_TRUE(phase.Known());
    EXPECT_EQ(phase.LastField(), clock.FieldAt(clock.offset + 100 + 999'000 + 1));
    // Times across two seconds, at every microsecond phase of a frame.
    for (std::int64_t t = clock.offset + 1'000'000; t < clock.offset + 3'000'000; t += 997) {
      const std::uint32_t field = phase.FrameFieldAtOrAfter(t);
      SCOPED_TRACE(t);
      EXPECT_EQ(field & 1u, 0u);
      EXPECT_GE(clock.ScaledStart(field), t * clock.denominator);  // never before the time
      // The frame field before it starts more than a read's distance (plus
      // the read's own length) before the time: a frame later only then.
      EXPECT_LT(clock.ScaledStart(field - 2), (t + 1003) * clock.denominator);
    }
  }
}

TEST(FieldPhaseTest, IrregularReadsNeverPickAFieldThatStartsEarly) {
  std::mt19937 random(7);
  std::uniform_int_distribution<std::int64_t> gap(0, 40'000), spread(0, 2'000);
  TrueClock clock;
  clock.offset = 123'457;
  FieldPhase phase(true);
  std::int64_t t = clock.offset;
  for (int read = 0; read < 5000; ++read) {
    const std::int64_t length = spread(random);
    // The counter is read at some moment inside [t, t + length].
    const std::int64_t at = t + std::uniform_int_distribution<std::int64_t>(0, length)(random);
    phase.Observe(clock.FieldAt(at), t, t + length);
    if (phase.Known()) {
      const std::int64_t wanted = t + gap(random);
      const std::uint32_t field = phase.FrameFieldAtOrAfter(wanted);
      ASSERT_GE(clock.ScaledStart(field), wanted * clock.denominator) << read;
      ASSERT_EQ(field & 1u, 0u);
    }
    t += length + gap(random);
  }
  EXPECT_TRUE(phase.Known());
}

TEST(FieldPhaseTest, AClockThatStartsOverIsLearntAnew) {
  TrueClock clock;
  clock.offset = 1'000'000;
  FieldPhase phase(true);
  ReadEvery(phase, clock, clock.offset, clock.offset + 500'000, 1000);
  ASSERT_TRUE(phase.Known());

  // Re-based half a field later with the counter carrying on: the old
  // bounds contradict the new reads, and the new phase is learnt.
  TrueClock moved = clock;
  moved.offset = clock.offset + 8'000;
  ReadEvery(phase, moved, clock.offset + 500'000, clock.offset + 1'000'000, 1000);
  ASSERT_TRUE(phase.Known());
  for (std::int64_t t = clock.offset + 1'100'000; t < clock.offset + 1'500'000; t += 1013)
    ASSERT_GE(moved.ScaledStart(phase.FrameFieldAtOrAfter(t)), t * moved.denominator) << t;

  // A counter that goes back (another board clock): nothing is known until a
  // field change has been seen again.
  TrueClock other = clock;
  other.base = 10;
  other.offset = clock.offset + 1'000'000;
  phase.Observe(other.FieldAt(other.offset + 1), other.offset + 1, other.offset + 2);
  EXPECT_FALSE(phase.Known());
  EXPECT_EQ(phase.LastField(), 10u);
  ReadEvery(phase, other, other.offset + 1000, other.offset + 100'000, 1000);
  EXPECT_TRUE(phase.Known());
  EXPECT_GE(other.ScaledStart(phase.FrameFieldAtOrAfter(other.offset + 200'000)),
            (other.offset + 200'000) * other.denominator);
}

TEST(FieldPhaseTest, ACounterThatStandsStillTeachesNothing) {
  // No board (the counter reads 0) or a hand-driven clock that is not moved.
  FieldPhase phase(true);
  for (std::int64_t t = 0; t < 1'000'000; t += 1000) phase.Observe(0, t, t + 1);
  EXPECT_FALSE(phase.Known());
}

TEST(FieldPhaseTest, CounterWrapsAreFollowed) {
  TrueClock clock;
  clock.base = 0xFFFFFF00u;
  clock.offset = 2'000'000;
  FieldPhase phase(true);
  ReadEvery(phase, clock, clock.offset, clock.offset + 8'000'000, 1000);  // past the wrap
  ASSERT_TRUE(phase.Known());
  EXPECT_LT(phase.LastField(), 0x1000u);
  const std::int64_t t = clock.offset + 8'100'000;
  const std::uint32_t field = phase.FrameFieldAtOrAfter(t);
  EXPECT_GE(clock.ScaledStart(field), t * clock.denominator);
  EXPECT_LT(clock.ScaledStart(field - 2), (t + 1003) * clock.denominator);
}

}  // namespace
}  // namespace quellor::rtvbridge::testing
