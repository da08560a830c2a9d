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

// Where one snapshot joker acts in the phases of a run: its row in each
// phase's table, or kNoRow. A phase that leaves some rows out for a copy has
// a second entry, the row a copy of the joker takes.
struct JokerRows {
  static constexpr std::int8_t kNoRow = -1;
  std::int8_t before = kNoRow;
  std::int8_t before_copy = kNoRow;
  std::int8_t card_reps = kNoRow;
  std::int8_t per_card = kNoRow;
  std::int8_t per_card_copy = kNoRow;
  std::int8_t held_card = kNoRow;
  std::int8_t held_card_copy = kNoRow;
  std::int8_t main = kNoRow;
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
  std::vector<JokerRows> rows;                         // one per snapshot joker
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

// One entry of a phase's walk: the joker whose effect acts and its row.
struct Step {
  std::uint32_t index = 0;  // position in the snapshot's jokers
  std::int32_t row = 0;     // row in the phase's table
};

// One position of the main phase.
struct MainStep {
  std::uint32_t real = 0;                             // the joker standing there
  std::uint32_t acting = jokers::Resolved::kNothing;  // the joker whose effect acts there
  std::int32_t row = JokerRows::kNoRow;               // its row in the main table
};

// A joker order resolved once for every run made with it: the copy rule
// applied, and for each phase only the jokers that have a row in it, in
// order. It depends on the order and the snapshot, never on the play, so the
// search builds it once per order. Borrows the order.
struct Lineup {
  // Throws std::out_of_range unless every position names a joker.
  Lineup(const Prepared& prep, std::span<const std::size_t> order);

  jokers::ResolvedOrder resolved;
  common::SmallVec<Step, 8> before;
  common::SmallVec<Step, 8> card_reps;
  common::SmallVec<Step, 8> per_card;
  common::SmallVec<Step, 8> held_card;
  common::SmallVec<MainStep, 8> main;
  std::uint32_t held_reps = 0;  // extra triggers of every held card ("j_mime")
  std::uint32_t space = 0;      // resolved "j_space" jokers

  std::span<const std::size_t> order() const { return resolved.order; }
};

// The run's own copies of its cards, made only when a phase changes one.
struct OwnCards {
  common::SmallVec<hand::CardView, 8> played;
  common::SmallVec<hand::CardView, 16> held;
};

// The context of one scoring run, built and dropped by score::run; the joker
// phases change it through a mutable reference. The cards are the play's own
// until a phase changes one; then the run's copies take their place.
struct ScoreCtx {
  const Prepared& prep;
  const snapshot::Snapshot& snapshot;
  const Lineup& lineup;
  std::span<const hand::CardView> played;
  std::span<const hand::CardView> held;
  OwnCards& own;
  std::span<jokers::JState> jstates;
  std::span<double> per_card_extra;
  Chance& chance;
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

  // The played card at `pos`, to change: the first change copies the played
  // cards into the run's own.
  hand::CardView& change_played(std::size_t pos) {
    if (played.data() != own.played.data()) {
      own.played.assign(played);
      played = own.played.span();
    }
    return own.played[pos];
  }
  // Appends a card to the held cards, copying them into the run's own first.
  void add_held(const hand::CardView& card) {
    if (held.data() != own.held.data()) own.held.assign(held);
    own.held.push_back(card);
    held = own.held.span();
  }
};

}  // namespace quorvel::score
