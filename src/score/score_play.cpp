#include "score/score.h"

#include "common/powi.h"

namespace quorvel::score {

namespace {

// The weight of i level-ups out of n, each with probability p, computed in
// this exact order: the float result is part of the answer.
double binomial_weight(std::uint32_t n, std::uint32_t i, double p) {
  double c = 1.0;
  for (std::uint32_t j = 1; j <= i; ++j) {
    c = c * static_cast<double>(n - j + 1) / static_cast<double>(j);
  }
  return (common::powi(p, i) * c) * common::powi(1.0 - p, n - i);
}

Outcome run_mode(const Prepared& prep, const Play& play, const Lineup& lineup, std::uint8_t mode,
                 std::uint32_t level_ups, bool* used = nullptr) {
  ModeChance chance(mode);
  const Outcome o = run(prep, play, lineup, chance, level_ups);
  if (used != nullptr) *used = chance.used();
  return o;
}

// The expectation over 0..n uncertain level-ups.
Outcome expected_sum(const Prepared& prep, const Play& play, const Lineup& lineup,
                     std::uint32_t n) {
  Outcome sum;
  for (std::uint32_t i = 0; i <= n; ++i) {
    const double w = binomial_weight(n, i, prep.space_p);
    const Outcome o = run_mode(prep, play, lineup, ModeChance::kExpected, i);
    sum.score += o.score * w;
    sum.money += w * o.money;
  }
  return sum;
}

// Whether `order` is the snapshot's own, whose lineup is resolved once.
bool is_identity(const Prepared& prep, std::span<const std::size_t> order) {
  if (order.size() != prep.identity_order.size()) return false;
  for (std::size_t b = 0; b < order.size(); ++b)
    if (order[b] != b) return false;
  return true;
}

}  // namespace

Scored score_play(const Prepared& prep, const Play& play,
                  std::span<const std::size_t> joker_order) {
  if (is_identity(prep, joker_order)) return score_play(prep, play, *prep.identity);
  return score_play(prep, play, Lineup(prep, joker_order));
}

Scored score_play(const Prepared& prep, const Play& play, const Lineup& lineup) {
  Scored s;
  s.hand = std::string(hand::name(play.detected.name));
  s.scored.reserve(play.detected.scoring.size());
  for (std::size_t pos : play.detected.scoring) s.scored.push_back(play.played[pos].id);
  s.approximate = prep.approximate;

  if (play.voided) {
    s.legal = false;
    const double money = jokers::debuffed_hand_money(prep.jokers, lineup.list());
    s.money_floor = s.money_expected = s.money_ceiling = money;
    return s;
  }

  const std::uint32_t n = lineup.space();
  const double p = prep.space_p;
  if (n > 0 && p < 1.0) {
    const Outcome lo = run_mode(prep, play, lineup, ModeChance::kFloor, 0);
    const Outcome hi = run_mode(prep, play, lineup, ModeChance::kCeiling, n);
    const Outcome mid = expected_sum(prep, play, lineup, n);
    s.floor = lo.score;
    s.money_floor = lo.money;
    s.ceiling = hi.score;
    s.money_ceiling = hi.money;
    s.expected = mid.score;
    s.money_expected = mid.money;
    s.has_chance = true;
    return s;
  }

  const std::uint32_t level_ups = p >= 1.0 ? n : 0;
  bool used = false;
  const Outcome mid = run_mode(prep, play, lineup, ModeChance::kExpected, level_ups, &used);
  s.expected = mid.score;
  s.money_expected = mid.money;
  s.has_chance = used;
  if (used) {
    const Outcome lo = run_mode(prep, play, lineup, ModeChance::kFloor, level_ups);
    const Outcome hi = run_mode(prep, play, lineup, ModeChance::kCeiling, level_ups);
    s.floor = lo.score;
    s.money_floor = lo.money;
    s.ceiling = hi.score;
    s.money_ceiling = hi.money;
  } else {
    s.floor = s.ceiling = mid.score;
    s.money_floor = s.money_ceiling = mid.money;
  }
  return s;
}

Outcome score_expected(const Prepared& prep, const Play& play,
                       std::span<const std::size_t> joker_order) {
  if (is_identity(prep, joker_order)) return score_expected(prep, play, *prep.identity);
  return score_expected(prep, play, Lineup(prep, joker_order));
}

Outcome score_expected(const Prepared& prep, const Play& play, const Lineup& lineup) {
  if (play.voided) {
    return Outcome{0.0, jokers::debuffed_hand_money(prep.jokers, lineup.list())};
  }
  const std::uint32_t n = lineup.space();
  if (n == 0) return run_mode(prep, play, lineup, ModeChance::kExpected, 0);
  if (prep.space_p >= 1.0) return run_mode(prep, play, lineup, ModeChance::kExpected, n);
  return expected_sum(prep, play, lineup, n);
}

Scored score_play(const snapshot::Snapshot& snapshot, std::span<const std::size_t> played,
                  std::span<const std::size_t> order) {
  const Prepared prep(snapshot);
  const Play play(prep, played);
  return score_play(prep, play, order);
}

}  // namespace quorvel::score
