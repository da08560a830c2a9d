// Positions into a list (the hand, the played cards, the jokers), and the one
// check that every position names an entry.
#pragma once

#include <cstddef>
#include <span>
#include <stdexcept>

#include "common/small_vec.h"

namespace quorvel::common {

// A handful in any ordinary play; more only in unusual requests.
using Positions = SmallVec<std::size_t, 8>;

// Throws std::out_of_range(what) unless every position is below `size`. The
// engine's own callers never fail it: it guards against a bad caller.
inline void check_positions(std::span<const std::size_t> positions, std::size_t size,
                            const char* what) {
  for (std::size_t p : positions) {
    if (p >= size) throw std::out_of_range(what);
  }
}

}  // namespace quorvel::common
