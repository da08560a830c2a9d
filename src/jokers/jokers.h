// Jokers: rule flags, the ability values read once per snapshot, copy
// resolution and per-run joker state. The phases that apply joker effects
// work on a scoring run's context and live with the scoring run (score/phases).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "common/small_vec.h"
#include "hand/card.h"
#include "hand/hand.h"
#include "jokers/keys.h"
#include "snapshot/snapshot.h"

namespace quorvel::jokers {

// Every number a joker effect reads from its ability object "ab", read once per
// snapshot. An empty optional means the member is absent or not a JSON number;
// each effect applies its own default at the point of use.
struct Ability {
  // ab."k" ("mult" and "x_mult" only start the joker's state: JokerView::initial)
  std::optional<double> t_mult, t_chips, stone_tally, steel_tally, driver_tally, caino_xmult,
      hands_played_at_create;
  // ab."extra" as a number
  std::optional<double> extra;
  // ab."extra"."k"
  std::optional<double> chip_mod, hand_add, dollars, chips, extra_mult, odds, xmult, s_mult, size,
      min, max, d_remaining, every;
  // ab."type": present when a non-empty string; the mask has the bit of the
  // hand type it names (none when it names no hand type, so never contained).
  bool has_type = false;
  std::uint16_t type_mask = 0;
  // ab."to_do_poker_hand" when it is a string naming a hand type.
  std::optional<hand::HandType> to_do_poker_hand;
  // ab."extra"."suit" when a string, else the empty suit.
  hand::Suit suit = hand::kNoSuit;
};

Ability read_ability(const snapshot::Joker& joker, hand::SuitTable& suits);

// Scaling state of one joker during one run.
struct JState {
  double mult = 0.0;
  double x_mult = 1.0;
  double chips = 0.0;
};

// What a joker rule does beyond the run's running values (chips, mult,
// dollars, a played card's extra chips) and what it reads beyond its own
// joker, the card at hand, the play and the snapshot. Every phase row, and
// every rule that is not a row, declares its own once, beside its code: the
// search's shared scoring runs rest on these declarations.
enum class Does : std::uint8_t {
  nothing = 0,
  grow_own = 1,       // changes its own joker's state (JState)
  change_others = 2,  // changes another joker's state
  change_played = 4,  // changes a played card
  change_held = 8,    // adds or changes held cards
  read_order = 16,    // reads the joker order beyond its own place
};
constexpr Does operator|(Does a, Does b) {
  return static_cast<Does>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
// Whether `set` holds any of `bits`.
constexpr bool any(Does set, Does bits) {
  return (static_cast<unsigned>(set) & static_cast<unsigned>(bits)) != 0;
}

// One joker as scoring sees it.
struct JokerView {
  std::int64_t id = 0;
  Key key = Key::none;
  hand::Edition ed = hand::Edition::none;
  bool debuff = false;
  bool hidden = false;
  std::int32_t rarity = 0;
  Ability ab;
  JState initial;  // JState at the start of every run
};

JokerView view(const snapshot::Joker& joker, hand::SuitTable& suits);

// A joker position resolved to the snapshot joker whose effect acts there.
struct Resolved {
  static constexpr std::uint32_t kNothing = 0xFFFFFFFFu;  // the position resolves to nothing

  std::uint32_t index = 0;  // position in the snapshot's jokers
  bool copied = false;      // acts through "j_blueprint" / "j_brainstorm"

  bool acts() const { return index != kNothing; }
};

using ResolvedList = common::SmallVec<Resolved, 8>;

// "j_blueprint" and "j_brainstorm": they act with another joker's effect.
inline bool is_copy(Key key) {
  return key == Key::j_blueprint || key == Key::j_brainstorm;
}
// Which effect a copy takes depends on its neighbour in the order.
inline constexpr Does kCopyDoes = Does::read_order;

hand::JokerRules rules(std::span<const JokerView> jokers);
bool is_face(const hand::CardView& card, hand::JokerRules rules);

// Throws std::out_of_range unless every position of the order names a joker.
void check_order(std::span<const JokerView> jokers, std::span<const std::size_t> order);
// The walk of resolve_at from a copy joker that is neither debuffed nor hidden.
Resolved resolve_copy(std::span<const JokerView> jokers, std::span<const std::size_t> order,
                      std::size_t pos);
// The joker whose effect acts at place `pos` of an order already checked, or
// Resolved::kNothing: the per-order tables store whole entries, never an
// optional. A debuffed or hidden joker resolves to nothing.
inline Resolved resolve_at(std::span<const JokerView> jokers, std::span<const std::size_t> order,
                           std::size_t pos) {
  const JokerView& c = jokers[order[pos]];
  if (c.debuff || c.hidden) return Resolved{Resolved::kNothing, false};
  if (!is_copy(c.key)) return Resolved{static_cast<std::uint32_t>(order[pos]), false};
  return resolve_copy(jokers, order, pos);
}
common::SmallVec<JState, 8> initial_state(std::span<const JokerView> jokers);
// The money a voided hand earns under a resolved list: "j_matador", copies included.
double debuffed_hand_money(std::span<const JokerView> jokers, std::span<const Resolved> list);

}  // namespace quorvel::jokers
