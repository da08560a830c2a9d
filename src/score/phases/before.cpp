// Jokers before scoring: scaling jokers grow their state, cards are gilded or
// stripped, "j_dna" copies the played card into the hand. Runs while the
// running chips and mult are still 0.
#include <array>
#include <cstddef>

#include "jokers/jokers.h"
#include "score/context.h"
#include "score/phases/phases.h"
#include "score/phases/table.h"

namespace quorvel::jokers {
namespace {

using hand::HandType;
using phase::Copy;

// One entry of the resolved list acting in this phase.
struct BeforeAct {
  score::ScoreCtx& ctx;
  const Ability& ab;
  JState& own;  // the resolved joker's state

  bool contains(HandType t) const { return ctx.detected.contains(t); }
  bool face(std::size_t pos) const { return is_face(ctx.played[pos], ctx.rules); }
};

void obelisk(BeforeAct& a) {
  const score::ScoreCtx& ctx = a.ctx;
  const HandType name = ctx.detected.name;
  const score::LevelInfo& current = ctx.prep.levels[static_cast<std::size_t>(name)];
  const double n = current.found ? current.level.played + 1.0 : 1.0;
  for (const score::LevelEntry& level : ctx.prep.level_entries) {
    if (level.type == name || !level.visible) continue;
    if (level.played >= n) {  // false for a NaN count
      a.own.x_mult += a.ab.extra.value_or(0.2);
      return;
    }
  }
  a.own.x_mult = 1.0;
}

void dna(BeforeAct& a) {
  score::ScoreCtx& ctx = a.ctx;
  if (ctx.snapshot.round.round_hands != 0.0 || ctx.played.size() != 1) return;
  ctx.add_held(ctx.played[0]);
  ctx.cards_added += 1.0;
  // Every hologram in the snapshot's own order, whatever the joker order.
  for (std::size_t h = 0; h < ctx.prep.jokers.size(); ++h) {
    const JokerView& holo = ctx.prep.jokers[h];
    if (holo.key != Key::j_hologram || holo.debuff || holo.hidden) continue;
    ctx.jstates[h].x_mult += holo.ab.extra.value_or(0.25);
  }
}

struct BeforeRow {
  Key key;
  Copy copy;
  Does does;
  void (*effect)(BeforeAct&);
};

constexpr std::array<BeforeRow, 10> kBefore = {{
    {Key::j_trousers, Copy::none, Does::grow_own,
     [](BeforeAct& a) {
       if (a.contains(HandType::two_pair) || a.contains(HandType::full_house))
         a.own.mult += a.ab.extra.value_or(2.0);
     }},
    {Key::j_square, Copy::none, Does::grow_own,
     [](BeforeAct& a) {
       if (a.ctx.played.size() == 4) a.own.chips += a.ab.chip_mod.value_or(4.0);
     }},
    {Key::j_runner, Copy::none, Does::grow_own,
     [](BeforeAct& a) {
       if (a.contains(HandType::straight)) a.own.chips += a.ab.chip_mod.value_or(15.0);
     }},
    {Key::j_midas_mask, Copy::none, Does::change_played,
     [](BeforeAct& a) {
       for (std::size_t pos : a.ctx.detected.scoring)
         if (a.face(pos)) a.ctx.change_played(pos).enh = hand::Enh::gold;
     }},
    {Key::j_vampire, Copy::none, Does::change_played | Does::grow_own,
     [](BeforeAct& a) {
       double k = 0.0;
       for (std::size_t pos : a.ctx.detected.scoring) {
         const hand::CardView& card = a.ctx.played[pos];
         if (card.enh == hand::Enh::none || card.debuff) continue;
         a.ctx.change_played(pos).enh = hand::Enh::none;
         k += 1.0;
       }
       // Skipped at k = 0 so that a non-finite extra cannot turn x_mult into NaN.
       if (k > 0.0) a.own.x_mult += k * a.ab.extra.value_or(0.1);
     }},
    {Key::j_dna, Copy::acts, Does::change_held | Does::change_others, dna},
    {Key::j_ride_the_bus, Copy::none, Does::grow_own,
     [](BeforeAct& a) {
       bool face = false;
       for (std::size_t pos : a.ctx.detected.scoring) face = face || a.face(pos);
       if (face)
         a.own.mult = 0.0;
       else
         a.own.mult += a.ab.extra.value_or(1.0);
     }},
    {Key::j_obelisk, Copy::none, Does::grow_own, obelisk},
    {Key::j_green_joker, Copy::none, Does::grow_own,
     [](BeforeAct& a) { a.own.mult += a.ab.hand_add.value_or(1.0); }},
    {Key::j_todo_list, Copy::acts, Does::nothing,
     [](BeforeAct& a) {
       if (a.ab.to_do_poker_hand == a.ctx.detected.name)
         a.ctx.dollars += a.ab.dollars.value_or(4.0);
     }},
}};
constexpr auto kBeforeIndex = phase::rows_by_key(kBefore);
static_assert(phase::copy_rule_holds(kBefore));

}  // namespace

std::int8_t phase::before_row(Key key, bool copied) {
  return row_for(kBefore, kBeforeIndex, key, copied);
}

Does phase::before_does(Key key) {
  return does_for(kBefore, kBeforeIndex, key);
}

void before(score::ScoreCtx& ctx) {
  // The lineup holds the entries with a row here, the copy rule applied.
  for (const score::Step& step : ctx.lineup.before()) {
    BeforeAct act{ctx, ctx.prep.jokers[step.index].ab, ctx.jstates[step.index]};
    kBefore[static_cast<std::size_t>(step.row)].effect(act);
  }
}

}  // namespace quorvel::jokers
