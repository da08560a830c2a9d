#include <string_view>

#include "jokers/jokers.h"

namespace quorvel::jokers {

namespace {

std::optional<double> top(const json::Value& ab, std::string_view key) {
  return snapshot::ability_number(ab.find(key));
}

std::optional<double> inner(const json::Value* extra, std::string_view key) {
  return snapshot::ability_number(extra == nullptr ? nullptr : extra->find(key));
}

}  // namespace

Ability read_ability(const snapshot::Joker& joker, hand::SuitTable& suits) {
  const json::Value& ab = joker.ab;
  Ability a;
  a.mult = top(ab, "mult");
  a.x_mult = top(ab, "x_mult");
  a.t_mult = top(ab, "t_mult");
  a.t_chips = top(ab, "t_chips");
  a.stone_tally = top(ab, "stone_tally");
  a.steel_tally = top(ab, "steel_tally");
  a.driver_tally = top(ab, "driver_tally");
  a.caino_xmult = top(ab, "caino_xmult");
  a.hands_played_at_create = top(ab, "hands_played_at_create");

  const json::Value* extra = ab.find("extra");
  a.extra = snapshot::ability_number(extra);
  a.chip_mod = inner(extra, "chip_mod");
  a.hand_add = inner(extra, "hand_add");
  a.dollars = inner(extra, "dollars");
  a.chips = inner(extra, "chips");
  a.extra_mult = inner(extra, "mult");
  a.odds = inner(extra, "odds");
  a.xmult = inner(extra, "Xmult");
  a.s_mult = inner(extra, "s_mult");
  a.size = inner(extra, "size");
  a.min = inner(extra, "min");
  a.max = inner(extra, "max");
  a.d_remaining = inner(extra, "d_remaining");
  a.every = inner(extra, "every");

  if (const json::Value* type = ab.find("type");
      type != nullptr && type->kind() == json::Kind::string && !type->as_string().empty()) {
    a.has_type = true;
    hand::HandType t;
    if (hand::type_of(type->as_string(), t)) {
      a.type_mask = static_cast<std::uint16_t>(1u << static_cast<unsigned>(t));
    }
  }
  if (const json::Value* todo = ab.find("to_do_poker_hand");
      todo != nullptr && todo->kind() == json::Kind::string) {
    hand::HandType t;
    if (hand::type_of(todo->as_string(), t)) a.to_do_poker_hand = t;
  }
  const json::Value* suit = extra == nullptr ? nullptr : extra->find("suit");
  a.suit = suit != nullptr && suit->kind() == json::Kind::string ? suits.intern(suit->as_string())
                                                                 : hand::kNoSuit;
  return a;
}

JokerView view(const snapshot::Joker& joker, hand::SuitTable& suits) {
  JokerView v;
  v.id = joker.id;
  v.key = key_of(joker.key);
  v.ed = hand::edition_of(joker.ed);
  v.debuff = joker.debuff;
  v.hidden = joker.hidden;
  v.rarity = joker.rarity;
  v.ab = read_ability(joker, suits);
  v.initial = JState{v.ab.mult.value_or(0.0), v.ab.x_mult.value_or(1.0), v.ab.chips.value_or(0.0)};
  return v;
}

}  // namespace quorvel::jokers
