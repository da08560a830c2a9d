// A slow, literal detector for comparison with hand::detect: it follows the
// detection rules step by step with plain vectors, built on its own same-rank
// groups and on nominal and flush_matches, so it shares none of detect's
// bit-mask shortcuts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "hand/card.h"
#include "hand/hand.h"

namespace quorvel::hand::reference {

struct Result {
  HandType name = HandType::high_card;
  std::uint16_t poker_hands = 0;  // bit i set: HandType i is contained
  std::vector<std::size_t> scoring;
};

// Positions of the flush (the first suit that enough cards match), or none.
std::vector<std::size_t> flush(std::span<const CardView> cards, std::size_t size, JokerRules rules);
// Positions whose counting rank is one of the best chain's ranks, or none.
std::vector<std::size_t> straight(std::span<const CardView> cards, std::size_t size,
                                  JokerRules rules);

Result detect(std::span<const CardView> cards, JokerRules rules);

}  // namespace quorvel::hand::reference
