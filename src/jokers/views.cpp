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

  a.extra = joker.extra();
  // Only an object "extra" has members; each read below looks "extra" up
  // again, so the others are not read at all.
  const json::Value* extra = ab.find("extra");
  if (extra != nullptr && extra->kind() == json::Kind::object) {
    a.chip_mod = joker.extra_num("chip_mod");
    a.hand_add = joker.extra_num("hand_add");
    a.dollars = joker.extra_num("dollars");
    a.chips = joker.extra_num("chips");
    a.extra_mult = joker.extra_num("mult");
    a.odds = joker.extra_num("odds");
    a.xmult = joker.extra_num("Xmult");
    a.s_mult = joker.extra_num("s_mult");
    a.size = joker.extra_num("size");
    a.min = joker.extra_num("min");
    a.max = joker.extra_num("max");
    a.d_remaining = joker.extra_num("d_remaining");
    a.every = joker.extra_num("every");
  }

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
  v.initial =
      JState{joker.num("mult", 0.0), joker.num("x_mult", 1.0), joker.extra_num("chips", 0.0)};
  return v;
}

}  // namespace quorvel::jokers
