// Extra triggers of a scoring card and of held cards.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "jokers/jokers.h"
#include "score/context.h"
#include "score/phases/phases.h"
#include "score/phases/table.h"

namespace quorvel::jokers {
namespace {

constexpr double kMaxCount = 4294967295.0;

// A count read from the host's numbers: NaN is 0, the rest is clamped to the
// 32-bit range and truncated toward zero.
std::uint32_t to_count(double v) {
  if (std::isnan(v) || v <= 0.0) return 0;
  if (v >= kMaxCount) return 0xFFFFFFFFu;
  return static_cast<std::uint32_t>(v);
}

struct RepAct {
  const score::ScoreCtx& ctx;
  const Ability& ab;
  const hand::CardView& card;
  std::size_t i;
  double& sum;
};

struct RepRow {
  Key key;
  void (*effect)(RepAct&);
};

// Copies act like the joker itself in every row.
constexpr std::array<RepRow, 5> kCardRepetitions = {{
    {Key::j_dusk,
     [](RepAct& a) {
       if (a.ctx.hands_left_after == 0.0) a.sum += a.ab.extra.value_or(1.0);
     }},
    {Key::j_hack,
     [](RepAct& a) {
       if (phase::has_rank(a.card) && a.card.rank >= 2 && a.card.rank <= 5)
         a.sum += a.ab.extra.value_or(1.0);
     }},
    {Key::j_selzer, [](RepAct& a) { a.sum += 1.0; }},
    {Key::j_hanging_chad,
     [](RepAct& a) {
       const common::Positions& scoring = a.ctx.detected.scoring;
       if (!scoring.empty() && scoring[0] == a.i) a.sum += a.ab.extra.value_or(2.0);
     }},
    {Key::j_sock_and_buskin,
     [](RepAct& a) {
       if (is_face(a.card, a.ctx.rules)) a.sum += a.ab.extra.value_or(1.0);
     }},
}};
constexpr auto kCardRepetitionsIndex = phase::rows_by_key(kCardRepetitions);

}  // namespace

std::int8_t phase::card_reps_row(Key key) {
  return row_for(kCardRepetitions, kCardRepetitionsIndex, key, false);
}

std::uint32_t card_repetitions(const score::ScoreCtx& ctx, std::size_t i) {
  double sum = 0.0;
  const hand::CardView& card = ctx.played[i];
  for (const score::Step& step : ctx.lineup.card_reps) {
    RepAct act{ctx, ctx.prep.jokers[step.index].ab, card, i, sum};
    kCardRepetitions[static_cast<std::size_t>(step.row)].effect(act);
  }
  return to_count(sum);  // the total is clamped, not each amount
}

std::uint32_t held_repetitions(std::span<const JokerView> jokers, std::span<const Resolved> list) {
  std::uint32_t count = 0;
  for (const Resolved& entry : list) {
    const JokerView& joker = jokers[entry.index];
    // "j_mime", copies included: each amount clamped by itself, the sum wraps.
    if (joker.key == Key::j_mime) count += to_count(joker.ab.extra.value_or(1.0));
  }
  return count;
}

std::uint32_t held_repetitions(const score::ScoreCtx& ctx) {
  return ctx.lineup.held_reps;
}

}  // namespace quorvel::jokers
