// What a scoring run works on: the snapshot's facts resolved once (Prepared),
// one played selection resolved once (Play), and the run's own context.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "blinds/blinds.h"
#include "common/positions.h"
#include "common/small_vec.h"
#include "hand/card.h"
#include "hand/hand.h"
#include "jokers/jokers.h"
#include "score/chance.h"
#include "snapshot/snapshot.h"

namespace quorvel::score {

// The level record of one hand type; found is false when "levels" has none.
struct LevelInfo {
  bool found = false;
  snapshot::Level level;
};

// One entry of the "levels" map, in the map's key order.
struct LevelEntry {
  std::optional<hand::HandType> type;  // the hand type it is filed under, if any
  bool visible = false;
  double played = 0.0;
  double played_round = 0.0;
};

// The snapshot's facts, resolved once per snapshot: every rule-item key to
// its code, every ability value read. Borrows the snapshot.
struct Prepared {
  explicit Prepared(const snapshot::Snapshot& snap);

  const snapshot::Snapshot& snapshot;
  hand::SuitTable suits;
  std::vector<hand::CardView> hand;       // one per snapshot hand card
  std::vector<jokers::JokerView> jokers;  // one per snapshot joker
  hand::JokerRules rules;
  std::uint32_t oops = 0;                              // non-debuffed "j_oops" jokers
  double odds_mult = 1.0;                              // 2^oops
  double space_p = 1.0;                                // chance that one "j_space" levels up
  common::SmallVec<jokers::JState, 8> initial_states;  // jokers::initial_state
  std::array<LevelInfo, hand::kHandTypes> levels;
  std::vector<LevelEntry> level_entries;
  blinds::Boss blind = blinds::Boss::none;
  std::optional<hand::HandType> most_played;
  std::int32_t idol_rank = 0;
  hand::Suit idol_suit = hand::kNoSuit;
  hand::Suit ancient_suit = hand::kNoSuit;
  bool observatory = false;
  std::array<std::uint32_t, hand::kHandTypes> planets{};  // planet consumables per hand type
  bool plasma = false;
  std::vector<std::string> approximate;  // approximate_tags of the snapshot
};

// One played selection, resolved once: its cards, the held cards, the
// detected hand and whether the boss blind voids it. Independent of the
// joker order, so the search scores many orders against one Play.
struct Play {
  Play(const Prepared& prep, std::span<const std::size_t> played);

  common::Positions positions;  // hand positions in play order
  common::SmallVec<hand::CardView, 8> played;
  common::SmallVec<hand::CardView, 16> held;
  hand::Detected detected;
  bool voided = false;
};

// The context of one scoring run, built and dropped by score::run; the joker
// phases change it through a mutable reference.
struct ScoreCtx {
  const Prepared& prep;
  const snapshot::Snapshot& snapshot;
  common::SmallVec<hand::CardView, 8> played;
  common::SmallVec<hand::CardView, 16> held;
  common::SmallVec<jokers::JState, 8> jstates;
  common::SmallVec<double, 8> per_card_extra;
  Chance& chance;
  std::span<const std::size_t> order;
  // `order` resolved once (the phases read it at every call): per position,
  // and as the resolved list.
  std::span<const jokers::Resolved> resolved_at;
  std::span<const jokers::Resolved> resolved;
  const hand::Detected& detected;
  double chips = 0.0;
  double mult = 0.0;
  double base_chips = 0.0;
  double base_mult = 0.0;
  double dollars = 0.0;
  double hands_left_after = 0.0;
  double odds_mult = 1.0;
  double cards_added = 0.0;
  hand::JokerRules rules;
  bool blind_triggered = false;
};

}  // namespace quorvel::score
