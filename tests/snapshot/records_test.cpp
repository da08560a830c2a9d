// Values of parsed snapshots: defaults, array forms, lenient numbers, the
// objective forms, the levels map and the joker ability accessors.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "snapshot/snapshot.h"

namespace quorvel::snapshot {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

Snapshot ok(std::string_view doc) {
  ParseResult r = parse(doc);
  if (const auto* error = std::get_if<std::string>(&r)) {
    ADD_FAILURE() << doc << " -> " << *error;
    return {};
  }
  return std::get<Snapshot>(std::move(r));
}

void expect_default_card(const Card& c, std::int64_t id) {
  EXPECT_EQ(c.id, id);
  EXPECT_EQ(c.rank, 0);
  EXPECT_EQ(c.suit, "");
  EXPECT_FALSE(c.enh || c.ed || c.seal);
  EXPECT_EQ(c.perma.bonus, 0.0);
  EXPECT_EQ(c.perma.mult, 0.0);
  EXPECT_EQ(c.perma.x_mult, 1.0);
  EXPECT_FALSE(c.debuff || c.forced || c.hidden);
}

void expect_default_snapshot(const Snapshot& s) {
  EXPECT_EQ(s.schema, 1u);
  EXPECT_TRUE(s.hand.empty());
  EXPECT_TRUE(s.jokers.empty());
  EXPECT_TRUE(s.levels.empty());
  EXPECT_EQ(s.blind.key, "");
  EXPECT_FALSE(s.blind.disabled);
  EXPECT_EQ(s.blind.target, 0.0);
  EXPECT_EQ(s.round.hands_left, 0.0);
  EXPECT_EQ(s.round.idol.rank, 0);
  EXPECT_EQ(s.round.idol.suit, "");
  EXPECT_EQ(s.round.most_played, "");
  EXPECT_EQ(s.deck.back, "");
  EXPECT_TRUE(s.deck.contents.empty());
  EXPECT_TRUE(s.vouchers.empty());
  EXPECT_TRUE(s.consumables.empty());
  EXPECT_FALSE(s.lobby);
  EXPECT_EQ(s.options.objective, Objective::score);
  EXPECT_FALSE(s.options.discards || s.options.seeded);
}

TEST(Records, MinimalSnapshotTakesEveryDefault) {
  expect_default_snapshot(ok(R"({"schema":1})"));
  expect_default_snapshot(ok("[1]"));
  expect_default_snapshot(ok("[1,[],[],{},{},{},{},[],[],false,{}]"));
  expect_default_snapshot(ok("[1,[],[],{},[],[],[],[],[],false,[]]"));
  expect_default_snapshot(ok(" \n{\"schema\" : 1 }\n  "));
}

TEST(Records, UnknownKeysAreIgnoredAlsoWhenRepeated) {
  expect_default_snapshot(
      ok(R"({"x":{"a":[1,2,{"b":null}]},"schema":1,"x":"again","y":-1.5e-3,"hand":[],"y":true})"));
  Snapshot s = ok(R"({"schema":1,"hand":[{"id":3,"colour":"red","colour":1}]})");
  ASSERT_EQ(s.hand.size(), 1u);
  expect_default_card(s.hand[0], 3);
}

TEST(Records, CardDefaultsAndArrayForm) {
  Snapshot s = ok(
      R"({"schema":1,"hand":[{"id":7},[7],{"id":7,"perma":{}},{"id":7,"perma":[]},{"id":7,"perma":{"x_mult":"x"}}]})");
  ASSERT_EQ(s.hand.size(), 5u);
  for (const Card& c : s.hand) expect_default_card(c, 7);

  s = ok(
      R"({"schema":1,"hand":[[12,11,"Hearts","m_glass","e_foil","Gold",[5,2,1.5],true,true,true]]})");
  const Card& c = s.hand.at(0);
  EXPECT_EQ(c.id, 12);
  EXPECT_EQ(c.rank, 11);
  EXPECT_EQ(c.suit, "Hearts");
  EXPECT_EQ(c.enh, "m_glass");
  EXPECT_EQ(c.ed, "e_foil");
  EXPECT_EQ(c.seal, "Gold");
  EXPECT_EQ(c.perma.bonus, 5.0);
  EXPECT_EQ(c.perma.mult, 2.0);
  EXPECT_EQ(c.perma.x_mult, 1.5);
  EXPECT_TRUE(c.debuff && c.forced && c.hidden);
}

TEST(Records, OptionalStringsTakeNull) {
  Snapshot s = ok(R"({"schema":1,"hand":[{"id":1,"enh":null,"ed":null,"seal":null}]})");
  expect_default_card(s.hand.at(0), 1);
  s = ok(R"({"schema":1,"jokers":[{"id":1,"key":null,"ed":null,"ab":null}]})");
  EXPECT_FALSE(s.jokers.at(0).key || s.jokers.at(0).ed);
  EXPECT_TRUE(s.jokers.at(0).ab.is_null());
}

TEST(Records, IdsKeepTheirRangeAndOrder) {
  Snapshot s = ok(
      R"({"schema":1,"hand":[{"id":9223372036854775807},{"id":-9223372036854775808},{"id":5},{"id":5}]})");
  ASSERT_EQ(s.hand.size(), 4u);
  EXPECT_EQ(s.hand[0].id, std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(s.hand[1].id, std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(s.hand[2].id, 5);
  EXPECT_EQ(s.hand[3].id, 5);
  EXPECT_EQ(ok(R"({"schema":1,"jokers":[{"id":-3}]})").jokers.at(0).id, -3);
}

TEST(Records, LenientFloats) {
  auto target = [](std::string_view v) {
    return ok(R"({"schema":1,"blind":{"target":)" + std::string(v) + "}}").blind.target;
  };
  EXPECT_EQ(target("7"), 7.0);
  EXPECT_EQ(target("-7"), -7.0);
  EXPECT_EQ(target("2.5e2"), 250.0);
  EXPECT_EQ(target("18446744073709551615"), 18446744073709551615.0);
  EXPECT_EQ(target("-9223372036854775808"), -9223372036854775808.0);
  EXPECT_EQ(target("123456789012345678901234567890"), 1.2345678901234568e29);
  EXPECT_EQ(target("1e-400"), 0.0);
  EXPECT_TRUE(std::signbit(target("-0")));
  EXPECT_EQ(target("\"naneinf\""), kInf);
  for (std::string_view other :
       {"null", "true", "false", "\"abc\"", "\"300\"", "\"NaN\"", "\"inf\"", "\"-naneinf\"",
        "\"Naneinf\"", "[]", "{}", "[1]", "{\"a\":1}"}) {
    EXPECT_EQ(target(other), 0.0) << other;
  }
  // Defaults of 1.0 hold in every case.
  Snapshot s =
      ok(R"({"schema":1,"levels":{"Pair":{"level":"x","mult":null},"Flush":[],"Straight":{}}})");
  for (const auto& [name, level] : s.levels) {
    EXPECT_EQ(level.level, 1.0) << name;
    EXPECT_EQ(level.mult, 1.0) << name;
    EXPECT_EQ(level.chips, 0.0) << name;
    EXPECT_FALSE(level.visible) << name;
  }
  EXPECT_EQ(ok(R"({"schema":1,"hand":[{"id":1,"perma":[1]}]})").hand.at(0).perma.x_mult, 1.0);
  EXPECT_EQ(ok(R"({"schema":1,"hand":[{"id":1,"perma":{"x_mult":null}}]})").hand.at(0).perma.x_mult,
            1.0);
}

TEST(Records, NumberOrRule) {
  EXPECT_EQ(number_or(json::Value(std::uint64_t{7}), 1.0), 7.0);
  EXPECT_EQ(number_or(json::Value(std::int64_t{-7}), 1.0), -7.0);
  EXPECT_EQ(number_or(json::Value(0.5), 1.0), 0.5);
  EXPECT_EQ(number_or(json::Value("naneinf"), 1.0), kInf);
  EXPECT_EQ(number_or(json::Value("naneinf "), 1.0), 1.0);
  EXPECT_EQ(number_or(json::Value(), 2.0), 2.0);
  EXPECT_EQ(number_or(json::Value(true), 2.0), 2.0);
  EXPECT_EQ(number_or(json::Value(json::Array{}), 2.0), 2.0);
  EXPECT_EQ(number_or(json::Value(json::Object{}), 2.0), 2.0);
}

TEST(Records, LenientIntegers) {
  auto rank = [](std::string_view v) {
    return ok(R"({"schema":1,"hand":[{"id":1,"rank":)" + std::string(v) + "}]}").hand.at(0).rank;
  };
  EXPECT_EQ(rank("3.99"), 3);
  EXPECT_EQ(rank("-3.99"), -3);
  EXPECT_EQ(rank("14.7"), 14);
  EXPECT_EQ(rank("1e12"), 2147483647);
  EXPECT_EQ(rank("-1e12"), -2147483647 - 1);
  EXPECT_EQ(rank("2147483647"), 2147483647);
  EXPECT_EQ(rank("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(rank("\"naneinf\""), 2147483647);
  EXPECT_EQ(rank("\"A\""), 0);
  EXPECT_EQ(rank("null"), 0);
  EXPECT_EQ(rank("-0.5"), 0);
  EXPECT_EQ(ok(R"({"schema":1,"jokers":[{"id":1,"rarity":2.5}]})").jokers.at(0).rarity, 2);
  Snapshot s = ok(R"({"schema":1,"round":{"idol":{"rank":1e12,"suit":"Hearts"}}})");
  EXPECT_EQ(s.round.idol.rank, 2147483647);
  EXPECT_EQ(s.round.idol.suit, "Hearts");
  EXPECT_EQ(ok(R"({"schema":1,"round":{"idol":{"rank":"13"}}})").round.idol.rank, 0);
  EXPECT_EQ(ok(R"({"schema":1,"deck":{"contents":[{"rank":-2.9}]}})").deck.contents.at(0).rank, -2);
}

TEST(Records, LevelsMap) {
  Snapshot s = ok(
      R"({"schema":1,"levels":{"Pair":{"chips":10},"High Card":[2,30],"Pair":{"chips":20},"Not a hand":{"played":9,"visible":true}}})");
  ASSERT_EQ(s.levels.size(), 3u);
  EXPECT_EQ(s.levels.begin()->first, "High Card");  // ascending byte order
  EXPECT_EQ(s.levels.at("Pair").chips, 20.0);
  EXPECT_EQ(s.levels.at("High Card").level, 2.0);
  EXPECT_EQ(s.levels.at("High Card").chips, 30.0);
  EXPECT_EQ(s.levels.at("High Card").mult, 1.0);
  EXPECT_EQ(s.levels.at("Not a hand").played, 9.0);
  EXPECT_TRUE(s.levels.at("Not a hand").visible);
}

// Many names in no order, some repeated near each other and far apart: the
// later one is kept.
TEST(Records, LevelsMapOfManyNames) {
  std::string text = R"({"schema":1,"levels":{)";
  std::map<std::string, double> expected;
  for (int k = 0; k < 90; ++k) {
    const int n = (k * 17) % 80;  // every name once, then ten of them again
    const std::string stem = std::string(n % 2 ? "Pa" : "Pair") + std::to_string(n);
    const bool accented = n % 3 == 0;  // sorted after every plain name
    if (k > 0) text += ',';
    text += '"' + (accented ? "\\u00e9" + stem : stem) + R"(":{"chips":)" + std::to_string(k) + '}';
    expected[accented ? "\xc3\xa9" + stem : stem] = k;
  }
  text += "}}";
  const Snapshot s = ok(text);
  ASSERT_EQ(s.levels.size(), expected.size());
  auto want = expected.begin();
  for (const auto& [name, level] : s.levels) {
    EXPECT_EQ(name, want->first);
    EXPECT_EQ(level.chips, want->second) << name;
    ++want;
  }
}

TEST(Records, BlindRoundDeckConsumables) {
  Snapshot s = ok(R"({"schema":1,"blind":{"key":"bl_ox","disabled":true,"target":"naneinf"},
    "round":["3",2],"deck":{"back":"b_plasma","contents":[{"rank":14,"suit":"Spades","count":2}]},
    "consumables":[{"key":"c_pluto"},{}],"vouchers":["v_observatory"],"lobby":true})");
  EXPECT_EQ(s.blind.key, "bl_ox");
  EXPECT_TRUE(s.blind.disabled);
  EXPECT_EQ(s.blind.target, kInf);
  EXPECT_EQ(s.round.hands_left, 0.0);
  EXPECT_EQ(s.round.discards_left, 2.0);
  EXPECT_EQ(s.deck.back, "b_plasma");
  ASSERT_EQ(s.deck.contents.size(), 1u);
  EXPECT_EQ(s.deck.contents[0].rank, 14);
  EXPECT_EQ(s.deck.contents[0].suit, "Spades");
  EXPECT_EQ(s.deck.contents[0].count, 2.0);
  EXPECT_FALSE(s.deck.contents[0].enh);
  ASSERT_EQ(s.consumables.size(), 2u);
  EXPECT_EQ(s.consumables[0].key, "c_pluto");
  EXPECT_EQ(s.consumables[1].key, "");
  EXPECT_EQ(s.vouchers, std::vector<std::string>{"v_observatory"});
  EXPECT_TRUE(s.lobby);
  EXPECT_EQ(ok(R"({"schema":1,"blind":{"target":"300"}})").blind.target, 0.0);
}

TEST(Records, ObjectiveForms) {
  auto objective = [](std::string_view options) {
    return ok(R"({"schema":1,"options":)" + std::string(options) + "}").options.objective;
  };
  EXPECT_EQ(objective(R"({"objective":"money"})"), Objective::money);
  EXPECT_EQ(objective(R"({"objective":{"money": null}})"), Objective::money);
  EXPECT_EQ(objective(R"({"objective": { "money" : null } })"), Objective::money);
  EXPECT_EQ(objective(R"(["money"])"), Objective::money);
  EXPECT_EQ(objective(R"({"objective":"score"})"), Objective::score);
  EXPECT_EQ(objective(R"({"objective":{"score":null}})"), Objective::score);
  EXPECT_EQ(objective(R"({})"), Objective::score);
  EXPECT_EQ(objective(R"({"objective":"mon\u0065y"})"), Objective::money);
}

TEST(Records, StringsDecodeEscapes) {
  Snapshot s =
      ok(R"({"schema":1,"vouchers":["a\"\\\/\b\f\n\r\t","\u00e9\u20ac\ud83d\ude00","é€😀"]})");
  ASSERT_EQ(s.vouchers.size(), 3u);
  EXPECT_EQ(s.vouchers[0], "a\"\\/\b\f\n\r\t");
  EXPECT_EQ(s.vouchers[1], "\u00e9\u20ac\U0001F600");
  EXPECT_EQ(s.vouchers[2], s.vouchers[1]);
  // Keys are compared after decoding.
  EXPECT_TRUE(ok(R"({"schem\u0061":1,"lobb\u0079":true})").lobby);
}

TEST(Records, SchemaAndOptionsChecks) {
  auto error = [](std::string_view doc) {
    ParseResult r = parse(doc);
    return std::holds_alternative<std::string>(r) ? std::get<std::string>(r) : "OK";
  };
  EXPECT_EQ(error(R"({"schema":2})"), "unsupported snapshot schema 2");
  EXPECT_EQ(error(R"({"schema":3,"options":{"seeded":true}})"), "unsupported snapshot schema 3");
  EXPECT_EQ(error(R"({"schema":1,"options":{"seeded":true}})"),
            "suggested discards and seeded mode aren't implemented");
  // The objective is no lenient value: null in its place is an error.
  EXPECT_EQ(error(R"({"schema":1,"options":[null,true]})"), "expected value at line 1 column 24");
  EXPECT_EQ(error(R"({"schema":1,"options":["score",true]})"),
            "suggested discards and seeded mode aren't implemented");
}

TEST(Joker, AbilityAccessors) {
  auto joker = [](std::string_view ab) {
    return ok(R"({"schema":1,"jokers":[{"id":1,"ab":)" + std::string(ab) + "}]}").jokers.at(0);
  };
  const std::optional<double> none;
  Joker j = joker(R"({"extra":{"chips":30}})");
  EXPECT_EQ(j.extra_num("chips"), 30.0);
  EXPECT_EQ(j.extra(), none);
  EXPECT_EQ(j.extra_num("Chips"), none);
  j = joker(R"({"extra":6})");
  EXPECT_EQ(j.extra(), 6.0);
  EXPECT_EQ(j.extra_num("chips"), none);
  for (std::string_view ab : {"5", "\"x\"", "[1]", "null", "true"}) {
    j = joker(ab);
    EXPECT_EQ(j.num("mult"), none) << ab;
    EXPECT_EQ(j.extra(), none) << ab;
    EXPECT_EQ(j.extra_num("mult"), none) << ab;
  }
  EXPECT_EQ(joker(R"({"mult":"naneinf"})").num("mult"), none);
  EXPECT_EQ(joker(R"({"mult":3})").num("mult"), 3.0);
  EXPECT_EQ(joker(R"({"mult":-3})").num("mult"), -3.0);
  EXPECT_EQ(joker(R"({"Xmult":1.5})").num("Xmult"), 1.5);
  EXPECT_EQ(joker(R"({"Xmult":1.5})").num("xmult"), none);
  EXPECT_EQ(joker(R"({"mult":1,"mult":2})").num("mult"), 2.0);  // the later value counts
  EXPECT_EQ(joker(R"({"mult":18446744073709551615})").num("mult"), 18446744073709551615.0);
  for (std::string_view member : {"null", "true", "\"3\"", "[3]", "{}"}) {
    EXPECT_EQ(joker(R"({"mult":)" + std::string(member) + "}").num("mult"), none) << member;
  }
  // The forms with a default give it exactly where the others give no value.
  for (std::string_view ab : {R"({"extra":{"chips":30}})", R"({"extra":6,"chips":2})", "5",
                              R"({"mult":"naneinf","extra":{"chips":null}})"}) {
    j = joker(ab);
    EXPECT_EQ(j.num("chips", -7.5), j.num("chips").value_or(-7.5)) << ab;
    EXPECT_EQ(j.extra(-7.5), j.extra().value_or(-7.5)) << ab;
    EXPECT_EQ(j.extra_num("chips", -7.5), j.extra_num("chips").value_or(-7.5)) << ab;
  }
}

TEST(Joker, AbilityValueKeepsNumberKinds) {
  Joker j =
      ok(R"({"schema":1,"jokers":[{"id":1,"ab":{"u":18446744073709551615,"i":-1,"f":1.0,"big":18446744073709551616,"z":-0}}]})")
          .jokers.at(0);
  EXPECT_EQ(j.ab.find("u")->kind(), json::Kind::unsigned_int);
  EXPECT_EQ(j.ab.find("u")->as_unsigned(), 18446744073709551615u);
  EXPECT_EQ(j.ab.find("i")->kind(), json::Kind::signed_int);
  EXPECT_EQ(j.ab.find("f")->kind(), json::Kind::floating);
  EXPECT_EQ(j.ab.find("big")->kind(), json::Kind::floating);
  EXPECT_EQ(j.ab.find("z")->kind(), json::Kind::floating);
  EXPECT_TRUE(std::signbit(j.ab.find("z")->as_float()));
}

}  // namespace
}  // namespace quorvel::snapshot
