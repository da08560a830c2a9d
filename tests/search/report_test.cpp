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
  const score::Prepared prep(snap);
  Progress p{snap, {"lobby"}, 77.0, false, true, prep};
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
    const score::Prepared prep(snap);
    Progress p{snap, {}, 42.0, true, false, prep};
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
  const score::Prepared prep(snap);
  Progress p{snap, {}, 0.0, true, false, prep};
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
    const score::Prepared prep(snap);
    Progress p{snap, {}, 0.0, true, false, prep};
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
    const score::Prepared prep(snap);
    Progress p{snap, {}, 0.0, true, false, prep};
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
  const score::Prepared prep(snap);
  Progress p{snap, {}, 0.0, true, false, prep};
  const Candidate best = play_of({2, 0}, {});
  const SearchResult r = p.result(3, true, &best);
  EXPECT_EQ(r.best->play, (std::vector<std::int64_t>{40, 31}));
  EXPECT_EQ(r.best->scored, (std::vector<std::int64_t>{40, 31}));
  EXPECT_EQ(r.best->hand, "Pair");
  EXPECT_EQ(r.best->expected, 240.0);
  EXPECT_FALSE(r.blocked);
}

TEST(Result, PositionOutOfRangeIsAFailure) {
  snapshot::Snapshot snap = king();
  snap.jokers = {plus_mult(11, 4)};
  const score::Prepared prep(snap);
  Progress p{snap, {}, 0.0, true, false, prep};
  const Candidate bad_card = play_of({1}, {0});
  const Candidate bad_joker = play_of({0}, {1});
  EXPECT_THROW(p.result(1, false, &bad_card), std::out_of_range);
  EXPECT_THROW(p.result(1, false, &bad_joker), std::out_of_range);
}

}  // namespace
}  // namespace quorvel::search
