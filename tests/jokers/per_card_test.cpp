#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fixture.h"

namespace quorvel::jokers_test {
namespace {

using score::ModeChance;
using snapshot::Snapshot;

constexpr double kInf = std::numeric_limits<double>::infinity();

Snapshot with(std::vector<snapshot::Card> hand, std::vector<snapshot::Joker> jokers) {
  Snapshot s;
  s.hand = std::move(hand);
  s.jokers = std::move(jokers);
  s.round.hands_left = 1.0;  // the last hand: "j_dusk" acts
  return s;
}

TEST(Repetitions, CardCountClampsTheTotal) {
  struct Case {
    const char* name;
    std::vector<snapshot::Joker> jokers;
    std::size_t card;
    std::uint32_t expected;
  };
  const std::vector<Case> cases = {
      {"negative total", {joker("j_dusk").ab({{"extra", -3.0}}), joker("j_hack")}, 0, 0},
      {"huge total", {joker("j_dusk").ab({{"extra", 1e12}}), joker("j_selzer")}, 0, 4294967295u},
      {"NaN total",
       {joker("j_dusk").ab({{"extra", kInf}}), joker("j_hack").ab({{"extra", -kInf}})},
       0,
       0},
      {"selzer ignores ab", {joker("j_selzer").ab({{"extra", 7.0}})}, 0, 1},
      {"copies count", {joker("j_blueprint"), joker("j_hack").ab({{"extra", 2.5}})}, 0, 5},
      {"chad first card", {joker("j_hanging_chad")}, 0, 2},
      {"chad second card", {joker("j_hanging_chad")}, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PhaseRun run(with({card(3, "Spades"), card(3, "Hearts")}, c.jokers), {0, 1});
    EXPECT_EQ(jokers::card_repetitions(run.ctx(), c.card), c.expected);
  }
}

TEST(Repetitions, HeldCountClampsEachAmountAndWraps) {
  auto held = [](std::vector<snapshot::Joker> jokers) {
    PhaseRun run(with({card(3, "Spades"), card(4, "Hearts")}, std::move(jokers)), {0});
    return jokers::held_repetitions(run.ctx());
  };
  EXPECT_EQ(held({joker("j_mime").ab({{"extra", -3.0}}), joker("j_mime").ab({{"extra", 2.0}})}),
            2u);
  EXPECT_EQ(held({joker("j_mime").ab({{"extra", 1e12}}), joker("j_mime").ab({{"extra", 2.0}})}),
            1u);
  EXPECT_EQ(held({joker("j_blueprint"), joker("j_mime")}), 2u);
}

TEST(PerCard, HikerCountsFromTheNextTrigger) {
  Snapshot s = with({card(5, "Spades")}, {joker("j_hiker")});
  s.hand[0].seal = "Red";
  const score::Scored scored = score::score_play(s, std::vector<std::size_t>{0}, identity(1));
  EXPECT_EQ(scored.expected, 15.0);  // (5) + (5 + 5), mult 1
}

TEST(PerCard, CopiesNeverGrowWeeOrLuckyCat) {
  PhaseRun run(
      with({card(2, "Spades").enh("m_lucky")},
           {joker("j_blueprint"), joker("j_wee"), joker("j_blueprint"), joker("j_lucky_cat")}),
      {0});
  jokers::per_card(run.ctx(), 0, 1.0);
  EXPECT_EQ(run.state(1).chips, 8.0);
  EXPECT_EQ(run.state(3).x_mult, 1.25);
  EXPECT_FALSE(run.chance_used());  // certain
}

TEST(PerCard, ChanceEffectsByMode) {
  struct Case {
    const char* name;
    std::vector<snapshot::Joker> jokers;
    std::uint8_t mode;
    double lucky;
    double mult, dollars, cat_x_mult;
    bool used;
  };
  auto oops = joker("j_oops");
  const std::vector<Case> cases = {
      {"business expected", {joker("j_business")}, ModeChance::kExpected, 0, 2, 1, 1, true},
      {"business floor", {joker("j_business")}, ModeChance::kFloor, 0, 2, 0, 1, true},
      {"business certain", {joker("j_business"), oops}, ModeChance::kFloor, 0, 2, 2, 1, false},
      {"bloodstone floor", {joker("j_bloodstone")}, ModeChance::kFloor, 0, 2, 0, 1, true},
      {"bloodstone ceiling", {joker("j_bloodstone")}, ModeChance::kCeiling, 0, 3, 0, 1, true},
      {"cat no lucky", {joker("j_lucky_cat")}, ModeChance::kCeiling, 0, 2, 0, 1, false},
      {"cat expected", {joker("j_lucky_cat")}, ModeChance::kExpected, 0.5, 2, 0, 1.125, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PhaseRun run(with({card(13, "Hearts")}, c.jokers), {0}, std::nullopt, c.mode);
    run.ctx().mult = 2.0;
    jokers::per_card(run.ctx(), 0, c.lucky);
    EXPECT_DOUBLE_EQ(run.ctx().mult, c.mult);
    EXPECT_DOUBLE_EQ(run.ctx().dollars, c.dollars);
    EXPECT_DOUBLE_EQ(run.state(0).x_mult, c.cat_x_mult);
    EXPECT_EQ(run.chance_used(), c.used);
  }
}

TEST(PerCard, PhotographTakesTheFirstScoringFaceCard) {
  for (bool pareidolia : {false, true}) {
    SCOPED_TRACE(pareidolia);
    std::vector<snapshot::Joker> js = {joker("j_photograph"), joker("j_splash")};
    if (pareidolia) js.push_back(joker("j_pareidolia"));
    PhaseRun run(with({card(5, "Spades"), card(11, "Hearts"), card(13, "Clubs")}, js), {0, 1, 2});
    for (std::size_t i = 0; i < 3; ++i) {
      run.ctx().mult = 1.0;
      jokers::per_card(run.ctx(), i, 0.0);
      EXPECT_EQ(run.ctx().mult, i == (pareidolia ? 0u : 1u) ? 2.0 : 1.0) << i;
    }
  }
}

TEST(PerCard, RankAndSuitTests) {
  auto mult_after = [](snapshot::Card c, snapshot::Joker j, bool smeared = false,
                       std::int32_t idol = 12) {
    std::vector<snapshot::Joker> js = {std::move(j)};
    if (smeared) js.push_back(joker("j_smeared"));
    Snapshot s = with({std::move(c)}, js);
    s.round.idol.rank = idol;
    s.round.idol.suit = "Hearts";
    PhaseRun run(s, {0});
    run.ctx().mult = 1.0;
    jokers::per_card(run.ctx(), 0, 0.0);
    return run.ctx().mult + run.ctx().chips;
  };
  snapshot::Card hidden_ace = card(14, "Spades");
  hidden_ace.hidden = true;
  EXPECT_EQ(mult_after(hidden_ace, joker("j_scholar")), 1.0);
  EXPECT_EQ(mult_after(card(14, "Spades").enh("m_stone"), joker("j_scholar")), 1.0);
  EXPECT_EQ(mult_after(hidden_ace, joker("j_arrowhead")), 51.0);
  EXPECT_EQ(mult_after(card(12, "Hearts"), joker("j_idol")), 2.0);
  EXPECT_EQ(mult_after(card(12, "Spades").enh("m_wild"), joker("j_idol")), 2.0);
  EXPECT_EQ(mult_after(card(12, "Spades"), joker("j_idol")), 1.0);
  EXPECT_EQ(mult_after(card(0, "Hearts"), joker("j_idol"), false, 0), 1.0);
  // A suit joker without "extra"."suit" tests the empty suit, which is black.
  EXPECT_EQ(mult_after(card(9, "Spades").enh("m_wild"), joker("j_lusty_joker")), 4.0);
  EXPECT_EQ(mult_after(card(9, "Spades"), joker("j_lusty_joker")), 1.0);
  EXPECT_EQ(mult_after(card(9, "Spades"), joker("j_lusty_joker"), true), 4.0);
  EXPECT_EQ(mult_after(card(9, "Hearts"), joker("j_lusty_joker"), true), 1.0);
  EXPECT_EQ(mult_after(card(9, "Clubs"),
                       joker("j_greedy_joker").ab({{"extra", json::Object{{"suit", "Clubs"}}}})),
            4.0);
}

TEST(HeldCard, RaisedFistPicksTheLastLowestCard) {
  auto fist = [](std::vector<snapshot::Card> held) {
    std::vector<snapshot::Card> hand = {card(14, "Spades")};
    hand.insert(hand.end(), held.begin(), held.end());
    PhaseRun run(with(hand, {joker("j_raised_fist")}), {0});
    std::vector<double> added;
    for (std::size_t j = 0; j < held.size(); ++j) {
      run.ctx().mult = 0.0;
      if (!held[j].debuff) jokers::held_card(run.ctx(), j);
      added.push_back(run.ctx().mult);
    }
    return added;
  };
  using V = std::vector<double>;
  EXPECT_EQ(fist({card(13, "Hearts"), card(3, "Clubs"), card(3, "Spades")}), (V{0, 0, 6}));
  EXPECT_EQ(fist({card(13, "Hearts"), card(3, "Clubs"), card(3, "Spades").debuff()}), (V{0, 0, 0}));
  EXPECT_EQ(fist({card(14, "Hearts")}), (V{22}));
  EXPECT_EQ(fist({card(2, "Hearts").enh("m_stone"), card(12, "Clubs")}), (V{0, 20}));
}

}  // namespace
}  // namespace quorvel::jokers_test
