// Where a joker acts in the phases, looked up once per snapshot joker.
#include "score/phases/phases.h"
#include "score/phases/table.h"

namespace quorvel::jokers {

score::JokerRows rows_of(const JokerView& joker) {
  const Key key = joker.key;
  score::JokerRows r;
  r.before = phase::before_row(key, false);
  r.before_copy = phase::before_row(key, true);
  r.card_reps = phase::card_reps_row(key);
  r.per_card = phase::per_card_row(key, false);
  r.per_card_copy = phase::per_card_row(key, true);
  r.held_card = phase::held_card_row(key, false);
  r.held_card_copy = phase::held_card_row(key, true);
  r.main = phase::main_row(key);
  r.space = key == Key::j_space;
  const Resolved self{0, false};
  r.held_reps = held_repetitions(std::span<const JokerView>(&joker, 1), std::span(&self, 1));
  r.loyalty = key == Key::j_loyalty_card;
  r.x_mult_generic = key != Key::j_seeing_double;
  r.does = phase::before_does(key) | phase::card_does(key) | phase::main_does(key) |
           (is_copy(key) ? kCopyDoes : Does::nothing);
  r.has_type = joker.ab.has_type;
  r.type_mask = joker.ab.type_mask;
  // A NaN is not greater than 0, so it never acts.
  if (joker.ab.t_mult.value_or(0.0) > 0.0) r.t_mult = *joker.ab.t_mult;
  if (joker.ab.t_chips.value_or(0.0) > 0.0) r.t_chips = *joker.ab.t_chips;
  r.main_acts = phase::main_may_act(r, joker.initial);
  return r;
}

}  // namespace quorvel::jokers
