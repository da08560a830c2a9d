#include <algorithm>
#include <cmath>

#include "jokers/jokers.h"
#include "score/phases/phases.h"
#include "score/score.h"

namespace quorvel::score {

namespace {

using hand::CardView;

double base_chips_of(const CardView& c) {
  switch (c.enh) {
    case hand::Enh::stone:
      return 50.0;
    case hand::Enh::bonus:
      return 30.0 + hand::rank_chips(c);
    default:
      return hand::rank_chips(c);
  }
}

// A card's triggers: itself, a red seal's and `repetitions` more, as an
// unsigned total (one that wraps to 0 gives none), bounded so that an absurd
// repetition count from the host's ability values cannot hold the caller's
// thread. No honest play comes near the bound.
std::uint32_t triggers_of(const CardView& card, std::uint32_t repetitions, std::uint32_t bound) {
  const std::uint32_t total = 1u + (card.seal == hand::Seal::red ? 1u : 0u) + repetitions;
  if (total > bound) [[unlikely]]
    return bound;
  return total;
}

// The extra triggers of a played card from its folds: the
// same sum, in the same order, as the repetition phase makes.
std::uint32_t folded_repetitions(std::span<const Step> walk, const CardFold* folds) {
  double sum = 0.0;
  for (const Step& step : walk) {
    const CardFold& fold = folds[step.fold];
    if (fold.repeats) sum += fold.repetitions;
  }
  return jokers::repetition_count(sum);
}

// The per-card phase from the card's folds.
void folded_per_card(ScoreCtx& ctx, std::span<const Step> walk, const CardFold* folds,
                     std::size_t i, double lucky) {
  for (const Step& step : walk) {
    const CardOp& op = folds[step.fold].per_card;
    if (op.kind == CardOp::Kind::effect)
      jokers::per_card_effect(ctx, step, i, lucky);
    else
      jokers::apply_card_op(ctx, i, op);
  }
}

// One scoring card with all its triggers. Its own values are read once, before
// the first trigger, and serve every trigger. While no phase has changed a
// played card, the card's folds stand for the per-card and repetition phases.
void score_played_card(ScoreCtx& ctx, std::size_t i, std::uint32_t bound) {
  const CardView card = ctx.played[i];
  if (card.debuff) {
    ctx.blind_triggered = true;
    return;
  }
  const CardFold* folds =
      ctx.folds == nullptr ? nullptr : ctx.folds + i * std::size_t{ctx.prep.fold_columns};
  std::uint32_t repetitions = 0;
  if (const std::span<const Step> walk = ctx.lineup.card_reps(); !walk.empty()) {
    repetitions =
        folds != nullptr ? folded_repetitions(walk, folds) : jokers::card_repetitions(ctx, i);
  }
  const std::uint32_t triggers = triggers_of(card, repetitions, bound);
  const std::span<const Step> per_card = ctx.lineup.per_card();
  const double base = base_chips_of(card);
  const bool lucky_card = card.enh == hand::Enh::lucky;
  double pm = 0.0, pd = 0.0, lucky = 0.0;
  if (lucky_card) {
    pm = std::min(ctx.prep.odds_mult / 5.0, 1.0);
    pd = std::min(ctx.prep.odds_mult / 15.0, 1.0);
    lucky = 1.0 - (1.0 - pd) * (1.0 - pm);
  }
  for (std::uint32_t t = 0; t < triggers; ++t) {
    ctx.chips += base + card.bonus + ctx.per_card_extra[i];
    ctx.mult += card.mult;
    switch (card.enh) {
      case hand::Enh::mult:
        ctx.mult += 4.0;
        break;
      case hand::Enh::glass:
        ctx.mult *= 2.0;
        break;
      case hand::Enh::lucky:
        ctx.mult += 20.0 * factor(ctx.chance, pm);
        ctx.dollars += 20.0 * factor(ctx.chance, pd);
        break;
      default:
        break;
    }
    if (card.x_mult != 1.0 && card.x_mult > 0.0) ctx.mult *= card.x_mult;
    if (card.seal == hand::Seal::gold) ctx.dollars += 3.0;
    ctx.edition_add(card.ed);
    ctx.edition_multiply(card.ed);
    if (per_card.empty()) continue;
    if (folds != nullptr)
      folded_per_card(ctx, per_card, folds, i, lucky);
    else
      jokers::per_card(ctx, i, lucky);
  }
}

// The held cards, each with all its triggers: a steel card multiplies the
// mult by 1.5 on each, and the held-card phase acts on each when a joker has
// a row in it (kPhase). Without one, only the steel cards change anything.
template <bool kPhase>
void score_held_cards(ScoreCtx& ctx, std::uint32_t bound) {
  for (std::size_t j = 0; j < ctx.held.size(); ++j) {
    const CardView& card = ctx.held[j];
    const bool steel = card.enh == hand::Enh::steel;
    if ((!kPhase && !steel) || card.debuff || card.hidden) continue;
    const std::uint32_t triggers = triggers_of(card, ctx.lineup.held_reps(), bound);
    for (std::uint32_t t = 0; t < triggers; ++t) {
      if (steel) ctx.mult *= 1.5;
      if constexpr (kPhase) jokers::held_card(ctx, j);
    }
  }
}

// Where a run starts: the hand's level with `level_ups` more, and the boss
// blind's rule before anything scores.
struct Start {
  double chips = 0.0;
  double mult = 1.0;
  double dollars = 0.0;
  bool blind_triggered = false;
};

Start start_of(const Prepared& prep, const Play& play, std::uint32_t level_ups) {
  const hand::HandType type = play.detected.name;

  // A hand type without a level starts from 0 chips and mult 1.
  const LevelInfo& level = prep.levels[static_cast<std::size_t>(type)];
  double chips = 0.0, mult = 1.0, chip_step = 0.0, mult_step = 0.0;
  if (level.found) {
    chips = level.level.chips;
    mult = level.level.mult;
    chip_step = level.level.l_chips;
    mult_step = level.level.l_mult;
  }

  // fmax keeps the clamp when a value is NaN.
  double money_start = prep.snapshot.round.dollars;
  double tooth = 0.0;
  bool blind_triggered = false;
  switch (prep.blind) {
    case blinds::Boss::arm:
      if (level.found && level.level.level > 1.0) {
        chips = std::fmax(chips - chip_step, 0.0);
        mult = std::fmax(mult - mult_step, 1.0);
        blind_triggered = true;
      }
      break;
    case blinds::Boss::ox:
      if (prep.most_played == type) {
        money_start = 0.0;
        blind_triggered = true;
      }
      break;
    case blinds::Boss::tooth:
      tooth = static_cast<double>(play.positions.size());
      break;
    default:
      break;
  }
  return Start{chips + chip_step * static_cast<double>(level_ups),
               mult + mult_step * static_cast<double>(level_ups), money_start - tooth,
               blind_triggered};
}

// The scoring cards, then the held cards, each with all its triggers.
void score_cards(ScoreCtx& ctx) {
  // "j_dna" may have appended to the held cards in the first phase.
  const common::Positions& scoring = ctx.detected.scoring;
  const std::uint32_t bound =
      trigger_bound(scoring.size() + ctx.held.size(), ctx.lineup.list().size());
  for (std::size_t i : scoring) score_played_card(ctx, i, bound);
  if (ctx.lineup.held_card().empty()) {
    score_held_cards<false>(ctx, bound);
  } else {
    score_held_cards<true>(ctx, bound);
  }
}

// The multipliers after the jokers: the observatory's planets of the hand
// type, then the plasma deck's balance.
void final_multipliers(ScoreCtx& ctx) {
  const Prepared& prep = ctx.prep;
  if (prep.observatory) {
    const std::uint32_t planets = prep.planets[static_cast<std::size_t>(ctx.detected.name)];
    for (std::uint32_t k = 0; k < planets; ++k) ctx.mult *= 1.5;
  }
  if (prep.plasma) {
    const double balanced = std::floor((ctx.chips + ctx.mult) * 0.5);
    ctx.chips = balanced;
    ctx.mult = balanced;
  }
}

}  // namespace

std::uint32_t trigger_bound(std::size_t cards, std::size_t jokers) {
  const std::uint64_t visits = std::uint64_t{cards} * (std::uint64_t{jokers} + 1);
  if (visits <= kTriggerSteps / kMaxTriggers) [[likely]]
    return kMaxTriggers;
  return static_cast<std::uint32_t>(std::max<std::uint64_t>(kTriggerSteps / visits, kMinTriggers));
}

Outcome run(const Prepared& prep, const Play& play, const Lineup& lineup, Chance& chance,
            std::uint32_t level_ups) {
  const Start start = start_of(prep, play, level_ups);

  // The run's own state; cards are copied only when a phase changes one.
  OwnCards own;
  common::SmallVec<jokers::JState, 8> jstates(prep.initial_states.span());
  common::SmallVec<double, 8> per_card_extra(play.played.size(), 0.0);
  ScoreCtx ctx{
      .prep = prep,
      .snapshot = prep.snapshot,
      .lineup = lineup,
      .played = play.played.span(),
      .held = play.held.span(),
      .own = own,
      .jstates = jstates.span(),
      .per_card_extra = per_card_extra.span(),
      .chance = chance,
      .detected = play.detected,
      .folds = play.folds.empty() ? nullptr : play.folds.data(),
      .chips = 0.0,
      .mult = 0.0,
      .dollars = start.dollars,
      .cards_added = 0.0,
      .rules = prep.rules,
      .blind_triggered = start.blind_triggered,
  };

  if (!lineup.before().empty()) jokers::before(ctx);
  ctx.chips = start.chips;
  ctx.mult = start.mult;
  if (prep.blind == blinds::Boss::flint) {
    // Halve, a half going up.
    ctx.chips = std::fmax(std::floor(ctx.chips * 0.5 + 0.5), 0.0);
    ctx.mult = std::fmax(std::floor(ctx.mult * 0.5 + 0.5), 1.0);
    ctx.blind_triggered = true;
  }

  score_cards(ctx);
  jokers::main_phase(ctx);
  final_multipliers(ctx);
  return Outcome{ctx.chips * ctx.mult, ctx.dollars - prep.snapshot.round.dollars};
}

}  // namespace quorvel::score
