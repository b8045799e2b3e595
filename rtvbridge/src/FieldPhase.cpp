#include "FieldPhase.h"

namespace quellor::rtvbridge {
namespace {

// Floor and ceiling of a / b for b > 0.
std::int64_t FloorDivide(std::int64_t a, std::int64_t b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}
std::int64_t CeilDivide(std::int64_t a, std::int64_t b) {
  return -FloorDivide(-a, b);
}

}  // namespace

FieldPhase::FieldPhase(bool ntsc)
    : periodNumerator_(ntsc ? 1001000 : 20000), periodDenominator_(ntsc ? 60 : 1) {}

std::int64_t FieldPhase::FieldsFromAnchor(std::uint32_t field) const {
  // The counter wraps; fields within 2^31 of the anchor are told apart.
  return static_cast<std::int32_t>(field - anchor_);
}

void FieldPhase::Restart(std::uint32_t field, std::int64_t before, std::int64_t after) {
  seen_ = true;
  anchor_ = field;
  low_ = kUnknown;
  high_ = after * periodDenominator_;
  lastField_ = field;
  lastBefore_ = before;
}

void FieldPhase::Observe(std::uint32_t field, std::int64_t before, std::int64_t after) {
  if (!seen_) {
    Restart(field, before, after);
    return;
  }
  // A counter that went back: the board's clock started over.
  if (static_cast<std::int32_t>(field - lastField_) < 0) {
    Restart(field, before, after);
    return;
  }
  // The field read had started by `after`.
  const std::int64_t high = after * periodDenominator_ - FieldsFromAnchor(field) * periodNumerator_;
  std::int64_t low = low_;
  if (field != lastField_) {
    // The field after the last one read had not started at the last read.
    const std::int64_t startedAfter =
        lastBefore_ * periodDenominator_ - FieldsFromAnchor(lastField_ + 1) * periodNumerator_;
    if (low == kUnknown || startedAfter > low) low = startedAfter;
  }
  const std::int64_t newHigh = high < high_ ? high : high_;
  if (low != kUnknown && low >= newHigh) {
    Restart(field, before, after);
    return;
  }
  low_ = low;
  high_ = newHigh;
  lastField_ = field;
  lastBefore_ = before;
}

std::uint32_t FieldPhase::FrameFieldAtOrAfter(std::int64_t time) const {
  // The anchor starts later than low_, so field anchor + k starts later than
  // low_ + k x period: the first k with low_ + k x period >= time is safe.
  const std::int64_t fields = CeilDivide(time * periodDenominator_ - low_, periodNumerator_);
  std::uint32_t field = anchor_ + static_cast<std::uint32_t>(fields);
  if (field & 1u) ++field;
  return field;
}

}  // namespace quellor::rtvbridge
