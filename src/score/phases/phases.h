// The joker phases of a scoring run. They work only through the run's
// context, so they belong to score; they keep the jokers' names because each
// applies the keyed effects of the jokers. Private to src/score.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

#include "hand/card.h"
#include "jokers/jokers.h"
#include "jokers/keys.h"
#include "score/context.h"

namespace quorvel::jokers {

// The phases of a scoring run; they work only through the context.
void before(score::ScoreCtx& ctx);
std::uint32_t card_repetitions(const score::ScoreCtx& ctx, std::size_t i);
void per_card(score::ScoreCtx& ctx, std::size_t i, double lucky);
void held_card(score::ScoreCtx& ctx, std::size_t j);
void main_phase(score::ScoreCtx& ctx);

// A joker's row in each phase's table, with the copy rule of the phases that
// have one, and its counts: what score::Lineup builds its walks from, once per
// snapshot joker.
score::JokerRows rows_of(const JokerView& joker);
// The extra triggers of every held card under a resolved list: "j_mime",
// copies included, each amount clamped by itself, the sum wrapping.
std::uint32_t held_repetitions(std::span<const JokerView> jokers, std::span<const Resolved> list);

// The fold of the snapshot joker `joker` for a play's played card at `pos`:
// its per-card row, then its repetition row.
score::CardOp fold_per_card(const score::Prepared& prep, const score::Play& play, std::size_t pos,
                            std::size_t joker);
void fold_card_repetitions(const score::Prepared& prep, const score::Play& play, std::size_t pos,
                           std::size_t joker, score::CardFold& fold);

// The run's path while its play's folds hold: a per-card rule as
// the operation it makes, the per-card rows that run in full one step at a
// time, and the clamp of a card's repetition total.
inline void apply_card_op(score::ScoreCtx& ctx, std::size_t pos, const score::CardOp& op) {
  using Kind = score::CardOp::Kind;
  switch (op.kind) {
    case Kind::mult_add:
      ctx.mult += op.a;
      break;
    case Kind::mult_mul:
      ctx.mult *= op.a;
      break;
    case Kind::chips_add:
      ctx.chips += op.a;
      break;
    case Kind::dollars_add:
      ctx.dollars += op.a;
      break;
    case Kind::chips_then_mult:
      ctx.chips += op.a;
      ctx.mult += op.b;
      break;
    case Kind::extra_add:
      ctx.per_card_extra[pos] += op.a;
      break;
    case Kind::none:
    case Kind::effect:
      break;
  }
}
void per_card_effect(score::ScoreCtx& ctx, const score::Step& step, std::size_t i, double lucky);
// A count read from the host's numbers: NaN is 0, the rest is clamped to the
// 32-bit range and truncated toward zero.
inline std::uint32_t repetition_count(double v) {
  if (std::isnan(v) || v <= 0.0) return 0;
  if (v >= 4294967295.0) return 0xFFFFFFFFu;
  return static_cast<std::uint32_t>(v);
}

// The suit collections of "j_seeing_double" and "j_flower_pot" over the
// scoring cards of a play (`scoring` indexes `played`).
bool seeing_double(std::span<const hand::CardView> played, std::span<const std::size_t> scoring,
                   hand::JokerRules rules);
bool flower_pot(std::span<const hand::CardView> played, std::span<const std::size_t> scoring,
                hand::JokerRules rules);

}  // namespace quorvel::jokers
