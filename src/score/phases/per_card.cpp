// Joker effects on each trigger of a scoring card and of a held card.
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>

#include "hand/hand.h"
#include "jokers/jokers.h"
#include "score/chance.h"
#include "score/context.h"
#include "score/phases/phases.h"
#include "score/phases/table.h"

namespace quorvel::jokers {
namespace {

using hand::CardView;
using phase::Copy;

// What a rule row tests: the card and the play, never the run's running
// values or joker state, so a play can work a rule out once per card.
struct CardTest {
  const score::Prepared& prep;
  hand::JokerRules rules;
  const hand::Detected& detected;
  std::span<const CardView> played;
  const CardView& card;
  std::size_t pos;  // the card's position in `played`
  const Ability& ab;

  bool face() const { return is_face(card, rules); }
  bool rank_in(std::initializer_list<int> ranks) const {
    if (!phase::has_rank(card)) return false;
    for (int r : ranks)
      if (card.rank == r) return true;
    return false;
  }
  bool suit(hand::Suit s) const { return hand::is_suit_bypass(card, s, false, rules); }
};

// One entry of the resolved list acting on one card, for the rows that read
// the run or change joker state.
struct CardAct {
  score::ScoreCtx& ctx;
  const Ability& ab;
  JState& own;  // the resolved joker's state
  const CardView& card;
  std::size_t pos;  // the card's position in `played` or `held`
  double lucky;     // the played card's lucky probability (0 for held cards)

  bool face() const { return is_face(card, ctx.rules); }
  bool rank_in(std::initializer_list<int> ranks) const {
    if (!phase::has_rank(card)) return false;
    for (int r : ranks)
      if (card.rank == r) return true;
    return false;
  }
  bool suit(hand::Suit s) const { return hand::is_suit_bypass(card, s, false, ctx.rules); }
  double odds(double odds_value) const {
    return score::odds_factor(ctx.chance, ctx.prep.odds_mult, odds_value);
  }
};

using Kind = score::CardOp::Kind;
using Amount = double (*)(const CardTest&);

// A row is either a rule (when `test` holds, apply `kind` with the amounts)
// or an effect run in full on every trigger.
struct CardRow {
  Key key;
  Copy copy;
  Does does;
  bool (*test)(const CardTest&);
  Kind kind;
  Amount a;
  Amount b;
  void (*effect)(CardAct&);
};

// A rule only reads the card and the play and makes an operation on the
// running values: it does nothing else, for a copy too.
constexpr CardRow rule(Key key, bool (*test)(const CardTest&), Kind kind, Amount a,
                       Amount b = nullptr) {
  return CardRow{key, Copy::acts, Does::nothing, test, kind, a, b, nullptr};
}
constexpr CardRow effect(Key key, Copy copy, Does does, void (*run)(CardAct&)) {
  return CardRow{key, copy, does, nullptr, Kind::effect, nullptr, nullptr, run};
}

// A rule row worked out for the card of `t`.
score::CardOp work_out(const CardRow& row, const CardTest& t) {
  if (!row.test(t)) return score::CardOp{};
  return score::CardOp{row.kind, row.a(t), row.b == nullptr ? 0.0 : row.b(t)};
}

// The first face card among the scoring cards is the only one it acts on.
bool is_photograph_card(const CardTest& t) {
  for (std::size_t pos : t.detected.scoring)
    if (is_face(t.played[pos], t.rules)) return pos == t.pos;
  return false;
}

// The suit jokers read their suit from the ability object only.
constexpr CardRow suit_joker(Key key) {
  return rule(
      key, [](const CardTest& t) { return t.suit(t.ab.suit); }, Kind::mult_add,
      [](const CardTest& t) { return t.ab.s_mult.value_or(3.0); });
}

// The raised-fist card: the lowest ranked held card that shows a rank, the
// last one among equals. Debuffed cards take part (and then nothing stands in
// for them, as the phase is never called for a debuffed card).
bool is_raised_fist_card(const CardAct& a) {
  const auto& held = a.ctx.held;
  std::size_t best = held.size();
  for (std::size_t h = 0; h < held.size(); ++h) {
    const CardView& c = held[h];
    if (!phase::has_rank(c) || c.rank <= 0) continue;
    if (best == held.size() || c.rank <= held[best].rank) best = h;
  }
  return best == a.pos;
}

// Per-card rows, in the order the keys are tested.
constexpr std::array<CardRow, 24> kPerCard = {{
    effect(Key::j_wee, Copy::none, Does::grow_own,
           [](CardAct& a) {
             if (a.rank_in({2})) a.own.chips += a.ab.chip_mod.value_or(8.0);
           }),
    rule(
        Key::j_idol,
        [](const CardTest& t) {
          return t.prep.idol_rank > 0 && t.rank_in({t.prep.idol_rank}) && t.suit(t.prep.idol_suit);
        },
        Kind::mult_mul, [](const CardTest& t) { return t.ab.extra.value_or(2.0); }),
    rule(
        Key::j_hiker, [](const CardTest&) { return true; }, Kind::extra_add,
        [](const CardTest& t) { return t.ab.extra.value_or(5.0); }),
    rule(
        Key::j_smiley, [](const CardTest& t) { return t.face(); }, Kind::mult_add,
        [](const CardTest& t) { return t.ab.extra.value_or(5.0); }),
    rule(
        Key::j_ticket, [](const CardTest& t) { return t.card.enh == hand::Enh::gold; },
        Kind::dollars_add, [](const CardTest& t) { return t.ab.extra.value_or(4.0); }),
    rule(
        Key::j_scholar, [](const CardTest& t) { return t.rank_in({14}); }, Kind::chips_then_mult,
        [](const CardTest& t) { return t.ab.chips.value_or(20.0); },
        [](const CardTest& t) { return t.ab.extra_mult.value_or(4.0); }),
    rule(
        Key::j_ancient, [](const CardTest& t) { return t.suit(t.prep.ancient_suit); },
        Kind::mult_mul, [](const CardTest& t) { return t.ab.extra.value_or(1.5); }),
    effect(Key::j_business, Copy::acts, Does::nothing,
           [](CardAct& a) {
             if (a.face()) a.ctx.dollars += 2.0 * a.odds(a.ab.extra.value_or(2.0));
           }),
    rule(
        Key::j_odd_todd,
        [](const CardTest& t) {
          return t.rank_in({3, 5, 7, 9, 14});
        },
        Kind::chips_add, [](const CardTest& t) { return t.ab.extra.value_or(31.0); }),
    effect(Key::j_lucky_cat, Copy::none, Does::grow_own,
           [](CardAct& a) {
             if (a.lucky > 0.0)
               a.own.x_mult += score::factor(a.ctx.chance, a.lucky) * a.ab.extra.value_or(0.25);
           }),
    rule(
        Key::j_fibonacci,
        [](const CardTest& t) {
          return t.rank_in({2, 3, 5, 8, 14});
        },
        Kind::mult_add, [](const CardTest& t) { return t.ab.extra.value_or(8.0); }),
    rule(
        Key::j_rough_gem, [](const CardTest& t) { return t.suit(hand::kDiamonds); },
        Kind::dollars_add, [](const CardTest& t) { return t.ab.extra.value_or(1.0); }),
    rule(
        Key::j_arrowhead, [](const CardTest& t) { return t.suit(hand::kSpades); }, Kind::chips_add,
        [](const CardTest& t) { return t.ab.extra.value_or(50.0); }),
    rule(
        Key::j_triboulet,
        [](const CardTest& t) {
          return t.rank_in({12, 13});
        },
        Kind::mult_mul, [](const CardTest& t) { return t.ab.extra.value_or(2.0); }),
    rule(Key::j_photograph, is_photograph_card, Kind::mult_mul,
         [](const CardTest& t) { return t.ab.extra.value_or(2.0); }),
    rule(
        Key::j_scary_face, [](const CardTest& t) { return t.face(); }, Kind::chips_add,
        [](const CardTest& t) { return t.ab.extra.value_or(30.0); }),
    rule(
        Key::j_onyx_agate, [](const CardTest& t) { return t.suit(hand::kClubs); }, Kind::mult_add,
        [](const CardTest& t) { return t.ab.extra.value_or(7.0); }),
    effect(Key::j_bloodstone, Copy::acts, Does::nothing,
           [](CardAct& a) {
             if (!a.suit(hand::kHearts)) return;
             const double x = a.ab.xmult.value_or(1.5);
             const double f = a.odds(a.ab.odds.value_or(2.0));
             a.ctx.mult *= (x - 1.0) * f + 1.0;
           }),
    rule(
        Key::j_even_steven,
        [](const CardTest& t) {
          return t.rank_in({2, 4, 6, 8, 10});
        },
        Kind::mult_add, [](const CardTest& t) { return t.ab.extra.value_or(4.0); }),
    suit_joker(Key::j_lusty_joker),
    suit_joker(Key::j_greedy_joker),
    rule(
        Key::j_walkie_talkie,
        [](const CardTest& t) {
          return t.rank_in({4, 10});
        },
        Kind::chips_then_mult, [](const CardTest& t) { return t.ab.chips.value_or(10.0); },
        [](const CardTest& t) { return t.ab.extra_mult.value_or(4.0); }),
    suit_joker(Key::j_wrathful_joker),
    suit_joker(Key::j_gluttenous_joker),
}};

// Held-card effects, in the order the keys are tested.
constexpr std::array<CardRow, 4> kHeldCard = {{
    effect(Key::j_baron, Copy::acts, Does::nothing,
           [](CardAct& a) {
             if (a.rank_in({13})) a.ctx.mult *= a.ab.extra.value_or(1.5);
           }),
    effect(Key::j_raised_fist, Copy::acts, Does::nothing,
           [](CardAct& a) {
             if (!is_raised_fist_card(a)) return;
             a.ctx.mult += 2.0 * hand::rank_chips(a.card);
           }),
    effect(Key::j_shoot_the_moon, Copy::acts, Does::nothing,
           [](CardAct& a) {
             if (a.rank_in({12})) a.ctx.mult += 13.0;
           }),
    effect(Key::j_reserved_parking, Copy::acts, Does::nothing,
           [](CardAct& a) {
             if (a.face())
               a.ctx.dollars += a.ab.dollars.value_or(1.0) * a.odds(a.ab.odds.value_or(2.0));
           }),
}};
constexpr auto kPerCardIndex = phase::rows_by_key(kPerCard);
constexpr auto kHeldCardIndex = phase::rows_by_key(kHeldCard);
static_assert(phase::copy_rule_holds(kPerCard));
static_assert(phase::copy_rule_holds(kHeldCard));

void run_row(score::ScoreCtx& ctx, const CardRow& row, std::uint32_t joker, const CardView& card,
             std::size_t pos, double lucky) {
  const Ability& ab = ctx.prep.jokers[joker].ab;
  if (row.effect != nullptr) {
    CardAct act{ctx, ab, ctx.jstates[joker], card, pos, lucky};
    row.effect(act);
    return;
  }
  const CardTest t{ctx.prep, ctx.rules, ctx.detected, ctx.played, card, pos, ab};
  apply_card_op(ctx, pos, work_out(row, t));
}

// The steps come from the lineup, which holds the entries with a row in this
// table, the copy rule applied.
void run_card_table(score::ScoreCtx& ctx, std::span<const CardRow> rows,
                    std::span<const score::Step> steps, const CardView& card, std::size_t pos,
                    double lucky) {
  for (const score::Step& step : steps)
    run_row(ctx, rows[static_cast<std::size_t>(step.row)], step.index, card, pos, lucky);
}

}  // namespace

std::int8_t phase::per_card_row(Key key, bool copied) {
  return row_for(kPerCard, kPerCardIndex, key, copied);
}

std::int8_t phase::held_card_row(Key key, bool copied) {
  return row_for(kHeldCard, kHeldCardIndex, key, copied);
}

Does phase::card_does(Key key) {
  return does_for(kPerCard, kPerCardIndex, key) | does_for(kHeldCard, kHeldCardIndex, key);
}

score::CardOp fold_per_card(const score::Prepared& prep, const score::Play& play, std::size_t pos,
                            std::size_t joker) {
  const std::int8_t r = prep.rows[joker].per_card;
  if (r == score::JokerRows::kNoRow) return score::CardOp{};
  const CardRow& row = kPerCard[static_cast<std::size_t>(r)];
  if (row.effect != nullptr) return score::CardOp{Kind::effect, 0.0, 0.0};
  const CardTest t{prep, prep.rules,           play.detected, play.played.span(), play.played[pos],
                   pos,  prep.jokers[joker].ab};
  return work_out(row, t);
}

void per_card(score::ScoreCtx& ctx, std::size_t i, double lucky) {
  // No row changes a card, so one copy serves the whole walk.
  const CardView card = ctx.played[i];
  run_card_table(ctx, kPerCard, ctx.lineup.per_card(), card, i, lucky);
}

void per_card_effect(score::ScoreCtx& ctx, const score::Step& step, std::size_t i, double lucky) {
  const CardView card = ctx.played[i];
  run_row(ctx, kPerCard[static_cast<std::size_t>(step.row)], step.index, card, i, lucky);
}

void held_card(score::ScoreCtx& ctx, std::size_t j) {
  const CardView card = ctx.held[j];
  run_card_table(ctx, kHeldCard, ctx.lineup.held_card(), card, j, 0.0);
}

}  // namespace quorvel::jokers
