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

// What a repetition row reads: the card and the play, never the run's
// running values, so a play can work a row out once per card.
struct RepTest {
  double hands_left_after;
  hand::JokerRules rules;
  const hand::Detected& detected;
  const hand::CardView& card;
  std::size_t i;
  const Ability& ab;
};

// When `test` holds, the sum grows by `amount`. Copies act like the joker
// itself in every row.
struct RepRow {
  Key key;
  bool (*test)(const RepTest&);
  double (*amount)(const RepTest&);
};

constexpr std::array<RepRow, 5> kCardRepetitions = {{
    {Key::j_dusk, [](const RepTest& t) { return t.hands_left_after == 0.0; },
     [](const RepTest& t) { return t.ab.extra.value_or(1.0); }},
    {Key::j_hack,
     [](const RepTest& t) {
       return phase::has_rank(t.card) && t.card.rank >= 2 && t.card.rank <= 5;
     },
     [](const RepTest& t) { return t.ab.extra.value_or(1.0); }},
    {Key::j_selzer, [](const RepTest&) { return true; }, [](const RepTest&) { return 1.0; }},
    {Key::j_hanging_chad,
     [](const RepTest& t) {
       const common::Positions& scoring = t.detected.scoring;
       return !scoring.empty() && scoring[0] == t.i;
     },
     [](const RepTest& t) { return t.ab.extra.value_or(2.0); }},
    {Key::j_sock_and_buskin, [](const RepTest& t) { return is_face(t.card, t.rules); },
     [](const RepTest& t) { return t.ab.extra.value_or(1.0); }},
}};
constexpr auto kCardRepetitionsIndex = phase::rows_by_key(kCardRepetitions);

}  // namespace

std::int8_t phase::card_reps_row(Key key) {
  return row_for(kCardRepetitions, kCardRepetitionsIndex, key, false);
}

std::uint32_t card_repetitions(const score::ScoreCtx& ctx, std::size_t i) {
  double sum = 0.0;
  const hand::CardView& card = ctx.played[i];
  for (const score::Step& step : ctx.lineup.card_reps()) {
    const RepRow& row = kCardRepetitions[static_cast<std::size_t>(step.row)];
    const RepTest t{ctx.prep.hands_left_after,     ctx.rules, ctx.detected, card, i,
                    ctx.prep.jokers[step.index].ab};
    if (row.test(t)) sum += row.amount(t);
  }
  return repetition_count(sum);  // the total is clamped, not each amount
}

void fold_card_repetitions(const score::Prepared& prep, const score::Play& play, std::size_t i,
                           std::size_t joker, score::CardFold& fold) {
  const std::int8_t r = prep.rows[joker].card_reps;
  if (r == score::JokerRows::kNoRow) return;
  const RepRow& row = kCardRepetitions[static_cast<std::size_t>(r)];
  const RepTest t{prep.hands_left_after, prep.rules, play.detected,
                  play.played[i],        i,          prep.jokers[joker].ab};
  fold.repeats = row.test(t);
  if (fold.repeats) fold.repetitions = row.amount(t);
}

std::uint32_t held_repetitions(std::span<const JokerView> jokers, std::span<const Resolved> list) {
  std::uint32_t count = 0;
  for (const Resolved& entry : list) {
    const JokerView& joker = jokers[entry.index];
    // "j_mime", copies included: each amount clamped by itself, the sum wraps.
    if (joker.key == Key::j_mime) count += repetition_count(joker.ab.extra.value_or(1.0));
  }
  return count;
}

}  // namespace quorvel::jokers
