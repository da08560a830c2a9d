// Shared pieces of the joker phases: the shape of a phase's keyed table and
// the card terms its rows test.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "hand/card.h"
#include "jokers/jokers.h"
#include "jokers/keys.h"
#include "score/context.h"

namespace quorvel::jokers::phase {

// Whether a row also acts when its joker is reached through "j_blueprint" or
// "j_brainstorm". Rows that grow their own joker's state, or change played
// cards, are left out for a copy so that a copy never changes joker state
// twice; every other row acts for a copy too ("j_dna" among them, which adds
// a held card and changes other jokers' state).
enum class Copy : std::uint8_t { acts, none };

// The copy rule against a table's declarations: a row is left out for a copy
// exactly when it grows its own joker's state or changes a played card.
template <typename Row, std::size_t N>
constexpr bool copy_rule_holds(const std::array<Row, N>& rows) {
  for (const Row& row : rows) {
    const bool left_out = row.copy == Copy::none;
    if (left_out != any(row.does, Does::grow_own | Does::change_played)) return false;
  }
  return true;
}

inline constexpr std::size_t kKeys = static_cast<std::size_t>(Key::other) + 1;

// For a phase table, the row index of every key (-1: no row). Built at compile
// time; a key listed twice stops the build, so each joker matches at most one
// row per phase.
template <typename Row, std::size_t N>
constexpr std::array<std::int16_t, kKeys> rows_by_key(const std::array<Row, N>& rows) {
  std::array<std::int16_t, kKeys> index{};
  index.fill(-1);
  for (std::size_t r = 0; r < N; ++r) {
    auto& slot = index[static_cast<std::size_t>(rows[r].key)];
    if (slot != -1) throw "a key has two rows in one phase table";
    slot = static_cast<std::int16_t>(r);
  }
  return index;
}

// The row of `key` in a table as Lineup stores it: kNoRow when there is none,
// or when the entry is a copy and the row leaves copies out.
template <typename Row, std::size_t N>
std::int8_t row_for(const std::array<Row, N>& rows, const std::array<std::int16_t, kKeys>& index,
                    Key key, bool copied) {
  const std::int16_t r = index[static_cast<std::size_t>(key)];
  if (r < 0) return score::JokerRows::kNoRow;
  if constexpr (requires { rows[0].copy; }) {
    if (copied && rows[static_cast<std::size_t>(r)].copy == Copy::none)
      return score::JokerRows::kNoRow;
  }
  return static_cast<std::int8_t>(r);
}

// What the row of `key` in a table declares; nothing when it has none.
template <typename Row, std::size_t N>
constexpr Does does_for(const std::array<Row, N>& rows,
                        const std::array<std::int16_t, kKeys>& index, Key key) {
  const std::int16_t r = index[static_cast<std::size_t>(key)];
  return r < 0 ? Does::nothing : rows[static_cast<std::size_t>(r)].does;
}

// Each phase's rows of a key, and what they declare, for rows_of. The
// repetition rows only read (their test and amount see nothing mutable), so
// they declare nothing.
std::int8_t before_row(Key key, bool copied);
std::int8_t card_reps_row(Key key);
std::int8_t per_card_row(Key key, bool copied);
std::int8_t held_card_row(Key key, bool copied);
std::int8_t main_row(Key key);
Does before_does(Key key);
Does card_does(Key key);  // the per-card and held-card rows
Does main_does(Key key);  // the main row and the rules of main_phase()
// Whether joker_main may change anything for a joker with these rows and this
// initial state, while no other joker changes its state.
bool main_may_act(const score::JokerRows& rows, const JState& initial);

inline bool is_stone(const hand::CardView& card) {
  return card.enh == hand::Enh::stone;
}

// The rank tests of the rows read only cards that show a real rank: stone
// cards and face-down cards never match one.
inline bool has_rank(const hand::CardView& card) {
  return !is_stone(card) && !card.hidden;
}

}  // namespace quorvel::jokers::phase
