// Poker-hand detection: which hand types a selection contains, the best one,
// and which played cards score.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "common/positions.h"
#include "hand/card.h"

namespace quorvel::hand {

// Best first; the numeric value is the rank in that order.
enum class HandType : std::uint8_t {
  flush_five,
  flush_house,
  five_of_a_kind,
  straight_flush,
  four_of_a_kind,
  full_house,
  flush,
  straight,
  three_of_a_kind,
  two_pair,
  pair,
  high_card,
};
inline constexpr std::size_t kHandTypes = 12;

// "Flush Five" ... "High Card".
std::string_view name(HandType type);
// The hand type with that exact name, or false.
bool type_of(std::string_view text, HandType& out);

struct Detected {
  common::Positions scoring;      // positions in the played list, ascending
  std::uint16_t poker_hands = 0;  // bit i set: HandType i is contained
  HandType name = HandType::high_card;

  bool contains(HandType t) const { return (poker_hands >> static_cast<unsigned>(t)) & 1u; }
};

Detected detect(std::span<const CardView> cards, JokerRules rules);

double nominal(const CardView& card);
// Chips a card's rank is worth: 11 for the Ace, 10 for the faces, the rank
// itself below; none for a hidden card or one without a rank.
inline double rank_chips(const CardView& card) {
  if (card.hidden || card.rank <= 0) return 0.0;
  if (card.rank == 14) return 11.0;
  if (card.rank >= 11 && card.rank <= 13) return 10.0;
  return static_cast<double>(card.rank);
}

}  // namespace quorvel::hand
