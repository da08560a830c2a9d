// Shared setup of the scoring tests: a snapshot with a few hand levels.
#pragma once

#include <span>
#include <vector>

#include "score/score.h"
#include "support/build.h"

namespace quorvel::score::test {

inline snapshot::Snapshot base_snapshot() {
  snapshot::Snapshot s;
  s.levels["High Card"] = testing::level(5, 1);
  s.levels["Pair"] = testing::level(10, 2, 15, 1);
  s.levels["Flush"] = testing::level(35, 4, 15, 2);
  s.round.hands_left = 3;
  return s;
}

inline Outcome run_once(const snapshot::Snapshot& s, std::vector<std::size_t> played,
                        std::uint8_t mode = ModeChance::kExpected, std::uint32_t level_ups = 0,
                        bool* used = nullptr) {
  const Prepared prep(s);
  const Play play(prep, played);
  ModeChance chance(mode);
  const Outcome o = run(prep, play, *prep.identity, chance, level_ups);
  if (used) *used = chance.used();
  return o;
}

// The expected outcome of a play under a joker order, prepared as a search
// prepares it.
inline Outcome expected_of(const snapshot::Snapshot& s, std::span<const std::size_t> played,
                           std::span<const std::size_t> order) {
  const Prepared prep(s);
  const Play play(prep, played);
  return score_expected(prep, play, order);
}

}  // namespace quorvel::score::test
