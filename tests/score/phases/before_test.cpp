#include <gtest/gtest.h>

#include <limits>

#include "fixture.h"

namespace quorvel::phases_test {
namespace {

using hand::Enh;
using snapshot::Snapshot;

Snapshot two_pair_of_kings() {
  Snapshot s;
  s.hand = {card(13, "Spades").enh("m_bonus"), card(13, "Hearts"), card(5, "Clubs"),
            card(5, "Diamonds"), card(9, "Clubs")};
  return s;
}

bool same(const jokers::JState& a, const jokers::JState& b) {
  return a.mult == b.mult && a.x_mult == b.x_mult && a.chips == b.chips;
}

// Every row that grows its own joker's state must act for the joker and be
// left out for a "j_blueprint" copying it.
TEST(Before, CopiesNeverChangeJokerState) {
  struct Row {
    const char* key;
    json::Object ab;
  };
  const std::vector<Row> rows = {
      {"j_trousers", {}},
      {"j_square", {}},
      {"j_green_joker", {}},
      {"j_ride_the_bus", {{"mult", 3.0}}},
      {"j_obelisk", {{"x_mult", 2.0}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.key);
    Snapshot s = two_pair_of_kings();
    s.jokers = {joker(row.key).ab_value(json::Value(row.ab)), joker("j_blueprint")};
    PhaseRun alone(s, {0, 1, 2, 3}, std::vector<std::size_t>{0});
    PhaseRun copied(s, {0, 1, 2, 3}, std::vector<std::size_t>{1, 0});
    const jokers::JState initial = alone.state(0);
    jokers::before(alone.ctx());
    jokers::before(copied.ctx());
    EXPECT_FALSE(same(alone.state(0), initial)) << "the row did not act";
    EXPECT_TRUE(same(alone.state(0), copied.state(0)));
  }
}

TEST(Before, TodoListAndDnaActForCopies) {
  Snapshot s;
  s.hand = {card(7, "Hearts"), card(7, "Spades"), card(2, "Clubs")};
  s.jokers = {joker("j_blueprint"), joker("j_todo_list").ab({{"to_do_poker_hand", "Pair"}})};
  PhaseRun pair(s, {0, 1});
  jokers::before(pair.ctx());
  EXPECT_EQ(pair.ctx().dollars, 8.0);

  // Holograms are fed from the snapshot's list, also one outside the order;
  // a debuffed one is not.
  s.jokers = {joker("j_hologram").ab({{"extra", 0.5}}), joker("j_blueprint"), joker("j_dna"),
              joker("j_hologram")};
  s.jokers.push_back(s.jokers[3]);
  s.jokers[4].debuff = true;
  PhaseRun dna(s, {2}, std::vector<std::size_t>{1, 2});
  jokers::before(dna.ctx());
  EXPECT_EQ(dna.ctx().held.size(), 4u);
  EXPECT_EQ(dna.ctx().held[3].id, s.hand[2].id);
  EXPECT_EQ(dna.ctx().cards_added, 2.0);
  EXPECT_EQ(dna.state(0).x_mult, 2.0);
  EXPECT_EQ(dna.state(3).x_mult, 1.5);
  EXPECT_EQ(dna.state(4).x_mult, 1.0);

  s.round.round_hands = 1.0;
  PhaseRun later(s, {2}, std::vector<std::size_t>{1, 2});
  jokers::before(later.ctx());
  EXPECT_EQ(later.ctx().held.size(), 2u);
  EXPECT_EQ(later.ctx().cards_added, 0.0);
}

TEST(Before, MidasMaskAndVampireInBothOrders) {
  Snapshot s;
  s.hand = {card(13, "Spades"), card(13, "Hearts").enh("m_stone"), card(4, "Clubs").enh("m_glass")};
  // "j_splash": every played card scores.
  s.jokers = {joker("j_midas_mask"), joker("j_vampire"), joker("j_splash"), joker("j_brainstorm")};

  PhaseRun midas_first(s, {0, 2}, std::vector<std::size_t>{0, 1});
  jokers::before(midas_first.ctx());
  EXPECT_EQ(midas_first.ctx().played[0].enh, Enh::none);
  EXPECT_EQ(midas_first.ctx().played[1].enh, Enh::none);
  EXPECT_DOUBLE_EQ(midas_first.state(1).x_mult, 1.2);

  PhaseRun vampire_first(s, {0, 2}, std::vector<std::size_t>{1, 0});
  jokers::before(vampire_first.ctx());
  EXPECT_EQ(vampire_first.ctx().played[0].enh, Enh::gold);
  EXPECT_EQ(vampire_first.ctx().played[1].enh, Enh::none);
  EXPECT_DOUBLE_EQ(vampire_first.state(1).x_mult, 1.1);
  EXPECT_FALSE(s.hand[0].enh.has_value());  // the snapshot is never changed

  // A "j_brainstorm" copy changes no card: the King keeps what the last real
  // joker left.
  PhaseRun copy_of_midas(s, {0, 2}, std::vector<std::size_t>{0, 1, 3});
  jokers::before(copy_of_midas.ctx());
  EXPECT_EQ(copy_of_midas.ctx().played[0].enh, Enh::none);
  PhaseRun copy_of_vampire(s, {0, 2}, std::vector<std::size_t>{1, 0, 3});
  jokers::before(copy_of_vampire.ctx());
  EXPECT_EQ(copy_of_vampire.ctx().played[0].enh, Enh::gold);
  EXPECT_DOUBLE_EQ(copy_of_vampire.state(1).x_mult, 1.1);

  // A stone card is stripped; a debuffed enhanced card is neither stripped nor counted.
  s.hand[2].debuff = true;
  PhaseRun stone(s, {1, 2}, std::vector<std::size_t>{1});
  jokers::before(stone.ctx());
  EXPECT_EQ(stone.ctx().played[0].enh, Enh::none);
  EXPECT_EQ(stone.ctx().played[1].enh, Enh::glass);
  EXPECT_DOUBLE_EQ(stone.state(1).x_mult, 1.1);
}

TEST(Before, ObeliskGrowsOrResets) {
  struct Case {
    double pair_played, flush_played;
    bool flush_visible;
    double expected;
  };
  // At 1e17 adding one changes nothing: only the exclusion of the played
  // hand's own level keeps it from counting.
  for (const Case& c : {Case{3, 4, true, 1.7}, Case{3, 4, false, 1.0}, Case{3, 3, true, 1.0},
                        Case{1e17, 0, false, 1.0}}) {
    Snapshot s;
    s.hand = {card(6, "Spades"), card(6, "Hearts")};
    s.levels["Pair"].played = c.pair_played;
    s.levels["Pair"].visible = true;
    s.levels["Flush"].played = c.flush_played;
    s.levels["Flush"].visible = c.flush_visible;
    s.jokers = {joker("j_obelisk").ab({{"x_mult", 1.5}})};
    PhaseRun run(s, {0, 1});
    jokers::before(run.ctx());
    EXPECT_DOUBLE_EQ(run.state(0).x_mult, c.expected);
  }
}

TEST(Before, RowConditions) {
  Snapshot s;
  s.hand = {card(8, "Spades"), card(8, "Hearts"), card(8, "Clubs"), card(3, "Clubs"),
            card(3, "Hearts")};
  s.jokers = {joker("j_trousers"), joker("j_runner"), joker("j_square"),
              joker("j_vampire").ab({{"extra", std::numeric_limits<double>::infinity()}})};
  PhaseRun run(s, identity(5));
  jokers::before(run.ctx());
  EXPECT_EQ(run.state(0).mult, 2.0);
  EXPECT_EQ(run.state(1).chips, 0.0);   // no straight
  EXPECT_EQ(run.state(2).chips, 0.0);   // five cards played, not four
  EXPECT_EQ(run.state(3).x_mult, 1.0);  // nothing to strip: unchanged, not NaN
}

}  // namespace
}  // namespace quorvel::phases_test
