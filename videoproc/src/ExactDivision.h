// Division of 32-bit values by one divisor used many times (the gradient
// divides three values a line by the field's width): a multiplication and a
// shift instead of a division, giving exactly the quotient of the division
// (truncated toward zero). The multiplier is ceil(2^(32 + l) / d) with
// 2^(l - 1) < d <= 2^l; for 0 <= n < 2^32 the product's top bits are then
// floor(n / d) (Granlund and Montgomery's round-up method).
#pragma once

#include <cstdint>

namespace quellor::videoproc {

class ExactDivisor {
 public:
  // divisor: 1 .. 2^31 - 1.
  explicit ExactDivisor(std::uint32_t divisor) {
    while ((std::uint64_t{1} << m_log) < divisor) ++m_log;
    const std::uint64_t power = std::uint64_t{1} << (32 + m_log);  // at most 2^63
    m_multiplier = power / divisor + (power % divisor != 0 ? 1 : 0);
  }

  // value / divisor, truncated toward zero, for |value| < 2^31.
  std::int32_t Divide(std::int32_t value) const {
    const std::uint64_t magnitude =
        value < 0 ? std::uint64_t{0} - static_cast<std::int64_t>(value) : value;
    // magnitude < 2^31 and the multiplier <= 2^33: the product fits 64 bits.
    const auto quotient = static_cast<std::int32_t>((magnitude * m_multiplier) >> (32 + m_log));
    return value < 0 ? -quotient : quotient;
  }

 private:
  std::uint32_t m_log = 0;
  std::uint64_t m_multiplier = 0;
};

}  // namespace quellor::videoproc
