// Small builders for test snapshots, so tests state only the values they use.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "hand/card.h"
#include "json/value.h"
#include "snapshot/snapshot.h"

namespace quorvel::testing {

struct CardB {
  snapshot::Card c;
  CardB& id(std::int64_t v) { return c.id = v, *this; }
  CardB& enh(std::string v) { return c.enh = std::move(v), *this; }
  CardB& ed(std::string v) { return c.ed = std::move(v), *this; }
  CardB& seal(std::string v) { return c.seal = std::move(v), *this; }
  CardB& debuff() { return c.debuff = true, *this; }
  CardB& hidden() { return c.hidden = true, *this; }
  CardB& bonus(double v) { return c.perma.bonus = v, *this; }
  CardB& mult(double v) { return c.perma.mult = v, *this; }
  CardB& x_mult(double v) { return c.perma.x_mult = v, *this; }
  operator snapshot::Card() const { return c; }
};

inline CardB card(std::int32_t rank, std::string suit) {
  CardB b;
  b.c.id = rank * 10;
  b.c.rank = rank;
  b.c.suit = std::move(suit);
  return b;
}

using Members = std::initializer_list<json::Object::value_type>;

inline json::Value object(Members members) {
  return json::Value(json::Object(members));
}

struct JokerB {
  snapshot::Joker j;
  JokerB& id(std::int64_t v) { return j.id = v, *this; }
  JokerB& ab(Members members) { return j.ab = object(members), *this; }
  JokerB& ab_value(json::Value v) { return j.ab = std::move(v), *this; }
  JokerB& debuff() { return j.debuff = true, *this; }
  JokerB& hidden() { return j.hidden = true, *this; }
  JokerB& no_key() { return j.key.reset(), *this; }
  operator snapshot::Joker() const { return j; }
};

inline JokerB joker(std::string key) {
  JokerB b;
  b.j.key = std::move(key);
  return b;
}

inline snapshot::Level level(double chips, double mult, double l_chips = 0.0, double l_mult = 0.0,
                             double lvl = 1.0) {
  snapshot::Level l;
  l.level = lvl;
  l.chips = chips;
  l.mult = mult;
  l.l_chips = l_chips;
  l.l_mult = l_mult;
  return l;
}

// Card views for detection, with suits by their fixed codes.
inline hand::CardView cv(std::int32_t rank, hand::Suit suit, hand::Enh enh = hand::Enh::none) {
  hand::CardView v;
  v.rank = rank;
  v.suit = suit;
  v.enh = enh;
  return v;
}

inline std::vector<std::size_t> positions(std::initializer_list<std::size_t> list) {
  return std::vector<std::size_t>(list);
}

inline std::vector<std::size_t> identity(std::size_t n) {
  std::vector<std::size_t> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = i;
  return order;
}

}  // namespace quorvel::testing
