// Joker effects on each trigger of a scoring card and of a held card.
#include <array>
#include <cstddef>
#include <initializer_list>

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

// One entry of the resolved list acting on one card.
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
    return score::odds_factor(ctx.chance, ctx.odds_mult, odds_value);
  }
};

struct CardRow {
  Key key;
  Copy copy;
  void (*effect)(CardAct&);
};

// The first face card among the scoring cards is the only one it acts on.
bool is_photograph_card(const CardAct& a) {
  for (std::size_t pos : a.ctx.detected.scoring)
    if (is_face(a.ctx.played[pos], a.ctx.rules)) return pos == a.pos;
  return false;
}

// The suit jokers read their suit from the ability object only.
void suit_joker(CardAct& a) {
  if (a.suit(a.ab.suit)) a.ctx.mult += a.ab.s_mult.value_or(3.0);
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

// Per-card effects, in the order the keys are tested.
constexpr std::array<CardRow, 24> kPerCard = {{
    {Key::j_wee, Copy::none,
     [](CardAct& a) {
       if (a.rank_in({2})) a.own.chips += a.ab.chip_mod.value_or(8.0);
     }},
    {Key::j_idol, Copy::acts,
     [](CardAct& a) {
       const score::Prepared& p = a.ctx.prep;
       if (p.idol_rank > 0 && a.rank_in({p.idol_rank}) && a.suit(p.idol_suit))
         a.ctx.mult *= a.ab.extra.value_or(2.0);
     }},
    {Key::j_hiker, Copy::acts,
     [](CardAct& a) { a.ctx.per_card_extra[a.pos] += a.ab.extra.value_or(5.0); }},
    {Key::j_smiley, Copy::acts,
     [](CardAct& a) {
       if (a.face()) a.ctx.mult += a.ab.extra.value_or(5.0);
     }},
    {Key::j_ticket, Copy::acts,
     [](CardAct& a) {
       if (a.card.enh == hand::Enh::gold) a.ctx.dollars += a.ab.extra.value_or(4.0);
     }},
    {Key::j_scholar, Copy::acts,
     [](CardAct& a) {
       if (!a.rank_in({14})) return;
       a.ctx.chips += a.ab.chips.value_or(20.0);
       a.ctx.mult += a.ab.extra_mult.value_or(4.0);
     }},
    {Key::j_ancient, Copy::acts,
     [](CardAct& a) {
       if (a.suit(a.ctx.prep.ancient_suit)) a.ctx.mult *= a.ab.extra.value_or(1.5);
     }},
    {Key::j_business, Copy::acts,
     [](CardAct& a) {
       if (a.face()) a.ctx.dollars += 2.0 * a.odds(a.ab.extra.value_or(2.0));
     }},
    {Key::j_odd_todd, Copy::acts,
     [](CardAct& a) {
       if (a.rank_in({3, 5, 7, 9, 14})) a.ctx.chips += a.ab.extra.value_or(31.0);
     }},
    {Key::j_lucky_cat, Copy::none,
     [](CardAct& a) {
       if (a.lucky > 0.0)
         a.own.x_mult += score::factor(a.ctx.chance, a.lucky) * a.ab.extra.value_or(0.25);
     }},
    {Key::j_fibonacci, Copy::acts,
     [](CardAct& a) {
       if (a.rank_in({2, 3, 5, 8, 14})) a.ctx.mult += a.ab.extra.value_or(8.0);
     }},
    {Key::j_rough_gem, Copy::acts,
     [](CardAct& a) {
       if (a.suit(hand::kDiamonds)) a.ctx.dollars += a.ab.extra.value_or(1.0);
     }},
    {Key::j_arrowhead, Copy::acts,
     [](CardAct& a) {
       if (a.suit(hand::kSpades)) a.ctx.chips += a.ab.extra.value_or(50.0);
     }},
    {Key::j_triboulet, Copy::acts,
     [](CardAct& a) {
       if (a.rank_in({12, 13})) a.ctx.mult *= a.ab.extra.value_or(2.0);
     }},
    {Key::j_photograph, Copy::acts,
     [](CardAct& a) {
       if (is_photograph_card(a)) a.ctx.mult *= a.ab.extra.value_or(2.0);
     }},
    {Key::j_scary_face, Copy::acts,
     [](CardAct& a) {
       if (a.face()) a.ctx.chips += a.ab.extra.value_or(30.0);
     }},
    {Key::j_onyx_agate, Copy::acts,
     [](CardAct& a) {
       if (a.suit(hand::kClubs)) a.ctx.mult += a.ab.extra.value_or(7.0);
     }},
    {Key::j_bloodstone, Copy::acts,
     [](CardAct& a) {
       if (!a.suit(hand::kHearts)) return;
       const double x = a.ab.xmult.value_or(1.5);
       const double f = a.odds(a.ab.odds.value_or(2.0));
       a.ctx.mult *= (x - 1.0) * f + 1.0;
     }},
    {Key::j_even_steven, Copy::acts,
     [](CardAct& a) {
       if (a.rank_in({2, 4, 6, 8, 10})) a.ctx.mult += a.ab.extra.value_or(4.0);
     }},
    {Key::j_lusty_joker, Copy::acts, suit_joker},
    {Key::j_greedy_joker, Copy::acts, suit_joker},
    {Key::j_walkie_talkie, Copy::acts,
     [](CardAct& a) {
       if (!a.rank_in({4, 10})) return;
       a.ctx.chips += a.ab.chips.value_or(10.0);
       a.ctx.mult += a.ab.extra_mult.value_or(4.0);
     }},
    {Key::j_wrathful_joker, Copy::acts, suit_joker},
    {Key::j_gluttenous_joker, Copy::acts, suit_joker},
}};

// Held-card effects, in the order the keys are tested.
constexpr std::array<CardRow, 4> kHeldCard = {{
    {Key::j_baron, Copy::acts,
     [](CardAct& a) {
       if (a.rank_in({13})) a.ctx.mult *= a.ab.extra.value_or(1.5);
     }},
    {Key::j_raised_fist, Copy::acts,
     [](CardAct& a) {
       if (!is_raised_fist_card(a)) return;
       a.ctx.mult += 2.0 * hand::rank_chips(a.card);
     }},
    {Key::j_shoot_the_moon, Copy::acts,
     [](CardAct& a) {
       if (a.rank_in({12})) a.ctx.mult += 13.0;
     }},
    {Key::j_reserved_parking, Copy::acts,
     [](CardAct& a) {
       if (a.face()) a.ctx.dollars += a.ab.dollars.value_or(1.0) * a.odds(a.ab.odds.value_or(2.0));
     }},
}};
constexpr auto kPerCardIndex = phase::rows_by_key(kPerCard);
constexpr auto kHeldCardIndex = phase::rows_by_key(kHeldCard);

// The steps come from the lineup, which holds the entries with a row in this
// table, the copy rule applied.
void run_card_table(score::ScoreCtx& ctx, std::span<const CardRow> rows,
                    std::span<const score::Step> steps, const CardView& card, std::size_t pos,
                    double lucky) {
  for (const score::Step& step : steps) {
    CardAct act{ctx, ctx.prep.jokers[step.index].ab, ctx.jstates[step.index], card, pos, lucky};
    rows[static_cast<std::size_t>(step.row)].effect(act);
  }
}

}  // namespace

std::int8_t phase::per_card_row(Key key, bool copied) {
  return row_for(kPerCard, kPerCardIndex, key, copied);
}

std::int8_t phase::held_card_row(Key key, bool copied) {
  return row_for(kHeldCard, kHeldCardIndex, key, copied);
}

void per_card(score::ScoreCtx& ctx, std::size_t i, double lucky) {
  // No row changes a card, so one copy serves the whole walk.
  const CardView card = ctx.played[i];
  run_card_table(ctx, kPerCard, ctx.lineup.per_card.span(), card, i, lucky);
}

void held_card(score::ScoreCtx& ctx, std::size_t j) {
  const CardView card = ctx.held[j];
  run_card_table(ctx, kHeldCard, ctx.lineup.held_card.span(), card, j, 0.0);
}

}  // namespace quorvel::jokers
