// The joker main phase: each joker position acts once, left to right, with its
// own edition, the effect of the joker it resolves to, the uncommon-joker
// bonus of "j_baseball", and last its "e_polychrome".
#include <array>
#include <cmath>
#include <cstddef>
#include <optional>

#include "jokers/jokers.h"
#include "score/chance.h"
#include "score/context.h"
#include "score/phases/phases.h"
#include "score/phases/table.h"

namespace quorvel::jokers {
namespace {

using hand::CardView;

// The resolved joker of one position. Copies act exactly as the joker they
// copy in this phase, and joker state is only read.
struct MainAct {
  score::ScoreCtx& ctx;
  const Ability& ab;
  const JState& s;

  const snapshot::Round& round() const { return ctx.snapshot.round; }
  const snapshot::Deck& deck() const { return ctx.snapshot.deck; }
  const score::LevelInfo& level() const {
    return ctx.prep.levels[static_cast<std::size_t>(ctx.detected.name)];
  }
};

// A main row sees its joker's state read-only and changes only the running
// values; `does` declares anything further (no row here needs it today).
struct MainRow {
  Key key;
  void (*effect)(MainAct&);
  Does does = Does::nothing;
};

void add_state_chips(MainAct& a) {
  a.ctx.chips += a.s.chips;
}
void add_state_mult(MainAct& a) {
  if (a.s.mult > 0.0) a.ctx.mult += a.s.mult;
}

bool all_held_black(const score::ScoreCtx& ctx) {
  for (const CardView& card : ctx.held) {
    if (!hand::flush_matches(card, hand::kClubs, ctx.rules) &&
        !hand::flush_matches(card, hand::kSpades, ctx.rules))
      return false;
  }
  return true;
}

// Keyed effects, in the order the keys are tested.
constexpr std::array<MainRow, 38> kMain = {{
    {Key::j_half,
     [](MainAct& a) {
       if (static_cast<double>(a.ctx.played.size()) <= a.ab.size.value_or(3.0))
         a.ctx.mult += a.ab.extra_mult.value_or(20.0);
     }},
    {Key::j_bull,
     [](MainAct& a) {
       if (a.ctx.dollars > 0.0) a.ctx.chips += a.ab.extra.value_or(2.0) * a.ctx.dollars;
     }},
    {Key::j_acrobat,
     [](MainAct& a) {
       if (a.ctx.prep.hands_left_after == 0.0) a.ctx.mult *= a.ab.extra.value_or(3.0);
     }},
    {Key::j_matador,
     [](MainAct& a) {
       if (a.ctx.blind_triggered) a.ctx.dollars += a.ab.extra.value_or(8.0);
     }},
    {Key::j_erosion,
     [](MainAct& a) {
       const double d = a.deck().starting - a.deck().total;
       if (d > a.ctx.cards_added) a.ctx.mult += (d - a.ctx.cards_added) * a.ab.extra.value_or(4.0);
     }},
    {Key::j_abstract,
     [](MainAct& a) {
       a.ctx.mult += a.ab.extra.value_or(3.0) * static_cast<double>(a.ctx.prep.jokers.size());
     }},
    {Key::j_misprint,
     [](MainAct& a) {
       a.ctx.mult += a.ctx.chance.pick(a.ab.min.value_or(0.0), a.ab.max.value_or(23.0));
     }},
    {Key::j_stuntman, [](MainAct& a) { a.ctx.chips += a.ab.chip_mod.value_or(250.0); }},
    {Key::j_mystic_summit,
     [](MainAct& a) {
       if (a.round().discards_left == a.ab.d_remaining.value_or(0.0))
         a.ctx.mult += a.ab.extra_mult.value_or(15.0);
     }},
    {Key::j_seeing_double,
     [](MainAct& a) {
       if (seeing_double(a.ctx.played, a.ctx.detected.scoring.span(), a.ctx.rules))
         a.ctx.mult *= a.ab.extra.value_or(2.0);
     }},
    {Key::j_wee, add_state_chips},
    {Key::j_stone,
     [](MainAct& a) { a.ctx.chips += a.ab.stone_tally.value_or(0.0) * a.ab.extra.value_or(25.0); }},
    {Key::j_banner,
     [](MainAct& a) {
       const double discards = a.round().discards_left;
       if (discards > 0.0) a.ctx.chips += discards * a.ab.extra.value_or(30.0);
     }},
    {Key::j_castle, add_state_chips},
    {Key::j_square, add_state_chips},
    {Key::j_runner, add_state_chips},
    {Key::j_supernova,
     [](MainAct& a) {
       if (a.level().found)
         a.ctx.mult = a.ctx.mult + a.level().level.played + 1.0;
       else
         a.ctx.mult += 1.0;
     }},
    {Key::j_ice_cream, add_state_chips},
    {Key::j_flower_pot,
     [](MainAct& a) {
       if (flower_pot(a.ctx.played, a.ctx.detected.scoring.span(), a.ctx.rules))
         a.ctx.mult *= a.ab.extra.value_or(3.0);
     }},
    {Key::j_blue_joker,
     [](MainAct& a) {
       const double remaining = a.deck().remaining;
       if (remaining > 0.0) a.ctx.chips += a.ab.extra.value_or(2.0) * remaining;
     }},
    {Key::j_blackboard,
     [](MainAct& a) {
       if (all_held_black(a.ctx)) a.ctx.mult *= a.ab.extra.value_or(3.0);
     }},
    {Key::j_ceremonial, add_state_mult},
    {Key::j_steel_joker,
     [](MainAct& a) {
       const double tally = a.ab.steel_tally.value_or(0.0);
       if (tally > 0.0) a.ctx.mult *= 1.0 + tally * a.ab.extra.value_or(0.2);
     }},
    {Key::j_drivers_license,
     [](MainAct& a) {
       if (a.ab.driver_tally.value_or(0.0) >= 16.0) a.ctx.mult *= a.ab.extra.value_or(3.0);
     }},
    {Key::j_swashbuckler, add_state_mult},
    {Key::j_joker, add_state_mult},
    {Key::j_trousers, add_state_mult},
    {Key::j_ride_the_bus, add_state_mult},
    {Key::j_flash, add_state_mult},
    {Key::j_popcorn, add_state_mult},
    {Key::j_green_joker, add_state_mult},
    {Key::j_red_card, add_state_mult},
    {Key::j_fortune_teller,
     [](MainAct& a) {
       const double tarots = a.round().tarot_used;
       if (tarots > 0.0) a.ctx.mult += tarots;
     }},
    {Key::j_gros_michel, [](MainAct& a) { a.ctx.mult += a.ab.extra_mult.value_or(15.0); }},
    {Key::j_cavendish, [](MainAct& a) { a.ctx.mult *= a.ab.xmult.value_or(3.0); }},
    {Key::j_card_sharp,
     [](MainAct& a) {
       if (a.level().found && a.level().level.played_round > 0.0)
         a.ctx.mult *= a.ab.xmult.value_or(3.0);
     }},
    {Key::j_bootstraps,
     [](MainAct& a) {
       const double n = std::floor(a.ctx.dollars / a.ab.dollars.value_or(5.0));
       if (n >= 1.0) a.ctx.mult += n * a.ab.extra_mult.value_or(2.0);
     }},
    {Key::j_caino,
     [](MainAct& a) {
       const double x = a.ab.caino_xmult.value_or(1.0);
       if (x > 1.0) a.ctx.mult *= x;
     }},
}};
constexpr auto kMainIndex = phase::rows_by_key(kMain);

// Acts every (every + 1) hands: with every 5 and created 0 at "hands_played"
// 5, 11, 17, ... The remainder takes the dividend's sign (fmod), then is made
// non-negative.
void loyalty(MainAct& a) {
  const double every = a.ab.every.value_or(5.0);
  const double created = a.ab.hands_played_at_create.value_or(0.0);
  const double played = a.round().hands_played;
  double r = std::fmod(every - 1.0 + (created - played), every + 1.0);
  if (r < 0.0) r += std::fabs(every + 1.0);
  if (r == every) a.ctx.mult *= a.ab.xmult.value_or(4.0);
}

// The effect of the resolved joker of one position: the loyalty rule, else
// the generic paths driven by the ability object, else the keyed table. The
// prepared rows hold what these tests read of the joker.
void joker_main(score::ScoreCtx& ctx, std::uint32_t acting) {
  const score::JokerRows& step = ctx.prep.rows[acting];
  const JState& s = ctx.jstates[acting];
  if (step.loyalty) {
    MainAct act{ctx, ctx.prep.jokers[acting].ab, s};
    loyalty(act);
    return;
  }
  const bool contained = step.has_type && (step.type_mask & ctx.detected.poker_hands) != 0;
  if (s.x_mult > 1.0 && step.x_mult_generic && (!step.has_type || contained)) {
    ctx.mult *= s.x_mult;
    return;
  }
  if (step.t_mult > 0.0 && contained) {
    ctx.mult += step.t_mult;
    return;
  }
  if (step.t_chips > 0.0 && contained) {
    ctx.chips += step.t_chips;
    return;
  }
  if (step.main != score::JokerRows::kNoRow) {
    MainAct act{ctx, ctx.prep.jokers[acting].ab, s};
    kMain[static_cast<std::size_t>(step.main)].effect(act);
  }
}

}  // namespace

// joker_main's paths, in its order: the x_mult path needs an x_mult above 1,
// now (a NaN counts) or after one of the joker's own rows grows it.
bool phase::main_may_act(const score::JokerRows& rows, const JState& initial) {
  return rows.loyalty || !(initial.x_mult <= 1.0) || any(rows.does, Does::grow_own) ||
         rows.t_mult > 0.0 || rows.t_chips > 0.0 || rows.main != score::JokerRows::kNoRow;
}

bool seeing_double(std::span<const CardView> played, std::span<const std::size_t> scoring,
                   hand::JokerRules rules) {
  int clubs = 0, hearts = 0, diamonds = 0, spades = 0;
  auto passes = [&](const CardView& c, hand::Suit s) {
    return hand::is_suit_bypass(c, s, false, rules);
  };
  for (std::size_t pos : scoring) {
    const CardView& c = played[pos];
    if (c.enh == hand::Enh::wild) continue;
    clubs += passes(c, hand::kClubs);
    hearts += passes(c, hand::kHearts);
    diamonds += passes(c, hand::kDiamonds);
    spades += passes(c, hand::kSpades);
  }
  // Wild cards fill the gaps, Clubs first: one wild card is spent on Clubs.
  for (std::size_t pos : scoring) {
    const CardView& c = played[pos];
    if (c.enh != hand::Enh::wild) continue;
    if (passes(c, hand::kClubs) && clubs == 0) {
      clubs = 1;
      continue;
    }
    if (hearts == 0 && passes(c, hand::kHearts)) hearts = 1;
    if (diamonds == 0 && passes(c, hand::kDiamonds)) diamonds = 1;
    if (spades == 0 && passes(c, hand::kSpades)) spades = 1;
  }
  return clubs > 0 && (hearts > 0 || diamonds > 0 || spades > 0);
}

bool flower_pot(std::span<const CardView> played, std::span<const std::size_t> scoring,
                hand::JokerRules rules) {
  constexpr std::array<hand::Suit, 4> kOrder = {hand::kHearts, hand::kDiamonds, hand::kSpades,
                                                hand::kClubs};
  std::array<bool, 4> marked{};
  // Each card marks the first free suit it passes. Debuffed cards count in the
  // first pass; debuffed wild cards count for nothing in the second.
  auto mark = [&](const CardView& c, bool allow_debuffed) {
    for (std::size_t k = 0; k < kOrder.size(); ++k) {
      if (marked[k] || !hand::is_suit_bypass(c, kOrder[k], allow_debuffed, rules)) continue;
      marked[k] = true;
      return;
    }
  };
  for (std::size_t pos : scoring)
    if (played[pos].enh != hand::Enh::wild) mark(played[pos], true);
  for (std::size_t pos : scoring)
    if (played[pos].enh == hand::Enh::wild) mark(played[pos], false);
  return marked[0] && marked[1] && marked[2] && marked[3];
}

std::int8_t phase::main_row(Key key) {
  return row_for(kMain, kMainIndex, key, false);
}

// The uncommon-joker bonus of "j_baseball" in main_phase() below reads the
// whole resolved list at every uncommon joker.
constexpr Does kBaseballBonusDoes = Does::read_order;

Does phase::main_does(Key key) {
  const Does bonus = key == Key::j_baseball ? kBaseballBonusDoes : Does::nothing;
  return does_for(kMain, kMainIndex, key) | bonus;
}

void main_phase(score::ScoreCtx& ctx) {
  const std::span<const JokerView> jokers = ctx.prep.jokers;
  for (const score::MainStep& step : ctx.lineup.main()) {
    const std::size_t real_index = step.real;
    // The step's edition is none for a debuffed joker.
    ctx.edition_add(step.ed);
    if (step.acting != Resolved::kNothing) joker_main(ctx, step.acting);
    if (step.uncommon) {
      // Uncommon jokers receive every other baseball's bonus, copies included,
      // whether or not they act themselves.
      for (const Resolved& entry : ctx.lineup.list()) {
        const JokerView& ball = jokers[entry.index];
        if (ball.key == Key::j_baseball && entry.index != real_index)
          ctx.mult *= ball.ab.extra.value_or(1.5);
      }
    }
    ctx.edition_multiply(step.ed);
  }
}

}  // namespace quorvel::jokers
