// A joker order resolved once: each phase's walk holds only the entries that
// have a row in it, so a run never looks a key up.
#include "jokers/jokers.h"
#include "score/context.h"

namespace quorvel::score {

Lineup::Lineup(const Prepared& prep, std::span<const std::size_t> order) {
  const std::span<const jokers::JokerView> jokers = prep.jokers;
  jokers::check_order(jokers, order);
  const std::size_t n = order.size();
  // Every element is written below before anything reads it.
  main_.resize_for_overwrite(n);
  list_.resize_for_overwrite(n);
  MainStep* main = main_.data();
  jokers::Resolved* list = list_.data();
  std::size_t listed = 0;
  for (std::size_t b = 0; b < n; ++b) {
    const jokers::Resolved r = jokers::resolve_at(jokers, order, b);
    const jokers::JokerView& real = jokers[order[b]];
    main[b] = MainStep{static_cast<std::uint32_t>(order[b]), r.index,
                       real.debuff ? hand::Edition::none : real.ed, real.rarity == 2};
    if (r.acts()) {
      list[listed++] = r;
      const JokerRows& rows = prep.rows[r.index];
      held_reps_ += rows.held_reps;  // wraps, as the count does
      space_ += rows.space ? 1u : 0u;
    }
  }
  list_.resize(listed);

  // Each walk in list order: before, card repetitions, per card, held card.
  steps_.resize_for_overwrite(4 * listed);
  Step* steps = steps_.data();
  std::uint32_t count = 0;
  const auto walk = [&](std::size_t w, auto row_of) {
    for (std::size_t e = 0; e < listed; ++e) {
      const std::int8_t row = row_of(prep.rows[list[e].index], list[e].copied);
      if (row != JokerRows::kNoRow) {
        steps[count++] = Step{list[e].index, row, prep.rows[list[e].index].fold};
      }
    }
    ends_[w] = count;
  };
  walk(0,
       [](const JokerRows& rows, bool copied) { return copied ? rows.before_copy : rows.before; });
  walk(1, [](const JokerRows& rows, bool) { return rows.card_reps; });
  walk(2, [](const JokerRows& rows, bool copied) {
    return copied ? rows.per_card_copy : rows.per_card;
  });
  walk(3, [](const JokerRows& rows, bool copied) {
    return copied ? rows.held_card_copy : rows.held_card;
  });
  steps_.resize(count);
}

}  // namespace quorvel::score
