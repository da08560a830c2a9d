#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>
#include <string_view>

#include "blinds/blinds.h"
#include "score/context.h"
#include "score/phases/phases.h"
#include "score/score.h"

namespace quorvel::score {

namespace {

// Bounds of a play's folds: a play of absurd size scores its rows in full
// instead of holding a table of cards times jokers.
constexpr std::uint32_t kMaxFoldColumns = 256;
constexpr std::size_t kMaxFolds = 1024;

// Each "j_oops" doubles the odds. A double is infinite from 2^1024 up, so a
// larger count gives the same 2^oops, and this bound keeps the exponent an int.
constexpr std::uint32_t kMaxOddsDoublings = 4096;

// The planet consumable of each hand type, in hand-type order.
constexpr std::array<std::string_view, hand::kHandTypes> kPlanets = {
    "c_eris",    "c_ceres",  "c_planet_x", "c_neptune", "c_mars",    "c_earth",
    "c_jupiter", "c_saturn", "c_venus",    "c_uranus",  "c_mercury", "c_pluto"};

std::optional<hand::HandType> hand_type(std::string_view text) {
  hand::HandType t;
  if (hand::type_of(text, t)) return t;
  return std::nullopt;
}

// The chance that one "j_space" levels the hand up: 2^oops over the odds of
// the first "j_space" in the snapshot, whatever its flags.
double space_probability(const snapshot::Snapshot& snap, std::span<const jokers::JokerView> js,
                         double odds_mult) {
  double odds = 4.0;
  for (std::size_t i = 0; i < js.size(); ++i) {
    if (js[i].key == jokers::Key::j_space) {
      odds = snap.jokers[i].extra(4.0);
      break;
    }
  }
  // Odds of zero or below make the level-up certain, as they do for every
  // other chance; a negative quotient would weigh runs with negative weights.
  if (odds <= 0.0) return 1.0;
  const double p = odds_mult / odds;
  return p < 1.0 ? p : 1.0;  // a NaN quotient also gives 1
}

}  // namespace

Prepared::Prepared(const snapshot::Snapshot& snap) : snapshot(snap) {
  hand.reserve(snap.hand.size());
  for (const snapshot::Card& c : snap.hand) hand.push_back(hand::view(c, suits));
  jokers.reserve(snap.jokers.size());
  for (const snapshot::Joker& j : snap.jokers) jokers.push_back(jokers::view(j, suits));
  rules = jokers::rules(jokers);
  initial_states = jokers::initial_state(jokers);
  rows.reserve(jokers.size());
  for (const jokers::JokerView& j : jokers) {
    JokerRows r = jokers::rows_of(j);
    if (r.per_card != JokerRows::kNoRow || r.card_reps != JokerRows::kNoRow)
      r.fold = static_cast<std::int16_t>(fold_columns++);
    rows.push_back(r);
  }
  if (fold_columns > kMaxFoldColumns) {
    // An absurd request: its plays score every row in full.
    for (JokerRows& r : rows) r.fold = JokerRows::kNoRow;
    fold_columns = 0;
  }

  for (const jokers::JokerView& j : jokers) {
    if (j.key == jokers::Key::j_oops && !j.debuff) ++oops;
  }
  odds_mult = std::ldexp(1.0, static_cast<int>(std::min(oops, kMaxOddsDoublings)));
  space_p = space_probability(snap, jokers, odds_mult);
  hands_left_after = snap.round.hands_left - 1.0;

  for (std::size_t t = 0; t < hand::kHandTypes; ++t) {
    auto it = snap.levels.find(hand::name(static_cast<hand::HandType>(t)));
    if (it != snap.levels.end()) levels[t] = LevelInfo{true, it->second};
  }
  level_entries.reserve(snap.levels.size());
  for (const auto& [name, level] : snap.levels) {
    level_entries.push_back(
        LevelEntry{hand_type(name), level.visible, level.played, level.played_round});
  }

  blind = blinds::boss_of(snap.blind);
  most_played = hand_type(snap.round.most_played);
  idol_rank = snap.round.idol.rank;
  idol_suit = suits.intern(snap.round.idol.suit);
  ancient_suit = suits.intern(snap.round.ancient_suit);

  observatory =
      std::find(snap.vouchers.begin(), snap.vouchers.end(), "v_observatory") != snap.vouchers.end();
  for (const snapshot::Consumable& c : snap.consumables) {
    for (std::size_t t = 0; t < hand::kHandTypes; ++t) {
      if (c.key == kPlanets[t]) ++planets[t];
    }
  }
  plasma = snap.deck.back == "b_plasma";
  approximate = approximate_tags(snap);
  identity_order.resize(jokers.size());
  std::iota(identity_order.begin(), identity_order.end(), std::size_t{0});
  identity.emplace(*this, identity_order);
}

Play::Play(const Prepared& prep, std::span<const std::size_t> played_positions) {
  const std::size_t hand_size = prep.hand.size();
  positions.reserve(played_positions.size());
  played.reserve(played_positions.size());
  common::check_positions(played_positions, hand_size, "played position outside the hand");
  for (std::size_t p : played_positions) {
    positions.push_back(p);
    played.push_back(prep.hand[p]);
  }
  // Held: every hand card not played, in hand order. A bit per hand card, so
  // that a hand of thousands of cards costs no more than its length.
  auto keep_held = [&](auto&& played_at) {
    for (std::size_t h = 0; h < hand_size; ++h) {
      if (!played_at(h)) held.push_back(prep.hand[h]);
    }
  };
  if (hand_size <= 64) {
    std::uint64_t mask = 0;
    for (std::size_t p : positions) mask |= std::uint64_t{1} << p;
    keep_held([mask](std::size_t h) { return ((mask >> h) & 1u) != 0; });
  } else {
    std::vector<bool> marked(hand_size, false);
    for (std::size_t p : positions) marked[p] = true;
    keep_held([&marked](std::size_t h) { return marked[h]; });
  }
  detected = hand::detect(played.span(), prep.rules);
  voided = blinds::debuffs_hand(prep.snapshot, hand::name(detected.name), positions.size());

  const std::size_t columns = prep.fold_columns;
  if (columns == 0 || voided || played.size() * columns > kMaxFolds) return;
  folds.resize_for_overwrite(played.size() * columns);
  for (std::size_t i : detected.scoring) {
    for (std::size_t j = 0; j < prep.jokers.size(); ++j) {
      const std::int16_t c = prep.rows[j].fold;
      if (c == JokerRows::kNoRow) continue;
      CardFold& fold = folds[i * columns + static_cast<std::size_t>(c)];
      fold = CardFold{jokers::fold_per_card(prep, *this, i, j), false, 0.0};
      jokers::fold_card_repetitions(prep, *this, i, j, fold);
    }
  }
}

}  // namespace quorvel::score
