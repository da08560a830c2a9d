// The ranking of the retained plays and the better-than test that later
// stages share.
#include "search/ranking.h"

#include <bit>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "common/powi.h"

namespace quorvel::search {

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

// Two values count as equal when they compare equal (equal infinities too) or
// lie within the tolerance relative to the held one.
constexpr double kTolerance = 1e-9;
bool same(double next, double held) {
  return next == held || std::fabs(next - held) <= std::fabs(held) * kTolerance;
}

}  // namespace

RankKeys rank_keys(snapshot::Objective objective, double expected, double floor, double money) {
  if (objective == snapshot::Objective::money) {
    return {total_order(round12(money)), total_order(round12(expected)),
            total_order(round12(floor))};
  }
  // The unused third key is equal for every candidate.
  return {total_order(round12(expected)), total_order(round12(floor)), 0};
}

bool top_first(const RankPlace& a, const RankPlace& b) {
  for (std::size_t k = 0; k < a.keys.size(); ++k) {
    if (a.keys[k] != b.keys[k]) return a.keys[k] > b.keys[k];
  }
  return a.seq < b.seq;
}

RankingHead::RankingHead(snapshot::Objective objective, std::size_t limit)
    : objective_(objective), plays_(limit) {}

void RankingHead::offer(std::span<const std::size_t> cards, double expected, double floor,
                        double money) {
  const RankPlace place{rank_keys(objective_, expected, floor, money), offered_++};
  if (!plays_.keeps(place)) return;
  Play p{expected, floor, money, {}, 0};
  if (cards.size() > p.cards.size()) {
    p.cards[0] = static_cast<std::uint32_t>(long_cards_.size());
    p.count = static_cast<std::uint8_t>(p.cards.size() + 1);
    long_cards_.emplace_back(cards);
  } else {
    for (std::size_t i = 0; i < cards.size(); ++i) {
      if (cards[i] > UINT32_MAX) throw std::length_error("hand position beyond 32 bits");
      p.cards[i] = static_cast<std::uint32_t>(cards[i]);
    }
    p.count = static_cast<std::uint8_t>(cards.size());
  }
  plays_.keep(place, p);
}

bool RankingHead::take(const Positions& order, const Cancel& cancel, std::vector<Candidate>& out) {
  CancelEvery steps(cancel, kStepsPerTest);
  if (!plays_.order(steps)) return false;
  out.clear();
  out.reserve(plays_.slots().size());
  for (const auto& [place, p] : plays_.slots()) {
    if (steps.step()) return false;
    Candidate c{{}, order, p.expected, p.floor, p.money};
    if (p.count > p.cards.size()) {
      c.cards = long_cards_[p.cards[0]];
    } else {
      for (std::size_t i = 0; i < p.count; ++i) c.cards.push_back(p.cards[i]);
    }
    out.push_back(std::move(c));
  }
  // The head is no longer needed: its storage goes now, not with the search.
  plays_.release();
  long_cards_.clear();
  return true;
}

bool keep_leading(snapshot::Objective objective, const Cancel& cancel,
                  std::vector<Candidate>& candidates) {
  CancelEvery steps(cancel, kStepsPerTest);
  Leading<std::size_t> leading(kLeading);
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    if (steps.step()) return false;
    const Candidate& c = candidates[i];
    const RankPlace place{rank_keys(objective, c.expected, c.floor, c.money), i};
    if (leading.keeps(place)) leading.keep(place, i);
  }
  if (!leading.order(steps)) return false;
  std::vector<Candidate> kept;
  kept.reserve(leading.slots().size());
  for (const auto& slot : leading.slots()) kept.push_back(std::move(candidates[slot.item]));
  candidates = std::move(kept);
  return true;
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
