#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fixture.h"

namespace quorvel::phases_test {
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
    return run.ctx().lineup.held_reps();
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

// A copy acts exactly like a second trigger of the joker, except in the rows
// that grow the joker's own state, where it does nothing. Every row is made
// to act: wild cards pass every suit, pareidolia makes them face cards.
TEST(PerCard, CopiesActAsASecondTriggerOrNotAtAll) {
  struct Row {
    const char* key;
    std::int32_t rank;
    bool held, copy_acts;
    const char* enh = "m_wild";
  };
  const std::vector<Row> rows = {
      {"j_wee", 2, false, false},
      {"j_idol", 9, false, true},
      {"j_hiker", 9, false, true},
      {"j_smiley", 9, false, true},
      {"j_ticket", 9, false, true, "m_gold"},
      {"j_scholar", 14, false, true},
      {"j_ancient", 9, false, true},
      {"j_business", 9, false, true},
      {"j_odd_todd", 9, false, true},
      {"j_lucky_cat", 9, false, false},
      {"j_fibonacci", 8, false, true},
      {"j_rough_gem", 9, false, true},
      {"j_arrowhead", 9, false, true},
      {"j_triboulet", 12, false, true},
      {"j_photograph", 9, false, true},
      {"j_scary_face", 9, false, true},
      {"j_onyx_agate", 9, false, true},
      {"j_bloodstone", 9, false, true},
      {"j_even_steven", 8, false, true},
      {"j_lusty_joker", 9, false, true},
      {"j_greedy_joker", 9, false, true},
      {"j_walkie_talkie", 10, false, true},
      {"j_wrathful_joker", 9, false, true},
      {"j_gluttenous_joker", 9, false, true},
      {"j_baron", 13, true, true},
      {"j_raised_fist", 9, true, true},
      {"j_shoot_the_moon", 12, true, true},
      {"j_reserved_parking", 9, true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.key);
    Snapshot s = with({card(3, "Spades"), card(row.rank, "Hearts").enh(row.enh)},
                      {joker(row.key), joker("j_blueprint"), joker("j_pareidolia")});
    s.round.idol.rank = 9;
    s.round.idol.suit = "Hearts";
    s.round.ancient_suit = "Hearts";
    const std::vector<std::size_t> played =
        row.held ? std::vector<std::size_t>{0} : std::vector<std::size_t>{1};
    auto trigger = [&](PhaseRun& run) {
      if (row.held)
        jokers::held_card(run.ctx(), 0);
      else
        jokers::per_card(run.ctx(), 0, 0.5);
    };
    PhaseRun copied(s, played, std::vector<std::size_t>{1, 0});
    PhaseRun alone(s, played, std::vector<std::size_t>{0});
    for (PhaseRun* run : {&copied, &alone}) {
      run->ctx().chips = 10.0;
      run->ctx().mult = 3.0;
    }
    trigger(copied);
    trigger(alone);
    const double once = alone.ctx().chips + alone.ctx().mult + alone.ctx().dollars +
                        alone.ctx().per_card_extra[0] + alone.state(0).chips +
                        alone.state(0).x_mult;
    EXPECT_NE(once, 10.0 + 3.0 + 1.0) << "the row did not act";
    if (row.copy_acts) trigger(alone);
    EXPECT_EQ(copied.ctx().chips, alone.ctx().chips);
    EXPECT_EQ(copied.ctx().mult, alone.ctx().mult);
    EXPECT_EQ(copied.ctx().dollars, alone.ctx().dollars);
    EXPECT_EQ(copied.ctx().per_card_extra[0], alone.ctx().per_card_extra[0]);
    EXPECT_EQ(copied.state(0).chips, alone.state(0).chips);
    EXPECT_EQ(copied.state(0).x_mult, alone.state(0).x_mult);
  }
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
  // Rank tests skip hidden cards; suit tests do not.
  EXPECT_EQ(mult_after(card(14, "Spades").hidden(), joker("j_scholar")), 1.0);
  EXPECT_EQ(mult_after(card(14, "Spades").hidden(), joker("j_arrowhead")), 51.0);
  EXPECT_EQ(mult_after(card(12, "Spades").enh("m_wild"), joker("j_idol")), 2.0);
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
}  // namespace quorvel::phases_test
