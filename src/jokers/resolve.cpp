#include "common/positions.h"
#include "jokers/jokers.h"

namespace quorvel::jokers {

namespace {

// Where a copy joker at place `at` of the order looks.
std::size_t copy_target(Key k, std::size_t at) {
  return k == Key::j_blueprint ? at + 1 : 0;
}

const JokerView& at_place(std::span<const JokerView> jokers, std::span<const std::size_t> order,
                          std::size_t place) {
  return jokers[order[place]];
}

}  // namespace

void check_order(std::span<const JokerView> jokers, std::span<const std::size_t> order) {
  common::check_positions(order, jokers.size(), "joker position outside the snapshot");
}

hand::JokerRules rules(std::span<const JokerView> jokers) {
  hand::JokerRules r;
  for (const JokerView& j : jokers) {
    if (j.debuff) continue;
    switch (j.key) {
      case Key::j_four_fingers:
        r.four_fingers = true;
        break;
      case Key::j_shortcut:
        r.shortcut = true;
        break;
      case Key::j_smeared:
        r.smeared = true;
        break;
      case Key::j_pareidolia:
        r.pareidolia = true;
        break;
      case Key::j_splash:
        r.splash = true;
        break;
      default:
        break;
    }
  }
  return r;
}

bool is_face(const hand::CardView& card, hand::JokerRules rules) {
  if (card.debuff) return false;
  if (rules.pareidolia) return true;
  if (card.enh == hand::Enh::stone || card.hidden) return false;
  return card.rank >= 11 && card.rank <= 13;
}

Resolved resolve_copy(std::span<const JokerView> jokers, std::span<const std::size_t> order,
                      std::size_t pos) {
  constexpr Resolved kNothing{Resolved::kNothing, false};
  const std::size_t n = order.size();
  const JokerView& c = at_place(jokers, order, pos);
  const std::size_t t = copy_target(c.key, pos);
  if (t >= n || t == pos) return kNothing;
  // Follow chains of copies; a chain that comes back on itself ends after
  // n visits.
  std::size_t i = t;
  std::size_t visits = 1;
  for (;;) {
    const JokerView& j = at_place(jokers, order, i);
    if (j.debuff || j.hidden) return kNothing;
    if (!is_copy(j.key)) return Resolved{static_cast<std::uint32_t>(order[i]), true};
    const std::size_t e = copy_target(j.key, i);
    if (e >= n || e == i || visits == n) return kNothing;
    i = e;
    ++visits;
  }
}

common::SmallVec<JState, 8> initial_state(std::span<const JokerView> jokers) {
  common::SmallVec<JState, 8> states;
  states.reserve(jokers.size());
  for (const JokerView& j : jokers) states.push_back(j.initial);
  return states;
}

double debuffed_hand_money(std::span<const JokerView> jokers, std::span<const Resolved> list) {
  // Summed in list order, which another joker order may round differently:
  // the search never shares a voided play's outcome. The empty sum is negative
  // zero, which the answer writes as "-0.0".
  double money = -0.0;
  for (const Resolved& r : list) {
    const JokerView& j = jokers[r.index];
    if (j.key == Key::j_matador) money += j.ab.extra.value_or(8.0);
  }
  return money;
}

}  // namespace quorvel::jokers
