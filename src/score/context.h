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
// a second entry, the row a copy of the joker takes. Then its counts, and what
// the main phase's generic paths read of it.
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
  bool space = false;           // a "j_space"
  std::uint32_t held_reps = 0;  // the extra triggers it gives every held card ("j_mime")
  bool loyalty = false;         // "j_loyalty_card"
  bool x_mult_generic = true;   // the generic multiplier applies (not "j_seeing_double")
  bool has_type = false;        // ab."type"
  std::uint16_t type_mask = 0;
  // What its rows and rules declare, together.
  jokers::Does does = jokers::Does::nothing;
  // Whether the main phase may change anything where it acts, while no other
  // joker changes its state.
  bool main_acts = false;
  double t_mult = 0.0;   // ab."t_mult" when greater than 0, else 0
  double t_chips = 0.0;  // ab."t_chips" when greater than 0, else 0
  // Its column in a play's folds, when it has a per-card or a repetition
  // row; else kNoRow.
  std::int16_t fold = kNoRow;
};

// A fold (CardFold) is one joker's per-card and repetition rows worked out
// once for one scoring card of a play, as the play holds it, so that a run
// applies what they come to instead of testing them on every trigger. A play
// keeps its folds as a table (Play::folds): a row per played position, a
// column per joker that has such a row (JokerRows::fold), Prepared::fold_columns
// of them. A run uses the folds while no phase has changed a played card, and
// runs the rows in full after.

// The per-card row of a fold: the operation it makes on every trigger,
// nothing, or `effect` for a row that runs in full (it reads the run or
// changes joker state).
struct CardOp {
  enum class Kind : std::uint8_t {
    none,
    effect,
    mult_add,
    mult_mul,
    chips_add,
    dollars_add,
    chips_then_mult,  // chips + a, then mult + b
    extra_add,        // the card's extra chips + a
  };
  Kind kind = Kind::none;
  double a = 0.0;
  double b = 0.0;
};

// One fold: a joker's rows for one scoring card.
struct CardFold {
  CardOp per_card;
  bool repeats = false;      // its repetition row acts on the card
  double repetitions = 0.0;  // the amount it adds to the card's repetitions
};

struct Prepared;

// One entry of a phase's walk: the joker whose effect acts and its row.
struct Step {
  std::uint32_t index = 0;  // position in the snapshot's jokers
  std::int16_t row = 0;     // row in the phase's table
  std::int16_t fold = -1;   // the joker's column in a play's folds (JokerRows::fold)
};

// One position of the main phase.
struct MainStep {
  std::uint32_t real = 0;                             // the joker standing there
  std::uint32_t acting = jokers::Resolved::kNothing;  // the joker whose effect acts there
  hand::Edition ed = hand::Edition::none;             // the real joker's, none when debuffed
  bool uncommon = false;                              // the real joker's rarity is 2
};

// A joker order resolved once for every run made with it: the copy rule
// applied, and for each phase only the jokers that have a row in it, in
// order. It depends on the order and the snapshot, never on the play, so the
// search builds it once per order.
class Lineup {
 public:
  // Throws std::out_of_range unless every position names a joker.
  Lineup(const Prepared& prep, std::span<const std::size_t> order);

  std::span<const jokers::Resolved> list() const { return list_.span(); }  // the resolved list
  std::span<const Step> before() const { return walk(0); }
  std::span<const Step> card_reps() const { return walk(1); }
  std::span<const Step> per_card() const { return walk(2); }
  std::span<const Step> held_card() const { return walk(3); }
  std::span<const MainStep> main() const { return main_.span(); }
  std::uint32_t held_reps() const { return held_reps_; }  // extra triggers of every held card
  std::uint32_t space() const { return space_; }          // resolved "j_space" jokers

 private:
  std::span<const Step> walk(std::size_t w) const {
    const std::size_t from = w == 0 ? 0 : ends_[w - 1];
    return steps_.span().subspan(from, ends_[w] - from);
  }

  jokers::ResolvedList list_;
  common::SmallVec<Step, 32> steps_;  // the four walks, one after the other
  std::array<std::uint32_t, 4> ends_{};
  common::SmallVec<MainStep, 8> main_;
  std::uint32_t held_reps_ = 0;
  std::uint32_t space_ = 0;
};

// The snapshot's facts, resolved once per snapshot: every rule-item key to
// its code, every ability value read. Borrows the snapshot.
struct Prepared {
  explicit Prepared(const snapshot::Snapshot& snap);
  // One per snapshot: plays, lineups and runs refer to it.
  Prepared(const Prepared&) = delete;
  Prepared& operator=(const Prepared&) = delete;

  const snapshot::Snapshot& snapshot;
  hand::SuitTable suits;
  std::vector<hand::CardView> hand;       // one per snapshot hand card
  std::vector<jokers::JokerView> jokers;  // one per snapshot joker
  hand::JokerRules rules;
  std::uint32_t oops = 0;                              // non-debuffed "j_oops" jokers
  double odds_mult = 1.0;                              // 2^oops
  double hands_left_after = 0.0;                       // "hands_left" less the hand being played
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
  // The snapshot's own joker order, resolved once: score requests and the
  // search's first stage score every play under it.
  common::Positions identity_order;
  std::optional<Lineup> identity;
  std::uint32_t fold_columns = 0;  // jokers with a per-card or a repetition row
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
  // The play's folds: Prepared::fold_columns per played position, written at
  // the scoring positions only; none for a voided play or an absurd size.
  common::SmallVec<CardFold, 24> folds;
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
  // The play's folds while they hold: none once a phase has changed a
  // played card.
  const CardFold* folds = nullptr;
  double chips = 0.0;
  double mult = 0.0;
  double dollars = 0.0;
  double cards_added = 0.0;
  hand::JokerRules rules;
  bool blind_triggered = false;

  // The played card at `pos`, to change: the first change copies the played
  // cards into the run's own.
  hand::CardView& change_played(std::size_t pos) {
    if (played.data() != own.played.data()) {
      own.played.assign(played);
      played = own.played.span();
      folds = nullptr;
    }
    return own.played[pos];
  }
  // An edition's bonus, in its two steps: "e_foil" and "e_holo" add,
  // "e_polychrome" multiplies. A joker position adds before its joker's
  // effect and multiplies after it; a card has one edition, so one step acts.
  void edition_add(hand::Edition ed) {
    if (ed == hand::Edition::foil) chips += 50.0;
    if (ed == hand::Edition::holo) mult += 10.0;
  }
  void edition_multiply(hand::Edition ed) {
    if (ed == hand::Edition::polychrome) mult *= 1.5;
  }
  // Whether either step changes anything.
  static bool edition_acts(hand::Edition ed) {
    return ed == hand::Edition::foil || ed == hand::Edition::holo ||
           ed == hand::Edition::polychrome;
  }
  // Appends a card to the held cards, copying them into the run's own first.
  void add_held(const hand::CardView& card) {
    if (held.data() != own.held.data()) own.held.assign(held);
    own.held.push_back(card);
    held = own.held.span();
  }
};

}  // namespace quorvel::score
