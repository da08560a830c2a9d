// Where a joker acts in the phases, looked up once per snapshot joker.
#include "score/phases/phases.h"
#include "score/phases/table.h"

namespace quorvel::jokers {

score::JokerRows rows_of(Key key) {
  score::JokerRows r;
  r.before = phase::before_row(key, false);
  r.before_copy = phase::before_row(key, true);
  r.card_reps = phase::card_reps_row(key);
  r.per_card = phase::per_card_row(key, false);
  r.per_card_copy = phase::per_card_row(key, true);
  r.held_card = phase::held_card_row(key, false);
  r.held_card_copy = phase::held_card_row(key, true);
  r.main = phase::main_row(key);
  return r;
}

}  // namespace quorvel::jokers
