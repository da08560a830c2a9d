// Placeholders for the joker phases so the scoring run links; to be replaced by the real phases.
#include "jokers/jokers.h"

namespace quorvel::jokers {

void before(score::ScoreCtx&) {}
std::uint32_t card_repetitions(const score::ScoreCtx&, std::size_t) {
  return 0;
}
void per_card(score::ScoreCtx&, std::size_t, double) {}
std::uint32_t held_repetitions(const score::ScoreCtx&) {
  return 0;
}
void held_card(score::ScoreCtx&, std::size_t) {}
void main_phase(score::ScoreCtx&) {}

}  // namespace quorvel::jokers
