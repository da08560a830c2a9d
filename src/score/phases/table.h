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

namespace quorvel::jokers::phase {

// Whether a row also acts when its joker is reached through "j_blueprint" or
// "j_brainstorm". Rows that grow their own joker's state, or change cards, are
// left out for a copy so that a copy never changes joker state twice.
enum class Copy : std::uint8_t { acts, none };

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

// The row of `key` in a table, or nullptr.
template <typename Row, std::size_t N>
const Row* find_row(const std::array<Row, N>& rows, const std::array<std::int16_t, kKeys>& index,
                    Key key) {
  const std::int16_t r = index[static_cast<std::size_t>(key)];
  return r < 0 ? nullptr : &rows[static_cast<std::size_t>(r)];
}

inline bool is_stone(const hand::CardView& card) {
  return card.enh == hand::Enh::stone;
}

// The rank tests of the rows read only cards that show a real rank: stone
// cards and face-down cards never match one.
inline bool has_rank(const hand::CardView& card) {
  return !is_stone(card) && !card.hidden;
}

}  // namespace quorvel::jokers::phase
