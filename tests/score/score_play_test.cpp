#include <gtest/gtest.h>

#include <cmath>

#include "fixture.h"

namespace quorvel::score {
namespace {

using json::Value;
using test::base_snapshot;
using test::expected_of;
using test::run_once;
using testing::card;
using testing::joker;

// A Pair of fives whose level-ups show in the score: each adds 15 chips and 1 mult.
snapshot::Snapshot pair_snapshot() {
  snapshot::Snapshot s = base_snapshot();
  s.hand = {card(5, "Spades").id(11), card(9, "Clubs").id(12), card(5, "Hearts").id(13)};
  return s;
}

testing::JokerB space(double extra) {
  return joker("j_space").ab({{"extra", Value(extra)}});
}

TEST(ScorePlay, NothingByChance) {
  const snapshot::Snapshot s = pair_snapshot();
  const std::vector<std::size_t> played = {2, 1, 0};
  const Scored r = score_play(s, played, {});
  EXPECT_EQ(r.hand, "Pair");
  EXPECT_EQ(r.scored, (std::vector<std::int64_t>{13, 11}));  // ascending play position
  EXPECT_TRUE(r.legal);
  EXPECT_FALSE(r.has_chance);
  EXPECT_EQ(r.expected, 40.0);
  EXPECT_EQ(r.floor, 40.0);
  EXPECT_EQ(r.ceiling, 40.0);
  EXPECT_EQ(r.money_floor, 0.0);
  EXPECT_EQ(r.money_ceiling, 0.0);
  const Outcome e = expected_of(s, played, {});
  EXPECT_EQ(e.score, 40.0);
  EXPECT_EQ(e.money, 0.0);
}

TEST(ScorePlay, LuckyCardRunsFloorAndCeiling) {
  snapshot::Snapshot s = pair_snapshot();
  s.hand[0] = card(5, "Spades").enh("m_lucky");
  const Scored r = score_play(s, std::vector<std::size_t>{0, 2}, {});
  EXPECT_TRUE(r.has_chance);
  EXPECT_EQ(r.floor, 40.0);
  EXPECT_EQ(r.expected, 20.0 * 6.0);
  EXPECT_EQ(r.ceiling, 20.0 * 22.0);
  EXPECT_EQ(r.money_floor, 0.0);
  EXPECT_EQ(r.money_expected, 20.0 * (1.0 / 15.0));
  EXPECT_EQ(r.money_ceiling, 20.0);
  EXPECT_EQ(expected_of(s, std::vector<std::size_t>{0, 2}, {}).score, r.expected);
}

TEST(ScorePlay, OneSpaceJoker) {
  snapshot::Snapshot s = pair_snapshot();
  s.jokers = {space(4)};
  const std::vector<std::size_t> played = {0, 2};
  const double run0 = run_once(s, played, ModeChance::kExpected, 0).score;  // 40
  const double run1 = run_once(s, played, ModeChance::kExpected, 1).score;  // 35 x 3
  const Scored r = score_play(s, played, testing::identity(1));
  EXPECT_TRUE(r.has_chance);
  EXPECT_EQ(r.floor, run0);
  EXPECT_EQ(r.ceiling, run1);
  EXPECT_EQ(r.expected, 0.0 + run0 * 0.75 + run1 * 0.25);
  EXPECT_EQ(expected_of(s, played, testing::identity(1)).score, r.expected);
}

TEST(ScorePlay, TwoSpaceTriggersWeighBinomially) {
  for (bool copied : {false, true}) {
    snapshot::Snapshot s = pair_snapshot();
    s.round.dollars = 4;
    s.hand[0] = card(5, "Spades").seal("Gold");
    s.jokers = {copied ? snapshot::Joker(joker("j_blueprint")) : space(4), space(4)};
    const std::vector<std::size_t> played = {0, 2};
    double runs[3], money[3];
    for (std::uint32_t i = 0; i < 3; ++i) {
      const Outcome o = run_once(s, played, ModeChance::kExpected, i);
      runs[i] = o.score;
      money[i] = o.money;
    }
    const Scored r = score_play(s, played, testing::identity(2));
    EXPECT_EQ(r.expected, 0.0 + runs[0] * 0.5625 + runs[1] * 0.375 + runs[2] * 0.0625);
    EXPECT_EQ(r.money_expected, 0.0 + 0.5625 * money[0] + 0.375 * money[1] + 0.0625 * money[2]);
    EXPECT_EQ(r.ceiling, runs[2]);
    EXPECT_EQ(r.floor, runs[0]);
    EXPECT_EQ(r.money_floor, 3.0);
  }
}

TEST(ScorePlay, SpaceOdds) {
  struct Case {
    const char* what;
    std::vector<snapshot::Joker> jokers;
    bool has_chance;
    std::uint32_t certain_level_ups;  // when the level-up is certain
    double p;                         // otherwise the chance of one level-up
  };
  const Case cases[] = {
      {"two oops make it certain", {space(4), joker("j_oops"), joker("j_oops")}, false, 1, 0},
      {"odds zero make it certain", {space(0)}, false, 1, 0},
      {"negative odds make it certain", {space(-4)}, false, 1, 0},
      {"absent extra means odds 4", {joker("j_space")}, true, 0, 0.25},
      {"string extra means odds 4", {joker("j_space").ab({{"extra", Value("8")}})}, true, 0, 0.25},
      {"odds of the first space, even debuffed", {space(2).debuff(), space(8)}, true, 0, 0.5},
      {"a debuffed oops does not count", {space(4), joker("j_oops").debuff()}, true, 0, 0.25},
  };
  for (const Case& c : cases) {
    snapshot::Snapshot s = pair_snapshot();
    s.jokers = c.jokers;
    const std::vector<std::size_t> played = {0, 2};
    const auto order = testing::identity(s.jokers.size());
    const Scored r = score_play(s, played, order);
    EXPECT_EQ(r.has_chance, c.has_chance) << c.what;
    if (!c.has_chance) {
      const double certain = run_once(s, played, ModeChance::kExpected, c.certain_level_ups).score;
      EXPECT_EQ(r.expected, certain) << c.what;
      EXPECT_EQ(r.floor, certain) << c.what;
    } else {
      const double run0 = run_once(s, played, ModeChance::kExpected, 0).score;
      const double run1 = run_once(s, played, ModeChance::kExpected, 1).score;
      EXPECT_EQ(r.expected, 0.0 + run0 * (1 - c.p) + run1 * c.p) << c.what;
    }
  }
}

TEST(ScorePlay, VoidedHand) {
  snapshot::Snapshot s = pair_snapshot();
  s.blind.key = "bl_psychic";
  s.hand[1].hidden = true;
  const std::vector<std::size_t> played = {0, 2};
  Scored r = score_play(s, played, {});
  EXPECT_FALSE(r.legal);
  EXPECT_EQ(r.hand, "Pair");
  EXPECT_EQ(r.scored, (std::vector<std::int64_t>{11, 13}));
  EXPECT_EQ(r.approximate, (std::vector<std::string>{"hidden_card"}));
  EXPECT_EQ(r.expected, 0.0);
  EXPECT_EQ(r.floor, 0.0);
  EXPECT_EQ(r.ceiling, 0.0);
  EXPECT_FALSE(r.has_chance);
  for (double m : {r.money_floor, r.money_expected, r.money_ceiling}) {
    EXPECT_EQ(m, 0.0);
    EXPECT_TRUE(std::signbit(m));  // the empty sum: negative zero
  }
  Outcome e = expected_of(s, played, {});
  EXPECT_EQ(e.score, 0.0);
  EXPECT_TRUE(std::signbit(e.money));

  s.jokers = {joker("j_matador").ab({{"extra", Value(5.0)}}), space(4)};
  r = score_play(s, played, testing::identity(2));
  EXPECT_FALSE(r.legal);
  EXPECT_FALSE(r.has_chance);  // no run, whatever "j_space" may do
  EXPECT_EQ(r.money_floor, 5.0);
  EXPECT_EQ(r.money_expected, 5.0);
  EXPECT_EQ(r.money_ceiling, 5.0);
  EXPECT_EQ(expected_of(s, played, testing::identity(2)).money, 5.0);
}

TEST(ScorePlay, PreparedPathMatchesRawPath) {
  snapshot::Snapshot s = pair_snapshot();
  s.hand[0] = card(5, "Spades").enh("m_lucky").seal("Red");
  s.jokers = {space(4), joker("j_oops")};
  const Prepared prep(s);
  for (const auto& played : {std::vector<std::size_t>{0, 2}, std::vector<std::size_t>{1},
                             std::vector<std::size_t>{2, 0, 1}}) {
    const Play play(prep, played);
    for (const auto& order : {std::vector<std::size_t>{0, 1}, std::vector<std::size_t>{1, 0}}) {
      const Scored a = score_play(prep, play, order);
      const Scored b = score_play(s, played, order);
      EXPECT_EQ(a.expected, b.expected);
      EXPECT_EQ(a.floor, b.floor);
      EXPECT_EQ(a.ceiling, b.ceiling);
      EXPECT_EQ(a.money_expected, b.money_expected);
      const Outcome e = score_expected(prep, play, order);
      EXPECT_EQ(e.score, a.expected);
      EXPECT_EQ(e.money, a.money_expected);
    }
  }
}

TEST(Prepared, ResolvesTheSnapshotOnce) {
  snapshot::Snapshot s = pair_snapshot();
  s.jokers = {joker("j_oops"), joker("j_oops").debuff(), joker("j_oops"), space(16)};
  s.blind.key = "bl_tooth";
  s.round.most_played = "Two Pair";
  s.round.idol.suit = "Hearts";
  s.vouchers = {"v_observatory"};
  s.consumables = {{"c_eris"}, {"c_pluto"}, {"c_pluto"}};
  s.deck.back = "b_plasma";
  s.levels["Not a hand"] = snapshot::Level{};
  const Prepared p(s);
  EXPECT_EQ(p.oops, 2u);
  EXPECT_EQ(p.odds_mult, 4.0);
  EXPECT_EQ(p.space_p, 0.25);
  EXPECT_EQ(p.blind, blinds::Boss::tooth);
  EXPECT_EQ(p.most_played, hand::HandType::two_pair);
  EXPECT_EQ(p.idol_suit, hand::kHearts);
  EXPECT_TRUE(p.observatory);
  EXPECT_EQ(p.planets[static_cast<std::size_t>(hand::HandType::high_card)], 2u);
  EXPECT_EQ(p.planets[static_cast<std::size_t>(hand::HandType::flush_five)], 1u);
  EXPECT_TRUE(p.plasma);
  EXPECT_TRUE(p.levels[static_cast<std::size_t>(hand::HandType::pair)].found);
  EXPECT_FALSE(p.levels[static_cast<std::size_t>(hand::HandType::two_pair)].found);
  ASSERT_EQ(p.level_entries.size(), 4u);  // key order: Flush, High Card, Not a hand, Pair
  EXPECT_EQ(p.level_entries[0].type, hand::HandType::flush);
  EXPECT_FALSE(p.level_entries[2].type.has_value());
  EXPECT_EQ(p.level_entries[3].type, hand::HandType::pair);

  s.blind.disabled = true;
  EXPECT_EQ(Prepared(s).blind, blinds::Boss::none);
}

TEST(Play, HeldCardsInHandOrder) {
  const snapshot::Snapshot s = pair_snapshot();
  const Prepared prep(s);
  const Play play(prep, std::vector<std::size_t>{2});
  ASSERT_EQ(play.played.size(), 1u);
  EXPECT_EQ(play.played[0].id, 13);
  ASSERT_EQ(play.held.size(), 2u);
  EXPECT_EQ(play.held[0].id, 11);
  EXPECT_EQ(play.held[1].id, 12);
  EXPECT_FALSE(play.voided);
}

}  // namespace
}  // namespace quorvel::score
