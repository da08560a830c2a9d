#include <string_view>

#include "jokers/jokers.h"

namespace quorvel::jokers {

Ability read_ability(const snapshot::Joker& joker, hand::SuitTable& suits) {
  const json::Value& ab = joker.ab;
  Ability a;
  a.t_mult = joker.num("t_mult");
  a.t_chips = joker.num("t_chips");
  a.stone_tally = joker.num("stone_tally");
  a.steel_tally = joker.num("steel_tally");
  a.driver_tally = joker.num("driver_tally");
  a.caino_xmult = joker.num("caino_xmult");
  a.hands_played_at_create = joker.num("hands_played_at_create");

  // "extra" is looked up once; only an object one has members.
  const json::Value* extra = ab.find("extra");
  a.extra = snapshot::ability_number(extra);
  const auto in_extra = [extra](std::string_view key) {
    return extra != nullptr ? extra->find(key) : nullptr;
  };
  const auto member = [&in_extra](std::string_view key) {
    return snapshot::ability_number(in_extra(key));
  };
  a.chip_mod = member("chip_mod");
  a.hand_add = member("hand_add");
  a.dollars = member("dollars");
  a.chips = member("chips");
  a.extra_mult = member("mult");
  a.odds = member("odds");
  a.xmult = member("Xmult");
  a.s_mult = member("s_mult");
  a.size = member("size");
  a.min = member("min");
  a.max = member("max");
  a.d_remaining = member("d_remaining");
  a.every = member("every");

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
  const json::Value* suit = in_extra("suit");
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
  // extra.chips as read above, by the same rule as joker.extra_num("chips", 0.0).
  v.initial = JState{joker.num("mult", 0.0), joker.num("x_mult", 1.0), v.ab.chips.value_or(0.0)};
  return v;
}

}  // namespace quorvel::jokers
