// Stage 1's building blocks: the selections to score, the ranking of the
// retained plays and the better-than test that later stages share.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "common/powi.h"
#include "search/stages.h"

namespace quorvel::search {

std::vector<Positions> selections(const snapshot::Snapshot& snapshot) {
  Positions forced;
  Positions free_cards;
  for (std::size_t i = 0; i < snapshot.hand.size(); ++i) {
    const snapshot::Card& card = snapshot.hand[i];
    if (card.forced) {
      forced.push_back(i);
    } else if (!card.hidden) {
      free_cards.push_back(i);
    }
  }
  const std::size_t room = forced.size() > 5 ? 0 : 5 - forced.size();

  std::vector<Positions> out;
  Positions current;
  // Depth first, pre-order: a selection is emitted before its extensions.
  auto walk = [&](auto& self, std::size_t start, std::size_t remaining) -> void {
    if (!forced.empty() || !current.empty()) {
      Positions selection(forced.size() + current.size());
      std::merge(forced.begin(), forced.end(), current.begin(), current.end(), selection.begin());
      out.push_back(std::move(selection));
    }
    if (remaining == 0 || start >= free_cards.size()) return;
    for (std::size_t i = start; i < free_cards.size(); ++i) {
      current.push_back(free_cards[i]);
      self(self, i + 1, remaining - 1);
      current.pop_back();
    }
  };
  walk(walk, 0, room);
  return out;
}

double round12(double x) {
  if (std::isnan(x)) return -std::numeric_limits<double>::infinity();
  if (x == 0.0 || std::isinf(x)) return x;
  const auto e = static_cast<std::int32_t>(std::floor(std::log10(std::fabs(x))));
  const double s = common::powi(10.0, 11 - e);
  const double t = std::round(x * s);  // halfway cases away from zero
  const double y = t / s;
  // For a tiny x the scale overflows; such a key stays unrounded.
  return std::isfinite(y) ? y : x;
}

namespace {

// Maps a double to an integer whose signed order is the IEEE total order,
// so -0.0 sorts below +0.0.
std::int64_t total_order(double x) {
  const auto bits = std::bit_cast<std::int64_t>(x);
  return bits < 0 ? bits ^ std::numeric_limits<std::int64_t>::max() : bits;
}

using Keys = std::array<std::int64_t, 3>;

Keys keys_of(snapshot::Objective objective, const Candidate& c) {
  if (objective == snapshot::Objective::money) {
    return {total_order(round12(c.money)), total_order(round12(c.expected)),
            total_order(round12(c.floor))};
  }
  // The unused third key is equal for every candidate.
  return {total_order(round12(c.expected)), total_order(round12(c.floor)), 0};
}

// Descending on every key.
bool ranks_before(const Keys& a, const Keys& b) {
  return std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end());
}

// Two values count as equal when they compare equal (equal infinities too) or
// lie within the tolerance relative to the held one.
bool same(double next, double held) {
  return next == held || std::fabs(next - held) <= std::fabs(held) * kTolerance;
}

}  // namespace

bool top_first(snapshot::Objective objective, const Candidate& a, const Candidate& b) {
  return ranks_before(keys_of(objective, a), keys_of(objective, b));
}

void rank(snapshot::Objective objective, std::vector<Candidate>& candidates) {
  if (candidates.size() < 2) return;
  // The keys are worked out once per candidate instead of once per comparison;
  // the order is the one top_first gives.
  struct Entry {
    Keys keys;
    std::size_t index;
  };
  std::vector<Entry> entries;
  entries.reserve(candidates.size());
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    entries.push_back({keys_of(objective, candidates[i]), i});
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return ranks_before(a.keys, b.keys); });
  std::vector<Candidate> sorted;
  sorted.reserve(candidates.size());
  for (const Entry& e : entries) sorted.push_back(std::move(candidates[e.index]));
  candidates = std::move(sorted);
}

bool better(snapshot::Objective objective, score::Outcome next, score::Outcome held) {
  if (objective == snapshot::Objective::money) {
    const bool next_nan = std::isnan(next.money);
    const bool held_nan = std::isnan(held.money);
    if (next_nan && !held_nan) return false;
    if (!next_nan && held_nan) return true;
    if (!next_nan && !same(next.money, held.money)) return next.money > held.money;
    // Both NaN or equal within the tolerance: the score decides.
  }
  if (std::isnan(next.score)) return false;
  if (std::isnan(held.score)) return true;
  if (same(next.score, held.score)) return false;
  return next.score > held.score;
}

}  // namespace quorvel::search
