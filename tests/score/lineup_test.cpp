// A joker order resolved once: the copy rule, the acting list and the counts
// every run of the order reads.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "jokers/jokers.h"
#include "score/context.h"
#include "support/build.h"

namespace quorvel::score {
namespace {

using json::Value;
using testing::joker;

snapshot::Snapshot with_jokers(std::vector<snapshot::Joker> jokers) {
  snapshot::Snapshot s;
  s.jokers = std::move(jokers);
  return s;
}

struct Entry {
  std::uint32_t index;
  bool copied;
  bool operator==(const Entry&) const = default;
};

void PrintTo(const Entry& e, std::ostream* os) {
  *os << "(" << e.index << (e.copied ? ", copied)" : ")");
}

std::vector<Entry> list_of(const Lineup& lineup) {
  std::vector<Entry> out;
  for (const jokers::Resolved& r : lineup.list()) out.push_back({r.index, r.copied});
  return out;
}

TEST(Lineup, CopyChainsAndCycles) {
  struct Case {
    const char* what;
    std::vector<snapshot::Joker> jokers;
    std::vector<std::size_t> order;
    std::vector<Entry> expected;
  };
  const std::vector<Case> cases = {
      {"blueprint at the right end",
       {joker("j_joker"), joker("j_blueprint")},
       {0, 1},
       {{0, false}}},
      {"brainstorm at the left end",
       {joker("j_brainstorm"), joker("j_joker")},
       {0, 1},
       {{1, false}}},
      {"blueprint copies its right neighbour",
       {joker("j_blueprint"), joker("j_joker")},
       {0, 1},
       {{1, true}, {1, false}}},
      {"blueprint follows brainstorm to the left end",
       {joker("j_joker"), joker("j_blueprint"), joker("j_brainstorm")},
       {0, 1, 2},
       {{0, false}, {0, true}, {0, true}}},
      {"two copies loop until n visits", {joker("j_blueprint"), joker("j_brainstorm")}, {0, 1}, {}},
      {"three blueprints then a joker",
       {joker("j_blueprint"), joker("j_blueprint"), joker("j_blueprint"), joker("j_joker")},
       {0, 1, 2, 3},
       {{3, true}, {3, true}, {3, true}, {3, false}}},
      {"debuffed target", {joker("j_blueprint"), joker("j_joker").debuff()}, {0, 1}, {}},
      {"hidden target", {joker("j_blueprint"), joker("j_joker").hidden()}, {0, 1}, {}},
      {"debuffed copier", {joker("j_blueprint").debuff(), joker("j_joker")}, {0, 1}, {{1, false}}},
      {"debuffed copy in the chain",
       {joker("j_blueprint"), joker("j_blueprint").debuff(), joker("j_joker")},
       {0, 1, 2},
       {{2, false}}},
      {"copy of a keyless joker",
       {joker("j_blueprint"), joker("x").no_key()},
       {0, 1},
       {{1, true}, {1, false}}},
      {"order positions name snapshot indices",
       {joker("j_joker"), joker("j_blueprint"), joker("j_space")},
       {1, 2, 0},
       {{2, true}, {2, false}, {0, false}}},
      {"brainstorm copies whatever leads the order",
       {joker("j_joker"), joker("j_brainstorm"), joker("j_space")},
       {2, 0, 1},
       {{2, false}, {0, false}, {2, true}}},
      {"a lone copy joker", {joker("j_brainstorm")}, {0}, {}},
      {"no order", {joker("j_joker")}, {}, {}},
  };
  for (const Case& c : cases) {
    const snapshot::Snapshot s = with_jokers(c.jokers);
    const Prepared prep(s);
    const Lineup lineup(prep, c.order);
    EXPECT_EQ(list_of(lineup), c.expected) << c.what;
    // The main phase keeps every position, with the joker that acts there.
    ASSERT_EQ(lineup.main().size(), c.order.size()) << c.what;
    std::size_t acting = 0;
    for (std::size_t b = 0; b < c.order.size(); ++b) {
      const MainStep& step = lineup.main()[b];
      EXPECT_EQ(step.real, c.order[b]) << c.what;
      if (step.acting == jokers::Resolved::kNothing) continue;
      ASSERT_LT(acting, c.expected.size()) << c.what;
      EXPECT_EQ(step.acting, c.expected[acting++].index) << c.what;
    }
    EXPECT_EQ(acting, c.expected.size()) << c.what;
  }
}

TEST(Lineup, OrderOutsideTheJokersIsAFailureNotAReadPastTheEnd) {
  const snapshot::Snapshot s = with_jokers({joker("j_joker")});
  const Prepared prep(s);
  EXPECT_THROW(Lineup(prep, std::vector<std::size_t>{3}), std::out_of_range);
  EXPECT_THROW(Lineup(prep, std::vector<std::size_t>{0, 1}), std::out_of_range);
}

TEST(Lineup, SpaceTriggersCountCopies) {
  auto space = [](std::vector<snapshot::Joker> jokers, std::vector<std::size_t> order) {
    const snapshot::Snapshot s = with_jokers(std::move(jokers));
    const Prepared prep(s);
    return Lineup(prep, order).space();
  };
  EXPECT_EQ(space({joker("j_space"), joker("j_space")}, {0, 1}), 2u);
  EXPECT_EQ(space({joker("j_blueprint"), joker("j_space")}, {0, 1}), 2u);
  EXPECT_EQ(space({joker("j_blueprint"), joker("j_space")}, {1, 0}), 1u);
  EXPECT_EQ(space({joker("j_space").debuff()}, {0}), 0u);
}

// The money of a voided hand, from the acting list as score_play takes it.
TEST(Lineup, DebuffedHandMoney) {
  auto money = [](std::vector<snapshot::Joker> jokers) {
    const snapshot::Snapshot s = with_jokers(std::move(jokers));
    const Prepared prep(s);
    return jokers::debuffed_hand_money(prep.jokers, prep.identity->list());
  };
  const double zero = money({joker("j_joker")});
  EXPECT_EQ(zero, 0.0);
  EXPECT_TRUE(std::signbit(zero));  // the empty sum is negative zero
  EXPECT_EQ(money({joker("j_blueprint"), joker("j_matador").ab({{"extra", Value(3.0)}})}), 6.0);
  EXPECT_EQ(money({joker("j_matador")}), 8.0);
  // A matador worth -0.0 keeps the sum negative zero.
  EXPECT_TRUE(std::signbit(money({joker("j_matador").ab({{"extra", Value(-0.0)}})})));
}

}  // namespace
}  // namespace quorvel::score
