#include <gtest/gtest.h>

#include <cmath>

#include "fixture.h"

namespace quorvel::score {
namespace {

using test::base_snapshot;
using test::run_once;
using testing::card;

snapshot::Snapshot pair_of_fives() {
  snapshot::Snapshot s = base_snapshot();
  s.hand = {card(5, "Spades"), card(5, "Hearts"), card(9, "Clubs")};
  return s;
}

TEST(Run, PairOfFives) {
  const Outcome o = run_once(pair_of_fives(), {0, 1});
  EXPECT_EQ(o.score, 40.0);  // (10 + 5 + 5) x 2
  EXPECT_EQ(o.money, 0.0);
}

TEST(Run, HandTypeWithoutLevelStartsFromZeroAndOne) {
  snapshot::Snapshot s = pair_of_fives();
  s.levels.clear();
  EXPECT_EQ(run_once(s, {0, 1}).score, 10.0);  // (0 + 10) x 1
}

TEST(Run, LevelUpsAddTheSteps) {
  // Pair: chips 10 + 15 x 2, mult 2 + 1 x 2.
  EXPECT_EQ(run_once(pair_of_fives(), {0, 1}, ModeChance::kExpected, 2).score, (40.0 + 10) * 4);
}

TEST(Run, CardValuesTable) {
  struct Case {
    const char* what;
    snapshot::Card card;
    double score;  // a High Card of that one card: (5 + chips) x (1 + mult)
    double money;
  };
  const Case cases[] = {
      {"ace", card(14, "Spades"), (5 + 11) * 1.0, 0},
      {"king", card(13, "Spades"), (5 + 10) * 1.0, 0},
      {"stone ace is 50 chips", card(14, "Spades").enh("m_stone"), (5 + 50) * 1.0, 0},
      {"hidden stone is 50 chips", card(14, "Spades").enh("m_stone").hidden(), (5 + 50) * 1.0, 0},
      {"bonus ace", card(14, "Spades").enh("m_bonus"), (5 + 41) * 1.0, 0},
      {"hidden bonus card", card(14, "Spades").enh("m_bonus").hidden(), (5 + 30) * 1.0, 0},
      {"mult card", card(2, "Spades").enh("m_mult"), (5 + 2) * 5.0, 0},
      {"glass card", card(2, "Spades").enh("m_glass"), (5 + 2) * 2.0, 0},
      {"perma values", card(2, "Spades").bonus(10).mult(3).x_mult(2), (5 + 12) * 8.0, 0},
      {"perma x_mult 0 is ignored", card(2, "Spades").x_mult(0), 7.0, 0},
      {"gold seal pays 3", card(2, "Spades").seal("Gold"), 7.0, 3},
      {"red seal scores twice", card(2, "Spades").seal("Red"), 9.0, 0},
      {"red gold seal is one seal", card(2, "Spades").seal("Red").bonus(1), 11.0, 0},
      {"foil", card(2, "Spades").ed("e_foil"), (5 + 2 + 50) * 1.0, 0},
      {"holo", card(2, "Spades").ed("e_holo"), 7 * 11.0, 0},
      {"polychrome", card(2, "Spades").ed("e_polychrome"), 7 * 1.5, 0},
      {"unknown items do nothing", card(2, "Spades").enh("m_what").ed("e_what").seal("What"), 7.0,
       0},
      {"known items without a run effect",
       card(2, "Spades").enh("m_gold").ed("e_negative").seal("Blue"), 7.0, 0},
      // Order inside one trigger: perma mult, enhancement, perma x_mult, then edition.
      {"step order", card(2, "Spades").enh("m_mult").mult(1).x_mult(2).ed("e_holo"),
       (5 + 2) * (((1.0 + 1 + 4) * 2) + 10), 0},
      {"glass before polychrome", card(2, "Spades").enh("m_glass").ed("e_polychrome"),
       7 * (1.0 * 2 * 1.5), 0},
  };
  for (const Case& c : cases) {
    snapshot::Snapshot s = base_snapshot();
    s.hand = {c.card};
    const Outcome o = run_once(s, {0});
    EXPECT_EQ(o.score, c.score) << c.what;
    EXPECT_EQ(o.money, c.money) << c.what;
  }
}

TEST(Run, DebuffedScoringCardAddsNothing) {
  snapshot::Snapshot s = pair_of_fives();
  s.hand[0] = card(5, "Spades").debuff().seal("Gold").enh("m_mult");
  const Outcome o = run_once(s, {0, 1});
  EXPECT_EQ(o.score, 30.0);  // (10 + 5) x 2
  EXPECT_EQ(o.money, 0.0);
}

TEST(Run, CardChipsAreOneSumAddedToTheRunningChips) {
  // 2^53 + (1 + 1) is exact; adding the parts one by one would round twice.
  snapshot::Snapshot s = base_snapshot();
  s.levels["High Card"] = testing::level(9007199254740992.0, 1);
  s.hand = {card(1, "Spades").bonus(1)};
  EXPECT_EQ(run_once(s, {0}).score, 9007199254740994.0);
}

TEST(Run, Blinds) {
  struct Case {
    const char* what;
    const char* key;
    bool disabled;
    snapshot::Level pair;
    double score, money;
  };
  const Case cases[] = {
      {"arm at level 1 changes nothing", "bl_arm", false, testing::level(40, 4, 20, 2, 1),
       (40 + 10) * 4.0, 0},
      {"arm at level 3 takes a level away", "bl_arm", false, testing::level(40, 4, 20, 2, 3),
       (20 + 10) * 2.0, 0},
      {"arm clamps at chips 0 and mult 1", "bl_arm", false, testing::level(40, 4, 50, 10, 3),
       (0 + 10) * 1.0, 0},
      {"disabled arm", "bl_arm", true, testing::level(40, 4, 20, 2, 3), (40 + 10) * 4.0, 0},
      {"flint halves, a half going up", "bl_flint", false, testing::level(15, 3), (8 + 10) * 2.0,
       0},
      {"flint keeps mult at least 1", "bl_flint", false, testing::level(15, 1), (8 + 10) * 1.0, 0},
      {"tooth costs a dollar per played card", "bl_tooth", false, testing::level(10, 2), 40.0, -3},
      {"ox on the most played hand", "bl_ox", false, testing::level(10, 2), 40.0, -12},
  };
  for (const Case& c : cases) {
    snapshot::Snapshot s = pair_of_fives();
    s.levels["Pair"] = c.pair;
    s.blind.key = c.key;
    s.blind.disabled = c.disabled;
    s.round.dollars = 12;
    s.round.most_played = "Pair";
    const Outcome o = run_once(s, {0, 1, 2});
    EXPECT_EQ(o.score, c.score) << c.what;
    EXPECT_EQ(o.money, c.money) << c.what;
  }
}

TEST(Run, FlintRoundsBeforeCardsScore) {
  // chips 25 -> 13 and mult 3 -> 2, then the card: (13 + 2) x 2.
  snapshot::Snapshot s = base_snapshot();
  s.levels["High Card"] = testing::level(25, 3);
  s.blind.key = "bl_flint";
  s.hand = {card(2, "Spades")};
  EXPECT_EQ(run_once(s, {0}).score, 30.0);
  s.levels["High Card"] = testing::level(24, 1);
  EXPECT_EQ(run_once(s, {0}).score, 14.0);  // 12 + 2, mult 1 stays 1
}

TEST(Run, OxOnlyOnTheMostPlayedHand) {
  snapshot::Snapshot s = pair_of_fives();
  s.blind.key = "bl_ox";
  s.round.dollars = 12;
  s.round.most_played = "Flush";
  EXPECT_EQ(run_once(s, {0, 1}).money, 0.0);
  s.round.most_played = "pair";
  EXPECT_EQ(run_once(s, {0, 1}).money, 0.0);
}

TEST(Run, HeldCards) {
  struct Case {
    const char* what;
    snapshot::Card held;
    double mult;
  };
  const Case cases[] = {
      {"steel", card(9, "Clubs").enh("m_steel"), 3.0},
      {"steel with a red seal", card(9, "Clubs").enh("m_steel").seal("Red"), 4.5},
      {"debuffed steel", card(9, "Clubs").enh("m_steel").debuff(), 2.0},
      {"hidden steel", card(9, "Clubs").enh("m_steel").hidden(), 2.0},
      {"plain held card", card(9, "Clubs").seal("Gold"), 2.0},
  };
  for (const Case& c : cases) {
    snapshot::Snapshot s = pair_of_fives();
    s.hand[2] = c.held;
    EXPECT_EQ(run_once(s, {0, 1}).score, 20.0 * c.mult) << c.what;
  }
}

TEST(Run, PositionGivenTwiceIsPlayedTwiceAndNotHeld) {
  snapshot::Snapshot s = base_snapshot();
  s.hand = {card(5, "Spades").enh("m_steel"), card(9, "Clubs").enh("m_steel")};
  // The same five twice makes a Pair; only the nine is held: x 1.5 once.
  EXPECT_EQ(run_once(s, {0, 0}).score, 20.0 * 3.0);
}

TEST(Run, Observatory) {
  snapshot::Snapshot s = pair_of_fives();
  s.consumables = {{"c_mercury"}, {"c_pluto"}, {"c_mercury"}};
  EXPECT_EQ(run_once(s, {0, 1}).score, 40.0);  // no voucher
  s.vouchers = {"v_observatory"};
  EXPECT_EQ(run_once(s, {0, 1}).score, 20.0 * 2.0 * 2.25);
  s.vouchers = {"v_observatory", "v_observatory"};
  EXPECT_EQ(run_once(s, {0, 1}).score, 20.0 * 2.0 * 2.25);
}

TEST(Run, Plasma) {
  snapshot::Snapshot s = base_snapshot();
  s.levels["High Card"] = testing::level(21, 6);
  s.hand = {card(10, "Spades")};
  s.deck.back = "b_plasma";
  EXPECT_EQ(run_once(s, {0}).score, 324.0);  // chips 31, mult 6 -> 18 and 18
  s.deck.back = "b_plasm";
  EXPECT_EQ(run_once(s, {0}).score, 186.0);
}

TEST(Run, LuckyCard) {
  snapshot::Snapshot s = base_snapshot();
  s.hand = {card(2, "Spades").enh("m_lucky")};
  bool used = false;
  Outcome o = run_once(s, {0}, ModeChance::kFloor, 0, &used);
  EXPECT_EQ(o.score, 7.0);
  EXPECT_EQ(o.money, 0.0);
  EXPECT_TRUE(used);
  o = run_once(s, {0}, ModeChance::kExpected, 0, &used);
  EXPECT_EQ(o.score, 7.0 * (1.0 + 20.0 * 0.2));
  EXPECT_EQ(o.money, 20.0 * (1.0 / 15.0));
  EXPECT_TRUE(used);
  o = run_once(s, {0}, ModeChance::kCeiling, 0, &used);
  EXPECT_EQ(o.score, 7.0 * 21.0);
  EXPECT_EQ(o.money, 20.0);

  // Three "j_oops" make the mult certain; the money chance is still asked.
  s.jokers = {testing::joker("j_oops"), testing::joker("j_oops"), testing::joker("j_oops"),
              testing::joker("j_oops").debuff()};
  o = run_once(s, {0}, ModeChance::kFloor, 0, &used);
  EXPECT_EQ(o.score, 7.0 * 21.0);
  EXPECT_EQ(o.money, 0.0);
  EXPECT_TRUE(used);
}

TEST(Run, EnoughOopsMakeLuckCertainAndUnasked) {
  snapshot::Snapshot s = base_snapshot();
  s.hand = {card(2, "Spades").enh("m_lucky")};
  for (int i = 0; i < 4; ++i) s.jokers.push_back(testing::joker("j_oops"));
  bool used = true;
  const Outcome o = run_once(s, {0}, ModeChance::kFloor, 0, &used);
  EXPECT_FALSE(used);
  EXPECT_EQ(o.score, 7.0 * 21.0);
  EXPECT_EQ(o.money, 20.0);
}

TEST(Run, InvalidPositionsAreFailures) {
  const snapshot::Snapshot s = pair_of_fives();
  const Prepared prep(s);
  EXPECT_THROW(Play(prep, std::vector<std::size_t>{0, 3}), std::out_of_range);
  const Play play(prep, std::vector<std::size_t>{0, 1});
  EXPECT_THROW(score_play(prep, play, std::vector<std::size_t>{0}), std::out_of_range);
  EXPECT_THROW(Lineup(prep, std::vector<std::size_t>{2}), std::out_of_range);
}

}  // namespace
}  // namespace quorvel::score
