// The scoring engine's view of a playing card: rule items resolved to small
// codes once per snapshot, so the hot scoring path compares no strings.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "snapshot/snapshot.h"

namespace quorvel::hand {

// A suit string interned per snapshot: equal codes mean byte-equal strings.
// The four suits and the empty string have fixed codes; any other string met
// in the snapshot gets the next free code. 32 bits: a score request may carry
// more than 65531 distinct made-up suits, and a code must never wrap round
// onto another suit's.
using Suit = std::uint32_t;
inline constexpr Suit kSpades = 0;
inline constexpr Suit kHearts = 1;
inline constexpr Suit kClubs = 2;
inline constexpr Suit kDiamonds = 3;
inline constexpr Suit kNoSuit = 4;  // the empty string

// Only "Hearts" and "Diamonds" are red; every other suit string is black.
inline bool is_red(Suit s) {
  return s == kHearts || s == kDiamonds;
}

class SuitTable {
 public:
  Suit intern(std::string_view suit);

 private:
  std::map<std::string, Suit, std::less<>> others_;  // codes 5, 6, ...
};

enum class Enh : std::uint8_t { none, bonus, mult, wild, glass, steel, stone, gold, lucky, other };
enum class Edition : std::uint8_t { none, foil, holo, polychrome, negative, other };
enum class Seal : std::uint8_t { none, gold, red, blue, purple, other };

Enh enh_of(const std::optional<std::string>& key);
Edition edition_of(const std::optional<std::string>& key);
Seal seal_of(const std::optional<std::string>& key);

// One card as scoring sees it. Trivially copyable: a phase that changes a
// card changes the run's own copy, never the snapshot.
struct CardView {
  std::int64_t id = 0;
  std::int32_t rank = 0;
  Suit suit = kNoSuit;
  Enh enh = Enh::none;
  Edition ed = Edition::none;
  Seal seal = Seal::none;
  bool debuff = false;
  bool hidden = false;
  double bonus = 0.0;   // perma "bonus"
  double mult = 0.0;    // perma "mult"
  double x_mult = 1.0;  // perma "x_mult"
};

CardView view(const snapshot::Card& card, SuitTable& suits);

// The five rule flags that jokers set, in this order.
struct JokerRules {
  bool four_fingers = false;
  bool shortcut = false;
  bool smeared = false;
  bool pareidolia = false;
  bool splash = false;
};

// Suit test of flushes and of "j_blackboard".
bool flush_matches(const CardView& card, Suit suit, JokerRules rules);
// Suit test of jokers that read a suit.
bool is_suit_bypass(const CardView& card, Suit suit, bool allow_debuffed, JokerRules rules);

}  // namespace quorvel::hand
