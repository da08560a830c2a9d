// Integer powers as the C runtime's integer-power routine computes them:
// repeated squaring, so every result is bit for bit what that routine gives
// (std::pow may round differently).
#pragma once

#include <cstdint>

namespace quorvel::common {

inline double powi(double base, std::uint32_t power) {
  double r = 1.0;
  for (;;) {
    if (power & 1u) r *= base;
    power >>= 1;
    if (power == 0) break;
    base *= base;
  }
  return r;
}

// A negative power gives the reciprocal of the positive one, taken last.
inline double powi(double base, std::int32_t power) {
  if (power < 0) return 1.0 / powi(base, 0u - static_cast<std::uint32_t>(power));
  return powi(base, static_cast<std::uint32_t>(power));
}

}  // namespace quorvel::common
