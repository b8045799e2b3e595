// Where the board's fields fall on the output device's clock, learnt from
// the board's field counter (engine ordinal 98) read against the device
// clock. The output thread uses it to hand a frame to the board during the
// frame before the one that is to show it: early enough that a late
// wake-up does not cost a field, never so early that the frame shows
// before its presentation time.
//
// Each read of the counter bounds the start of a field: the field read
// started no later than the read, and a field that was not yet current at
// the previous read started after it. The bounds of many reads meet within
// the polling interval. Bounds that contradict each other (the board's clock
// was re-based, or driven by hand) start the learning over.
//
// Times are device microseconds; field periods are exact fractions (NTSC
// 1001000/60 us, PAL 20000 us), kept as scaled integers.
#pragma once

#include <cstdint>
#include <limits>

namespace quellor::rtvbridge {

class FieldPhase {
 public:
  explicit FieldPhase(bool ntsc);

  // The counter read `field` somewhere between device times `before` and
  // `after` (before <= after).
  void Observe(std::uint32_t field, std::int64_t before, std::int64_t after);
  // True once a field start is bounded from below.
  bool Known() const { return low_ != kUnknown; }
  // The first frame-starting (even) field that starts at or after `time`,
  // by the earliest start the reads allow, so that the field found never
  // starts before `time`. Only when Known().
  std::uint32_t FrameFieldAtOrAfter(std::int64_t time) const;
  // The last field the counter read.
  std::uint32_t LastField() const { return lastField_; }

 private:
  static constexpr std::int64_t kUnknown = std::numeric_limits<std::int64_t>::min();
  static constexpr std::int64_t kUnbounded = std::numeric_limits<std::int64_t>::max();

  void Restart(std::uint32_t field, std::int64_t before, std::int64_t after);
  std::int64_t FieldsFromAnchor(std::uint32_t field) const;

  const std::int64_t periodNumerator_;    // a field, in microseconds x periodDenominator_
  const std::int64_t periodDenominator_;  // 60 (NTSC) or 1 (PAL)
  bool seen_ = false;
  std::uint32_t anchor_ = 0;  // the field whose start the bounds are about
  // Bounds on the anchor's start, in microseconds x periodDenominator_:
  // low_ < start <= high_.
  std::int64_t low_ = kUnknown;
  std::int64_t high_ = kUnbounded;
  std::uint32_t lastField_ = 0;
  std::int64_t lastBefore_ = 0;
};

}  // namespace quellor::rtvbridge
