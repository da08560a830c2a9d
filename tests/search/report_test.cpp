#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "search/fixture.h"

namespace quorvel::search {
namespace {

using namespace testing;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// One King of Clubs: High Card, 15 chips at the levels below.
snapshot::Snapshot king(double high_card_chips = 5.0) {
  snapshot::Snapshot snap = with_levels();
  level(snap, "High Card", high_card_chips, 1);
  snap.hand = {card(1, 13, "Clubs")};
  return snap;
}

Candidate play_of(Positions cards, Positions order) {
  return Candidate{std::move(cards), std::move(order), 0.0, 0.0, 0.0};
}

TEST(Result, WithoutBest) {
  snapshot::Snapshot snap = king();
  snap.jokers = {plus_mult(5, 1), times_three(3)};
  Progress p{snap, {"lobby"}, 77.0, false, true};
  const SearchResult r = p.result(1, true, nullptr);
  EXPECT_EQ(r.stage, 1u);
  EXPECT_TRUE(r.done);
  EXPECT_FALSE(r.best.has_value());
  EXPECT_EQ(r.joker_order, (std::vector<std::int64_t>{5, 3}));
  EXPECT_EQ(r.current_order_expected, 0.0);
  EXPECT_EQ(r.gain, 0.0);
  EXPECT_EQ(r.gain_money, 0.0);
  EXPECT_FALSE(r.blocked);
  EXPECT_FALSE(r.blind_warning);
  EXPECT_FALSE(r.card_order_matters);
  EXPECT_FALSE(r.order_exact);
  EXPECT_EQ(r.approximate, std::vector<std::string>{"lobby"});
}

TEST(Result, GainOverTheSnapshotsOrder) {
  struct Case {
    const char* name;
    bool times_first;  // snapshot order: x3 joker first
    Positions order;
    double expected, gain;
  };
  // x3 then +4: 15 x 7 = 105; +4 then x3: 15 x 15 = 225.
  const std::vector<Case> cases = {
      {"better order", true, {1, 0}, 225.0, 120.0},
      {"snapshot's own order", true, {0, 1}, 105.0, 0.0},
      {"worse order is no loss", false, {1, 0}, 105.0, 0.0},
  };
  for (const Case& c : cases) {
    snapshot::Snapshot snap = king();
    snap.jokers = c.times_first ? std::vector<snapshot::Joker>{times_three(10), plus_mult(11, 4)}
                                : std::vector<snapshot::Joker>{plus_mult(11, 4), times_three(10)};
    Progress p{snap, {}, 42.0, true, false};
    const Candidate best = play_of({0}, c.order);
    const SearchResult r = p.result(2, false, &best);
    ASSERT_TRUE(r.best.has_value());
    EXPECT_EQ(r.best->expected, c.expected) << c.name;
    EXPECT_EQ(r.gain, c.gain) << c.name;
    EXPECT_EQ(r.gain_money, 0.0) << c.name;
    EXPECT_EQ(r.current_order_expected, 42.0) << c.name;
    EXPECT_EQ(r.stage, 2u);
    EXPECT_FALSE(r.done);
  }
}

// "j_matador" pays for a voided hand; an order without it is compared with
// the full row, which pays less when the pay is negative.
TEST(Result, MoneyGainFromAShorterOrder) {
  snapshot::Snapshot snap = king();
  snap.blind.key = "bl_psychic";
  json::Object ab;
  ab.emplace("extra", -5.0);
  snap.jokers = {joker(9, "j_matador", std::move(ab))};
  Progress p{snap, {}, 0.0, true, false};
  const Candidate without = play_of({0}, {});
  const SearchResult r = p.result(3, true, &without);
  EXPECT_TRUE(r.blocked);
  EXPECT_EQ(r.gain_money, 5.0);
  EXPECT_EQ(r.gain, 0.0);
  EXPECT_TRUE(r.joker_order.empty());
  EXPECT_EQ(r.best->expected, 0.0);
  EXPECT_EQ(r.best->money_expected, 0.0);

  const Candidate with = play_of({0}, {0});
  const SearchResult full = p.result(3, true, &with);
  EXPECT_EQ(full.gain_money, 0.0);
  EXPECT_EQ(full.best->money_floor, -5.0);
  EXPECT_EQ(full.best->money_ceiling, -5.0);
}

TEST(Result, BlindPercentage) {
  struct Case {
    double target;
    double pct;
  };
  // 105 / 9 first, then x100: the other way round gives 1166.6666666666667.
  const std::vector<Case> cases = {
      {9.0, 1166.6666666666665}, {105.0, 100.0}, {0.0, 0.0}, {-5.0, 0.0}, {kNaN, 0.0}};
  for (const Case& c : cases) {
    snapshot::Snapshot snap = king();
    snap.jokers = {times_three(10), plus_mult(11, 4)};
    snap.blind.target = c.target;
    Progress p{snap, {}, 0.0, true, false};
    const Candidate best = play_of({0}, {0, 1});
    EXPECT_EQ(p.result(1, false, &best).best->blind_pct, c.pct) << c.target;
  }
}

TEST(Result, BlindWarning) {
  struct Case {
    snapshot::Objective objective;
    double hands_left;
    double expected;  // 150 or 200
    double target;
    bool warning;
  };
  using snapshot::Objective;
  const std::vector<Case> cases = {
      {Objective::money, 1, 150, 300, true},     {Objective::money, 1, 200, 300, false},
      {Objective::money, 0, 150, 300, true},     {Objective::money, 2, 150, 300, false},
      {Objective::score, 1, 150, 300, false},    {Objective::money, 1, 150, kNaN, false},
      {Objective::money, kNaN, 150, 300, false},
  };
  for (const Case& c : cases) {
    snapshot::Snapshot snap = king(c.expected - 10.0);
    snap.options.objective = c.objective;
    snap.round.hands_left = c.hands_left;
    snap.round.chips = 100;
    snap.blind.target = c.target;
    Progress p{snap, {}, 0.0, true, false};
    const Candidate best = play_of({0}, {});
    const SearchResult r = p.result(1, false, &best);
    EXPECT_EQ(r.best->expected, c.expected);
    EXPECT_EQ(r.blind_warning, c.warning) << c.hands_left << " " << c.expected << " " << c.target;
  }
}

TEST(Result, PlayFollowsTheCandidatesCardOrder) {
  snapshot::Snapshot snap = with_levels();
  snap.hand = {card(31, 5, "Spades", "m_glass"), card(-7, 9, "Clubs"),
               card(40, 5, "Hearts", "m_mult")};
  Progress p{snap, {}, 0.0, true, false};
  const Candidate best = play_of({2, 0}, {});
  const SearchResult r = p.result(3, true, &best);
  EXPECT_EQ(r.best->play, (std::vector<std::int64_t>{40, 31}));
  EXPECT_EQ(r.best->scored, (std::vector<std::int64_t>{40, 31}));
  EXPECT_EQ(r.best->hand, "Pair");
  EXPECT_EQ(r.best->expected, 240.0);
  EXPECT_FALSE(r.blocked);
}

TEST(Result, PreparedSnapshotGivesTheSameReport) {
  snapshot::Snapshot snap = king();
  snap.jokers = {times_three(10), plus_mult(11, 4)};
  const score::Prepared prep(snap);
  Progress own{snap, {}, 1.0, true, false};
  Progress shared{snap, {}, 1.0, true, false, &prep};
  const Candidate best = play_of({0}, {1, 0});
  const SearchResult a = own.result(2, false, &best);
  const SearchResult b = shared.result(2, false, &best);
  EXPECT_EQ(a.best->expected, b.best->expected);
  EXPECT_EQ(a.gain, b.gain);
  EXPECT_EQ(a.joker_order, b.joker_order);
}

TEST(Result, PositionOutOfRangeIsAFailure) {
  snapshot::Snapshot snap = king();
  snap.jokers = {plus_mult(11, 4)};
  Progress p{snap, {}, 0.0, true, false};
  const Candidate bad_card = play_of({1}, {0});
  const Candidate bad_joker = play_of({0}, {1});
  EXPECT_THROW(p.result(1, false, &bad_card), std::out_of_range);
  EXPECT_THROW(p.result(1, false, &bad_joker), std::out_of_range);
}

SearchResult full_result() {
  SearchResult r;
  r.stage = 3;
  r.done = true;
  Best b;
  b.play = {4, -2};
  b.hand = "Pair";
  b.scored = {4};
  b.floor = 300.0;
  b.expected = kInf;
  b.ceiling = kNaN;
  b.blind_pct = -kInf;
  b.money_floor = -0.0;
  b.money_expected = 0.1;
  b.money_ceiling = 1e20;
  r.best = b;
  r.joker_order = {9, 8};
  r.current_order_expected = 12.5;
  r.gain = 0.0;
  r.gain_money = 2.0;
  r.blocked = true;
  r.order_exact = false;
  r.card_order_matters = true;
  r.approximate = {"hook", "lobby"};
  return r;
}

std::vector<std::string> keys_of(const json::Value& v) {
  std::vector<std::string> out;
  for (const auto& [key, value] : v.as_object()) out.push_back(key);
  return out;
}

TEST(ResultJson, KeysAndKinds) {
  const json::Value v = full_result().to_json();
  EXPECT_EQ(keys_of(v), (std::vector<std::string>{"approximate", "best", "blind_warning", "blocked",
                                                  "card_order_matters", "current_order_expected",
                                                  "done", "gain", "gain_money", "joker_order",
                                                  "order_exact", "stage"}));
  const json::Value& best = *v.find("best");
  EXPECT_EQ(keys_of(best), (std::vector<std::string>{"blind_pct", "ceiling", "expected", "floor",
                                                     "hand", "money_ceiling", "money_expected",
                                                     "money_floor", "play", "scored"}));
  EXPECT_EQ(v.find("stage")->kind(), json::Kind::unsigned_int);
  EXPECT_EQ(v.find("stage")->as_unsigned(), 3u);
  EXPECT_EQ(v.find("joker_order")->as_array()[1].as_signed(), 8);
  EXPECT_EQ(best.find("play")->as_array()[1].as_signed(), -2);
  EXPECT_EQ(v.find("gain")->kind(), json::Kind::floating);
  EXPECT_EQ(v.find("gain_money")->as_float(), 2.0);
  EXPECT_EQ(v.find("current_order_expected")->as_float(), 12.5);
  EXPECT_TRUE(v.find("blocked")->as_bool());
  EXPECT_FALSE(v.find("order_exact")->as_bool());
  EXPECT_EQ(v.find("approximate")->as_array()[1].as_string(), "lobby");
  for (const char* key : {"expected", "ceiling", "blind_pct"}) {
    EXPECT_EQ(best.find(key)->as_string(), "naneinf") << key;
  }
  EXPECT_EQ(best.find("floor")->as_float(), 300.0);
  EXPECT_TRUE(std::signbit(best.find("money_floor")->as_float()));
  EXPECT_EQ(best.find("hand")->as_string(), "Pair");
}

TEST(ResultJson, NoBestIsNull) {
  SearchResult r;
  const json::Value v = r.to_json();
  EXPECT_TRUE(v.find("best")->is_null());
  EXPECT_TRUE(v.find("joker_order")->as_array().empty());
  EXPECT_EQ(v.find("gain")->as_float(), 0.0);
}

}  // namespace
}  // namespace quorvel::search
