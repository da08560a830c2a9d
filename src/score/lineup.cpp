// A joker order resolved once: each phase's walk holds only the entries that
// have a row in it, so a run never looks a key up.
#include "jokers/jokers.h"
#include "score/context.h"
#include "score/phases/phases.h"

namespace quorvel::score {

Lineup::Lineup(const Prepared& prep, std::span<const std::size_t> order)
    : resolved(prep.jokers, order) {
  const auto add = [](common::SmallVec<Step, 8>& walk, std::uint32_t index, std::int8_t row) {
    if (row != JokerRows::kNoRow) walk.push_back(Step{index, row});
  };
  for (const jokers::Resolved& entry : resolved.list) {
    const JokerRows& rows = prep.rows[entry.index];
    add(before, entry.index, entry.copied ? rows.before_copy : rows.before);
    add(card_reps, entry.index, rows.card_reps);
    add(per_card, entry.index, entry.copied ? rows.per_card_copy : rows.per_card);
    add(held_card, entry.index, entry.copied ? rows.held_card_copy : rows.held_card);
    if (prep.jokers[entry.index].key == jokers::Key::j_space) ++space;
  }
  main.reserve(order.size());
  for (std::size_t b = 0; b < order.size(); ++b) {
    const jokers::Resolved r = resolved.at[b];
    MainStep step;
    step.real = static_cast<std::uint32_t>(order[b]);
    if (r.acts()) {
      step.acting = r.index;
      step.row = prep.rows[r.index].main;
    }
    main.push_back(step);
  }
  held_reps = jokers::held_repetitions(prep.jokers, resolved.list.span());
}

}  // namespace quorvel::score
